#include "comandi/avvisi_testo.h"

#include "errori/catalogo_errori.h"
#include "model/cp1252.h"
#include "model/somiglianza.h"

namespace cmp {
namespace {

bool continuazione(unsigned char b) { return (b & 0xC0) == 0x80; }

// The length of a well-formed UTF-8 sequence of two or more bytes at `i`, else 0.
std::size_t sequenza_utf8(std::string_view t, std::size_t i) {
  const auto b = static_cast<unsigned char>(t[i]);
  const std::size_t n = b >= 0xC2 && b <= 0xDF ? 2 : b >= 0xE0 && b <= 0xEF ? 3 : b >= 0xF0 && b <= 0xF4 ? 4 : 0;
  if (n == 0 || i + n > t.size()) return 0;
  for (std::size_t k = 1; k < n; ++k) {
    if (!continuazione(static_cast<unsigned char>(t[i + k]))) return 0;
  }
  return n;
}

// Line and column (from 1) of byte `i`.
std::pair<int, int> luogo_di(std::string_view t, std::size_t i) {
  int riga = 1;
  std::size_t inizio = 0;
  for (std::size_t k = 0; k < i; ++k) {
    if (t[k] == '\n') {
      ++riga;
      inizio = k + 1;
    }
  }
  return {riga, static_cast<int>(i - inizio) + 1};
}

std::optional<avviso_testo> avviso_utf8(std::string_view t) {
  if (t.substr(0, 3) == "\xEF\xBB\xBF") {
    return avviso_testo{errori::testo_utf8, 1, 1,
                        "the text begins with a UTF-8 byte-order mark, but descriptions are read as "
                        "Windows-1252 (give --encoding utf-8 to convert it)"};
  }
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (const std::size_t n = sequenza_utf8(t, i)) {
      const auto [riga, colonna] = luogo_di(t, i);
      return avviso_testo{errori::testo_utf8, riga, colonna,
                          "the text looks like UTF-8: '" + std::string(t.substr(i, n)) + "' would be read as '" +
                              da_cp1252(t.substr(i, n)) + "' (give --encoding utf-8 to convert it)"};
    }
  }
  return std::nullopt;
}

std::string minuscolo(std::string_view campo) {
  std::string out;
  for (const char c : campo) out += static_cast<char>(minuscola_cp1252(static_cast<unsigned char>(c)));
  return out;
}

// The readers take a row by the words its keyword field contains.
bool riconosce(std::string_view campo, const parola_chiave& p) {
  std::size_t i = 0;
  while (i < p.riconosce.size()) {
    const std::size_t fine = std::min(p.riconosce.find(' ', i), p.riconosce.size());
    if (campo.find(p.riconosce.substr(i, fine - i)) == std::string_view::npos) return false;
    i = fine + 1;
  }
  return true;
}

struct riga_testo {
  int numero;
  int colonna;        // of the keyword field's first non-blank byte
  std::string campo;  // the keyword field, lower-cased, blanks trimmed
};

std::vector<riga_testo> righe_di(std::string_view t) {
  std::vector<riga_testo> out;
  int numero = 0;
  std::size_t i = 0;
  while (i < t.size()) {
    ++numero;
    const std::size_t fine = std::min(t.find('\n', i), t.size());
    std::string_view riga = t.substr(i, fine - i);
    if (!riga.empty() && riga.back() == '\r') riga.remove_suffix(1);
    std::string_view campo = riga.substr(0, std::min(riga.find(','), riga.size()));
    std::size_t inizio = 0;
    while (inizio < campo.size() && (campo[inizio] == ' ' || campo[inizio] == '\t')) ++inizio;
    campo.remove_prefix(inizio);
    while (!campo.empty() && (campo.back() == ' ' || campo.back() == '\t')) campo.remove_suffix(1);
    out.push_back({numero, static_cast<int>(inizio) + 1, minuscolo(campo)});
    i = fine + 1;
  }
  return out;
}

bool una_parola(std::string_view campo) {
  if (campo.empty()) return false;
  for (const char c : campo) {
    if (!((c >= 'a' && c <= 'z') || c == ' ' || c == '_')) return false;
  }
  return true;
}

}  // namespace

std::vector<avviso_testo> controlla_testo(std::string_view testo, formato_descrizione formato) {
  std::vector<avviso_testo> out;
  const bool binario = testo.find('\0') != std::string_view::npos;
  if (!binario) {
    if (auto u = avviso_utf8(testo)) out.push_back(std::move(*u));
  }
  const auto righe = righe_di(testo);
  std::vector<std::string> parole;
  for (const auto& p : kParoleChiave) {
    if (p.formato == formato) parole.emplace_back(p.parola);
  }
  std::size_t del_formato = 0, dell_altro = 0;
  std::vector<avviso_testo> simili;
  for (const auto& r : righe) {
    bool nota = false;
    for (const auto& p : kParoleChiave) {
      if (riconosce(r.campo, p)) {
        nota = true;
        ++(p.formato == formato ? del_formato : dell_altro);
      }
    }
    if (nota || !una_parola(r.campo)) continue;
    if (const auto vicina = parola_vicina(r.campo, parole)) {
      simili.push_back({errori::parola_simile, r.numero, r.colonna,
                        "'" + da_cp1252(r.campo) + "' is no keyword, so the row is skipped; did you mean '" +
                            *vicina + "'?"});
    }
  }
  if (del_formato == 0) {
    const bool linea = formato == formato_descrizione::linea;
    const std::string perche = binario      ? ": it holds NUL bytes, a binary file?"
                               : dell_altro ? std::string(": it reads as a ") + (linea ? "train" : "line") +
                                                  " description; are --line and --train swapped?"
                                            : ": is this the right file?";
    out.push_back({errori::nessuna_riga, 1, 1,
                   std::string("not one row of a ") + (linea ? "line" : "train") + " description" + perche});
    return out;
  }
  out.insert(out.end(), simili.begin(), simili.end());
  return out;
}

conversione_utf8 converti_da_utf8(std::string_view utf8) {
  conversione_utf8 out;
  std::size_t i = utf8.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
  while (i < utf8.size()) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    std::size_t n = b < 0x80 ? 1 : sequenza_utf8(utf8, i);
    const auto [riga, colonna] = luogo_di(utf8, i);
    if (n == 0) {
      out.errore = avviso_testo{errori::testo_utf8, riga, colonna, "a byte that is not UTF-8"};
      return out;
    }
    const std::string_view carattere = utf8.substr(i, n);
    if (!rappresentabile_cp1252(carattere)) {
      out.errore = avviso_testo{errori::testo_utf8, riga, colonna,
                                "'" + std::string(carattere) + "' has no Windows-1252 byte"};
      return out;
    }
    out.testo += in_cp1252(carattere);
    i += n;
  }
  return out;
}

}  // namespace cmp
