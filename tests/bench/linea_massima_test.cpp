// The longest line a description may have, through the program: compiled, then read back
// by every command that reads its files, and converted from UTF-8 in about the time it
// takes to read it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>

#include "model/limiti_formato.h"
#include "processo_misurato.h"
#include "supporto.h"

namespace cmp {
namespace {

class LineaMassima : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    cartella_ = new prova::CartellaTemporanea;
    const auto g = prova::esegui_misurato(GENERA_SCENARIO_EXE,
                                          {"--length", "1000000", "--out", cartella_->percorso().string()}, 120);
    ASSERT_EQ(g.stato, 0) << g.errori;
  }
  static void TearDownTestSuite() {
    delete cartella_;
    cartella_ = nullptr;
  }
  static std::vector<std::string> compila(const std::string& uscita, std::vector<std::string> altri = {}) {
    std::vector<std::string> a = {
        "compile", "--line", *cartella_ / "Banco1000_linea.txt", "--train", *cartella_ / "Banco1000_9001-.txt",
        "--out",   uscita};
    a.insert(a.end(), altri.begin(), altri.end());
    return a;
  }
  static prova::CartellaTemporanea* cartella_;
};
prova::CartellaTemporanea* LineaMassima::cartella_ = nullptr;

// Its files are the largest of their kind a compile writes, and dump and plot --from read
// each of them whole (the track of 20,141 cells was once refused for being larger than
// 20,001).
TEST_F(LineaMassima, CompilesDumpsAndPlotsFromItsFiles) {
  prova::CartellaTemporanea t;
  const auto c = prova::esegui_misurato(COMPATTATORE_EXE, compila(t / "out"), 120);
  ASSERT_EQ(c.stato, 0) << c.errori;
  EXPECT_EQ(std::filesystem::file_size(t / "out/Banco1000_9001.dat"), limiti_file::byte_percorso_massimi);
  EXPECT_EQ(std::filesystem::file_size(t / "out/Banco1000_linea.dat"), limiti_file::byte_tabella_massimi);
  for (const char* nome : {"Banco1000_9001.dat", "Banco1000_9001.sim", "Banco1000_linea.dat"}) {
    SCOPED_TRACE(nome);
    const auto d = prova::esegui_misurato(COMPATTATORE_EXE, {"dump", t / ("out/" + std::string(nome))}, 120);
    EXPECT_EQ(d.stato, 0) << d.errori;
    EXPECT_EQ(d.errori, "");
    EXPECT_FALSE(d.uscita.empty());
  }
  const auto celle = prova::esegui_misurato(COMPATTATORE_EXE, {"dump", "--json", t / "out/Banco1000_9001.dat"}, 120);
  EXPECT_NE(celle.uscita.find("\"difetto\": null, \"celle_totali\": 20141, "), std::string::npos)
      << celle.uscita.substr(0, 200);
  const auto p = prova::esegui_misurato(COMPATTATORE_EXE, {"plot", "--from", t / "out", "--out", t / "linea.svg"}, 120);
  EXPECT_EQ(p.stato, 0) << p.errori;
  EXPECT_EQ(p.errori, "");
  EXPECT_NE(prova::leggi_tutto(t / "linea.svg").find("id=\"pianta\""), std::string::npos) << "drawn with its plan";
}

// The conversion is one pass over the text: with --encoding utf-8 the compile takes at
// most twice its time without (it took 51 s against 0.11 s when each character's place
// was found from the first byte). The least CPU time of three runs of each is compared,
// with 50 ms of slack for the clock's grain.
TEST_F(LineaMassima, ConvertingFromUtf8TakesAtMostTwiceTheTime) {
  prova::CartellaTemporanea t;
  const auto minimo = [&](std::vector<std::string> altri) {
    double meno = 1e9;
    for (int volta = 0; volta < 3; ++volta) {
      const auto e = prova::esegui_misurato(COMPATTATORE_EXE, compila(t / "out", altri), 120);
      EXPECT_EQ(e.stato, 0) << e.errori;
      meno = std::min(meno, e.secondi_cpu);
    }
    return meno;
  };
  const double senza = minimo({});
  const double con = minimo({"--encoding", "utf-8"});
  EXPECT_LE(con, 2 * senza + 0.05) << "without: " << senza << " s, with: " << con << " s";
  std::cout << "[ measured ] the 1,000 km compile: " << senza << " s of CPU, with --encoding utf-8 " << con << " s\n";
}

}  // namespace
}  // namespace cmp
