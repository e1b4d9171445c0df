// The benchmark's generated scenarios: valid rows at every size, compiling with no
// error and no warning of the finishing pass.
#include "bench/generatore.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "compilazione/compila.h"
#include "compilazione/scrivi_file.h"
#include "model/nomi_file.h"
#include "supporto.h"

namespace cmp {
namespace {

struct compilato {
  banco::conteggi righe;
  Stato s;
  esito_compilazione esito;
  CartellaMemoria uscita;
};

compilato compila(std::int32_t lunghezza) {
  const banco::descrizioni d = banco::genera_descrizioni(lunghezza);
  compilato c;
  c.righe = d.righe;
  c.esito = compila_descrizioni(c.s, d.linea, d.treno, {"Banco", "9001"}, true);
  scrivi_file_binari(c.s, c.uscita);
  return c;
}

int celle_di_tipo(const Stato& s, std::uint8_t tipo) {
  int n = 0;
  for (const tratto& t : s.percorso) n += t.tipo == tipo ? 1 : 0;
  return n;
}

int marche_della_finitura(const Stato& s) {
  int n = 0;
  for (const tratto& t : s.percorso) {
    n += t.tipo == tipo_cella::abbattimento_valore && t.parametro1 == 180 ? 1 : 0;
  }
  return n;
}

// The rows of a text whose keyword begins with `chiave`, each split at its commas.
std::vector<std::vector<std::string>> righe_con(const std::string& testo, const std::string& chiave) {
  std::vector<std::vector<std::string>> out;
  std::istringstream in(testo);
  std::string riga;
  while (std::getline(in, riga)) {
    if (riga.rfind(chiave, 0) != 0) continue;
    std::vector<std::string> campi;
    std::istringstream r(riga);
    std::string campo;
    while (std::getline(r, campo, ',')) campi.push_back(campo);
    out.push_back(campi);
  }
  return out;
}

int intero(const std::string& campo) { return std::stoi(campo); }

class ScenarioGenerato : public testing::TestWithParam<std::int32_t> {};

TEST_P(ScenarioGenerato, CompilesCleanWithEveryRowInTheTrack) {
  const std::int32_t lunghezza = GetParam();
  const compilato c = compila(lunghezza);
  const Stato& s = c.s;
  EXPECT_EQ(c.esito.lettura.codice, 0) << s.dettaglio_errore;
  EXPECT_EQ(s.codice_errore, 0) << s.posizione_errore;
  EXPECT_TRUE(s.avvisi.empty()) << s.avvisi.size() << " warnings, the first " << s.avvisi.front().codice << " at "
                                << s.avvisi.front().posizione;

  // Every placed row is in the track: none was refused or overwritten.
  EXPECT_EQ(celle_di_tipo(s, tipo_cella::segnale), c.righe.segnali);
  EXPECT_EQ(celle_di_tipo(s, tipo_cella::inizio_rallentamento), c.righe.rallentamenti);
  EXPECT_EQ(celle_di_tipo(s, tipo_cella::fine_rallentamento), c.righe.rallentamenti);
  EXPECT_EQ(celle_di_tipo(s, tipo_cella::avviso_rallentamento), c.righe.rallentamenti);
  EXPECT_EQ(celle_di_tipo(s, tipo_cella::cartello), c.righe.cartelli);
  EXPECT_EQ(celle_di_tipo(s, tipo_cella::indicatori_v_max), c.righe.indicatori);
  EXPECT_EQ(s.numero_montagne, c.righe.montagne);
  EXPECT_EQ(s.voce_cartello, 80 - c.righe.cartelli);
  for (int n = 1; n <= c.righe.stazioni; ++n) EXPECT_FALSE(s.scenario[n].testo.empty()) << "station " << n;
  EXPECT_TRUE(s.scenario[c.righe.stazioni + 1].testo.empty());
  // The finishing pass had work to do, and found room for all of it.
  EXPECT_GT(marche_della_finitura(s), 2 * c.righe.rallentamenti);

  const auto n = static_cast<std::size_t>((lunghezza + 7000) / 50);
  ASSERT_EQ(c.uscita.file.size(), 3u);
  EXPECT_EQ(c.uscita.file.at("Banco_linea.dat").size(), 20u * static_cast<std::size_t>(lunghezza) + 139964u);
  EXPECT_EQ(c.uscita.file.at("Banco_9001.dat").size(), 15 * (n + 1));
}

// The largest line is the one the benchmark is about; in a debug build it compiles in a
// few hundred milliseconds.
INSTANTIATE_TEST_SUITE_P(Lunghezze, ScenarioGenerato, testing::Values(20000, 100000, 1000000));

TEST(ScenarioGenerato, TheLargestHasThousandsOfRowsAndEveryTableFull) {
  const banco::conteggi r = banco::genera_descrizioni(banco::kLunghezzaMassima).righe;
  EXPECT_GE(r.curve, 1000);
  EXPECT_GE(r.pendenze, 1000);
  EXPECT_GE(r.segnali, 1000);
  EXPECT_GE(r.rallentamenti, 1000);
  EXPECT_EQ(r.stazioni, 50);
  EXPECT_EQ(r.montagne, 80);
  // Stations and captions share the scenario entries: 78 together at most.
  EXPECT_EQ(r.stazioni + r.cartelli, 78);
}

// What the reader takes but never checks: order, grid, overlaps and ranges.
TEST(ScenarioGenerato, LineRowsAreAscendingOnTheGridAndWithinTheirLimits) {
  const std::string linea = banco::genera_descrizioni(banco::kLunghezzaMassima).linea;

  std::int64_t fine_curva = 0;
  const auto curve = righe_con(linea, "curva");
  EXPECT_FALSE(curve.empty());
  for (const auto& r : curve) {
    const std::string& chiave = r.at(0);
    ASSERT_EQ(chiave.size(), 7u) << chiave;
    EXPECT_TRUE(chiave[5] == 'd' || chiave[5] == 's') << chiave;
    EXPECT_TRUE(chiave[6] >= '1' && chiave[6] <= '6') << chiave;
    const int inizio = intero(r.at(1));
    EXPECT_EQ(inizio % 50, 0);
    EXPECT_GE(inizio, fine_curva) << "overlaps the curve before it";
    fine_curva = inizio + intero(r.at(2));
  }
  // The plan cursor may not pass metre 1,000,000 inside a curve.
  EXPECT_LE(fine_curva, 999999);

  int precedente = -1;
  for (const auto& r : righe_con(linea, "pendenza")) {
    const int p = intero(r.at(1));
    const int v = intero(r.at(2));
    EXPECT_EQ(p % 50, 0);
    EXPECT_GT(p, precedente);
    EXPECT_GE(v, -24);
    EXPECT_LE(v, 24);
    precedente = p;
  }

  int fine_montagna = 0;
  for (const auto& r : righe_con(linea, "montagna")) {
    EXPECT_GT(intero(r.at(1)), fine_montagna);
    EXPECT_LT(intero(r.at(1)), intero(r.at(2)));
    fine_montagna = intero(r.at(2));
  }
  EXPECT_LE(fine_montagna, banco::kLunghezzaMassima);
}

TEST(ScenarioGenerato, LengthsOffTheBlocksAreRefused) {
  for (const std::int32_t lunghezza : {-20000, 0, 19999, 30000, 1000001, 1020000}) {
    EXPECT_THROW(banco::genera_descrizioni(lunghezza), std::invalid_argument) << lunghezza;
  }
}

TEST(GeneraScenario, WritesTextsThatCompileCleanFromTheirNames) {
  prova::CartellaTemporanea t;
  const auto g = prova::esegui(GENERA_SCENARIO_EXE, {"--length", "40000", "--out", t.percorso().string()});
  ASSERT_EQ(g.stato, 0) << g.errori;
  EXPECT_NE(g.uscita.find("2 stations"), std::string::npos) << g.uscita;

  std::filesystem::create_directories(t / "out");
  const auto c = prova::esegui(COMPATTATORE_EXE, {"compile", "--line", t / "Banco40_linea.txt", "--train",
                                                  t / "Banco40_9001-.txt", "--out", t / "out", "--json"});
  EXPECT_EQ(c.stato, 0) << c.errori;
  EXPECT_NE(c.uscita.find("\"codice_errore\": 0,"), std::string::npos) << c.uscita;
  EXPECT_EQ(std::filesystem::file_size(t / "out/Banco40_linea.dat"), 20u * 40000 + 139964);

  EXPECT_EQ(prova::esegui(GENERA_SCENARIO_EXE, {"--length", "30000", "--out", t.percorso().string()}).stato, 3);
}

// The plan table (a double and a type byte per value) is all the longest line needs in
// memory: its 20 MB file is encoded while it is written. Holding the encoded file (or a
// copy of it) on the way to the folder goes over this.
TEST(MisuraBanco, TheLongestLineCompilesHoldingThePlanTableButNotItsFile) {
#ifdef COMPATTATORE_SANITIZZATO
  GTEST_SKIP() << "the sanitizers' shadow memory makes the peak meaningless";
#endif
  prova::CartellaTemporanea t;
  ASSERT_EQ(prova::esegui(GENERA_SCENARIO_EXE, {"--length", "1000000", "--out", t.percorso().string()}).stato, 0);
  std::filesystem::create_directories(t / "out");
  const auto m = prova::esegui(
      MISURA_BANCO_EXE, {"comando", "--", COMPATTATORE_EXE, "compile", "--line", t / "Banco1000_linea.txt", "--train",
                         t / "Banco1000_9001-.txt", "--out", t / "out"});
  ASSERT_EQ(m.stato, 0) << m.errori;
  const auto rss = m.uscita.find("rss_kb=");
  ASSERT_NE(rss, std::string::npos) << m.uscita;
  const double mb = std::stod(m.uscita.substr(rss + 7)) / 1024;

  const double tabella_mb = 2 * 1007001 * 9 / 1048576.0;
  EXPECT_LT(mb, tabella_mb + 12) << m.uscita;  // 12 MB for the program and its texts
}

}  // namespace
}  // namespace cmp
