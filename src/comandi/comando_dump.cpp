// compattatore dump: a binary scenario file decoded into a listing or JSON.
#include <concepts>
#include <cstdio>

#include "disco/cartella_disco.h"
#include "messaggi/json.h"
#include "comandi/opzioni_lette.h"
#include "errori/stati_uscita.h"
#include "messaggi/messaggi.h"
#include "comandi/tabella_comandi.h"
#include "messaggi/uscita_standard.h"
#include "model/cp1252.h"
#include "model/decodifica_file.h"
#include "model/file_binari.h"
#include "model/nomi_file.h"

namespace cmp {
namespace {

enum class genere { tabella, scenario, percorso, ignoto };

genere genere_di(const std::string& percorso) {
  if (percorso.ends_with(kCodaTabellaLinea)) return genere::tabella;
  if (percorso.ends_with(kCodaScenario)) return genere::scenario;
  if (percorso.ends_with(kCodaPercorso)) return genere::percorso;
  return genere::ignoto;
}

file_compilato file_di(genere g) {
  if (g == genere::tabella) return file_compilato::tabella_linea;
  if (g == genere::scenario) return file_compilato::scenario;
  return file_compilato::percorso;
}

std::string numero(double v) {
  char b[40];
  std::snprintf(b, sizeof b, "%.17g", v);
  return b;
}

std::string valore(const TabellaLinea& t, std::size_t m, int asse, bool json) {
  if (t.etichetta(m, asse) == valore_etichettato::tipo::vuoto) return json ? "null" : "-";
  return numero(t.numero(m, asse));
}

std::string valore_campo(const std::string& testo) { return json_testo(da_cp1252(testo)); }
std::string valore_campo(std::integral auto numero) { return std::to_string(+numero); }

// One record as "chiave N: campo v, campo v, ..." or as a JSON object, its fields named
// and ordered by the record's field list.
template <typename Record>
std::string elenca_record(const std::string& chiave, std::size_t indice, const Record& r, bool json) {
  std::string riga =
      json ? "{\"" + chiave + "\": " + std::to_string(indice) : chiave + " " + std::to_string(indice) + ":";
  bool primo = true;
  per_ogni_campo(r, [&](const char* nome, const auto& campo) {
    riga += json ? ", \"" + std::string(nome) + "\": " : (primo ? " " : ", ") + std::string(nome) + " ";
    riga += valore_campo(campo);
    primo = false;
  });
  if (json) riga += "}";
  return riga;
}

bool cella_vuota(const tratto& c) {
  bool vuota = true;
  per_ogni_campo(c, [&vuota](const char*, auto campo) { vuota = vuota && campo == 0; });
  return vuota;
}

// Prints the rows as lines, or as one JSON object holding them in an array.
void stampa(const std::vector<std::string>& righe, bool json, const std::string& intestazione_json,
            const std::string& chiave) {
  std::string out;
  if (json) {
    out = "{" + intestazione_json + "\"" + chiave + "\": [";
    for (std::size_t i = 0; i < righe.size(); ++i) out += (i ? ",\n  " : "\n  ") + righe[i];
    out += "\n]}\n";
  } else {
    for (const auto& r : righe) out += r + "\n";
  }
  stampa_uscita(out);
}

}  // namespace

int comando_dump(const opzioni_lette& o) {
  // Status 3 after one line; with --json, the same as one object on standard output.
  const auto rifiuta = [&o](const std::string& messaggio, const std::optional<std::string>& file) {
    segnala(messaggio);
    if (o.ha("--json")) stampa_uscita(json_rifiuto(messaggio, file) + "\n");
    return kUscitaUso;
  };
  if (o.posizionali.size() != 1) {
    return rifiuta("dump: one file to decode is needed (try 'compattatore dump --help')", std::nullopt);
  }
  const std::string& percorso = o.posizionali[0];
  long passo = 100;
  if (const auto every = o.valore("--every")) {
    char* fine = nullptr;
    passo = std::strtol(every->c_str(), &fine, 10);
    if (fine == every->c_str() || *fine != '\0' || passo < 1) {
      return rifiuta("dump: --every takes a whole number of metres, 1 or more", std::nullopt);
    }
  }
  const genere g = genere_di(percorso);
  if (g == genere::ignoto) {
    return rifiuta("dump: cannot tell the kind of " + percorso + " (expected *_linea.dat, *.sim or *.dat)", percorso);
  }
  // A file larger than any a compile writes is damaged just past that size, and none of
  // it is read or printed.
  std::optional<std::string> dati;
  std::optional<difetto_file> troppo_grande;
  try {
    dati = leggi_file(percorso, byte_massimi(file_di(g)));
    if (!dati) return rifiuta("cannot read " + percorso + ": no such file", percorso);
  } catch (const ErroreFileTroppoGrande&) {
    troppo_grande = difetto_troppo_grande(file_di(g));
    dati.emplace();
  } catch (const ErroreFile& e) {
    return rifiuta("cannot read " + e.percorso() + ": " + e.motivo(), e.percorso());
  }
  const bool json = o.ha("--json");
  std::optional<difetto_file> difetto;
  std::vector<std::string> righe;
  std::string intestazione;
  std::string chiave;
  if (g == genere::scenario) {
    const auto d = troppo_grande ? scenario_decodificato{} : decodifica_scenario(*dati);
    for (std::size_t i = 0; i < d.voci.size(); ++i) righe.push_back(elenca_record("voce", i, d.voci[i], json));
    chiave = "voci";
    difetto = d.difetto;
  } else if (g == genere::percorso) {
    const auto d = troppo_grande ? percorso_decodificato{} : decodifica_percorso(*dati);
    for (std::size_t i = 0; i < d.celle.size(); ++i) {
      if (!cella_vuota(d.celle[i])) righe.push_back(elenca_record("cella", i, d.celle[i], json));
    }
    intestazione = "\"celle_totali\": " + std::to_string(d.celle.size()) + ", ";
    chiave = "celle";
    difetto = d.difetto;
  } else {
    const auto d = troppo_grande ? tabella_decodificata{} : decodifica_tabella_linea(*dati);
    const std::size_t r = d.tabella.righe();
    for (std::size_t m = 0; m < r; m += static_cast<std::size_t>(passo)) {
      const std::string e = valore(d.tabella, m, 0, json);
      const std::string n = valore(d.tabella, m, 1, json);
      righe.push_back(json ? "[" + std::to_string(m) + ", " + e + ", " + n + "]"
                           : "metro " + std::to_string(m) + ": " + e + " " + n);
    }
    const std::string lunghezza =
        r >= limiti_file::righe_minime ? std::to_string(r - limiti_file::righe_minime) : "null";
    intestazione = "\"metri\": " + std::to_string(r) + ", \"lunghezza\": " + lunghezza + ", ";
    chiave = "punti";
    difetto = d.difetto;
  }
  if (troppo_grande) difetto = troppo_grande;
  const std::string json_difetto =
      difetto ? "{\"byte\": " + std::to_string(difetto->offset) + ", \"motivo\": " + json_testo(difetto->motivo) + "}"
              : "null";
  stampa(righe, json, "\"file\": " + json_testo(percorso) + ", \"difetto\": " + json_difetto + ", " + intestazione,
         chiave);
  if (difetto) {
    segnala(descrivi_difetto(percorso, *difetto));
    return kUscitaErroreDescrizione;
  }
  return kUscitaPulita;
}

}  // namespace cmp
