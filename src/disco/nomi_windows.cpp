#include "disco/nomi_windows.h"

#include <array>
#include <cctype>

namespace cmp {
namespace {

bool carattere_riservato(unsigned char c) {
  return c < 0x20 || std::string_view("<>:\"/\\|?*").find(static_cast<char>(c)) != std::string_view::npos;
}

bool nome_di_dispositivo(std::string_view radice) {
  std::string maiuscolo;
  for (const char c : radice) maiuscolo += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  // Trailing blanks before the dot are dropped too: "CON .txt" is CON.
  while (!maiuscolo.empty() && maiuscolo.back() == ' ') maiuscolo.pop_back();
  static constexpr std::array<std::string_view, 4> kSemplici{"CON", "PRN", "AUX", "NUL"};
  for (const auto d : kSemplici) {
    if (maiuscolo == d) return true;
  }
  return maiuscolo.size() == 4 && (maiuscolo.rfind("COM", 0) == 0 || maiuscolo.rfind("LPT", 0) == 0) &&
         maiuscolo[3] >= '1' && maiuscolo[3] <= '9';
}

}  // namespace

std::optional<std::string> nome_vietato_windows(std::string_view nome) {
  for (const char c : nome) {
    const auto u = static_cast<unsigned char>(c);
    if (!carattere_riservato(u)) continue;
    if (u < 0x20) return std::string("a control character is not allowed in a file name on Windows");
    return std::string("the character '") + c + "' is not allowed in a file name on Windows";
  }
  if (!nome.empty() && (nome.back() == '.' || nome.back() == ' ')) {
    return std::string("a file name cannot end with a dot or a blank on Windows");
  }
  if (nome_di_dispositivo(nome.substr(0, nome.find('.')))) {
    return std::string("'") + std::string(nome.substr(0, nome.find('.'))) + "' is a device's name on Windows";
  }
  return std::nullopt;
}

}  // namespace cmp
