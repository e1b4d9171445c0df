// The slips the readers take in silence, each a warning at its row; and error messages
// that say what happened.
#include <gtest/gtest.h>

#include "compilazione/compila.h"
#include "compilazione/scrivi_file.h"
#include "disco/cartella.h"
#include "messaggi/json.h"
#include "descrizioni_prova.h"
#include "supporto.h"

namespace cmp {
namespace {

using prova::CartellaTemporanea;
using prova::contiene;
using prova::esegui;
using prova::kProgramma;
using prova::leggi_tutto;

const std::string kLineaBase = "[generale]\nlunghezza percorso, 10000\n[curve]\n[fine]\n";
const std::string kTrenoBase = "[generale]\nvelocita, 0, 70\n[fine]\n";
const std::string kStazione = "stazione, 3000, 2, 600, 0, 0, 0, 1, 1, 0, 4, 1, 1, 1, 6, 12, 15, ";

class Sviste : public testing::Test {
 protected:
  prova::EsitoProcesso compila(const std::string& linea, const std::string& treno,
                               std::vector<std::string> altri = {}) {
    prova::scrivi_tutto(t / "X_linea.txt", linea);
    prova::scrivi_tutto(t / "X_1-.txt", treno);
    std::filesystem::remove_all(t / "out");
    std::vector<std::string> a = {"compile",      "--line", t / "X_linea.txt", "--train",
                                  t / "X_1-.txt", "--out",  t / "out"};
    a.insert(a.end(), altri.begin(), altri.end());
    return esegui(kProgramma, a);
  }
  CartellaTemporanea t;
};

// Each slip is a warning at its row, with status 1; the files are those the same texts
// give without the check, and --strict writes none.
TEST_F(Sviste, EachSlipIsAWarningAtItsRowAndLeavesTheFilesAlone) {
  struct Caso {
    const char* nome;
    std::string linea, treno;
    int codice;
    bool in_linea;
    int riga, colonna;
  };
  const std::vector<Caso> casi = {
      {"a station's name that is a number", kLineaBase,
       "[generale]\nvelocita, 0, 70\n[stazioni]\n" + kStazione + "0, BORGO\n[fine]\n", 204, false, 4, 66},
      {"a comma in a station's name", kLineaBase,
       "[generale]\nvelocita, 0, 70\n[stazioni]\n" + kStazione + "PORTA, NUOVA\n[fine]\n", 205, false, 4, 73},
      {"a general keyword of the line with capitals",
       "[generale]\nlunghezza percorso, 10000\nProgressiva chilometrica uno, 0, 13000, 0\n[curve]\n[fine]\n",
       kTrenoBase, 206, true, 3, 1},
      {"a general row after the first header",
       "[generale]\nlunghezza percorso, 10000\n[curve]\nsfondo uno, 2\n[fine]\n", kTrenoBase, 207, true, 4, 1},
      {"a row before [generale]", kLineaBase, "velocita, 0, 50\n[generale]\nvelocita, 0, 70\n[fine]\n", 207, false, 1,
       1},
      {"the [curve] header missing",
       "[generale]\nlunghezza percorso, 10000\ncurvad4, 300, 100\ncurvas5, 1200, 250\n[pendenze]\n[fine]\n", kTrenoBase,
       208, true, 3, 1},
      {"a curve's class without curva", "[generale]\nlunghezza percorso, 10000\n[curve]\n  curve4, 300, 100\n[fine]\n",
       kTrenoBase, 209, true, 4, 3},
      {"gradients out of order",
       "[generale]\nlunghezza percorso, 10000\n[curve]\n[pendenze]\npendenza, 0, 5\npendenza, 4000, 10\npendenza, "
       "2000, "
       "0\n[fine]\n",
       kTrenoBase, 210, true, 7, 1},
      {"speed limits out of order", kLineaBase,
       "[generale]\n[vel_limite]\nvelocita, 0, 70\nvelocita, 6000, 100\nvelocita, 3000, 80\n[fine]\n", 210, false, 5,
       1},
      {"a signal in the run-out", kLineaBase,
       "[generale]\nvelocita, 0, 70\n[segnali]\nsegnale, 12000, 1, 4, 1, 0, 0, 0, 0, 0, 0, 0\n[fine]\n", 211, false, 4,
       1},
      {"a gradient in the run-out",
       "[generale]\nlunghezza percorso, 10000\n[curve]\n[pendenze]\npendenza, 10050, 5\n[fine]\n", kTrenoBase, 211,
       true, 5, 1},
      {"lines ended by a CR alone", kLineaBase, "[generale]\rvelocita, 0, 70\r[fine]\r", 212, false, 1, 11},
      {"a tab where the comma belongs", kLineaBase,
       "[generale]\nvelocita, 0, 70\n[stazioni]\nstazione\t0, 2, 600, 0, 0, 0, 1, 1, 0, 4, 1, 1, 1, 6, 12, 15, "
       "BORGO\n[fine]\n",
       213, false, 4, 1},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    const auto e = compila(c.linea, c.treno, {"--json"});
    EXPECT_EQ(e.stato, 1) << e.errori;
    const std::string file = t / (c.in_linea ? "X_linea.txt" : "X_1-.txt");
    const std::string luogo = file + ":" + std::to_string(c.riga) + ":" + std::to_string(c.colonna);
    EXPECT_TRUE(contiene(e.errori, luogo + ": warning " + std::to_string(c.codice) + ": ")) << e.errori;
    EXPECT_TRUE(contiene(
        e.uscita, "{\"codice\": " + std::to_string(c.codice) + ", \"posizione\": null, \"file\": " + json_testo(file) +
                      ", \"riga\": " + std::to_string(c.riga) + ", \"colonna\": " + std::to_string(c.colonna)))
        << e.uscita;

    Stato s;
    compila_descrizioni(s, c.linea, c.treno, {"X", "1"}, true);
    CartellaMemoria attesi;
    const auto nomi = scrivi_file_binari(s, attesi);
    ASSERT_EQ(nomi.size(), 3u);
    for (const auto& nome : nomi) EXPECT_EQ(leggi_tutto(t / ("out/" + nome)), attesi.file.at(nome)) << nome;

    EXPECT_EQ(compila(c.linea, c.treno, {"--strict"}).stato, 1);
    EXPECT_FALSE(std::filesystem::exists(t / "out/X_1.sim")) << "--strict writes nothing after a warning";
  }
}

// What is no slip stays quiet: rows in order, a station's name of words, a curve
// keyword, a keyword that takes a digit, a commented-out row, and rows under another
// header where the reader takes them all the same (a train row, a line row after the
// general rows).
TEST_F(Sviste, RowsWrittenAsMeantGiveNoWarning) {
  const std::string linea =
      "-- a line\n[generale]\nlunghezza percorso, 10000\nprogressiva chilometrica uno, 0, 13000, 0\n"
      "ripetizione segnali 4 codici, 100, 200\n[curve]\ncurvad4, 300, 100\ncurva s 5, 1200, 250\n[pendenze]\n"
      "pendenza, 0, 5\npendenza, 4000, 10\n-pendenza, 2000, 0\n[montagne]\npendenza, 4000, 0\n[fine]\n";
  const std::string treno =
      "[generale]\nnumero vetture, 5\n[vel_limite]\nvelocita, 0, 70\nvelocita, 9000, 60\n[stazioni]\n" + kStazione +
      "S. LORIANO\n[rallentamenti]\nsegnale, 9950, 1, 4, 1, 0, 0, 0, 0, 0, 0, 0\n[fine]\n";
  const auto e = compila(linea, treno);
  EXPECT_EQ(e.stato, 0) << e.errori;
  EXPECT_EQ(e.errori, "");
}

// The built-in texts, as export writes them, are free of slips.
TEST_F(Sviste, TheBuiltInTextsGiveNoWarning) {
  ASSERT_EQ(esegui(kProgramma, {"export", "--out", t.percorso().string()}).stato, 0);
  const auto e = esegui(kProgramma, {"compile", "--line", t / "VallorsaC_Pietrana_linea.txt", "--train",
                                     t / "VallorsaC_Pietrana_4721-.txt", "--out", t / "out"});
  EXPECT_EQ(e.stato, 0) << e.errori;
  EXPECT_EQ(e.errori, "");
}

// Error messages that say what happened: stations out of order are called so and name
// the station before; an occupied cell names the row that took it; the line's error
// that the train's replaced is still shown, as a note and in the JSON.
TEST_F(Sviste, ErrorsSayWhatHappenedAndNameTheRowsInvolved) {
  const std::string borgo = "stazione, 3000, 2, 600, 0, 0, 0, 1, 1, 0, 4, 1, 1, 1, 6, 12, 15, BORGO\n";
  const std::string villa = "stazione, 3600, 2, 600, 0, 0, 0, 1, 1, 0, 4, 1, 1, 1, 6, 20, 0, VILLA\n";
  const std::string lontana = "stazione, 1000, 2, 600, 0, 0, 0, 1, 1, 0, 4, 1, 1, 1, 6, 20, 0, VILLA\n";
  struct Caso {
    std::string linea, treno, atteso;
  };
  const std::vector<Caso> casi = {
      {kLineaBase, "[generale]\nvelocita, 0, 70\n" + borgo + villa + "[fine]\n",
       ":4:1: error 22: the station at 3600 m starts less than 350 m after the end of the area of the station at "
       "3000 m (the train's station row at line 3)"},
      {kLineaBase, "[generale]\nvelocita, 0, 70\n" + borgo + lontana + "[fine]\n",
       ":4:1: error 22: the station at 1000 m is out of order: it comes after the station at 3000 m (the train's "
       "station row at line 3)"},
      {kLineaBase,
       "[generale]\nvelocita, 0, 70\nsegnale, 5000, 1, 4, 1, 0, 0, 0, 0, 0, 0, 0\nrallentamento, 5000, 60, 500, 0, 0, "
       "0\n[fine]\n",
       ":4:1: error 18: the start of the slow order at 5000 m falls on cell 101, which already holds a signal, put "
       "there "
       "by the train's signal row at line 3"},
      {"[generale]\nlunghezza percorso, 10000\n[curve]\n[indicazioni]\ncartello_indicatore, 6850, (F)\n[fine]\n",
       "[generale]\nvelocita, 0, 70\nsegnale, 6850, 1, 4, 1, 0, 0, 0, 0, 0, 0, 0\n[fine]\n",
       ":3:1: error 16: the signal at 6850 m falls on cell 138, which already holds a caption board, put there by the "
       "line's caption-board row at line 5"},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.treno);
    const auto e = compila(c.linea, c.treno);
    EXPECT_EQ(e.stato, 1);
    EXPECT_TRUE(contiene(e.errori, c.atteso)) << e.errori;
  }

