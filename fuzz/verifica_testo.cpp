#include "verifica_testo.h"

#include <algorithm>

#include "comandi/descrizioni_utente.h"
#include "comandi/stampa_diagnostica.h"
#include "errori/catalogo_errori.h"
#include "model/cp1252.h"
#include "model/indice_righe.h"
#include "model/testo_visibile.h"
#include "violazioni.h"

namespace cmp::fuzz {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// Where each line of a text begins, as the check counts lines (a last line break opens
// no line of its own); built once per text, so that the checks stay linear.
class Righe {
 public:
  explicit Righe(std::string_view t) : testo_(t) {
    for (std::size_t i = 0; i < t.size(); i = std::min(t.find('\n', i), t.size()) + 1) inizi_.push_back(i);
  }
  std::size_t quante() const { return inizi_.size(); }
  // The byte at line `riga`, column `colonna` (from 1), or nullopt when there is none
  // (the column just past a line's end is there, as the place of what is missing).
  std::optional<std::size_t> posizione(int riga, int colonna) const {
    if (riga < 1 || colonna < 1) return std::nullopt;
    if (inizi_.empty()) return riga == 1 && colonna == 1 ? std::optional<std::size_t>(0) : std::nullopt;
    if (static_cast<std::size_t>(riga) > inizi_.size()) return std::nullopt;
    const std::size_t inizio = inizi_[static_cast<std::size_t>(riga) - 1];
    const std::size_t fine = std::min(testo_.find('\n', inizio), testo_.size());
    const std::size_t p = inizio + static_cast<std::size_t>(colonna) - 1;
    return p <= fine ? std::optional<std::size_t>(p) : std::nullopt;
  }

 private:
  std::string_view testo_;
  std::vector<std::size_t> inizi_;
};

bool senza_controlli(std::string_view s) {
  return std::none_of(s.begin(), s.end(), [](char c) {
    const auto b = static_cast<unsigned char>(c);
    return b < 0x20 || b == 0x7F;
  });
}

void verifica_messaggio(Violazioni& v, const avviso_testo& a) {
  v.che(!a.messaggio.empty(), [&] { return "warning " + std::to_string(a.codice) + " without a message"; });
  v.che(utf8_valido(a.messaggio), [&] { return "a message that is not UTF-8: " + a.messaggio; });
  v.che(senza_controlli(a.messaggio), [&] { return "a message with a control character: " + a.messaggio; });
}

// The source line and caret compile prints under a warning: nothing, or two lines of
// UTF-8, the second a caret, with no control character but a tab.
void verifica_riga_mostrata(Violazioni& v, const IndiceRighe& testo, const avviso_testo& a) {
  const std::string mostrata = riga_e_cursore(testo, a.riga, a.colonna);
  if (mostrata.empty()) return;
  const auto a_capo = mostrata.find('\n');
  const bool forma = mostrata.starts_with("  ") && a_capo != std::string::npos && mostrata.ends_with("^\n") &&
                     mostrata.find('\n', a_capo + 1) == mostrata.size() - 1;
  std::string senza_tab = mostrata.substr(0, a_capo);
  std::erase(senza_tab, '\t');
  v.che(forma && utf8_valido(senza_tab) && senza_controlli(senza_tab),
        [&] { return "the line shown under warning " + std::to_string(a.codice) + ": " + mostrata; });
}

void verifica_avvisi(Violazioni& v, std::string_view testo, const std::vector<avviso_testo>& avvisi) {
  const Righe righe(testo);
  const IndiceRighe indice(testo);  // as compile builds it, once for the text's warnings
  int ultima_simile = 0;
  int senza_righe = 0;
  for (const auto& a : avvisi) {
    const voce_errore* voce = voce_di(a.codice);
    v.che(voce && voce->fonte == fonte_errore::controllo_testi,
          [&] { return "the check gave number " + std::to_string(a.codice); });
    const auto p = righe.posizione(a.riga, a.colonna);
    v.che(p.has_value(), [&] {
      return "warning " + std::to_string(a.codice) + " at " + std::to_string(a.riga) + ":" + std::to_string(a.colonna) +
             ", outside a text of " + std::to_string(righe.quante()) + " lines";
    });
    verifica_messaggio(v, a);
    verifica_riga_mostrata(v, indice, a);
    if (a.codice == errori::testo_utf8) {
      v.che(p && *p < testo.size() && static_cast<unsigned char>(testo[*p]) >= 0x80,
            "the UTF-8 warning points at no byte above 0x7F");
    } else if (a.codice == errori::parola_simile) {
      v.che(a.riga > ultima_simile, "two keyword-likeness warnings on one line, or out of order");
      ultima_simile = a.riga;
    } else if (a.codice == errori::nessuna_riga) {
      v.che(++senza_righe == 1, "'not one row' said twice");
    }
  }
}

std::vector<int> numeri(const std::vector<avviso_testo>& avvisi) {
  std::vector<int> out;
  for (const auto& a : avvisi) out.push_back(a.codice);
  return out;
}

}  // namespace

