// Signal rows: the packed cell, the time value, the approach markers and the refusals.
#include <gtest/gtest.h>

#include "errori/catalogo_errori.h"
#include "pista_treno.h"

namespace cmp {
namespace {

using prova::leggi;
using prova::pista;

TEST(Segnali, TimeIsRaisedAndKeptOnlyBySignalsOfTheSecondKind) {
  struct caso {
    int sx, tempo, tempo_cella;
  };
  const caso casi[] = {
      {2, 0, 0},    {2, 50, 101}, {2, 1, 101}, {2, 100, 101}, {2, 101, 101}, {2, 300, 44},  // low 8 bits
      {2, -5, 251},  // values of 0 or less stay as they are
      {1, 50, 0},   {1, 300, 0},
  };
  for (const auto& c : casi) {
    Stato s = pista();
    leggi(s, {"segnale, 4400, " + std::to_string(c.sx) + ", 4, 1, 0, 0, 0, 0, 0, 0, " + std::to_string(c.tempo)});
    EXPECT_EQ(s.codice_errore, 0) << c.sx << "/" << c.tempo;
    EXPECT_EQ(s.percorso[89].tempo, c.tempo_cella) << c.sx << "/" << c.tempo;
  }
}

TEST(Segnali, CodesArePackedAndMarkersWrittenEveryOtherCellBefore) {
  struct caso {
    const char* riga;
    int cella;
    std::int16_t p1, p2, p3, p4;
    std::uint8_t avviso_base;  // markers base + 1 (nearest) to base + 4
  };
  const caso casi[] = {
      {"segnale,    4400,   1, 4, 1,  0, 0,    0,  0,0,0, 0", 89, 40, 10, 0, 3, 30},
      {"segnale,   26500,   1, 3, 4,  0, 0,    1,  3,1,0, 0", 531, 33, 41, 0, 4, 40},
      {"segnale,   27650,   2, 2, 3,  0, 0,    2,  2,1,0, 0", 554, 22, 31, 0, 8, 80},
      {"segnale, 5000, 1, 7, 8, 9, 5, 2, 1, 2, 3, 0", 101, 71, 82, 93, 55, 50},
      // Codes outside the digit ranges keep their low bits.
      {"segnale, 5000, 10, 4000, 0, 0, 0, 0, 0, 0, 0, 0", 101, -25536, 0, 0, 30, 44},
  };
  for (const auto& c : casi) {
    Stato s = pista();
    s.percorso[c.cella - 1].avviso = 99;
    leggi(s, {c.riga});
    ASSERT_EQ(s.codice_errore, 0) << c.riga;
    const tratto& t = s.percorso[c.cella];
    EXPECT_EQ(t.tipo, tipo_cella::segnale) << c.riga;
    EXPECT_EQ(t.parametro1, c.p1) << c.riga;
    EXPECT_EQ(t.parametro2, c.p2) << c.riga;
    EXPECT_EQ(t.parametro3, c.p3) << c.riga;
    EXPECT_EQ(t.parametro4, c.p4) << c.riga;
    for (int k = 1; k <= 4; ++k) {
      EXPECT_EQ(s.percorso[c.cella - 2 * k].avviso, static_cast<std::uint8_t>(c.avviso_base + k)) << c.riga;
      EXPECT_EQ(s.percorso[c.cella - 2 * k].tipo, 0) << c.riga;
    }
    EXPECT_EQ(s.percorso[c.cella - 1].avviso, 99) << "odd cells keep their marker: " << c.riga;
    EXPECT_EQ(s.percorso[c.cella - 10].avviso, 0) << c.riga;
  }
}

TEST(Segnali, AMountainCellTakesASignal) {
  Stato s = pista();
  s.percorso[163].tipo = tipo_cella::marca_montagna;
  s.percorso[163].montagna = 1;
  leggi(s, {"segnale, 8100, 1, 4, 1, 0, 0, 0, 0, 0, 0, 0"});
  EXPECT_EQ(s.codice_errore, 0);
  EXPECT_EQ(s.percorso[163].tipo, tipo_cella::segnale);
  EXPECT_EQ(s.percorso[163].montagna, 1);
}

// Anything but nothing or a mountain marker refuses the signal: error 16, nothing of the
// row stored, the reading stops with the row's position.
TEST(Segnali, AnOccupiedCellGivesError16) {
  for (std::uint8_t tipo : {tipo_cella::segnale, tipo_cella::inizio_rallentamento, tipo_cella::indicatori_v_max,
                            tipo_cella::fermata, tipo_cella::abbattimento, tipo_cella::cartello}) {
    Stato s = pista();
    s.percorso[89].tipo = tipo;
    EXPECT_EQ(leggi(s, {"segnale, 4400, 1, 4, 1, 0, 0, 0, 0, 0, 0, 0", "sabbia, 9"}), esito_lettura::interrotta);
    EXPECT_EQ(s.codice_errore, 16);
    EXPECT_EQ(s.posizione_errore, 4400);
    EXPECT_EQ(s.luogo_errore.riga, 2);
    EXPECT_EQ(s.percorso[89].tipo, tipo);
    EXPECT_EQ(s.percorso[87].avviso, 0);
    EXPECT_EQ(sabbia(s.scenario), 0);
  }
}

TEST(Segnali, PositionsOffTheGridRoundHalvesToEven) {
  Stato s = pista();
  leggi(s, {"segnale, 4425, 1, 4, 1, 0, 0, 0, 0, 0, 0, 0"});
  EXPECT_EQ(s.percorso[90].tipo, tipo_cella::segnale);

  Stato doppio = pista();
  leggi(doppio, {"segnale, 4425, 1, 4, 1, 0, 0, 0, 0, 0, 0, 0", "segnale, 4475, 1, 5, 1, 0, 0, 0, 0, 0, 0, 0"});
  EXPECT_EQ(doppio.codice_errore, 16);
  EXPECT_EQ(doppio.posizione_errore, 4475);
}

// A signal 100 m before an earlier one sits on that one's nearest marker: its cell keeps
// the marker, and its own markers replace the earlier signal's where they meet.
TEST(Segnali, ASignalOnAnEarlierSignalsMarker) {
  Stato s = pista();
  leggi(s, {"segnale, 5000, 1, 4, 1, 0, 0, 0, 0, 0, 0, 0", "segnale, 4900, 2, 3, 1, 0, 0, 0, 0, 0, 0, 0"});
  EXPECT_EQ(s.codice_errore, 0);
  EXPECT_EQ(s.percorso[99].tipo, tipo_cella::segnale);
  EXPECT_EQ(s.percorso[99].avviso, 31);
  EXPECT_EQ(s.percorso[97].avviso, 61);
  EXPECT_EQ(s.percorso[95].avviso, 62);
  EXPECT_EQ(s.percorso[93].avviso, 63);
  EXPECT_EQ(s.percorso[91].avviso, 64);
}

// The farthest marker stands 8 cells before the signal: a signal on a cell below 8 is refused (41)
// rather than write before cell 0.
TEST(Segnali, SignalsTooNearTheStartAreRefused) {
  struct caso {
    std::int32_t posizione;
    bool accettato;
  };
  for (const auto& c :
       {caso{350, true}, caso{325, true}, caso{324, false}, caso{300, false}, caso{0, false}, caso{-4000, false}}) {
    Stato s = pista();
    const auto esito = leggi(s, {"segnale, " + std::to_string(c.posizione) + ", 1, 4, 1, 0, 0, 0, 0, 0, 0, 0"});
    if (c.accettato) {
      EXPECT_EQ(esito, esito_lettura::completa) << c.posizione;
      EXPECT_EQ(s.codice_errore, 0) << c.posizione;
      EXPECT_EQ(s.percorso[8].tipo, tipo_cella::segnale) << c.posizione;
      EXPECT_EQ(s.percorso[0].avviso, 34) << c.posizione;
    } else {
      EXPECT_EQ(esito, esito_lettura::interrotta) << c.posizione;
      EXPECT_EQ(s.codice_errore, errori::segnale_presso_inizio) << c.posizione;
      EXPECT_EQ(s.posizione_errore, c.posizione);
      for (const auto& t : s.percorso) ASSERT_EQ(t.tipo + t.avviso, 0) << c.posizione;
    }
  }
}

}  // namespace
}  // namespace cmp