  // 30 000 is read as 30 m: the gradient at 100 m is error 15, then the train's speed
  // row beyond that track replaces it.
  const std::string corta = "[generale]\nlunghezza percorso, 30 000\n[curve]\n[pendenze]\npendenza, 7100, 5\n[fine]\n";
  const auto e = compila(corta, "[generale]\nvelocita, 7200, 70\n[fine]\n", {"--json"});
  EXPECT_EQ(e.stato, 1);
  EXPECT_TRUE(contiene(e.errori, t / "X_1-.txt:2:1: error 15: the speed-limit row at 7200 m")) << e.errori;
  EXPECT_TRUE(contiene(e.errori, t / "X_linea.txt:5:1: note: before the train's error, the line recorded error 15: "
                                     "the gradient row at 7100 m lies too close to or beyond the end of the track"))
      << e.errori;
  EXPECT_TRUE(contiene(e.uscita, "\"codice_errore\": 15, \"posizione_errore\": 7200")) << e.uscita;
  EXPECT_TRUE(contiene(e.uscita, "\"errore_linea\": {\"codice\": 15, \"posizione\": 7100, \"file\": " +
                                     json_testo(t / "X_linea.txt") + ", \"riga\": 5, \"colonna\": 1, \"messaggio\": " +
                                     "\"before the train's error, the line recorded error 15: the gradient row "
                                     "at 7100 m lies too close to or beyond the end of the track"))
      << e.uscita;
  EXPECT_TRUE(contiene(compila(kLineaBase, kTrenoBase, {"--json"}).uscita, "\"errore_linea\": null"));
}

}  // namespace
}  // namespace cmp