ingresso_testo ingresso_di_testo(const std::uint8_t* dati, std::size_t n, std::size_t limite) {
  ingresso_testo in;
  if (n == 0) return in;
  in.formato = (dati[0] & 1) ? formato_descrizione::treno : formato_descrizione::linea;
  const std::string_view corpo(reinterpret_cast<const char*>(dati) + 1, n - 1);
  if (corpo.empty()) return in;
  const std::size_t volte = std::size_t{1} << ((dati[0] >> 1) & 0x1F);
  const std::size_t lunghezza = std::min(limite, std::max(corpo.size(), std::min(volte, limite) * corpo.size()));
  in.testo.reserve(lunghezza);
  while (in.testo.size() < lunghezza) in.testo.append(corpo.substr(0, lunghezza - in.testo.size()));
  return in;
}

std::string byte_testo(formato_descrizione formato, int esponente, std::string_view testo) {
  const int controllo = (formato == formato_descrizione::treno ? 1 : 0) | ((esponente & 0x1F) << 1);
  return std::string(1, static_cast<char>(controllo)) + std::string(testo);
}

bool utf8_valido(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
      ++i;
      continue;
    }
    // The lead byte sets the length and the range of the second byte (RFC 3629).
    std::size_t n = 0;
    unsigned char basso = 0x80, alto = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
      n = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
      n = 3;
      if (b == 0xE0) basso = 0xA0;
      if (b == 0xED) alto = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      n = 4;
      if (b == 0xF0) basso = 0x90;
      if (b == 0xF4) alto = 0x8F;
    } else {
      return false;
    }
    if (i + n > s.size()) return false;
    const auto secondo = static_cast<unsigned char>(s[i + 1]);
    if (secondo < basso || secondo > alto) return false;
    for (std::size_t k = 2; k < n; ++k) {
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    }
    i += n;
  }
  return true;
}

namespace {

// Whether a well-formed UTF-8 character of two or more bytes begins at t[i].
bool carattere_valido_a(std::string_view t, std::size_t i) {
  for (std::size_t n = 2; n <= 4 && i + n <= t.size(); ++n) {
    if (utf8_valido(t.substr(i, n))) return true;
  }
  return false;
}

}  // namespace

esito_testo controlla_e_verifica(const ingresso_testo& in) {
  esito_testo e;
  Violazioni v(e.violazioni);
  const auto avvisi = controlla_testo(in.testo, in.formato);
  verifica_avvisi(v, in.testo, avvisi);
  e.avvisi = numeri(avvisi);
  return e;
}

esito_testo converti_e_verifica(const ingresso_testo& in) {
  esito_testo e;
  Violazioni v(e.violazioni);
  // Whatever the bytes, a message or a JSON string made of them holds UTF-8 only.
  v.che(utf8_valido(testo_visibile(in.testo)), "the text escaped for a message is not UTF-8");
  v.che(utf8_valido(letterale_json(in.testo)), "the text as a JSON string is not UTF-8");
  const auto c = converti_da_utf8(in.testo);
  if (c.errore) {
    e.errore_conversione = c.errore;
    const avviso_testo& a = *c.errore;
    v.che(a.codice == errori::testo_utf8,
          [&] { return "the conversion stopped with number " + std::to_string(a.codice); });
    verifica_messaggio(v, a);
    const auto p = Righe(in.testo).posizione(a.riga, a.colonna);
    v.che(p && *p < in.testo.size(), [&] {
      return "the conversion stopped at " + std::to_string(a.riga) + ":" + std::to_string(a.colonna) +
             ", outside the text";
    });
    // It stops at the first byte it cannot take: everything before it converts.
    if (p && *p < in.testo.size()) {
      v.che(!converti_da_utf8(std::string_view(in.testo).substr(0, *p)).errore,
            "the conversion stopped after a byte it cannot take");
      const bool malformato = a.messaggio.find("not UTF-8") != std::string::npos;
      v.che(malformato == !carattere_valido_a(in.testo, *p), [&] {
        return "the conversion's reason disagrees with UTF-8 at byte " + std::to_string(*p) + ": " + a.messaggio;
      });
    }
    return e;
  }
  std::string_view utf8 = in.testo;
  if (utf8.starts_with(kBom)) utf8.remove_prefix(kBom.size());
  v.che(utf8_valido(utf8), "a text that is not UTF-8 was converted");
  v.che(da_cp1252(c.testo) == utf8, "the converted text does not read back as the UTF-8 it came from");
  const auto avvisi = controlla_testo(c.testo, in.formato);
  verifica_avvisi(v, c.testo, avvisi);
  e.avvisi = numeri(avvisi);
  return e;
}

}  // namespace cmp::fuzz
