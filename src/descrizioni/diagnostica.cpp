#include "descrizioni/diagnostica.h"

#include <algorithm>
#include <utility>

#include "errori/catalogo_errori.h"
#include "model/arrotonda.h"
#include "model/cp1252.h"
#include "model/limiti_formato.h"

namespace cmp {
namespace {

std::string metri(std::int64_t m) { return std::to_string(m) + " m"; }

// What the cell of a position holds, when the cell exists: "cell 89, which already holds a signal".
std::string cella_occupata(const Stato& s, std::int64_t cella) {
  std::string out = "cell " + std::to_string(cella);
  if (cella >= 0 && cella <= s.ultima_cella()) {
    out += ", which already holds " + nome_tipo_cella(s.percorso[static_cast<std::size_t>(cella)].tipo);
  }
  return out;
}

// The cell a row at `p` metres takes: the position / 50, plus one.
std::int64_t cella_piu_uno(std::int32_t p) { return arrotonda(limiti_file::in_celle(p) + 1); }

// A row's kind in words, from the keyword the reader took it by.
std::string nome_chiave(std::string_view chiave) {
  static constexpr std::pair<std::string_view, std::string_view> kNomi[] = {
      {"lunghezza percorso", "length"}, {"progressiva", "kilometre-reference"},
      {"pendenza", "gradient"},         {"curva", "curve"},
      {"montagna", "mountain"},         {"indicatori_v", "speed-indicator"},
      {"cartello", "caption-board"},    {"velocit", "speed-limit"},
      {"aderenza", "adhesion"},         {"segnale", "signal"},
      {"rallentamento", "slow-order"},  {"abbattimento", "abbattimento"},
      {"stazione", "station"}};
  for (const auto& [parola, nome] : kNomi) {
    if (parola == chiave) return std::string(nome);
  }
  return "'" + std::string(chiave) + "'";
}

std::string limite_traccia(const Stato& s) {
  if (s.percorso.empty()) return "there is no track";
  const std::int64_t n = s.ultima_cella();
  return "the track has cells 0 to " + std::to_string(n) + ", so a row may start at most at " + metri(50 * n - 100) +
         " and a station at most at " + metri(50 * n - 800);
}

}  // namespace

std::string nome_tipo_cella(std::uint8_t tipo) {
  switch (tipo) {
    case 0:
      return "nothing";
    case 1:
      return "a signal";
    case 2:
      return "the end of a slow order";
    case 3:
      return "the start of a slow order";
    case 4:
      return "a slow-order warning point";
    case 5:
      return "a slow-order approach cell";
    case 6:
      return "speed-indicator boards";
    case 10:
      return "a station stop";
    case 11:
      return "a mountain marker";
    case 12:
      return "an abbattimento point with a value";
    case 13:
      return "an abbattimento point";
    case 14:
      return "a caption board";
    default:
      return "an object of type " + std::to_string(tipo);
  }
}

namespace {

std::string cella_n(std::int64_t c) { return "cell " + std::to_string(c); }

// Whether row r put the object a cell holds there: by the cell its position takes, or
// for a station stop by the station's entry.
bool ha_messo(const riga_sorgente& r, std::int64_t cella, const tratto& t, int stazione) {
  const std::string_view k = r.chiave;
  switch (t.tipo) {
    case tipo_cella::segnale:
      return k == "segnale" && cella_piu_uno(r.posizione) == cella;
    case tipo_cella::inizio_rallentamento:
      return k == "rallentamento" && cella_piu_uno(r.posizione) == cella;
    case tipo_cella::avviso_rallentamento:
      return k == "rallentamento" && cella_piu_uno(r.posizione - 1200) == cella;
    case tipo_cella::indicatori_v_max:
      return k == "indicatori_v" && cella_piu_uno(r.posizione) == cella;
    case tipo_cella::cartello:
      return k == "cartello" && cella_piu_uno(r.posizione) == cella;
    case tipo_cella::abbattimento:
    case tipo_cella::abbattimento_valore:
      return k == "abbattimento" && arrotonda(limiti_file::in_celle(r.posizione)) == cella;
    case tipo_cella::fermata:
      return k == "stazione" && stazione == t.parametro1;
    default:
      return false;
  }
}

// The row read before `prima` that put what a cell holds there, or nullptr when no row
// can be told (the end of a slow order, its approach cells, a mountain marker).
const riga_sorgente* riga_della_cella(const Stato& s, const esito_compilazione& esito, std::int64_t cella,
                                      const riga_sorgente* prima) {
  if (cella < 0 || cella > s.ultima_cella()) return nullptr;
  const tratto& t = s.percorso[static_cast<std::size_t>(cella)];
  const riga_sorgente* trovata = nullptr;
  int stazione = 0;
  for (const auto& r : esito.righe) {
    if (&r == prima) break;
    if (r.chiave == "stazione") ++stazione;
    if (ha_messo(r, cella, t, stazione)) trovata = &r;
  }
  return trovata;
}

// What a cell holds and, when it can be told, the row that put it there.
std::string cella_e_riga(const Stato& s, std::int64_t cella, const contesto_messaggio& c) {
  std::string out = cella_occupata(s, cella);
  if (c.esito == nullptr) return out;
  if (const riga_sorgente* r = riga_della_cella(s, *c.esito, cella, c.riga)) out += ", put there by " + nome_riga(*r);
  return out;
}

// The station row before the one a message is about.
const riga_sorgente* stazione_precedente(const contesto_messaggio& c) {
  if (c.esito == nullptr || c.riga == nullptr) return nullptr;
  const riga_sorgente* trovata = nullptr;
  for (const auto& r : c.esito->righe) {
    if (&r == c.riga) break;
    if (r.chiave == "stazione" && r.testo == testo_descrizione::treno) trovata = &r;
  }
  return trovata;
}

// Two stations too close: out of order when this one stands before the one before it.
std::string rispetto_precedente(const contesto_messaggio& c) {
  const riga_sorgente* prima = stazione_precedente(c);
  if (prima == nullptr) return "starts less than 350 m after the end of the previous station's area";
  const std::string chi = "the station at " + metri(prima->posizione) + " (" + nome_riga(*prima) + ")";
  if (c.riga != nullptr && c.riga->posizione <= prima->posizione) {
    return "is out of order: it comes after " + chi +
           " in the text but stands before it on the line; write the stations in order of position";
  }
  return "starts less than 350 m after the end of the area of " + chi;
}

// The value of one placeholder of a catalogue message.
std::string valore_segnaposto(const Stato& s, std::string_view nome, const contesto_messaggio& c) {
  const std::int32_t p = c.posizione;
  if (nome == "posizione") return metri(p);
  if (nome == "riga") return c.riga ? "the " + nome_chiave(c.riga->chiave) + " row" : "the row";
  if (nome == "oggetto") {
    return c.riga ? metri(c.riga->posizione) + " (" + cella_n(c.cella_oggetto) + ")" : cella_n(c.cella_oggetto);
  }
  if (nome == "cella_registrata") return cella_n(c.cella);
  if (nome == "cella") return cella_e_riga(s, cella_piu_uno(p), c);
  if (nome == "cella_avviso") return cella_e_riga(s, cella_piu_uno(p - 1200), c);
  if (nome == "cella_abbattimento") return cella_e_riga(s, arrotonda(limiti_file::in_celle(p)), c);
  if (nome == "stazione_precedente") return rispetto_precedente(c);
  if (nome == "lunghezza") return metri(lunghezza_linea(s.scenario));
  if (nome == "ripetizione_1") return std::to_string(ripetizione_primo(s.scenario));
  if (nome == "ripetizione_2") return std::to_string(ripetizione_secondo(s.scenario));
  if (nome == "voce_testi") return std::to_string(s.voce_cartello + 1);
  if (nome == "limite_percorso") return limite_traccia(s);
  if (nome == "ultima_cella") return s.percorso.empty() ? std::string("no track") : cella_n(s.ultima_cella());
  if (nome == "dettaglio") {
    const std::string& d = c.dettaglio ? *c.dettaglio : s.dettaglio_errore;
    return d.empty() ? "the text cannot be read here" : d;
  }
  return "{" + std::string(nome) + "}";
}

// The catalogue's message of a number the readers or the finishing pass record, or nullptr.
const char* modello_di(std::int32_t codice) {
  const voce_errore* v = voce_di(codice);
  if (v == nullptr || v->fonte == fonte_errore::compilazione || v->fonte == fonte_errore::controllo_testi ||
      v->fonte == fonte_errore::orario) {
    return nullptr;
  }
  return v->messaggio;
}

// A message whose numbers come from a position: those that would name a wrong row when
// the position was left by another one.
bool parla_di_posizione(std::string_view modello) {
  for (const char* segnaposto : {"{posizione}", "{cella}", "{cella_avviso}", "{cella_abbattimento}"}) {
    if (modello.find(segnaposto) != std::string_view::npos) return true;
  }
  return false;
}

// The last row read after `dopo` whose position is `posizione`: the row that left it.
const riga_sorgente* riga_con_posizione(const esito_compilazione& esito, const riga_sorgente* dopo,
                                        std::int32_t posizione) {
  for (auto it = esito.righe.rbegin(); it != esito.righe.rend() && &*it != dopo; ++it) {
    if (it->posizione == posizione) return &*it;
  }
  return nullptr;
}

}  // namespace

std::string compila_messaggio(const Stato& s, std::string_view modello, const contesto_messaggio& c) {
  std::string out;
  std::size_t i = 0;
  while (i < modello.size()) {
    const std::size_t apre = modello.find('{', i);
    const std::size_t chiude = apre == std::string_view::npos ? apre : modello.find('}', apre);
    if (chiude == std::string_view::npos) {
      out += modello.substr(i);
      break;
    }
    out += modello.substr(i, apre - i);
    out += valore_segnaposto(s, modello.substr(apre + 1, chiude - apre - 1), c);
    i = chiude + 1;
  }
  return out;
}

std::string descrivi_errore(const Stato& s, std::int32_t codice, std::int32_t p) {
  if (const char* modello = modello_di(codice)) {
    contesto_messaggio c;
    c.posizione = p;
    c.cella = c.cella_oggetto = limiti_file::celle_intere(p);
    return compila_messaggio(s, modello, c);
  }
  return s.dettaglio_errore.empty() ? "error " + std::to_string(codice) : s.dettaglio_errore;
}

const riga_sorgente* riga_in(const esito_compilazione& esito, const luogo& dove) {
  if (dove.riga <= 0) return nullptr;
  // One keyword field can hold several kinds; the last one taken there is the one that stopped.
  for (auto it = esito.righe.rbegin(); it != esito.righe.rend(); ++it) {
    if (it->testo == dove.testo && it->riga == dove.riga && it->colonna == dove.colonna) return &*it;
  }
  return nullptr;
}

std::string nome_riga(const riga_sorgente& r) {
  const char* testo = r.testo == testo_descrizione::linea ? "the line's " : "the train's ";
  return testo + nome_chiave(r.chiave) + " row at line " + std::to_string(r.riga);
}

std::string descrivi_lettura(const Stato& s, const esito_compilazione& esito) {
  return descrivi_lettura(s, esito, esito.lettura);
}

std::string descrivi_lettura(const Stato& s, const esito_compilazione& esito, const errore_lettura& e) {
  const char* modello = modello_di(e.codice);
  if (modello == nullptr) return descrivi_errore(s, e.codice, e.posizione);
  const riga_sorgente* puntata = riga_in(esito, e.dove);
  contesto_messaggio c;
  c.posizione = e.posizione;
  c.riga = puntata;
  c.esito = &esito;
  c.dettaglio = &e.dettaglio;
  if (puntata == nullptr || !parla_di_posizione(modello) || puntata->posizione == e.posizione) {
    return compila_messaggio(s, modello, c);
  }
  // The number and its place were left by one row, the position by a row read after it
  // (the train rows after an error 15 in the line), or the number too.
  const riga_sorgente* altra = riga_con_posizione(esito, puntata, e.posizione);
  if (e.codice == errori::posizione_oltre || altra == nullptr) {
    c.posizione = puntata->posizione;
    const std::string chi = altra ? " is " + nome_riga(*altra) : std::string();
    return compila_messaggio(s, modello, c) + " (the recorded position " + metri(e.posizione) + chi + ")";
  }
  c.posizione = altra->posizione;
  c.riga = altra;
  return compila_messaggio(s, modello, c) + " (error " + std::to_string(e.codice) + " and its position " +
         metri(e.posizione) + " were recorded by " + nome_riga(*altra) + ", read after this row)";
}

IndiceAvvisi::IndiceAvvisi(const Stato& s, const esito_compilazione& esito) {
  // Later rows replace earlier ones at the same cell: the last one read is the one meant.
  for (const auto& r : esito.righe) {
    if (r.testo != testo_descrizione::treno) continue;
    if (r.chiave == "segnale") segnali_[cella_piu_uno(r.posizione)] = &r;
    if (r.chiave == "rallentamento") rallentamenti_[cella_piu_uno(r.posizione)] = &r;
  }
  inizio_rallentamento_.resize(s.percorso.size());
  std::int64_t ultimo = -1;
  for (std::size_t k = 0; k < s.percorso.size(); ++k) {
    if (s.percorso[k].tipo == tipo_cella::inizio_rallentamento) ultimo = static_cast<std::int64_t>(k);
    inizio_rallentamento_[k] = ultimo;
  }
}

std::int64_t IndiceAvvisi::cella_oggetto(const avviso_finitura& a) const {
  const std::int64_t c = limiti_file::celle_intere(a.posizione);
  if (a.codice != errori::abbattimento_rallentamento || c < 0 || inizio_rallentamento_.empty()) return c;
  const auto ultima = static_cast<std::int64_t>(inizio_rallentamento_.size()) - 1;
  const std::int64_t inizio = inizio_rallentamento_[static_cast<std::size_t>(std::min(c, ultima))];
  return inizio >= 0 ? inizio : c;
}

const riga_sorgente* IndiceAvvisi::riga(const avviso_finitura& a) const {
  const auto& righe = a.codice == errori::abbattimento_segnale ? segnali_ : rallentamenti_;
  const auto it = righe.find(cella_oggetto(a));
  return it == righe.end() ? nullptr : it->second;
}

const riga_sorgente* riga_dell_avviso(const IndiceAvvisi& indice, const avviso_finitura& a) { return indice.riga(a); }

std::string descrivi_avviso(const Stato& s, const IndiceAvvisi& indice, const avviso_finitura& a) {
  const char* modello = modello_di(a.codice);
  if (modello == nullptr) return descrivi_errore(s, a.codice, a.posizione);
  contesto_messaggio c;
  c.riga = indice.riga(a);
  c.posizione = c.riga ? c.riga->posizione : a.posizione;
  c.cella = limiti_file::celle_intere(a.posizione);
  c.cella_oggetto = indice.cella_oggetto(a);
  return compila_messaggio(s, modello, c);
}

std::string file_del_luogo(const errore_lettura& e, const std::string& linea, const std::string& treno) {
  if (e.dove.testo == testo_descrizione::treno) return treno;
  if (e.dove.testo == testo_descrizione::linea) return linea;
  const voce_errore* v = voce_di(e.codice);
  return v != nullptr && v->testo == testo_errore::linea ? linea : treno;
}

const riga_sorgente* riga_del_posto_occupato(const esito_compilazione& esito) {
  for (const auto& r : esito.righe) {
    const auto p = r.posizione;
    const bool cartello = r.chiave == "cartello" || r.chiave == "indicatori_v";
    if ((cartello && p >= -24 && p <= 24) || (r.chiave == "rallentamento" && p >= 0 && p <= 24) ||
        (esito.finale == errore_finale::posto_scenario && r.chiave == "abbattimento" && p >= 26 && p <= 74)) {
      return &r;
    }
  }
  return nullptr;
}

std::string messaggio_posto_occupato(const riga_sorgente& r, errore_finale finale) {
  return "cell 1 of the track is reserved (" +
         std::string(finale == errore_finale::posto_scenario ? "its first value"
                                                             : "its second value, the check codes") +
         "), and this '" + std::string(r.chiave) + "' row at " + std::to_string(r.posizione) +
         " m puts a mark there; move it at least 50 m further on";
}

}  // namespace cmp
