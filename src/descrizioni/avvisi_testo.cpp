#include "descrizioni/avvisi_testo.h"

#include <array>
#include <cstdint>
#include <cstdlib>

#include "errori/catalogo_errori.h"
#include "model/cp1252.h"
#include "model/indice_righe.h"
#include "model/somiglianza.h"

namespace cmp {
namespace {

// The length of a well-formed UTF-8 sequence of two or more bytes at `i`, else 0. The
// decoder decides what is well-formed (no overlong form, no surrogate, nothing above
// U+10FFFF), so the warning, the conversion and the escaping of messages agree.
std::size_t sequenza_utf8(std::string_view t, std::size_t i) {
  std::size_t dopo = i;
  const auto c = leggi_utf8(t, dopo);
  return c && *c >= 0x80 ? dopo - i : 0;
}

std::optional<avviso_testo> avviso_utf8(std::string_view t) {
  if (t.substr(0, 3) == "\xEF\xBB\xBF") {
    return avviso_testo{errori::testo_utf8, 1, 1,
                        "the text begins with a UTF-8 byte-order mark, but descriptions are read as "
                        "Windows-1252 (give --encoding utf-8 to convert it)"};
  }
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (static_cast<unsigned char>(t[i]) < 0x80) continue;
    if (const std::size_t n = sequenza_utf8(t, i)) {
      const auto dove = IndiceRighe(t).luogo(i);
      return avviso_testo{errori::testo_utf8, dove.riga, dove.colonna,
                          "the text looks like UTF-8: '" + std::string(t.substr(i, n)) + "' would be read as '" +
                              da_cp1252(t.substr(i, n)) + "' (give --encoding utf-8 to convert it)"};
    }
  }
  return std::nullopt;
}

// The longest keyword of the two formats and the most edits a slip may take on it: a
// field longer than both together is no slip of any keyword, and is not compared.
constexpr std::size_t lunghezza_confrontabile() {
  std::size_t piu_lunga = 0;
  for (const auto& p : kParoleChiave) piu_lunga = std::max(piu_lunga, p.parola.size());
  return piu_lunga + somiglianza::modifiche_ammesse(piu_lunga);
}

// The words the readers look for in a keyword field (each keyword's `riconosce`), all
// found in one pass over the field, lower-casing as it goes: no copy of a long field,
// and a comparison or two a byte whatever the field holds.
class ParoleCercate {
 public:
  ParoleCercate() {
    for (int b = 0; b < 256; ++b) {
      const unsigned char c = minuscola_cp1252(static_cast<unsigned char>(b));
      basso_[static_cast<std::size_t>(b)] = c;
      simboli_[static_cast<std::size_t>(b)] = static_cast<std::int8_t>(c >= 'a' && c <= 'z' ? c - 'a'
                                                                       : c == '_'           ? kSimboli - 1
                                                                                            : -1);
    }
    for (const auto& p : kParoleChiave) {
      for (const auto parola : parole_di(p.riconosce)) aggiungi(parola);
    }
    for (const auto& p : kParoleChiave) {
      std::uint64_t bit = 0;
      for (const auto parola : parole_di(p.riconosce)) bit |= std::uint64_t{1} << indice(parola);
      richieste_.push_back(bit);
    }
  }

  // Which words the field holds, one bit each (in any case, as the readers match them).
  std::uint64_t trovate(std::string_view campo) const {
    std::uint64_t bit = 0;
    for (std::size_t i = 0; i + 1 < campo.size(); ++i) {
      const int primo = simbolo(campo[i]);
      if (primo < 0) continue;
      const int secondo = simbolo(campo[i + 1]);
      if (secondo < 0) {
        ++i;  // no word holds that byte
        continue;
      }
      for (std::uint64_t candidate = per_coppia_[static_cast<std::size_t>(primo * kSimboli + secondo)]; candidate != 0;
           candidate &= candidate - 1) {
        const int k = __builtin_ctzll(candidate);
        if (uguale_da(campo, i, parole_[static_cast<std::size_t>(k)])) bit |= std::uint64_t{1} << k;
      }
    }
    return bit;
  }

  // Whether the readers take a row for keyword k of kParoleChiave: the field holds every
  // word of its `riconosce`.
  bool riconosce(std::uint64_t trovate, std::size_t k) const { return (trovate & richieste_[k]) == richieste_[k]; }

 private:
  // The bytes a word is made of, after lower-casing: a to z and the underscore.
  static constexpr int kSimboli = 27;

  static std::vector<std::string_view> parole_di(std::string_view riconosce) {
    std::vector<std::string_view> out;
    for (std::size_t i = 0; i < riconosce.size();) {
      const std::size_t fine = std::min(riconosce.find(' ', i), riconosce.size());
      out.push_back(riconosce.substr(i, fine - i));
      i = fine + 1;
    }
    return out;
  }
  int simbolo(char c) const { return simboli_[static_cast<unsigned char>(c)]; }
  bool uguale_da(std::string_view campo, std::size_t i, std::string_view parola) const {
    if (campo.size() - i < parola.size()) return false;
    for (std::size_t k = 0; k < parola.size(); ++k) {
      if (basso_[static_cast<unsigned char>(campo[i + k])] != static_cast<unsigned char>(parola[k])) return false;
    }
    return true;
  }
  std::size_t indice(std::string_view parola) const {
    for (std::size_t k = 0; k < parole_.size(); ++k) {
      if (parole_[k] == parola) return k;
    }
    return parole_.size();
  }
  void aggiungi(std::string_view parola) {
    if (indice(parola) < parole_.size()) return;
    const std::size_t k = parole_.size();
    if (k >= 64 || parola.size() < 2 || simbolo(parola[0]) < 0 || simbolo(parola[1]) < 0) std::abort();
    per_coppia_[static_cast<std::size_t>(simbolo(parola[0]) * kSimboli + simbolo(parola[1]))] |= std::uint64_t{1} << k;
    parole_.push_back(parola);
  }

