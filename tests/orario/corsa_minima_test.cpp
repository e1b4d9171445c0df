// The fastest run against closed forms: on a line of one limit and one gradient the run
// between two stops takes s/v + v/(2a) + v/(2b), a and b the rates corrected by g·i.
#include "orario/corsa_minima.h"

#include <gtest/gtest.h>

#include <cmath>

#include "model/limiti_formato.h"
#include "model/voci_scenario.h"

namespace cmp {
namespace {

// A track of `metri` metres at one limit (km/h) and one gradient (per mille), with the
// stations added by `stazione`.
struct Scenario {
  std::vector<tratto> percorso;
  std::array<voce_scenario, kVociScenario> voci{};
  std::size_t stazioni = 0;

  Scenario(std::int64_t metri, int kmh, int per_mille) : percorso(static_cast<std::size_t>(metri / 50 + 1)) {
    for (auto& t : percorso) {
      t.velocita = static_cast<std::uint8_t>(kmh / 5);
      t.pendenza = static_cast<std::uint8_t>(per_mille + 100);
    }
    orologio_ore(voci) = 6;
  }
  // A station of 600 m at `posizione`; kind 2 stops, kind 30 is passed.
  Scenario& stazione(std::int32_t posizione, std::int32_t orario, std::uint8_t tipo = 2) {
    voce_scenario& v = voci[++stazioni];
    v.tipo = tipo;
    inizio_area(v) = posizione - 300;
    fine_area(v) = posizione + 300;
    posizione_stazione(v) = posizione;
    orario_stazione(v) = orario;
    nome_stazione(v) = "S" + std::to_string(stazioni);
    return *this;
  }
  // Cells [da, a) at another limit.
  Scenario& limite(std::int64_t da, std::int64_t a, int kmh) {
    for (auto c = da / 50; c < a / 50; ++c)
      percorso[static_cast<std::size_t>(c)].velocita = static_cast<std::uint8_t>(kmh / 5);
    return *this;
  }
  corsa_minima corri(double a, double b) const { return calcola_corsa_minima(percorso, voci, {a, b}); }
};

constexpr std::int32_t k6 = 6 * 3600;

double forma_chiusa(double s, double kmh, double a, double b) {
  const double v = kmh / 3.6;
  return s / v + v / (2 * a) + v / (2 * b);
}

TEST(CorsaMinima, ALevelRunBetweenTwoStopsTakesTheClosedForm) {
  const Scenario sc = Scenario(30000, 100, 0).stazione(1000, k6).stazione(21000, k6 + 3600);
  const corsa_minima c = sc.corri(0.5, 0.5);
  ASSERT_EQ(c.stazioni.size(), 2u);
  EXPECT_DOUBLE_EQ(c.stazioni[1].metro - c.stazioni[0].metro, 20000);
  ASSERT_TRUE(c.stazioni[1].arrivo);
  EXPECT_NEAR(*c.stazioni[1].arrivo - k6, forma_chiusa(20000, 100, 0.5, 0.5), 1e-6);
  EXPECT_NEAR(*c.stazioni[1].margine, 3600 - forma_chiusa(20000, 100, 0.5, 0.5), 1e-6);
  EXPECT_NEAR(*c.stazioni[1].margine_percento, *c.stazioni[1].margine / 36, 1e-9);
  EXPECT_FALSE(c.blocco);
}

TEST(CorsaMinima, AConstantGradientCorrectsBothRatesByGTimesI) {
  for (const int i : {10, -10, 25}) {
    const Scenario sc = Scenario(30000, 100, i).stazione(1000, k6).stazione(21000, k6 + 3600);
    const double gi = kGravita * i / 1000;
    EXPECT_NEAR(*sc.corri(0.5, 0.7).stazioni[1].arrivo - k6, forma_chiusa(20000, 100, 0.5 - gi, 0.7 + gi), 1e-6) << i;
  }
}

TEST(CorsaMinima, AClimbBeyondTheAccelerationStopsTheRunAndSaysWhere) {
  const Scenario sc = Scenario(30000, 100, 60).stazione(1000, k6).stazione(21000, k6 + 3600);
  const corsa_minima c = sc.corri(0.5, 0.5);
  ASSERT_TRUE(c.blocco);
  EXPECT_EQ(c.blocco->perche, blocco_corsa::motivo::salita);
  EXPECT_EQ(c.blocco->pendenza, 60);
  EXPECT_FALSE(c.stazioni[1].arrivo);
  EXPECT_TRUE(c.stazioni[1].in_ritardo());
}

TEST(CorsaMinima, BrakingForALowerLimitEndsWhereItStarts) {
  // 100 km/h, then 50 km/h from 11000 m to 12000 m: the run is at 50 km/h exactly there.
  const Scenario sc = Scenario(30000, 100, 0).stazione(1000, k6).stazione(21000, k6 + 3600).limite(11000, 12000, 50);
  const corsa_minima c = sc.corri(0.5, 0.5);
  bool al_limite = false;
  for (const auto& p : c.punti) {
    if (p.metro > 11000 && p.metro < 12000) {
      EXPECT_LE(p.velocita, 50 / 3.6 + 1e-9) << p.metro;
    }
    if (p.metro == 11000) al_limite = std::abs(p.velocita - 50 / 3.6) < 1e-9;
  }
  EXPECT_TRUE(al_limite);
  // Closed form: the slow kilometre costs its time at 50 km/h, plus braking from 100 to 50
  // and accelerating back, against the same distances at 100 km/h.
  const double v1 = 100 / 3.6, v2 = 50 / 3.6;
  const double frenata = (v1 * v1 - v2 * v2) / (2 * 0.5);  // metres for each change of speed
  const double extra = 1000 / v2 - 1000 / v1 + 2 * ((v1 - v2) / 0.5 - frenata / v1);
  EXPECT_NEAR(*c.stazioni[1].arrivo - k6, forma_chiusa(20000, 100, 0.5, 0.5) + extra, 1e-6);
}

TEST(CorsaMinima, APassedStationIsTimedWhereTheTrainPassesItAndStopsAreWaitedOut) {
  const Scenario sc = Scenario(40000, 100, 0)
                          .stazione(1000, k6)
                          .stazione(11000, k6 + 600, 30)  // passed: no stop cell
                          .stazione(21000, k6 + 1200)
                          .stazione(31000, k6 + 3000);
  const corsa_minima c = sc.corri(0.5, 0.5);
  const double v = 100 / 3.6;
  EXPECT_FALSE(c.stazioni[1].fermata);
  EXPECT_NEAR(*c.stazioni[1].arrivo - k6, (11000 - 1275) / v + v / (2 * 0.5), 1e-6);
  // The third station is left at its time, not on arrival.
  EXPECT_NEAR(*c.stazioni[3].arrivo - (k6 + 1200), forma_chiusa(10000, 100, 0.5, 0.5), 1e-6);
}

TEST(CorsaMinima, OneSecondEarlierIsLateOneSecondLaterIsNot) {
  const double corsa = forma_chiusa(20000, 100, 0.5, 0.5);
  for (const auto& [orario, in_ritardo] : {std::pair{std::floor(corsa) - 1, true}, {std::ceil(corsa) + 1, false}}) {
    const Scenario sc = Scenario(30000, 100, 0).stazione(1000, k6).stazione(21000, k6 + static_cast<int>(orario));
    EXPECT_EQ(sc.corri(0.5, 0.5).stazioni[1].in_ritardo(), in_ritardo) << orario;
  }
}

TEST(CorsaMinima, TheClockAfterTheFirstTimeMakesTheFirstStationLate) {
  Scenario sc = Scenario(30000, 100, 0).stazione(1000, k6 + 60).stazione(21000, k6 + 3600);
  orologio_minuti(sc.voci) = 2;
  const corsa_minima c = sc.corri(0.5, 0.5);
  EXPECT_TRUE(c.stazioni[0].in_ritardo());
  EXPECT_NEAR(*c.stazioni[1].arrivo - (k6 + 120), forma_chiusa(20000, 100, 0.5, 0.5), 1e-6);
}

TEST(CorsaMinima, TheBrakingRateComesFromTheBrakedWeightByTheMindenFormula) {
  // s = 3.85 V² / (6.1 (1 + λ/10)): 100 km/h and 105 % brake in 38500 / 70.15 = 548.8 m.
  const double b = decelerazione_da_massa_frenata(105);
  EXPECT_NEAR((100 / 3.6) * (100 / 3.6) / (2 * b), 38500 / 70.15, 1e-9);
  Scenario sc = Scenario(30000, 100, 0).stazione(1000, k6).stazione(21000, k6 + 3600);
  massa_frenata(sc.voci) = 105;
  corsa_minima c = calcola_corsa_minima(sc.percorso, sc.voci, {});
  EXPECT_TRUE(c.decelerazione_da_massa);
  EXPECT_DOUBLE_EQ(c.decelerazione, b);
  EXPECT_DOUBLE_EQ(c.accelerazione, kAccelerazionePredefinita);
  massa_frenata(sc.voci) = 400;
  c = calcola_corsa_minima(sc.percorso, sc.voci, {});
  EXPECT_TRUE(c.massa_fuori_campo);
  EXPECT_DOUBLE_EQ(c.decelerazione, decelerazione_da_massa_frenata(kMassaFrenataMassima));
}

TEST(CorsaMinima, ALimitOfZeroAStationBehindOrNoStationGivesNoRunAndNoCrash) {
  const Scenario sc = Scenario(30000, 100, 0).stazione(1000, k6).stazione(21000, k6 + 3600).limite(5000, 5050, 0);
  const corsa_minima c = sc.corri(0.5, 0.5);
  ASSERT_TRUE(c.blocco);
  EXPECT_EQ(c.blocco->perche, blocco_corsa::motivo::limite_nullo);
  EXPECT_EQ(c.blocco->metro, 5000);
  // A station behind the one before it (left by a compile that stopped at it): the run
  // ends there, it and those after it unreached.
  const corsa_minima indietro =
      Scenario(30000, 100, 0).stazione(10000, k6).stazione(5000, k6 + 600).stazione(20000, k6 + 1200).corri(0.5, 0.5);
  ASSERT_TRUE(indietro.blocco);
  EXPECT_EQ(indietro.blocco->perche, blocco_corsa::motivo::indietro);
  EXPECT_EQ(indietro.blocco->metro, 5000);
  EXPECT_FALSE(indietro.stazioni[1].arrivo);
  EXPECT_FALSE(indietro.stazioni[2].arrivo);
  EXPECT_TRUE(Scenario(3000, 100, 0).corri(0.5, 0.5).stazioni.empty());
  EXPECT_TRUE(calcola_corsa_minima({}, {}, {}).stazioni.empty());
}

}  // namespace
}  // namespace cmp
