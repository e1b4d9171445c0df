// compattatore timetable: the fastest run a train can make over the compiled track, station
// by station against its times, from the descriptions (compiled in memory, as compile does)
// or from the binary files of a compiled scenario. Nothing is written.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <system_error>
#include <vector>

#include "comandi/compilato_letto.h"
#include "comandi/descrizioni_utente.h"
#include "comandi/rifiuto.h"
#include "comandi/stampa_diagnostica.h"
#include "comandi/tabella_comandi.h"
#include "descrizioni/diagnostica.h"
#include "descrizioni/reperti.h"
#include "descrizioni/reperti_orario.h"
#include "disco/cartella_disco.h"
#include "errori/stati_uscita.h"
#include "finestra/errore.h"
#include "messaggi/json.h"
#include "messaggi/messaggi.h"
#include "messaggi/scrivi_flusso.h"
#include "messaggi/uscita_standard.h"
#include "model/cp1252.h"
#include "model/nomi_file.h"
#include "orario/corsa_minima.h"
#include "orario/testo_orario.h"

namespace cmp {
namespace {

// The assumptions given on the command line, checked.
struct ipotesi_comando {
  ipotesi_corsa corsa;
  double margine_minimo = kMargineMinimoPredefinito;
};

// A number of the options: a plain decimal ("0.45", "1"), within [minimo, massimo]; an
// open lower end when `minimo_escluso`.
std::optional<double> numero_opzione(const std::string& testo, double minimo, bool minimo_escluso, double massimo) {
  double x = 0;
  const char* fine = testo.data() + testo.size();
  const auto [p, ec] = std::from_chars(testo.data(), fine, x, std::chars_format::fixed);
  if (ec != std::errc() || p != fine || !std::isfinite(x)) return std::nullopt;
  if (x < minimo || (minimo_escluso && x == minimo) || x > massimo) return std::nullopt;
  return x;
}

std::optional<ipotesi_comando> ipotesi_di(const opzioni_lette& o, rifiuto* r) {
  ipotesi_comando i;
  struct limite {
    const char* opzione;
    bool minimo_escluso;  // the lower end, 0, is open
    double massimo;
    const char* cosa;
    std::function<void(double)> metti;
  };
  const limite limiti[] = {
      {"--accelerazione", true, kAccelerazioneMassima, "an acceleration in m/s\u00b2 above 0 and at most 5",
       [&](double x) { i.corsa.accelerazione = x; }},
      {"--decelerazione", true, kDecelerazioneMassima, "a braking rate in m/s\u00b2 above 0 and at most 5",
       [&](double x) { i.corsa.decelerazione = x; }},
      {"--margine-minimo", false, 100, "a per cent from 0 to 100", [&](double x) { i.margine_minimo = x; }},
  };
  for (const limite& l : limiti) {
    const auto valore = o.valore(l.opzione);
    if (!valore) continue;
    const auto x = numero_opzione(*valore, 0, l.minimo_escluso, l.massimo);
    if (!x) {
      rifiuta(r, std::string("timetable: ") + l.opzione + " takes " + l.cosa + ", not '" + *valore +
                     "' (try 'compattatore timetable --help')");
      return std::nullopt;
    }
    l.metti(*x);
  }
  return i;
}

std::string a_destra(const std::string& t, std::size_t larghezza) {
  return std::string(larghezza > t.size() ? larghezza - t.size() : 0, ' ') + t;
}

std::string a_sinistra(const std::string& t, std::size_t larghezza) {
  const std::size_t l = caratteri_utf8(t);
  return t + std::string(larghezza > l ? larghezza - l : 0, ' ');
}

// The table on standard output: the assumptions, then one row per station.
std::string tabella_testo(const corsa_minima& c, const std::string& titolo, double margine_minimo, bool senza_corsa) {
  std::string t = "Fastest run of " + titolo + "\n";
  t += "  acceleration " + testo_accelerazione(c) + " (assumed), braking " + testo_decelerazione(c) + "\n";
  if (c.stazioni.empty()) {
    return t + (senza_corsa ? "  no run: the descriptions hold an error (above); mend it first\n"
                            : "  no station: nothing to time\n");
  }
  t += "  the scenario starts at " + ora_del_giorno(c.orologio, false) + "; margins below " +
       in_decimali(margine_minimo, 1) + " % of the running time are flagged\n\n";
  std::size_t larghezza = 7;
  std::vector<std::string> nomi;
  for (const auto& s : c.stazioni) {
    nomi.push_back(da_cp1252(s.nome) + (s.fermata ? "" : " (passed)"));
    larghezza = std::max(larghezza, caratteri_utf8(nomi.back()));
  }
  t += a_sinistra("station", larghezza) + "  time      earliest       margin         %\n";
  for (std::size_t i = 0; i < c.stazioni.size(); ++i) {
    const stazione_corsa& s = c.stazioni[i];
    t += a_sinistra(nomi[i], larghezza) + "  " + ora_del_giorno(s.orario, false) + "  ";
    if (!s.arrivo) {
      t += "cannot be reached\n";
      continue;
    }
    t += a_destra(ora_del_giorno(*s.arrivo, true), 10) + "  " + a_destra(in_decimali(*s.margine, 1) + " s", 9) + "  " +
         a_destra(s.margine_percento ? in_decimali(*s.margine_percento, 1) + " %" : "", 8);
    if (const auto a = avviso_stazione(c, s, margine_minimo)) t += a->numero == 301 ? "  late" : "  short";
    while (!t.empty() && t.back() == ' ') t.pop_back();
    t += "\n";
  }
  return t;
}

std::string json_numero(const std::optional<double>& x, int cifre) { return x ? in_decimali(*x, cifre) : "null"; }

// --json: the assumptions, one object per station (times in seconds since midnight) and the
// warnings in the order standard error shows them.
std::string json_orario(const corsa_minima& c, bool senza_corsa, double margine_minimo, const righe_lette* righe,
                        const std::vector<reperto>& reperti, std::size_t omessi, const std::string& linea,
                        const std::string& treno, int stato) {
  std::string j = "{\"stato\": " + std::to_string(stato) +
                  ", \"corsa_calcolata\": " + (senza_corsa ? "false" : "true") +
                  ", \"accelerazione\": " + in_decimali(c.accelerazione, 4) +
                  ", \"decelerazione\": " + in_decimali(c.decelerazione, 4) +
                  ", \"decelerazione_da\": " + (c.decelerazione_da_massa ? "\"massa_frenata\"" : "\"opzione\"") +
                  ", \"massa_frenata\": " + std::to_string(c.massa_frenata) +
                  ", \"margine_minimo\": " + in_decimali(margine_minimo, 2) +
                  ", \"orologio\": " + std::to_string(c.orologio) + ", \"stazioni\": [";
  for (std::size_t i = 0; i < c.stazioni.size(); ++i) {
    const stazione_corsa& s = c.stazioni[i];
    const riga_sorgente* riga = righe ? riga_della_stazione(*righe, s) : nullptr;
    j += std::string(i ? ", " : "") + "{\"nome\": " + json_testo(da_cp1252(s.nome)) +
         ", \"file\": " + (riga ? json_testo(treno) : "null") +
         ", \"riga\": " + (riga ? std::to_string(riga->riga) : "null") +
         ", \"colonna\": " + (riga ? std::to_string(riga->colonna) : "null") +
         ", \"orario\": " + std::to_string(s.orario) + ", \"arrivo_minimo\": " + json_numero(s.arrivo, 3) +
         ", \"margine\": " + json_numero(s.margine, 3) +
         ", \"margine_percento\": " + json_numero(s.margine_percento, 2) +
         ", \"fermata\": " + (s.fermata ? "true" : "false") + ", \"metro\": " + in_decimali(s.metro, 1) + "}";
  }
  j += "], \"blocco\": ";
  if (c.blocco) {
    j += "{\"motivo\": \"" + std::string(nome_motivo(c.blocco->perche)) +
         "\", \"metro\": " + std::to_string(c.blocco->metro) + "}";
  } else {
    j += "null";
  }
  j += ", \"avvisi\": [";
  bool prima = true;
  for (const reperto* r : reperti_mostrati(reperti)) {
    if (r->errore) continue;
    j += (prima ? "" : ", ") + json_avviso(*r, linea, treno);
    prima = false;
  }
  return j + "], \"avvisi_omessi\": " + std::to_string(omessi) + "}";
}

// What both sources share once the state is compiled or loaded: the run, the warnings on
// standard error, the table or the JSON on standard output, the status.
int mostra_orario(const Stato& s, const corsa_minima& c, bool senza_corsa, const ipotesi_comando& i,
                  std::vector<reperto> reperti, bool con_errori, const righe_lette* righe, const std::string& linea,
                  const std::string& treno, std::string_view testo_linea, std::string_view testo_treno, bool json) {
  std::vector<reperto> del_orario = reperti_orario(c, righe, i.margine_minimo);
  const bool con_avvisi = con_errori || !del_orario.empty();
  for (auto& r : del_orario) reperti.push_back(std::move(r));
  const std::size_t omessi = stampa_diagnostica(reperti, linea, treno, testo_linea, testo_treno);
  const int stato = con_avvisi ? kUscitaErroreDescrizione : kUscitaPulita;
  const std::string titolo = da_cp1252(s.nome_linea) + " " + da_cp1252(s.numero_treno);
  stampa_uscita(json ? json_orario(c, senza_corsa, i.margine_minimo, righe, reperti, omessi, linea, treno, stato) + "\n"
                     : tabella_testo(c, titolo, i.margine_minimo, senza_corsa));
  return stato;
}

int orario_dalle_descrizioni(const opzioni_lette& o, Cartella& ingressi, const ipotesi_comando& i, rifiuto& r) {
  const bool json = o.ha("--json");
  const auto rifiutato = [&] {
    if (json) stampa_uscita(json_rifiuto(r.messaggio, r.file) + "\n");
    return kUscitaUso;
  };
  auto d = leggi_descrizioni_utente(o, "timetable", ingressi, &r);
  if (!d) return rifiutato();
  const auto codifica = codifica_scelta(o, "timetable", &r);
  if (!codifica || !converti_descrizioni(*d, *codifica, &r)) return rifiutato();
  Stato s;
  const analisi_descrizioni analisi = analizza_descrizioni(s, d->testo_linea, d->testo_treno, identita_di(*d), false);
  if (!analisi.esito.scrivibile()) {
    stampa_diagnostica(analisi.reperti, d->linea, d->treno, d->testo_linea, d->testo_treno);
    scrivi_flusso(stderr, messaggio_errore(analisi.esito.finale) + "\n");
    if (json) stampa_uscita(json_rifiuto(messaggio_errore(analisi.esito.finale), std::nullopt, kUscitaFinale) + "\n");
    return kUscitaFinale;
  }
  // A reader's error leaves the track unread past it: the assumptions alone, no run.
  const corsa_minima c = corsa_della_compilazione(s, analisi.esito, i.corsa);
  return mostra_orario(s, c, !corsa_calcolabile(s, analisi.esito), i, analisi.reperti, analisi.con_errori(),
                       &analisi.esito.righe, d->linea, d->treno, d->testo_linea, d->testo_treno, json);
}

int orario_dal_compilato(const opzioni_lette& o, Cartella& compilati, const ipotesi_comando& i) {
  rifiuto r;
  const auto rifiutato = [&](int stato) {
    if (o.ha("--json")) stampa_uscita(json_rifiuto(r.messaggio, r.file, stato) + "\n");
    return stato;
  };
  compilato_letto letto;
  if (const int stato = trova_compilato(o, "timetable", compilati, false, letto, &r); stato != kUscitaPulita) {
    return rifiutato(stato);
  }
  Stato s;
  if (const int stato = carica_letto(letto, s, &r); stato != kUscitaPulita) return rifiutato(stato);
  // No rows to point at: each warning names the scenario table.
  return mostra_orario(s, calcola_corsa_minima(s.percorso, s.scenario, i.corsa), false, i, {}, false, nullptr,
                       letto.percorso_sim, letto.percorso_sim, {}, {}, o.ha("--json"));
}

}  // namespace

int orario_in(const opzioni_lette& o, Cartella& ingressi) {
  rifiuto r;
  const auto i = ipotesi_di(o, &r);
  const bool json = o.ha("--json");
  if (i && o.valore("--from") && (o.valore("--line") || o.valore("--train"))) {
    rifiuta(&r, "timetable: give either --from or --line and --train, not both (try 'compattatore timetable --help')");
  } else if (i && o.valore("--from") && o.valore("--encoding")) {
    rifiuta(&r, "timetable: --encoding is for description texts, not for --from (try 'compattatore timetable --help')");
  } else if (i && o.valore("--from")) {
    return orario_dal_compilato(o, ingressi, *i);
  } else if (i) {
    return orario_dalle_descrizioni(o, ingressi, *i, r);
  }
  if (json) stampa_uscita(json_rifiuto(r.messaggio, r.file) + "\n");
  return kUscitaUso;
}

// The files named on the command line are paths as typed; --from names a folder.
int comando_orario(const opzioni_lette& o) {
  if (const auto da = o.valore("--from")) {
    CartellaDisco compilati(*da, false);
    return orario_in(o, compilati);
  }
  CartellaDisco percorsi("", false);
  return orario_in(o, percorsi);
}

}  // namespace cmp
