#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "errori/catalogo_errori.h"
#include "model/cp1252.h"
#include "reader/comune/fallimento_riga.h"
#include "testi_linea.h"

namespace cmp {
namespace {

using prova::descrizione;
using prova::leggi;
using prova::righe;

// Cells from..to (inclusive) with this mountain kind and these marker cells (tipo 11).
struct Tratto {
  int da, a;
  std::uint8_t montagna;
};

struct CasoMontagne {
  const char* nome;
  std::string righe_sezione;
  std::vector<Tratto> tratti;
  std::vector<int> marcatori;
};

TEST(Montagne, ReadsTheTypesAndTheMarkers) {
  const CasoMontagne casi[] = {
      {"the built-in rows",
       righe({"montagna,   8000,  8300,  11", "montagna,   11350,  11400,  2", "montagna,   11450,  11700,  11",
              "montagna,   25700,  25750,  2"}),
       {{159, 159, 0},
        {160, 165, 1},
        {166, 166, 0},
        {227, 227, 2},
        {228, 228, 0},
        {229, 233, 3},
        {234, 234, 0},
        {514, 514, 2},
        {515, 515, 0}},
       {163, 232}},
      {"kind 12 after a gap of 150 m: kind 3 with markers",
       righe({"montagna,   1000,  1100,  1", "montagna,   1250,  1700,  12"}),
       {{20, 21, 1}, {25, 33, 3}},
       {28, 32}},
      {"kind 12 after a gap of 200 m keeps kind 2",
       righe({"montagna,   1000,  1100,  1", "montagna,   1300,  1700,  12"}),
       {{26, 33, 2}},
       {29, 33}},
      {"an empty stretch still counts as the previous row",
       righe({"montagna,   1000,  1000,  1", "montagna,   1100,  1200,  2"}),
       {{20, 20, 0}, {22, 23, 3}},
       {}},
      {"a mountain ending beyond the track stops at the last cell",
       righe({"montagna,   37800,  900000,  12"}),
       {{755, 755, 0}, {756, 760, 2}},
       {759}},
      {"cells before the track are skipped, markers keep their count",
       righe({"montagna,   -200,  400,  11"}),
       {{0, 7, 1}, {8, 8, 0}},
       {3, 7}},
      {"kind keeps its low 8 bits", righe({"montagna,   100,  200,  -255"}), {{2, 3, 1}}, {}},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    const auto l = leggi(descrizione(c.righe_sezione, 31000));
    ASSERT_EQ(l.esito, esito_lettura::completa);
    EXPECT_EQ(l.s.codice_errore, 0);
    for (const auto& t : c.tratti) {
      for (int cella = t.da; cella <= t.a; ++cella) EXPECT_EQ(l.s.percorso[cella].montagna, t.montagna) << cella;
    }
    std::vector<int> marcatori;
    for (std::size_t i = 0; i < l.s.percorso.size(); ++i) {
      if (l.s.percorso[i].tipo == tipo_cella::marca_montagna) marcatori.push_back(static_cast<int>(i));
    }
    EXPECT_EQ(marcatori, c.marcatori);
  }
}

TEST(Montagne, RowsAreStoredAndTheEightyFirstRefused) {
  std::string r;
  for (int i = 0; i < 81; ++i)
    r += "montagna,  " + std::to_string(1000 + 400 * i) + ",  " + std::to_string(1100 + 400 * i) + ",  1\r\n";
  auto l = leggi(descrizione(r, 40000));
  EXPECT_EQ(l.esito, esito_lettura::interrotta);
  EXPECT_EQ(l.s.codice_errore, errori::troppe_montagne);
  EXPECT_EQ(l.s.posizione_errore, 1000 + 400 * 80);
  EXPECT_EQ(l.s.numero_montagne, 80);
  EXPECT_EQ(l.s.montagne_inizio[1], 1000);
  EXPECT_EQ(l.s.montagne_fine[80], 1100 + 400 * 79);
  EXPECT_EQ(l.s.percorso[(1000 + 400 * 80) / 50].montagna, 0);
}

TEST(Montagne, AMarkerDoesNotCoverABoardButABoardCoversAMarker) {
  // Board first: the mountain leaves it. Mountain first: the caption takes the marker cell.
  auto l = leggi(descrizione(
      righe({"indicatori_vmax,  8100,  75,  80,  80,  0,  ,  ,  ,  0", "montagna,   8000,  8300,  11"}), 31000));
  EXPECT_EQ(l.s.percorso[163].tipo, tipo_cella::indicatori_v_max);
  EXPECT_EQ(l.s.percorso[163].montagna, 1);
  l = leggi(descrizione(righe({"montagna,   8000,  8300,  11", "cartello_indicatore,  8100,   (F)"}), 31000));
  EXPECT_EQ(l.s.codice_errore, 0);
  EXPECT_EQ(l.s.percorso[163].tipo, tipo_cella::cartello);
}

struct CasoIndicatori {
  const char* nome;
  std::string riga;
  int cella;
  std::array<std::int16_t, 4> parametri;
};

TEST(Indicatori, EachBoardGetsItsCode) {
  const CasoIndicatori casi[] = {
      {"built-in 6850", "indicatori_vmax,  6850,  75,  80,  80,  0,  ,  ,  ,  0", 138, {1500, 1600, 1600, 0}},
      {"built-in 9950", "indicatori_vmax,  9950,  65,  65,  65,  0,  ,  ,  ,  0", 200, {1300, 1300, 1300, 0}},
      {"built-in 11850", "indicatori_vmax,  11850,  75,  80,  80,  0,  ,  ,  ,  0", 238, {1500, 1600, 1600, 0}},
      {"both boards", "indicatori_vmax,  1000,  100,  90,  80,  2,  60,  50,  45,  1", 21, {2012, 1810, 1609, 21}},
      {"d speed not a multiple of 5 rounds",
       "indicatori_vmax,  1000,  100,  0,  0,  0,  7,  8,  -7,  0",
       21,
       {2001, 2, -1}},
      {"stripe counts keep their low 16 bits",
       "indicatori_vmax,  1000,  0,  0,  0,  65538,  ,  ,  ,  -65535",
       21,
       {0, 0, 0, 21}},
      {"stripe code keeps its low 16 bits",
       "indicatori_vmax,  1000,  0,  0,  0,  4000,  ,  ,  ,  ",
       21,
       {0, 0, 0, -25536}},
      {"largest code", "indicatori_vmax,  1000,  1638,  0,  0,  0,  35,  ,  ,  0", 21, {32767, 0, 0, 0}},
      {"cell of position 75: ties to even", "indicatori_vmax,  75,  1,  ,  ,  ,  ,  ,  ,  ", 2, {20, 0, 0, 0}},
      {"cell of position 125", "indicatori_vmax,  125,  1,  ,  ,  ,  ,  ,  ,  ", 4, {20, 0, 0, 0}},
      {"cell of position -75 is cell 0", "indicatori_vmax,  -75,  1,  ,  ,  ,  ,  ,  ,  ", 0, {20, 0, 0, 0}},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    const auto l = leggi(descrizione(righe({c.riga}), 31000));
    ASSERT_EQ(l.esito, esito_lettura::completa);
    const tratto& t = l.s.percorso[c.cella];
    EXPECT_EQ(t.tipo, tipo_cella::indicatori_v_max);
    EXPECT_EQ((std::array{t.parametro1, t.parametro2, t.parametro3, t.parametro4}), c.parametri);
  }
}

struct CasoRifiuto {
  const char* nome;
  std::string righe_sezione;
  std::int32_t codice;
  std::int32_t posizione;
};

TEST(Indicatori, RefusesTheBoardsItCannotHold) {
  const CasoRifiuto casi[] = {
      {"caption on a board cell",
       righe({"indicatori_vmax,  650,  75,  80,  80,  0,  ,  ,  ,  0", "cartello_indicatore,  650,   (F)"}), 6, 650},
      {"two captions on one cell", righe({"cartello_indicatore,  650,   (F)", "cartello_indicatore,  660,   (G)"}), 6,
       660},
      {"board on a caption cell",
       righe({"cartello_indicatore,  650,   (F)", "indicatori_vmax,  650,  1,  ,  ,  ,  ,  ,  ,  "}), 21, 650},
      {"board on a board cell",
       righe({"indicatori_vmax,  650,  1,  ,  ,  ,  ,  ,  ,  ", "indicatori_vmax,  650,  1,  ,  ,  ,  ,  ,  ,  "}), 21,
       650},
      {"board before cell 0", righe({"indicatori_vmax,  -100,  1,  ,  ,  ,  ,  ,  ,  "}), 31, -100},
      {"caption before cell 0", righe({"cartello_indicatore,  -2000000000,   (F)"}), 31, -2000000000},
      {"code above 16 bits", righe({"indicatori_vmax,  650,  1639,  ,  ,  ,  ,  ,  ,  "}), 25, 0},
      {"speed times 20 above 32 bits", righe({"indicatori_vmax,  650,  ,  200000000,  ,  ,  ,  ,  ,  "}), 25, 0},
      {"board beyond the track", righe({"indicatori_vmax,  37950,  1,  ,  ,  ,  ,  ,  ,  "}), 15, 37950},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    const auto l = leggi(descrizione(c.righe_sezione, 31000));
    EXPECT_EQ(l.s.codice_errore, c.codice);
    EXPECT_EQ(l.s.posizione_errore, c.posizione);
    const auto esito = c.codice == 25   ? esito_lettura::fallita
                       : c.codice == 15 ? esito_lettura::completa
                                        : esito_lettura::interrotta;
    EXPECT_EQ(l.esito, esito);
  }
}

TEST(Indicatori, ACodeThatDoesNotFitStopsTheRowWithWhatWasWritten) {
  const auto l = leggi(descrizione(righe({"indicatori_vmax,  1000,  1,  1639,  ,  ,  ,  ,  ,  "}), 31000));
  EXPECT_EQ(l.s.codice_errore, 25);
  EXPECT_EQ(l.s.percorso[21].tipo, tipo_cella::indicatori_v_max);
  EXPECT_EQ(l.s.percorso[21].parametro1, 20);
  EXPECT_EQ(l.s.percorso[21].parametro2, 0);
}

TEST(Cartelli, TestiNelleVociDa80InGiu) {
  const auto l = leggi(descrizione(
      righe({"cartello_indicatore,  650,   (Cavalcavia)(Km 132+749)(ex P.L.   )  ",
             "cartello_indicatore,  3250,   (Sottovia)", in_cp1252("cartello_indicatore,  5000,   (Città °)")}),
      31000));
  ASSERT_EQ(l.esito, esito_lettura::completa);
  EXPECT_EQ(l.s.percorso[14].tipo, tipo_cella::cartello);
  EXPECT_EQ(l.s.percorso[14].parametro1, 80);
  EXPECT_EQ(l.s.percorso[66].parametro1, 79);
  EXPECT_EQ(l.s.percorso[101].parametro1, 78);
  EXPECT_EQ(l.s.scenario[kVocePrimoCartello].testo, "(Cavalcavia)(Km 132+749)(ex P.L.   )  ");  // trailing blanks kept
  EXPECT_EQ(l.s.scenario[79].testo, "(Sottovia)");
  EXPECT_EQ(l.s.scenario[78].testo, "(Citt\xe0 \xb0)");
  EXPECT_EQ(l.s.voce_cartello, 77);
}

TEST(Cartelli, OttantunoCartelliEntranoIlSuccessivoNo) {
  std::string r;
  for (int i = 0; i < 82; ++i)
    r += "cartello_indicatore,  " + std::to_string(100 * i) + ",   (" + std::to_string(i) + ")\r\n";
  const auto l = leggi(descrizione(r, 31000));
  EXPECT_EQ(l.esito, esito_lettura::interrotta);
  EXPECT_EQ(l.s.codice_errore, errori::troppi_cartelli);
  EXPECT_EQ(l.s.posizione_errore, 8100);
  EXPECT_EQ(l.s.scenario[0].testo, "(80)");
  EXPECT_EQ(l.s.voce_cartello, -1);
  EXPECT_EQ(l.s.percorso[163].tipo, 0);  // the refused board is not placed
  EXPECT_EQ(l.s.scenario[kVoceProgressivaTre].testo, "");
}

TEST(Cartelli, ACaptionTooLongForItsEntryIsAFailure) {
  const auto l = leggi(descrizione("cartello_indicatore,  650,   " + std::string(65536, 'x') + "\r\n"));
  EXPECT_EQ(l.esito, esito_lettura::fallita);
  EXPECT_EQ(l.s.percorso[14].tipo, 0);
  const auto ok = leggi(descrizione("cartello_indicatore,  650,   " + std::string(65535, 'x') + "\r\n"));
  EXPECT_EQ(ok.esito, esito_lettura::completa);
}

}  // namespace
}  // namespace cmp
