// The stages of `compattatore compile`, timed one by one in one process: reading the two
// descriptions, the finishing pass with the check codes, encoding the three files, and
// writing them to disk. The argument is the line length in km (0: the built-in scenario).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "disco/cartella_disco.h"
#include "bench/generatore.h"
#include "builtin/linea_incorporata.h"
#include "builtin/scrittore_testo.h"
#include "builtin/treno_incorporato.h"
#include "compilazione/compila.h"
#include "compilazione/scrivi_file.h"
#include "model/file_binari.h"
#include "model/nomi_file.h"
#include "compilazione/da_cartella.h"

namespace {

// The two description texts of a size, in a folder held in memory.
cmp::CartellaMemoria descrizioni(cmp::Stato& s, std::int64_t km) {
  cmp::CartellaMemoria c;
  s.nome_linea = "Banco";
  s.numero_treno = "9001";
  if (km == 0) {
    c.scrivi(cmp::nome_descrizione_linea(identita_di(s)),
             cmp::testo_da_tabella(cmp::tabella_righe(cmp::righe_linea_incorporata())));
    c.scrivi(cmp::nome_descrizione_treno(identita_di(s)),
             cmp::testo_da_tabella(cmp::tabella_righe(cmp::righe_treno_incorporato())));
  } else {
    const auto d = cmp::banco::genera_descrizioni(static_cast<std::int32_t>(km * 1000));
    c.scrivi(cmp::nome_descrizione_linea(identita_di(s)), d.linea);
    c.scrivi(cmp::nome_descrizione_treno(identita_di(s)), d.treno);
  }
  return c;
}

// A compiled state, ready for the writers.
cmp::Stato compilato(std::int64_t km) {
  cmp::Stato s;
  cmp::CartellaMemoria c = descrizioni(s, km);
  cmp::compila_da_cartella(s, c, true);
  return s;
}

void Lettura(benchmark::State& stato) {
  cmp::Stato s;
  const cmp::CartellaMemoria originale = descrizioni(s, stato.range(0));
  for (auto _ : stato) {
    cmp::CartellaMemoria c = originale;  // the reader deletes the texts it has read
    s.percorso.clear();
    s.tabella_linea.svuota();
    s.crea_tabella_linea = true;
    cmp::leggi_da_cartella(s, c);
    benchmark::DoNotOptimize(s.percorso.data());
  }
}

void Finitura(benchmark::State& stato) {
  cmp::Stato s;
  cmp::CartellaMemoria c = descrizioni(s, stato.range(0));
  s.crea_tabella_linea = true;
  cmp::leggi_da_cartella(s, c);
  const std::vector<cmp::tratto> letto = s.percorso;
  const auto scenario_letto = s.scenario;
  for (auto _ : stato) {
    stato.PauseTiming();
    s.percorso = letto;
    s.scenario = scenario_letto;
    s.avvisi.clear();
    stato.ResumeTiming();
    cmp::completa_percorso(s);
  }
}

void Codifica(benchmark::State& stato) {
  const cmp::Stato s = compilato(stato.range(0));
  std::size_t byte = 0;
  for (auto _ : stato) {
    byte = cmp::codifica_tabella_linea(s.tabella_linea).size() + cmp::codifica_scenario(s.scenario).size() +
           cmp::codifica_percorso(s.percorso).size();
  }
  stato.SetBytesProcessed(static_cast<std::int64_t>(stato.iterations() * byte));
}

// The three files into a fresh folder beside the build, encoded and written as compile does.
void Scrittura(benchmark::State& stato) {
  const cmp::Stato s = compilato(stato.range(0));
  std::string modello = (std::filesystem::current_path() / "bench-fasi-XXXXXX").string();
  if (::mkdtemp(modello.data()) == nullptr) {
    stato.SkipWithError("cannot create a folder here");
    return;
  }
  cmp::CartellaDisco cartella(modello);
  for (auto _ : stato) cmp::scrivi_file_binari(s, cartella);
  std::filesystem::remove_all(modello);
}

void Dimensioni(benchmark::internal::Benchmark* b) {
  b->Arg(0)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();
}

}  // namespace

BENCHMARK(Lettura)->Apply(Dimensioni);
BENCHMARK(Finitura)->Apply(Dimensioni);
BENCHMARK(Codifica)->Apply(Dimensioni);
BENCHMARK(Scrittura)->Apply(Dimensioni);
BENCHMARK_MAIN();