  std::array<unsigned char, 256> basso_{};
  std::array<std::int8_t, 256> simboli_{};  // the lower-cased byte as a letter 0 to 26 of a word, else -1
  std::vector<std::string_view> parole_;    // lower-cased
  std::vector<std::uint64_t> richieste_;    // the words of each keyword
  std::array<std::uint64_t, kSimboli * kSimboli> per_coppia_{};  // the words by their first two bytes
};

bool una_parola(std::string_view campo) {
  if (campo.empty()) return false;
  for (const char c : campo) {
    if (!((c >= 'a' && c <= 'z') || c == ' ' || c == '_')) return false;
  }
  return true;
}

std::string minuscolo(std::string_view campo) {
  std::string out(campo);
  for (char& c : out) c = static_cast<char>(minuscola_cp1252(static_cast<unsigned char>(c)));
  return out;
}

// The keyword field of a line (up to its first comma), blanks trimmed, and the column of
// its first byte (from 1).
std::pair<std::string_view, int> campo_chiave(std::string_view riga) {
  if (!riga.empty() && riga.back() == '\r') riga.remove_suffix(1);
  std::string_view campo = riga.substr(0, std::min(riga.find(','), riga.size()));
  std::size_t inizio = 0;
  while (inizio < campo.size() && (campo[inizio] == ' ' || campo[inizio] == '\t')) ++inizio;
  campo.remove_prefix(inizio);
  while (!campo.empty() && (campo.back() == ' ' || campo.back() == '\t')) campo.remove_suffix(1);
  return {campo, static_cast<int>(inizio) + 1};
}

const ParoleCercate& parole_cercate() {
  static const ParoleCercate cercate;
  return cercate;
}

}  // namespace

std::vector<std::size_t> parole_riconosciute(std::string_view campo) {
  const ParoleCercate& cercate = parole_cercate();
  const std::uint64_t trovate = cercate.trovate(campo);
  std::vector<std::size_t> out;
  for (std::size_t k = 0; k < std::size(kParoleChiave); ++k) {
    if (cercate.riconosce(trovate, k)) out.push_back(k);
  }
  return out;
}

std::optional<std::size_t> primo_cr_solo(std::string_view testo) {
  for (std::size_t i = testo.find('\r'); i != std::string_view::npos; i = testo.find('\r', i + 1)) {
    if (i + 1 < testo.size() && testo[i + 1] != '\n') return i;
  }
  return std::nullopt;
}

std::vector<avviso_testo> controlla_testo(std::string_view testo, formato_descrizione formato) {
  const ParoleCercate& cercate = parole_cercate();
  static constexpr std::size_t kConfrontabile = lunghezza_confrontabile();
  std::vector<avviso_testo> out;
  const bool binario = testo.find('\0') != std::string_view::npos;
  if (!binario) {
    if (auto u = avviso_utf8(testo)) out.push_back(std::move(*u));
  }
  std::vector<std::string> parole;
  for (const auto& p : kParoleChiave) {
    if (p.formato == formato) parole.emplace_back(p.parola);
  }
  std::size_t del_formato = 0, dell_altro = 0;
  std::vector<avviso_testo> simili;
  int numero = 0;
  for (std::size_t i = 0; i < testo.size();) {
    ++numero;
    const std::size_t fine = std::min(testo.find('\n', i), testo.size());
    const auto [campo, colonna] = campo_chiave(testo.substr(i, fine - i));
    i = fine + 1;
    const std::uint64_t trovate = cercate.trovate(campo);
    bool nota = false;
    for (std::size_t k = 0; k < std::size(kParoleChiave); ++k) {
      if (cercate.riconosce(trovate, k)) {
        nota = true;
        ++(kParoleChiave[k].formato == formato ? del_formato : dell_altro);
      }
    }
    if (nota || campo.size() > kConfrontabile) continue;
    const std::string basso = minuscolo(campo);
    if (!una_parola(basso)) continue;
    if (const auto vicina = parola_vicina(basso, parole)) {
      simili.push_back(
          {errori::parola_simile, numero, colonna,
           "'" + da_cp1252(basso) + "' is no keyword, so the row is skipped; did you mean '" + *vicina + "'?"});
    }
  }
  if (del_formato == 0) {
    // The whole text is one line to the readers: the word for that is its own warning.
    if (primo_cr_solo(testo)) return out;
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
  out.testo.reserve(utf8.size());
  std::size_t i = utf8.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
  const auto errore = [&](std::size_t dove, std::string motivo) {
    const auto luogo = IndiceRighe(utf8).luogo(dove);
    out.errore = avviso_testo{errori::testo_utf8, luogo.riga, luogo.colonna, std::move(motivo)};
    return out;
  };
  while (i < utf8.size()) {
    // A run of ASCII goes over as it is.
    std::size_t ascii = i;
    while (ascii < utf8.size() && static_cast<unsigned char>(utf8[ascii]) < 0x80) ++ascii;
    out.testo.append(utf8, i, ascii - i);
    i = ascii;
    if (i == utf8.size()) break;
    const std::size_t n = sequenza_utf8(utf8, i);
    if (n == 0) return errore(i, "a byte that is not UTF-8");
    const std::string_view carattere = utf8.substr(i, n);
    std::size_t letti = 0;
    const auto c = leggi_utf8(carattere, letti);
    const auto b = c ? byte_cp1252(*c) : std::nullopt;
    if (!b) return errore(i, "'" + std::string(carattere) + "' has no Windows-1252 byte");
    out.testo += static_cast<char>(*b);
    i += n;
  }
  return out;
}

}  // namespace cmp
