#include "reader/line/lettore_linea.h"

#include <limits>

#include "model/arrotonda.h"
#include "model/cp1252.h"
#include "model/limiti_formato.h"
#include "reader/comune/aritmetica_32.h"
#include "reader/comune/lettura.h"
#include "reader/comune/testo_chiavi.h"
#include "reader/line/montagne_cartelli.h"
#include "reader/line/pendenze_curve.h"
#include "reader/line/progressive_ordina.h"
#include "reader/parole_chiave.h"

namespace cmp {
namespace {

// The words of a line keyword of the table.
consteval std::string_view parole(std::string_view parola) { return parole_di(formato_descrizione::linea, parola); }

constexpr int kCommentiGenerale = 10;
constexpr int kCommentiRighe = 2;

// One reading of a line description: the reader base and the cursors of the row section.
class LetturaLinea : public Lettura {
 public:
  LetturaLinea(Stato& s, std::string_view testo, righe_lette* righe)
      : Lettura(s, testo, testo_descrizione::linea, righe, luogo_dopo_righe::ultimo_campo) {}

  esito_lettura leggi();

 private:
  bool cerca_generale();
  bool sezione_generale();
  bool righe_generali(const std::string& campo);
  bool riga_lunghezza();
  void riga_progressiva(int voce);
  void riga_sfondo(std::int32_t& valore);
  bool riga_ripetizione(const std::string& campo);
  esito_riga sezione_righe();
  esito_riga riga(const std::string& campo);
  esito_riga riga_pendenza();
  esito_riga riga_curva(const std::string& campo);
  esito_riga riga_montagna();
  esito_riga riga_indicatori();
  esito_riga riga_cartello();
  bool oltre_percorso(std::int32_t posizione);
  esito_riga fermata(std::int32_t posizione);
  void richiedi_percorso() const;
  void richiedi_piano() const;
  bool errore(std::int32_t codice);

