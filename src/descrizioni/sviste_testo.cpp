#include "descrizioni/sviste_testo.h"

#include <algorithm>
#include <optional>
#include <string>

#include "errori/catalogo_errori.h"
#include "model/cp1252.h"
#include "model/indice_righe.h"
#include "model/limiti_formato.h"
#include "model/somiglianza.h"

namespace cmp {
namespace {

bool blank(char c) { return c == ' ' || c == '\t'; }

std::string_view senza_blank(std::string_view t) {
  while (!t.empty() && blank(t.front())) t.remove_prefix(1);
  while (!t.empty() && blank(t.back())) t.remove_suffix(1);
  return t;
}

// An optional sign and at least one digit: what a value field holds.
bool un_numero(std::string_view t) {
  if (!t.empty() && (t.front() == '+' || t.front() == '-')) t.remove_prefix(1);
  return !t.empty() && std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string basso(std::string_view t) {
  std::string out(t);
  for (char& c : out) c = static_cast<char>(minuscola_cp1252(static_cast<unsigned char>(c)));
  return out;
}

std::string citato(std::string_view t) { return "'" + da_cp1252(t) + "'"; }

// One line of the text: its bytes without the line end, its number, the keyword field
// (up to the first comma, blanks trimmed) and that field's column.
struct riga_testo {
  std::string_view testo;
  int numero = 0;
  std::string_view campo;
  int colonna = 1;
};

riga_testo riga_da(std::string_view testo, int numero) {
  if (!testo.empty() && testo.back() == '\r') testo.remove_suffix(1);
  const std::string_view grezzo = testo.substr(0, std::min(testo.find(','), testo.size()));
  std::size_t inizio = 0;
  while (inizio < grezzo.size() && blank(grezzo[inizio])) ++inizio;
  return {testo, numero, senza_blank(grezzo), static_cast<int>(inizio) + 1};
}

template <typename F>
void per_ogni_riga(std::string_view testo, F&& f) {
  int numero = 0;
  for (std::size_t i = 0; i < testo.size();) {
    const std::size_t fine = std::min(testo.find('\n', i), testo.size());
    f(riga_da(testo.substr(i, fine - i), ++numero));
    i = fine + 1;
  }
}

// A field the readers take for a comment, or a header.
bool commento(std::string_view campo) { return campo.find('-') != std::string_view::npos; }
// A header as the readers know one: a field holding both brackets (a byte-order mark may
// stand before the first).
bool intestazione(std::string_view campo) {
  return campo.find('[') != std::string_view::npos && campo.find(']') != std::string_view::npos;
}

// The first keyword of the format the readers take the field for.
const parola_chiave* parola_del_campo(std::string_view campo, formato_descrizione formato) {
  for (const std::size_t k : parole_riconosciute(campo)) {
    if (kParoleChiave[k].formato == formato) return &kParoleChiave[k];
  }
  return nullptr;
}

// The line reader matches its general keywords, all but the length's, as written: in
// lower case only. The words the field lacks in that case, if any.
bool maiuscole_ignorate(const parola_chiave& p, std::string_view campo) {
  if (p.formato != formato_descrizione::linea || p.sezione != "[generale]" || p.parola == "lunghezza percorso") {
    return false;
  }
  for (std::size_t i = 0; i < p.riconosce.size();) {
    const std::size_t fine = std::min(p.riconosce.find(' ', i), p.riconosce.size());
    if (campo.find(p.riconosce.substr(i, fine - i)) == std::string_view::npos) return true;
    i = fine + 1;
  }
  return false;
}

// The fields of a line split at its commas, with the column of each (from 1).
std::vector<std::pair<std::string_view, int>> campi_della_riga(std::string_view riga) {
  std::vector<std::pair<std::string_view, int>> out;
  std::size_t i = 0;
  for (;;) {
    const std::size_t fine = std::min(riga.find(',', i), riga.size());
    std::size_t inizio = i;
    while (inizio < fine && blank(riga[inizio])) ++inizio;
    out.emplace_back(riga.substr(inizio, fine - inizio), static_cast<int>(inizio) + 1);
    if (fine == riga.size()) return out;
    i = fine + 1;
  }
}

// A station row: its keyword, 16 values and its name, which runs to the next comma.
constexpr std::size_t kCampoNome = 17;

std::optional<avviso_testo> svista_stazione(const riga_testo& r) {
  const auto campi = campi_della_riga(r.testo);
  if (campi.size() <= kCampoNome) return std::nullopt;
  const auto [nome, colonna] = campi[kCampoNome];
  if (un_numero(senza_blank(nome))) {
    const std::string dopo = campi.size() > kCampoNome + 1
                                 ? ", and " + citato(senza_blank(campi[kCampoNome + 1].first)) +
                                       " after it is read as the next row's keyword field"
                                 : std::string();
    return avviso_testo{errori::nome_stazione_numero, r.numero, colonna,
                        "the station's name is " + citato(senza_blank(nome)) +
                            ", a number: the row holds one value more than the 16 before a name" + dopo};
  }
  if (campi.size() > kCampoNome + 1) {
    return avviso_testo{errori::nome_stazione_virgola, r.numero, campi[kCampoNome + 1].second,
                        "the station's name ends at a comma: it is read as " + citato(nome) + ", and " +
                            citato(senza_blank(campi[kCampoNome + 1].first)) +
                            " is read as the next row's keyword field (a name holds no comma)"};
  }
  return std::nullopt;
}

// "stazione 0" or "stazione<TAB>0": a keyword, a blank and a number, where a comma
// belongs after the keyword. The keywords that take a digit are left alone.
std::optional<avviso_testo> svista_blank(const riga_testo& r, formato_descrizione formato) {
  const std::size_t b = r.campo.find_last_of(" \t");
  if (b == std::string_view::npos || !un_numero(r.campo.substr(b + 1))) return std::nullopt;
  const std::string_view testa = senza_blank(r.campo.substr(0, b));
  const parola_chiave* p = parola_del_campo(testa, formato);
  if (p == nullptr || !p->varianti.empty()) return std::nullopt;
  const bool tab = r.campo.substr(0, b + 1).find('\t') != std::string_view::npos;
  return avviso_testo{errori::blank_dopo_parola, r.numero, r.colonna,
                      citato(testa) + " is followed by " + (tab ? "a tab" : "a blank") + " and " +
                          citato(r.campo.substr(b + 1)) + ", not by a comma: " + citato(r.campo.substr(b + 1)) +
                          " is read as part of the keyword field, and the row's first value is taken from the "
                          "field after it"};
}

// "curve4": a curve's side and class with a slip in 'curva', which the reader skips.
// A field without digits is the misspelt keyword's warning (201), not this one.
std::optional<avviso_testo> svista_curva(const riga_testo& r) {
  if (r.campo.size() > 16 || r.campo.find_first_of("0123456789") == std::string_view::npos) return std::nullopt;
  std::string lettere;
  for (const char c : basso(r.campo)) {
    if (c >= 'a' && c <= 'z') {
      lettere += c;
    } else if (!(c >= '0' && c <= '9') && !blank(c)) {
      return std::nullopt;
    }
  }
  for (const std::string_view parola : {"curva", "curvad", "curvas"}) {
    if (lettere == parola) return std::nullopt;
    if (somiglianza::entro(lettere, parola, 1)) {
      return avviso_testo{errori::curva_senza_parola, r.numero, r.colonna,
                          citato(r.campo) +
                              " is no curve keyword, so the row is skipped: a curve is written 'curva', its side "
                              "(s or d) and its class from 1 to 6, as 'curvad4'"};
    }
  }
  return std::nullopt;
}

// Where each row stands against the sections: the readers skip everything before
// [generale]; the line reader reads its general keywords only up to the first header
// after [generale], and its other rows only after it.
class Sezioni {
 public:
  Sezioni(std::string_view testo, formato_descrizione formato) : formato_(formato) {
    per_ogni_riga(testo, [&](const riga_testo& r) {
      if (intestazione(r.campo)) presenti_.push_back(basso(r.campo));
    });
  }

  void intestazione_letta(std::string_view campo) {
    const std::string h = basso(campo);
    if (!generale_visto_) {
      if (h.find("[generale]") == std::string::npos) return;
      generale_visto_ = true;
      tra_generali_ = formato_ == formato_descrizione::linea;
      sezione_ = "[generale]";
      return;
    }
    tra_generali_ = false;
    sezione_ = h;
  }

  std::optional<avviso_testo> riga_letta(const riga_testo& r, const parola_chiave& p) {
    const std::string chi = "the " + std::string(p.parola) + " row";
    const auto avviso = [&](std::int32_t codice, std::string testo) {
      return avviso_testo{codice, r.numero, r.colonna, std::move(testo)};
    };
    if (!generale_visto_) {
      return avviso(errori::riga_fuori_sezione, chi + " stands before [generale]: everything before it is skipped");
    }
    // The train reader takes its rows under any header after [generale], and so does the
    // line reader in its row section: only a row the placement makes skipped is a slip.
    const bool generale = p.sezione == "[generale]";
    if (formato_ != formato_descrizione::linea || tra_generali_ == generale) return std::nullopt;
    if (tra_generali_ && std::find(presenti_.begin(), presenti_.end(), p.sezione) == presenti_.end()) {
      if (std::find(mancanti_detti_.begin(), mancanti_detti_.end(), p.sezione) != mancanti_detti_.end()) {
        return std::nullopt;
      }
      mancanti_detti_.push_back(p.sezione);
      return avviso(errori::sezione_mancante,
                    "the text has no " + std::string(p.sezione) + " header: " + chi +
                        " and those like it up to the next header stand among the general rows, which are read "
                        "for general keywords only, so they are skipped");
    }
    if (tra_generali_) {
      return avviso(errori::riga_fuori_sezione, chi + " stands among the general rows, before its header " +
                                                    std::string(p.sezione) + ": it is skipped");
    }
    return avviso(errori::riga_fuori_sezione,
                  chi + " stands under " + sezione_ +
                      ": the line's general rows are read only up to the first header after [generale], so it "
                      "is skipped");
  }

 private:
  formato_descrizione formato_;
  std::vector<std::string> presenti_;  // the headers of the text, lower-cased
  std::vector<std::string_view> mancanti_detti_;
  bool generale_visto_ = false;
  bool tra_generali_ = false;  // the line's general section: up to the first header after [generale]
  std::string sezione_;
};

std::optional<avviso_testo> svista_cr(std::string_view testo) {
  const auto cr = primo_cr_solo(testo);
  if (!cr) return std::nullopt;
  const auto dove = IndiceRighe(testo).luogo(*cr);
  return avviso_testo{errori::fine_riga_cr, dove.riga, dove.colonna,
                      "a line ends with a CR alone (an old Mac text?): the readers end lines at LF or CR LF "
                      "only, so what follows is read as the same line; save the text with CR LF or LF line ends"};
}

}  // namespace

std::vector<avviso_testo> sviste_del_testo(std::string_view testo, formato_descrizione formato) {
  std::vector<avviso_testo> out;
  if (testo.find('\0') != std::string_view::npos) return out;  // a binary file: 202 says so
  if (auto cr = svista_cr(testo)) {
    out.push_back(std::move(*cr));
    // The whole text is one line: what the rows seem to be is no slip of theirs.
    if (testo.find('\n') == std::string_view::npos) return out;
  }
  Sezioni sezioni(testo, formato);
  per_ogni_riga(testo, [&](const riga_testo& r) {
    if (r.campo.empty() || commento(r.campo)) return;
    if (intestazione(r.campo)) {
      sezioni.intestazione_letta(r.campo);
      return;
    }
    const auto aggiungi = [&](std::optional<avviso_testo> a) {
      if (a) out.push_back(std::move(*a));
      return a.has_value();
    };
    const parola_chiave* p = parola_del_campo(r.campo, formato);
    if (p == nullptr) {
      if (formato == formato_descrizione::linea) aggiungi(svista_curva(r));
      return;
    }
    if (maiuscole_ignorate(*p, r.campo)) {
      out.push_back({errori::parola_maiuscola, r.numero, r.colonna,
                     citato(r.campo) + " holds capitals, and the line reader matches " + citato(p->parola) +
                         " in lower case only: the row is skipped"});
      return;
    }
    aggiungi(svista_blank(r, formato));
    if (p->parola == "stazione") aggiungi(svista_stazione(r));
    aggiungi(sezioni.riga_letta(r, *p));
  });
  return out;
}

namespace {

// The rows with a position, by the keyword the readers took them by.
bool con_posizione(std::string_view chiave) {
  for (const std::string_view c : {"pendenza", "curva", "montagna", "indicatori_v", "cartello", "velocit", "aderenza",
                                   "segnale", "rallentamento", "abbattimento", "stazione"}) {
    if (c == chiave) return true;
  }
  return false;
}

// The rows read in order of position, each taking effect from the cell the one before reached.
std::optional<std::string_view> nome_in_ordine(std::string_view chiave) {
  if (chiave == "pendenza") return "gradient";
  if (chiave == "velocit") return "speed-limit";
  if (chiave == "aderenza") return "adhesion";
  return std::nullopt;
}

std::string metri(std::int64_t m) { return std::to_string(m) + " m"; }

}  // namespace

std::vector<svista_di_riga> sviste_delle_righe(const esito_compilazione& esito, std::int32_t lunghezza_linea) {
  std::vector<svista_di_riga> out;
  struct piu_avanti {
    std::string_view chiave;
    const riga_sorgente* riga;
  };
  std::vector<piu_avanti> ordine;
  for (const auto& r : esito.righe) {
    const auto aggiungi = [&](std::int32_t codice, std::string messaggio) {
      out.push_back({r.testo, {codice, r.riga, r.colonna, std::move(messaggio)}});
    };
    if (const auto nome = nome_in_ordine(r.chiave)) {
      auto it = std::find_if(ordine.begin(), ordine.end(), [&](const piu_avanti& o) { return o.chiave == r.chiave; });
      if (it == ordine.end()) {
        ordine.push_back({r.chiave, &r});
      } else if (r.posizione < it->riga->posizione) {
        aggiungi(errori::righe_fuori_ordine,
                 "the " + std::string(*nome) + " row at " + metri(r.posizione) + " comes after the one at " +
                     metri(it->riga->posizione) + " (line " + std::to_string(it->riga->riga) +
                     "): these rows are read in order of position, so this one only takes effect from the cell "
                     "the row before reached");
      } else {
        it->riga = &r;
      }
    }
    const auto fermo_qui = [&](const errore_lettura& e) {
      return e.codice == errori::posizione_oltre && e.dove.testo == r.testo && e.dove.riga == r.riga &&
             e.dove.colonna == r.colonna;
    };
    const bool dove_fermo = fermo_qui(esito.lettura) || (esito.lettura_linea && fermo_qui(*esito.lettura_linea));
    if (lunghezza_linea > 0 && con_posizione(r.chiave) && r.posizione > lunghezza_linea && !dove_fermo) {
      aggiungi(errori::riga_oltre_linea,
               "the row at " + metri(r.posizione) + " lies beyond the line's length (" + metri(lunghezza_linea) +
                   "), in the " + metri(limiti_file::metri_oltre_linea) +
                   " of track that follow the line's end: the train meets it after the end of the line");
    }
  }
  return out;
}

}  // namespace cmp
