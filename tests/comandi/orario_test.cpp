// compattatore timetable as a user runs it: the earliest arrivals against closed forms, the
// late station at its row, the options' limits, and the compiled files read back.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "descrizioni_prova.h"
#include "supporto.h"

namespace cmp {
namespace {

using nlohmann::json;
using prova::CartellaTemporanea;
using prova::contiene;
using prova::esegui;
using prova::kProgramma;

// A straight 30 km line at one gradient; a train at 100 km/h with two stations 20 km apart
// (their stop cells too: both areas are 600 m long), the second due at `ore:minuti:secondi`.
std::string linea(int per_mille) {
  return "[generale]\nlunghezza percorso, 30000\n[curve]\n[pendenze]\npendenza, 0, " + std::to_string(per_mille) +
         "\n[fine]\n";
}

std::string stazione(int posizione, int ore, int minuti, int secondi, const std::string& nome) {
  return "stazione, " + std::to_string(posizione) + ", 2, 600, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, " + std::to_string(ore) +
         ", " + std::to_string(minuti) + ", " + std::to_string(secondi) + ", " + nome + "\n";
}

std::string treno(int secondi_dopo_le_6) {
  return "[generale]\npercentuale massa frenata, 105\norologio, 5, 59, 0\n[vel_limite]\nvelocita, 0, 100\n"
         "[stazioni]\n" +
         stazione(1000, 6, 0, 0, "PRIMA") +
         stazione(21000, 6, secondi_dopo_le_6 / 60, secondi_dopo_le_6 % 60, "SECONDA") + "[fine]\n";
}

// s/v + v/(2a) + v/(2b): accelerating from a stop to v, running at v, braking to a stop.
double forma_chiusa(double s, double kmh, double a, double b) {
  const double v = kmh / 3.6;
  return s / v + v / (2 * a) + v / (2 * b);
}

class Orario : public testing::Test {
 protected:
  prova::EsitoProcesso orario(const std::string& testo_linea, const std::string& testo_treno,
                              std::vector<std::string> altri = {}) {
    prova::scrivi_tutto(t / "X_linea.txt", testo_linea);
    prova::scrivi_tutto(t / "X_1-.txt", testo_treno);
    std::vector<std::string> a = {"timetable", "--line", t / "X_linea.txt", "--train", t / "X_1-.txt"};
    a.insert(a.end(), altri.begin(), altri.end());
    return esegui(kProgramma, a);
  }
  CartellaTemporanea t;
};

TEST_F(Orario, TheEarliestArrivalAgreesWithTheClosedFormOnTheLevelAndOnAClimb) {
  for (const int per_mille : {0, 10}) {
    const auto e =
        orario(linea(per_mille), treno(3600), {"--accelerazione", "0.5", "--decelerazione", "0.5", "--json"});
    ASSERT_EQ(e.stato, 0) << e.errori;
    const json j = json::parse(e.uscita);
    EXPECT_EQ(j["accelerazione"].get<double>(), 0.5);
    EXPECT_EQ(j["decelerazione"].get<double>(), 0.5);
    const double gi = 9.81 * per_mille / 1000;
    const double attesa = forma_chiusa(20000, 100, 0.5 - gi, 0.5 + gi);
    const json& s = j["stazioni"];
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[0]["arrivo_minimo"].get<double>(), 5 * 3600 + 59 * 60);  // standing there at the clock's time
    const double corsa = s[1]["arrivo_minimo"].get<double>() - 6 * 3600;
    EXPECT_LT(std::abs(corsa - attesa), attesa * 0.01) << per_mille;
    EXPECT_NEAR(corsa, attesa, 0.001) << per_mille;  // exact, up to the JSON's milliseconds
    EXPECT_NEAR(s[1]["margine"].get<double>(), 3600 - attesa, 0.001);
    EXPECT_EQ(s[1]["riga"].get<int>(), 8);
    EXPECT_EQ(s[1]["colonna"].get<int>(), 1);
  }
}

// One second before the earliest arrival is late (301 at the station's row, status 1);
// one second after it is not. compile of the same texts is untouched: status 0, no 301,
// the same files; and timetable writes nothing.
TEST_F(Orario, OneSecondTooEarlyIsLateAtItsRowAndCompileIsUntouched) {
  const double corsa = forma_chiusa(20000, 100, 0.5, 0.5);
  const int presto = static_cast<int>(std::floor(corsa)) - 1;
  const int tardi = static_cast<int>(std::ceil(corsa)) + 1;
  const auto in_ritardo = orario(linea(0), treno(presto), {"--accelerazione", "0.5", "--decelerazione", "0.5"});
  EXPECT_EQ(in_ritardo.stato, 1);
  EXPECT_TRUE(contiene(in_ritardo.errori, (t / "X_1-.txt") + ":8:1: warning 301: station SECONDA cannot "
                                                             "be reached by its time"))
      << in_ritardo.errori;
  EXPECT_TRUE(contiene(in_ritardo.uscita, "late")) << in_ritardo.uscita;
  const auto j = json::parse(
      orario(linea(0), treno(presto), {"--accelerazione", "0.5", "--decelerazione", "0.5", "--json"}).uscita);
  ASSERT_EQ(j["avvisi"].size(), 1u);
  EXPECT_EQ(j["avvisi"][0]["codice"], 301);
  EXPECT_EQ(j["avvisi"][0]["riga"], 8);
  EXPECT_EQ(j["stato"], 1);
  // (Its margin of a second or two is far below 3 %: no minimum here.)
  const auto in_orario =
      orario(linea(0), treno(tardi), {"--accelerazione", "0.5", "--decelerazione", "0.5", "--margine-minimo", "0"});
  EXPECT_EQ(in_orario.stato, 0) << in_orario.errori;
  EXPECT_EQ(in_orario.errori, "");

  // Only the texts are in the folder: timetable wrote nothing.
  std::size_t file = 0;
  for ([[maybe_unused]] const auto& f : std::filesystem::directory_iterator(t.percorso())) ++file;
  EXPECT_EQ(file, 2u);
  const auto compila = [&](const std::string& treno_testo, const std::string& cartella) {
    prova::scrivi_tutto(t / "X_1-.txt", treno_testo);
    return esegui(kProgramma,
                  {"compile", "--line", t / "X_linea.txt", "--train", t / "X_1-.txt", "--out", t / cartella});
  };
  const auto c1 = compila(treno(presto), "presto");
  EXPECT_EQ(c1.stato, 0) << c1.errori;
  EXPECT_FALSE(contiene(c1.errori, "301"));
  // The late text and one on time differ only in the station's time, which is stored in
  // the table: the track and the plan are the same bytes.
  compila(treno(tardi), "tardi");
  for (const char* nome : {"X_1.dat", "X_linea.dat"}) {
    EXPECT_EQ(prova::leggi_tutto(t.percorso() / "presto" / nome), prova::leggi_tutto(t.percorso() / "tardi" / nome))
        << nome;
  }
}

TEST_F(Orario, AMarginBelowTheMinimumIsTheMilderWarning) {
  const double corsa = forma_chiusa(20000, 100, 0.5, 0.5);
  const int stretto = static_cast<int>(std::ceil(corsa)) + 10;  // about 1.3 %
  const auto e = orario(linea(0), treno(stretto), {"--accelerazione", "0.5", "--decelerazione", "0.5"});
  EXPECT_EQ(e.stato, 1);
  EXPECT_TRUE(contiene(e.errori, ":8:1: warning 302: station SECONDA is reached with a margin of")) << e.errori;
  const auto largo =
      orario(linea(0), treno(stretto), {"--accelerazione", "0.5", "--decelerazione", "0.5", "--margine-minimo", "1"});
  EXPECT_EQ(largo.stato, 0) << largo.errori;
}

TEST_F(Orario, TheDefaultsAreStatedAndTheBrakingComesFromTheBrakedWeight) {
  const auto e = orario(linea(0), treno(3600));
  ASSERT_EQ(e.stato, 0) << e.errori;
  EXPECT_TRUE(contiene(e.uscita,
                       "acceleration 0.50 m/s\u00b2 (assumed), braking 0.70 m/s\u00b2 (from 105 % braked "
                       "weight, Minden formula)"))
      << e.uscita;
  const auto j = json::parse(orario(linea(0), treno(3600), {"--json"}).uscita);
  EXPECT_EQ(j["decelerazione_da"], "massa_frenata");
  EXPECT_NEAR(j["decelerazione"].get<double>(), 6.1 * 11.5 / (2 * 3.85 * 3.6 * 3.6), 0.0001);
}

// A reader's error leaves the track unread past it: no run is worked out (its limits would
// read 0 km/h), the error is printed as compile prints it, and the status is 1.
TEST_F(Orario, ADescriptionErrorGivesNoRunButItsDiagnostic) {
  std::string errato = treno(100);
  errato.replace(errato.find("stazione, 21000"), 15, "stazione, 21010");  // error 8: off the 50 m grid
  const auto e = orario(linea(0), errato);
  EXPECT_EQ(e.stato, 1);
  EXPECT_TRUE(contiene(e.errori, ": error 8: ")) << e.errori;
  EXPECT_FALSE(contiene(e.errori, "301")) << e.errori;
  EXPECT_TRUE(contiene(e.uscita, "no run: the descriptions hold an error")) << e.uscita;
  const json j = json::parse(orario(linea(0), errato, {"--json"}).uscita);
  EXPECT_EQ(j["corsa_calcolata"], false);
  EXPECT_TRUE(j["stazioni"].empty());
  EXPECT_EQ(json::parse(orario(linea(0), treno(3600), {"--json"}).uscita)["corsa_calcolata"], true);
}

TEST_F(Orario, OptionsOutsideTheirRangeAreUsageErrors) {
  const std::vector<std::vector<std::string>> casi = {
      {"--accelerazione", "0"},   {"--accelerazione", "-1"},  {"--accelerazione", "abc"},  {"--accelerazione", "6"},
      {"--decelerazione", "1e3"}, {"--decelerazione", "nan"}, {"--margine-minimo", "101"}, {"--from", "."},
  };
  for (const auto& altri : casi) {
    const auto e = orario(linea(0), treno(3600), altri);
    EXPECT_EQ(e.stato, 3) << altri[0] << " " << altri[1];
    EXPECT_TRUE(contiene(e.errori, "timetable: ")) << e.errori;
    EXPECT_EQ(e.uscita, "");
  }
  const auto j = orario(linea(0), treno(3600), {"--accelerazione", "0", "--json"});
  EXPECT_EQ(json::parse(j.uscita)["stato"], 3);
}

// The compiled files give the same table; a warning there names the scenario table.
TEST_F(Orario, TheCompiledFilesGiveTheSameArrivals) {
  const auto dai_testi = orario(linea(5), treno(100), {"--json"});
  ASSERT_EQ(dai_testi.stato, 1);
  ASSERT_EQ(
      esegui(kProgramma, {"compile", "--line", t / "X_linea.txt", "--train", t / "X_1-.txt", "--out", t / "out"}).stato,
      0);
  const auto dai_file = esegui(kProgramma, {"timetable", "--from", t / "out", "--json"});
  ASSERT_EQ(dai_file.stato, 1) << dai_file.errori;
  const json a = json::parse(dai_testi.uscita), b = json::parse(dai_file.uscita);
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(a["stazioni"][i]["arrivo_minimo"], b["stazioni"][i]["arrivo_minimo"]);
    EXPECT_TRUE(b["stazioni"][i]["riga"].is_null());
  }
  EXPECT_TRUE(contiene(dai_file.errori, (t.percorso() / "out" / "X_1.sim").string() + ": warning 301: "))
      << dai_file.errori;
  // A folder without a scenario is refused as plot refuses it, in JSON too.
  std::filesystem::create_directory(t.percorso() / "vuota");
  const auto vuota = esegui(kProgramma, {"timetable", "--from", t / "vuota", "--json"});
  EXPECT_EQ(vuota.stato, 3);
  EXPECT_TRUE(contiene(vuota.errori, "timetable: no compiled scenario (*.sim) in ")) << vuota.errori;
  EXPECT_EQ(json::parse(vuota.uscita)["stato"], 3);
}