  cursori_righe cursori_;
};

// Records an error that stops the reading; always false, for `return errore(...)`.
bool LetturaLinea::errore(std::int32_t codice) {
  registra_errore(s_, codice, luogo_chiave());
  return false;
}

esito_lettura LetturaLinea::leggi() {
  if (!cerca_generale()) return esito_lettura::interrotta;
  if (!sezione_generale()) return esito_lettura::interrotta;

  progressive_ordina(s_);
  s_.numero_montagne = 0;
  s_.voce_cartello = 80;
  cursori_ = {};
  if (s_.crea_tabella_linea) {
    richiedi_piano();
    avvia_piano(s_);
  }

  if (sezione_righe() == esito_riga::interrompi) return esito_lettura::interrotta;

  // After the last row, or after a row beyond the track: the closing passes.
  richiedi_percorso();
  chiudi_pendenze(s_, cursori_);
  if (s_.crea_tabella_linea) {
    richiedi_piano();
    chiudi_piano(s_, cursori_);
  }
  return esito_lettura::completa;
}

// Anything before the header is skipped; a header that is the very last field does not count.
bool LetturaLinea::cerca_generale() {
  for (;;) {
    const std::string campo = leggi_chiave();
    if (campi_.fine()) return errore(errori::generale_mancante);
    if (contiene(CampoMinuscolo(campo), "[generale]")) return true;
  }
}

bool LetturaLinea::sezione_generale() {
  for (;;) {
    if (campi_.fine()) return true;
    std::string campo = leggi_chiave();
    if (campi_.fine()) return true;
    // Comment fields; these reads do not look for the end of the text.
    for (int i = 0; i < kCommentiGenerale && contiene(campo, "-"); ++i) campo = leggi_chiave();
    if (!righe_generali(campo)) return false;
    const bool intestazione = contiene(campo, "[") && contiene(campo, "]") && campo.front() != '-';
    if (intestazione) return true;
  }
}

// Every keyword is tested on the same field, in this order; each match reads its values.
bool LetturaLinea::righe_generali(const std::string& campo) {
  const CampoMinuscolo basso(campo);
  if (contiene_parole(basso, parole("lunghezza percorso"))) {
    annota("lunghezza percorso");
    if (!riga_lunghezza()) return false;
  }
  // Only the length keyword is matched in any case; the others below are matched as
  // written, in lower case. The number words map to the entries in reverse: "tre" is
  // entry 81, "uno" entry 83, and "sfondo due" fills `intero3` while "sfondo tre" fills
  // `intero2`. A field holding two of the words fills both.
  if (contiene_parole(campo, parole("progressiva chilometrica tre"))) riga_progressiva(kVoceProgressivaTre);
  if (contiene_parole(campo, parole("progressiva chilometrica due"))) riga_progressiva(kVoceProgressivaDue);
  if (contiene_parole(campo, parole("progressiva chilometrica uno"))) riga_progressiva(kVoceProgressivaUno);
  if (contiene_parole(campo, parole("sfondo uno"))) riga_sfondo(sfondo_uno(s_.scenario));
  if (contiene_parole(campo, parole("sfondo due"))) riga_sfondo(sfondo_due(s_.scenario));
  if (contiene_parole(campo, parole("sfondo tre"))) riga_sfondo(sfondo_tre(s_.scenario));
  if (contiene_parole(campo, parole("ripetizione segnali"))) {
    annota("segnali ripetizione");
    if (!riga_ripetizione(campo)) return false;
  }
  return true;
}

// The length sizes the track (and the plan); a second length row sizes them anew.
bool LetturaLinea::riga_lunghezza() {
  const std::int32_t lunghezza = campi_.leggi_intero();
  lunghezza_linea(s_.scenario) = lunghezza;
  if (lunghezza > limiti_file::lunghezza_massima) return errore(errori::lunghezza_eccessiva);
  if (lunghezza < 0) return errore(errori::lunghezza_negativa);
  const std::int64_t metri = std::int64_t{lunghezza} + limiti_file::metri_oltre_linea;
  s_.percorso.assign(static_cast<std::size_t>(arrotonda(limiti_file::in_celle(metri))) + 1, tratto{});
  if (s_.crea_tabella_linea) s_.tabella_linea.crea(static_cast<std::size_t>(metri) + 1);
  return true;
}

void LetturaLinea::riga_sfondo(std::int32_t& valore) {
  annota("sfondo");
  valore = campi_.leggi_intero();
}

void LetturaLinea::riga_progressiva(int voce) {
  annota("progressiva");
  voce_scenario& v = s_.scenario[static_cast<std::size_t>(voce)];
  posizione_progressiva(v) = campi_.leggi_intero();
  posiziona(posizione_progressiva(v));
  chilometri_progressiva(v) = campi_.leggi_intero();
  bandiera_progressiva(v) = campi_.leggi_intero();
}

bool LetturaLinea::riga_ripetizione(const std::string& campo) {
  const std::int32_t a = campi_.leggi_intero();
  const std::int32_t b = campi_.leggi_intero();
  ripetizione_primo(s_.scenario) = a;
  ripetizione_secondo(s_.scenario) = b;
  if (!limiti_file::su_griglia(a)) return errore(errori::ripetizione_primo);
  if (!limiti_file::su_griglia(b)) return errore(errori::ripetizione_secondo);
  if (contiene(campo, "4")) {
    numero_codici(s_.scenario) = 4;
  } else if (contiene(campo, "9")) {
    numero_codici(s_.scenario) = 9;
  } else {
    return errore(errori::ripetizione_codici);
  }
  if (b == 0) numero_codici(s_.scenario) = 0;
  return true;
}

esito_riga LetturaLinea::sezione_righe() {
  while (!campi_.fine()) {
    const auto campo = chiave_dopo_commenti(kCommentiRighe);
    if (!campo) break;
    const esito_riga esito = riga(*campo);
    if (esito != esito_riga::continua) return esito;
  }
  return esito_riga::continua;
}

// Rows are known by keyword alone, matched in any case; every test is made on the same
// field, in this order.
esito_riga LetturaLinea::riga(const std::string& campo) {
  const CampoMinuscolo basso(campo);
  esito_riga e = esito_riga::continua;
  if (contiene_parole(basso, parole("pendenza"))) e = riga_pendenza();
  if (e == esito_riga::continua && s_.crea_tabella_linea && contiene_parole(basso, parole("curva")))
    e = riga_curva(campo);
  if (e == esito_riga::continua && contiene_parole(basso, parole("montagna"))) e = riga_montagna();
  if (e == esito_riga::continua && contiene_parole(basso, parole("indicatori_v"))) e = riga_indicatori();
  if (e == esito_riga::continua && contiene_parole(basso, parole("cartello_indicatore"))) e = riga_cartello();
  return e;
}

void LetturaLinea::richiedi_percorso() const {
  if (s_.percorso.empty()) throw FallimentoRiga("the description has no length row, so there is no track");
}

void LetturaLinea::richiedi_piano() const {
  if (!s_.tabella_linea.esiste()) throw FallimentoRiga("the description has no length row, so there is no plan");
}

// A row may change nothing when (position + 100) / 50 lies beyond the last cell.
bool LetturaLinea::oltre_percorso(std::int32_t posizione) {
  richiedi_percorso();
  const std::int64_t piu_cento = somma_32(posizione, 100, "the position plus 100");
  return piu_cento > 50 * s_.ultima_cella();
}

// Error 15 stops the rows; the closing passes still run and the train text is read.
esito_riga LetturaLinea::fermata(std::int32_t posizione) { return fine_per_posizione(s_, posizione, luogo_chiave()); }

esito_riga LetturaLinea::riga_pendenza() {
  annota("pendenza");
  const std::int32_t p = campi_.leggi_intero();
  const std::int32_t v = campi_.leggi_intero();
  posiziona(p);
  if (oltre_percorso(p)) return fermata(p);
  cmp::riga_pendenza(s_, cursori_, p, v);
  return esito_riga::continua;
}

esito_riga LetturaLinea::riga_curva(const std::string& campo) {
  annota("curva");
  const std::int32_t p = campi_.leggi_intero();
  const std::int32_t l = campi_.leggi_intero();
  posiziona(p);
  if (oltre_percorso(p)) return fermata(p);
  const auto k = curvatura(campo);
  if (!k || !cmp::riga_curva(s_, cursori_, p, l, *k)) {
    errore(errori::curva_non_valida);
    return esito_riga::interrompi;
  }
  return esito_riga::continua;
}

esito_riga LetturaLinea::riga_montagna() {
  annota("montagna");
  const std::int32_t inizio = campi_.leggi_intero();
  const std::int32_t fine = campi_.leggi_intero();
  const std::int32_t tipo = campi_.leggi_intero();
  posiziona(inizio);
  if (oltre_percorso(inizio)) return fermata(inizio);
  memo_montagna(s_, inizio, fine, tipo);
  return dopo_memo(s_, inizio, luogo_chiave());
}

esito_riga LetturaLinea::riga_indicatori() {
  annota("indicatori_v");
  const std::int32_t posizione = campi_.leggi_intero();
  posiziona(posizione);
  const std::int32_t vas = campi_.leggi_intero();
  const std::int32_t vbs = campi_.leggi_intero();
  const std::int32_t vcs = campi_.leggi_intero();
  // The stripe counts keep the low 16 bits of what is read.
  const auto strisces = static_cast<std::int16_t>(campi_.leggi_intero());
  const std::int32_t vad = campi_.leggi_intero();
  const std::int32_t vbd = campi_.leggi_intero();
  const std::int32_t vcd = campi_.leggi_intero();
  const auto strisced = static_cast<std::int16_t>(campi_.leggi_intero());
  if (oltre_percorso(posizione)) return fermata(posizione);
  memo_indicatori_v_max(s_, posizione, vas, vbs, vcs, strisces, vad, vbd, vcd, strisced);
  return dopo_memo(s_, posizione, luogo_chiave());
}

esito_riga LetturaLinea::riga_cartello() {
  annota("cartello");
  const std::int32_t posizione = campi_.leggi_intero();
  std::string testo = campi_.leggi_testo();
  posiziona(posizione, testo);
  if (testo.size() > limiti_file::byte_testo_voce) {
    throw FallimentoRiga("a caption of " + std::to_string(testo.size()) +
                         " bytes does not fit an entry (65535 at most)");
  }
  if (oltre_percorso(posizione)) return fermata(posizione);
  memo_cartello(s_, posizione, std::move(testo));
  return dopo_memo(s_, posizione, luogo_chiave());
}

}  // namespace

esito_lettura leggi_descrizione_linea(Stato& s, std::string_view testo, righe_lette* righe) {
  LetturaLinea lettura(s, testo, righe);
  return lettura.con_fallimenti([&] { return lettura.leggi(); }, "not enough memory for the track or the plan");
}

}  // namespace cmp
