#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "model/decodifica_file.h"
#include "reader/line/pendenze_curve.h"
#include "testi_linea.h"

namespace cmp {
namespace {

using prova::descrizione;
using prova::leggi;
using prova::righe;

// Length 1000: cells 0 to 160; the closing pass reaches cell 157.
struct CasoPendenze {
  const char* nome;
  std::string righe_sezione;
  std::vector<std::pair<int, int>> celle;  // cell, expected pendenza
};

TEST(Pendenze, ReadsTheRowsAndMakesTheClosingPass) {
  const CasoPendenze casi[] = {
      {"no rows: flat up to n - 3, the last three cells 0", "", {{0, 100}, {157, 100}, {158, 0}, {160, 0}}},
      {"built-in start: nothing before the first row",
       righe({"pendenza,  0,   -3", "pendenza,  150,   3"}),
       {{0, 97}, {2, 97}, {3, 103}, {157, 103}, {158, 0}}},
      {"cells before the first row are flat", righe({"pendenza,  200,   7"}), {{0, 100}, {3, 100}, {4, 107}}},
      {"a repeated position writes one cell anyway",
       righe({"pendenza,  100,   5", "pendenza,  100,   7"}),
       {{0, 100}, {1, 100}, {2, 105}, {3, 107}, {157, 107}}},
      {"positions off the grid round to a cell, ties to even",
       righe({"pendenza,  0,   1", "pendenza,  75,   2", "pendenza,  148,   3", "pendenza,  225,   4"}),
       {{0, 101}, {1, 101}, {2, 102}, {3, 103}, {4, 104}}},
      {"a gradient beyond 32 bits replaced before it reaches a cell",
       righe({"pendenza,  500,   2147483647", "pendenza,  0,   5"}),
       {{0, 100}, {9, 100}, {10, 105}, {157, 105}}},
      {"-101 wraps in the 8-bit cell", righe({"pendenza,  0,   -101"}), {{0, 255}, {157, 255}}},
      {"a negative position only sets the gradient", righe({"pendenza,  -500,   9"}), {{0, 109}, {157, 109}}},
      {"rows repeated at the last cell never pass it",
       righe({"pendenza,  7900,   1", "pendenza,  7900,   2", "pendenza,  7900,   3", "pendenza,  7900,   4",
              "pendenza,  7900,   5", "pendenza,  7900,   6"}),
       {{157, 100}, {158, 101}, {159, 102}, {160, 103}}},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    const auto l = leggi(descrizione(c.righe_sezione));
    ASSERT_EQ(l.esito, esito_lettura::completa);
    EXPECT_EQ(l.s.codice_errore, 0);
    for (const auto& [cella, attesa] : c.celle) EXPECT_EQ(l.s.percorso[cella].pendenza, attesa) << "cell " << cella;
  }
}

TEST(Curve, TakesTheCurvatureFromTheKeyField) {
  const std::pair<const char*, std::optional<double>> casi[] = {
      {"curvad4", 0.001},       {"curvas5", -0.002},       {"curvaS4", -0.001},       {"CURVAD6", 0.003},
      {"curvad3", 0.0004},      {"curvas2", -0.0002},      {"curvad14", 0.0001},      {"curvad41", 0.0001},
      {"curvad", std::nullopt}, {"curvad7", std::nullopt}, {"curvad0", std::nullopt},
  };
  for (const auto& [chiave, attesa] : casi) EXPECT_EQ(curvatura(chiave), attesa) << chiave;
  // The decoders refuse a plan whose steps grow faster than the sharpest class allows.
  for (const char* chiave : {"curvad1", "curvad2", "curvad3", "curvad4", "curvad5", "curvad6"}) {
    EXPECT_LE(std::abs(*curvatura(chiave)), limiti_file::curvatura_massima) << chiave;
  }
  EXPECT_EQ(curvatura("curvas6"), -limiti_file::curvatura_massima);
}

double direzione(const TabellaLinea& t, std::size_t m) {  // radians from axis 1 towards axis 0
  return std::atan2(t.numero(m, 0) - t.numero(m - 1, 0), t.numero(m, 1) - t.numero(m - 1, 1));
}

TEST(Curve, WithoutCurvesThePlanIsAStraightLine) {
  const auto l = leggi(descrizione(""));
  const auto& t = l.s.tabella_linea;
  ASSERT_EQ(t.righe(), 8001u);
  for (std::size_t m : {0u, 1u}) {
    EXPECT_EQ(t.etichetta(m, 0), valore_etichettato::tipo::intero16);
    EXPECT_EQ(t.etichetta(m, 1), valore_etichettato::tipo::intero16);
  }
  EXPECT_EQ(t.numero(1, 1), 1.0);
  for (std::size_t m = 2; m <= 7998; ++m) {
    ASSERT_EQ(t.etichetta(m, 0), valore_etichettato::tipo::doppio) << m;
    ASSERT_EQ(t.numero(m, 0), 0.0) << m;
    ASSERT_EQ(t.numero(m, 1), static_cast<double>(m)) << m;
  }
  for (std::size_t m : {7999u, 8000u}) {
    EXPECT_EQ(t.etichetta(m, 0), valore_etichettato::tipo::vuoto);
    EXPECT_EQ(t.etichetta(m, 1), valore_etichettato::tipo::vuoto);
  }
}

TEST(Curve, ARightCurveAt300ForAHundredMetres) {
  const auto l = leggi(descrizione(righe({"curvad4,  300,  100"})));
  ASSERT_EQ(l.esito, esito_lettura::completa);
  const auto& t = l.s.tabella_linea;
  EXPECT_EQ(t.numero(300, 0), 0.0);
  EXPECT_EQ(t.numero(300, 1), 300.0);
  EXPECT_EQ(t.numero(301, 0), 0.001);
  EXPECT_EQ(t.numero(301, 1), 301.0);
  // Each metre turns by about 0.001 rad towards axis 0, then the line runs straight on.
  EXPECT_NEAR(direzione(t, 400), 0.1, 1e-6);
  EXPECT_NEAR(direzione(t, 401), direzione(t, 7998), 1e-9);
  EXPECT_GT(t.numero(7998, 0), 0.0);
}

TEST(Curve, ReadsEachCaseOfACurveRow) {
  struct Caso {
    const char* nome;
    std::string righe_sezione;
    double direzione_finale;
  } const casi[] = {
      {"left-hand curve", righe({"curvas4,  300,  100"}), -0.1},
      {"a curve behind the cursor changes nothing", righe({"curvad4,  300,  100", "curvad4,  100,  100"}), 0.1},
      {"a curve starting behind the cursor bends its remaining part",
       righe({"curvad4,  300,  100", "curvad4,  350,  100"}), 0.15},
      {"a negative length bends nothing", righe({"curvad4,  300,  -100"}), 0.0},
      {"a curve beyond the table is cut at L + 6998", righe({"curvad4,  7900,  100000"}), 0.098},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    const auto l = leggi(descrizione(c.righe_sezione));
    ASSERT_EQ(l.esito, esito_lettura::completa);
    EXPECT_EQ(l.s.codice_errore, 0);
    EXPECT_NEAR(direzione(l.s.tabella_linea, 7998), c.direzione_finale, 1e-5);
    EXPECT_EQ(l.s.tabella_linea.etichetta(7999, 0), valore_etichettato::tipo::vuoto);
    EXPECT_EQ(l.s.tabella_linea.etichetta(8000, 1), valore_etichettato::tipo::vuoto);
  }
}

TEST(Curve, ACursorBeyondTheMillionthMetreGivesError103) {
  const std::pair<const char*, std::int32_t> casi[] = {
      {"curvad4,  999800,  100", 0},
      {"curvad4,  999900,  100", 103},   // the step of metre 1000000 takes the cursor past it
      {"curvad4,  1000200,  100", 103},  // already the straight steps
  };
  for (const auto& [riga, codice] : casi) {
    const auto l = leggi(descrizione(righe({riga}), 1000000));
    EXPECT_EQ(l.s.codice_errore, codice) << riga;
    EXPECT_EQ(l.esito, codice == 0 ? esito_lettura::completa : esito_lettura::interrotta);
  }
}

TEST(Curve, ACurveEndBeyond32BitsIsAFailure) {
  const auto l = leggi(descrizione(righe({"curvad4,  300,  2147483600"})));
  EXPECT_EQ(l.esito, esito_lettura::fallita);
  EXPECT_EQ(l.s.codice_errore, 25);
  EXPECT_EQ(l.s.tabella_linea.numero(300, 1), 300.0) << "the straight steps up to the start are made first";

  // Past metre 1000000 before the end of the curve is even worked out: 103, not 25.
  const auto lontana = leggi(descrizione(righe({"curvad4,  1000200,  2147483647"}), 1000000));
  EXPECT_EQ(lontana.s.codice_errore, 103);
}

TEST(Pendenze, AGradientBeyond32BitsFailsWhenItReachesACell) {
  const auto l = leggi(descrizione(righe({"pendenza,  0,   2147483647", "pendenza,  500,   1"})));
  EXPECT_EQ(l.esito, esito_lettura::fallita);
  EXPECT_EQ(l.s.codice_errore, 25);
}

}  // namespace
}  // namespace cmp
