// The journal on disk, through `compattatore compile`: journals planted in the output
// folder are refused and change nothing, anywhere; what killed runs leave is gone after
// the next clean compile.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>

#include <iostream>
#include <random>
#include <thread>

#include "comandi/supporto_disco.h"

namespace cmp::prova {
namespace {

struct giornale_piantato {
  const char* nome;
  // Puts something at `giornale`; `sopra` is the folder above the output folder, which
  // holds the victim. False when it cannot be made here.
  std::function<bool(const std::filesystem::path& giornale, const std::filesystem::path& sopra)> pianta;
};

bool testo(const std::filesystem::path& giornale, const std::string& t) {
  scrivi_tutto(giornale, t);
  return true;
}

const std::string kDaParte = ".compattatore.old-Ab12Cd";

const giornale_piantato kPiantati[] = {
    {"AFileOutsideTheFolder", [](const auto& g, const auto&) { return testo(g, "../victim.txt\t-\n"); }},
    {"AnAbsolutePath",
     [](const auto& g, const auto& sopra) { return testo(g, (sopra / "victim.txt").string() + "\t-\n"); }},
    {"TheTrainDescriptionMovedOver",
     [](const auto& g, const auto&) { return testo(g, kBinari[1] + "\t-\n" + kTreno + "\t" + kDaParte + "\n"); }},
    {"TheLineDescriptionRemoved", [](const auto& g, const auto&) { return testo(g, kLinea + "\t-\n"); }},
    {"AnInputAsTheOldFile",
     [](const auto& g, const auto&) { return testo(g, kBinari[1] + "\t../out/" + kTreno + "\n"); }},
    {"ANameTwice", [](const auto& g, const auto&) { return testo(g, kBinari[1] + "\t-\n" + kBinari[1] + "\t-\n"); }},
    {"ALineCutShort",
     [](const auto& g, const auto&) { return testo(g, kBinari[0] + "\t" + kDaParte + "\n" + kBinari[1]); }},
    {"AFifo", [](const auto& g, const auto&) { return ::mkfifo(g.c_str(), 0644) == 0; }},
    {"AFolder",
     [](const auto& g, const auto&) {
       std::filesystem::create_directory(g);
       return testo(g / "x", "../victim.txt\t-\n");
     }},
    {"ALinkToAJournal",
     [](const auto& g, const auto& sopra) {
       scrivi_tutto(sopra / "altrove", kBinari[1] + "\t-\n");
       std::filesystem::create_symlink(sopra / "altrove", g);
       return true;
     }},
    {"ADevice", [](const auto& g, const auto&) { return ::mknod(g.c_str(), S_IFCHR | 0644, makedev(1, 3)) == 0; }},
};

class GiornalePiantato : public testing::TestWithParam<giornale_piantato> {};

// compile --out out over an earlier run's files, its inputs in the output folder itself,
// a victim beside it: refused in one line naming the journal, and every byte of both
// folders as it was, the journal included.
TEST_P(GiornalePiantato, IsRefusedAndNothingAnywhereChanges) {
  CartellaTemporanea t;
  const std::filesystem::path fuori = t.percorso() / "out";
  std::filesystem::create_directory(fuori);
  scrivi_descrizioni_incorporate(fuori);
  scrivi_tutto(t / "victim.txt", "the user's own file\n");
  scrivi_tutto(fuori / kDaParte, "planted\n");
  for (const auto& nome : kBinari) scrivi_tutto(fuori / nome, "earlier run: " + nome);
  const std::filesystem::path giornale = fuori / ".compattatore.in-corso";
  if (!GetParam().pianta(giornale, t.percorso()))
    GTEST_SKIP() << "cannot make " << GetParam().nome << " here (mknod needs root)";
  const auto prima_sopra = contenuto(t.percorso());
  const auto prima = contenuto(fuori);

  const auto r = esegui_entro(
      {"compile", "--line", (fuori / kLinea).string(), "--train", (fuori / kTreno).string(), "--out", fuori.string()},
      10);
  EXPECT_EQ(r.esito.stato, 3) << r.esito.errori;
  EXPECT_EQ(r.esito.errori.rfind("compattatore: error: ", 0), 0u) << r.esito.errori;
  EXPECT_EQ(std::count(r.esito.errori.begin(), r.esito.errori.end(), '\n'), 1) << r.esito.errori;
  EXPECT_NE(r.esito.errori.find(giornale.string()), std::string::npos) << "should name the journal: " << r.esito.errori;
  EXPECT_LT(r.durata, std::chrono::seconds(2));
  EXPECT_EQ(contenuto(fuori), prima);
  EXPECT_EQ(contenuto(t.percorso()), prima_sopra);
}

INSTANTIATE_TEST_SUITE_P(Casi, GiornalePiantato, testing::ValuesIn(kPiantati),
                         [](const testing::TestParamInfo<giornale_piantato>& i) { return std::string(i.param.nome); });

// The longest line compiled again and again, each run killed with SIGKILL at a random
// moment: temporaries, second names, a journal, a lock file may be left, and each run
// takes up what the one before left. One clean compile after the last kill leaves the
// three files, whole, and nothing else of the program's own.
TEST(GiornaleUccisioni, FiftyKillsOfTheLongestLineThenOneCleanCompileLeaveNothingBehind) {
#ifndef GENERA_SCENARIO_EXE
  GTEST_SKIP() << "needs the benchmark's scenario generator (COMPATTATORE_BENCH)";
#else
  CartellaTemporanea t;
  const auto g = esegui(GENERA_SCENARIO_EXE, {"--length", "1000000", "--out", t.percorso().string(), "--nome-linea",
                                              "Lunga", "--numero-treno", "7"});
  ASSERT_EQ(g.stato, 0) << g.errori;
  const std::filesystem::path fuori = t.percorso() / "out";
  const std::vector<std::string> a = {COMPATTATORE_EXE, "compile",          "--line", t / "Lunga_linea.txt",
                                      "--train",        t / "Lunga_7-.txt", "--out",  fuori.string()};
  const std::vector<std::string> argomenti(a.begin() + 1, a.end());
  const auto inizio = std::chrono::steady_clock::now();
  const auto pulita = esegui_entro(argomenti, 120);
  const auto durata = std::chrono::steady_clock::now() - inizio;
  ASSERT_EQ(pulita.esito.stato, 0) << pulita.esito.errori;
  const auto attesi = contenuto(fuori);
  ASSERT_EQ(attesi.size(), 3u);

  std::mt19937 caso(23);  // fixed: a failure can be run again
  int con_avanzi = 0;
  std::size_t piu_avanzi = 0;
  for (int volta = 0; volta < 50; ++volta) {
    const pid_t figlio = avvia_muto(a);
    std::this_thread::sleep_for(std::uniform_real_distribution<double>(0.0, 1.1)(caso) * durata);
    ::kill(figlio, SIGKILL);
    ::waitpid(figlio, nullptr, 0);
    const std::size_t avanzi = nomi_propri_in(fuori).size();
    con_avanzi += avanzi > 0;
    piu_avanzi = std::max(piu_avanzi, avanzi);
  }
  const auto ultima = esegui_entro(argomenti, 120);
  EXPECT_EQ(ultima.esito.stato, 0) << ultima.esito.errori;
  EXPECT_EQ(nomi_propri_in(fuori), std::vector<std::string>{});
  EXPECT_TRUE(contenuto(fuori) == attesi) << "the three files of a clean compile, and nothing else";
  std::cout << "[ killed   ] " << con_avanzi << " of 50 kills left files of the program's own (at most " << piu_avanzi
            << " at once)\n";
#endif
}

}  // namespace
}  // namespace cmp::prova
