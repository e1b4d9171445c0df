#include "lsp/uri.h"

#include <algorithm>

namespace cmp {
namespace {

int cifra_esadecimale(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string decodifica_percentuali(std::string_view t) {
  std::string out;
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (t[i] == '%' && i + 2 < t.size() && cifra_esadecimale(t[i + 1]) >= 0 && cifra_esadecimale(t[i + 2]) >= 0) {
      out += static_cast<char>(cifra_esadecimale(t[i + 1]) * 16 + cifra_esadecimale(t[i + 2]));
      i += 2;
    } else {
      out += t[i];
    }
  }
  return out;
}

// ASCII only, whatever the locale: a URI is the same bytes on every machine.
bool non_riservato(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
         c == '_' || c == '~';
}

std::string codifica_percentuali(std::string_view percorso) {
  static constexpr char kCifre[] = "0123456789ABCDEF";
  std::string out;
  for (const unsigned char c : percorso) {
    if (non_riservato(c) || c == '/') {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kCifre[c >> 4];
      out += kCifre[c & 15];
    }
  }
  return out;
}

bool lettera(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// "c:" or "C:" alone or before a separator: a Windows drive.
bool inizia_con_unita(std::string_view t) {
  return t.size() >= 2 && lettera(t[0]) && t[1] == ':' && (t.size() == 2 || t[2] == '/' || t[2] == '\\');
}

std::string con_barre_rovesce(std::string t) {
  std::replace(t.begin(), t.end(), '/', '\\');
  return t;
}

}  // namespace

std::string percorso_neutro(std::string_view uri) {
  constexpr std::string_view prefisso = "file://";
  if (uri.substr(0, prefisso.size()) != prefisso) return "";
  return decodifica_percentuali(uri.substr(prefisso.size()));
}

cartella_e_nome dividi_percorso(std::string_view neutro) {
  const auto barra = neutro.find_last_of('/');
  const std::size_t dopo = barra == std::string_view::npos ? 0 : barra + 1;
  return {std::string(neutro.substr(0, dopo)), std::string(neutro.substr(dopo))};
}

std::optional<std::string> percorso_posix(std::string_view neutro) {
  if (neutro.empty() || neutro.front() != '/') return std::nullopt;
  return std::string(neutro);
}

std::optional<std::string> percorso_windows(std::string_view neutro) {
  if (neutro.empty()) return std::nullopt;
  if (neutro.front() != '/') return "\\\\" + con_barre_rovesce(std::string(neutro));  // \\server\share\...
  const std::string_view dentro = neutro.substr(1);
  if (inizia_con_unita(dentro)) {
    return dentro.size() == 2 ? std::string(dentro) + "\\" : con_barre_rovesce(std::string(dentro));
  }
  return con_barre_rovesce(std::string(neutro));  // rooted on the current drive
}

std::string uri_da_percorso_posix(std::string_view percorso) { return "file://" + codifica_percentuali(percorso); }

std::string uri_da_percorso_windows(std::string_view percorso) {
  const std::string barre = [&] {
    std::string t(percorso);
    std::replace(t.begin(), t.end(), '\\', '/');
    return t;
  }();
  if (barre.rfind("//", 0) == 0) return "file:" + codifica_percentuali(barre);  // file://server/share/...
  if (inizia_con_unita(barre)) return "file:///" + codifica_percentuali(barre);
  return "file://" + codifica_percentuali(barre);
}

#ifdef _WIN32
std::optional<std::string> percorso_locale(std::string_view neutro) { return percorso_windows(neutro); }
std::string uri_da_percorso(std::string_view percorso) { return uri_da_percorso_windows(percorso); }
#else
std::optional<std::string> percorso_locale(std::string_view neutro) { return percorso_posix(neutro); }
std::string uri_da_percorso(std::string_view percorso) { return uri_da_percorso_posix(percorso); }
#endif

}  // namespace cmp