// The table the README and docs/orario.md show is the one the built-in scenario gives.
TEST_F(Orario, TheBuiltInTableOfTheDocsIsWhatTheProgramPrints) {
  ASSERT_EQ(esegui(kProgramma, {"export", "--out", t.percorso().string()}).stato, 0);
  const auto e = esegui(kProgramma, {"timetable", "--line", t / prova::kLinea, "--train", t / prova::kTreno});
  ASSERT_EQ(e.stato, 0) << e.errori;
  for (const char* pagina : {"README.md", "docs/orario.md"}) {
    const std::string testo = prova::leggi_tutto(std::filesystem::path(COMPATTATORE_SORGENTI) / pagina);
    const std::size_t inizio = testo.find("    station      time");
    ASSERT_NE(inizio, std::string::npos) << pagina;
    std::istringstream righe(testo.substr(inizio));
    int confrontate = 0;
    for (std::string riga; std::getline(righe, riga) && riga.rfind("    ", 0) == 0; ++confrontate) {
      EXPECT_TRUE(contiene(e.uscita, riga.substr(4) + "\n")) << pagina << ": " << riga << "\n" << e.uscita;
    }
    EXPECT_EQ(confrontate, 5) << pagina;
  }
}

#ifdef GENERA_SCENARIO_EXE
// The check costs less than the compile it rests on (it needs no plan of the line): the
// fastest of three runs each, on the generated 1,000 km scenario with 50 stations.
TEST_F(Orario, TheTimetableOfA1000KmScenarioTakesNoLongerThanItsCompile) {
  ASSERT_EQ(esegui(GENERA_SCENARIO_EXE, {"--length", "1000000", "--out", t.percorso().string()}).stato, 0);
  const std::vector<std::string> testi = {"--line", t / "Banco1000_linea.txt", "--train", t / "Banco1000_9001-.txt"};
  const auto piu_breve = [&](std::vector<std::string> a) {
    a.insert(a.end(), testi.begin(), testi.end());
    auto migliore = std::chrono::steady_clock::duration::max();
    for (int i = 0; i < 3; ++i) {
      const auto inizio = std::chrono::steady_clock::now();
      const auto e = esegui(kProgramma, a);
      migliore = std::min(migliore, std::chrono::steady_clock::now() - inizio);
      EXPECT_LE(e.stato, 1) << e.errori;
    }
    return migliore;
  };
  const auto compilazione = piu_breve({"compile", "--out", t / "out"});
  const auto orario = piu_breve({"timetable"});
  EXPECT_LE(orario, compilazione) << std::chrono::duration<double, std::milli>(orario).count() << " ms against "
                                  << std::chrono::duration<double, std::milli>(compilazione).count() << " ms";
}
#endif

}  // namespace
}  // namespace cmp
