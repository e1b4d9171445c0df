// compattatore dump: a binary scenario file decoded into a listing or JSON.
#include <cinttypes>
#include <cstdio>

#include "disco/cartella_disco.h"
#include "riga_comando/json.h"
#include "riga_comando/opzioni.h"
#include "riga_comando/riga_comando.h"
#include "riga_comando/tabella_comandi.h"
#include "model/cp1252.h"
#include "model/decodifica_file.h"

namespace cmp {
namespace {

enum class genere { tabella, scenario, percorso, ignoto };

genere genere_di(const std::string& percorso) {
  if (percorso.ends_with("_linea.dat")) return genere::tabella;
  if (percorso.ends_with(".sim")) return genere::scenario;
  if (percorso.ends_with(".dat")) return genere::percorso;
  return genere::ignoto;
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

std::string elenca_voce(int i, const voce_scenario& v, bool json) {
  const char* f = json ? "{\"voce\": %d, \"tipo\": %u, \"intero1\": %d, \"intero2\": %d, \"intero3\": %d, "
                         "\"ottetto1\": %u, \"testo\": %s, \"breve1\": %d, \"breve2\": %d, \"breve3\": %d, "
                         "\"breve4\": %d, \"breve5\": %d, \"ottetto2\": %u, \"ottetto3\": %u, \"ottetto4\": %u, "
                         "\"ottetto5\": %u, \"intero4\": %d}"
                       : "voce %d: tipo %u, intero1 %d, intero2 %d, intero3 %d, ottetto1 %u, testo %s, breve1 %d, "
                         "breve2 %d, breve3 %d, breve4 %d, breve5 %d, ottetto2 %u, ottetto3 %u, ottetto4 %u, "
                         "ottetto5 %u, intero4 %d";
  const std::string testo = json_testo(da_cp1252(v.testo));
  char b[1024];
  std::snprintf(b, sizeof b, f, i, v.tipo, v.intero1, v.intero2, v.intero3, v.ottetto1, "%s", v.breve1, v.breve2,
                v.breve3, v.breve4, v.breve5, v.ottetto2, v.ottetto3, v.ottetto4, v.ottetto5, v.intero4);
  std::string riga = b;
  riga.replace(riga.find("%s"), 2, testo);  // the text may be long: no fixed buffer for it
  return riga;
}

std::string elenca_cella(std::size_t i, const tratto& c, bool json) {
  const char* f = json ? "{\"cella\": %zu, \"tipo\": %u, \"parametro1\": %d, \"parametro2\": %d, \"parametro3\": %d, "
                         "\"parametro4\": %d, \"tempo\": %u, \"avviso\": %u, \"montagna\": %u, \"velocita\": %u, "
                         "\"pendenza\": %u, \"aderenza\": %u}"
                       : "cella %zu: tipo %u, parametro1 %d, parametro2 %d, parametro3 %d, parametro4 %d, tempo %u, "
                         "avviso %u, montagna %u, velocita %u, pendenza %u, aderenza %u";
  char b[512];
  std::snprintf(b, sizeof b, f, i, c.tipo, c.parametro1, c.parametro2, c.parametro3, c.parametro4, c.tempo, c.avviso,
                c.montagna, c.velocita, c.pendenza, c.aderenza);
  return b;
}

bool cella_vuota(const tratto& c) {
  return c.tipo == 0 && c.parametro1 == 0 && c.parametro2 == 0 && c.parametro3 == 0 && c.parametro4 == 0 &&
         c.tempo == 0 && c.avviso == 0 && c.montagna == 0 && c.velocita == 0 && c.pendenza == 0 && c.aderenza == 0;
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
  std::fwrite(out.data(), 1, out.size(), stdout);
}

}  // namespace

int comando_dump(const opzioni_lette& o) {
  if (o.posizionali.size() != 1) {
    segnala("dump: one file to decode is needed (try 'compattatore dump --help')");
    return kUscitaUso;
  }
  const std::string& percorso = o.posizionali[0];
  long passo = 100;
  if (const auto every = o.valore("--every")) {
    char* fine = nullptr;
    passo = std::strtol(every->c_str(), &fine, 10);
    if (fine == every->c_str() || *fine != '\0' || passo < 1) {
      segnala("dump: --every takes a whole number of metres, 1 or more");
      return kUscitaUso;
    }
  }
  const genere g = genere_di(percorso);
  if (g == genere::ignoto) {
    segnala("dump: cannot tell the kind of " + percorso + " (expected *_linea.dat, *.sim or *.dat)");
    return kUscitaUso;
  }
  std::optional<std::string> dati;
  try {
    dati = leggi_file(percorso);
  } catch (const ErroreFile& e) {
    segnala("cannot read " + e.percorso() + ": " + e.motivo());
    return kUscitaUso;
  }
  if (!dati) {
    segnala("cannot read " + percorso + ": no such file");
    return kUscitaUso;
  }
  const bool json = o.ha("--json");
  const std::string testa = "\"file\": " + json_testo(percorso) + ", ";
  std::optional<difetto_file> difetto;
  std::vector<std::string> righe;
  if (g == genere::scenario) {
    const auto d = decodifica_scenario(*dati);
    for (std::size_t i = 0; i < d.voci.size(); ++i) righe.push_back(elenca_voce(static_cast<int>(i), d.voci[i], json));
    stampa(righe, json, testa, "voci");
    difetto = d.difetto;
  } else if (g == genere::percorso) {
    const auto d = decodifica_percorso(*dati);
    for (std::size_t i = 0; i < d.celle.size(); ++i) {
      if (!cella_vuota(d.celle[i])) righe.push_back(elenca_cella(i, d.celle[i], json));
    }
    stampa(righe, json, testa + "\"celle_totali\": " + std::to_string(d.celle.size()) + ", ", "celle");
    difetto = d.difetto;
  } else {
    const auto d = decodifica_tabella_linea(*dati);
    const std::size_t r = d.tabella.righe();
    for (std::size_t m = 0; m < r; m += static_cast<std::size_t>(passo)) {
      const std::string e = valore(d.tabella, m, 0, json);
      const std::string n = valore(d.tabella, m, 1, json);
      righe.push_back(json ? "[" + std::to_string(m) + ", " + e + ", " + n + "]"
                           : "metro " + std::to_string(m) + ": " + e + " " + n);
    }
    const std::string lunghezza = r >= 7001 ? std::to_string(r - 7001) : "null";
    stampa(righe, json, testa + "\"metri\": " + std::to_string(r) + ", \"lunghezza\": " + lunghezza + ", ", "punti");
    difetto = d.difetto;
  }
  if (difetto) {
    std::fprintf(stderr, "%s: byte %zu: %s\n", percorso.c_str(), difetto->offset, difetto->motivo.c_str());
    return kUscitaErroreDescrizione;
  }
  return kUscitaPulita;
}

}  // namespace cmp
