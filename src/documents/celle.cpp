#include "documents/celle.h"

#include <stdexcept>

namespace cmp {
namespace {

bool continuazione(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Byte offset where the character number `n` starts (or the size when there are fewer).
std::size_t inizio_carattere(std::string_view utf8, std::size_t n) {
  std::size_t visti = 0;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    if (continuazione(utf8[i])) continue;
    if (visti == n) return i;
    ++visti;
  }
  return utf8.size();
}

}  // namespace

std::size_t caratteri(std::string_view utf8) {
  std::size_t n = 0;
  for (const char c : utf8) n += continuazione(c) ? 0 : 1;
  return n;
}

std::string spazi(std::size_t n) { return std::string(n, ' '); }
std::string regola(std::size_t n) { return std::string(n, '_'); }

std::string cella(std::string_view testo, std::size_t larghezza, char riempitivo) {
  const std::size_t n = caratteri(testo);
  if (n >= larghezza) return std::string(testo.substr(0, inizio_carattere(testo, larghezza)));
  return std::string(testo) + std::string(larghezza - n, riempitivo);
}

std::string cella_a_destra(std::string_view testo, std::size_t larghezza) {
  const std::size_t n = caratteri(testo);
  if (n >= larghezza) return std::string(testo.substr(inizio_carattere(testo, n - larghezza)));
  return spazi(larghezza - n) + std::string(testo);
}

std::string unisci(std::initializer_list<std::string_view> pezzi) {
  std::string riga;
  bool primo = true;
  for (const auto pezzo : pezzi) {
    if (!primo) riga += '|';
    riga += pezzo;
    primo = false;
  }
  return riga;
}

std::string riga_tabella(const Colonne& colonne, const std::vector<std::string>& testi) {
  if (testi.size() > colonne.larghezze.size()) throw std::invalid_argument("more texts than cells in a table row");
  std::string riga = colonne.margine + "|";
  for (std::size_t i = 0; i < colonne.larghezze.size(); ++i) {
    riga += cella(i < testi.size() ? std::string_view(testi[i]) : std::string_view(), colonne.larghezze[i]);
    riga += '|';
  }
  return riga;
}

std::string riga_regola(const Colonne& colonne) {
  std::string riga = colonne.margine + "|";
  for (const auto larghezza : colonne.larghezze) riga += regola(larghezza) + "|";
  return riga;
}

}  // namespace cmp
