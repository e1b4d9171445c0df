// Slow-order rows (start, end, warning and approach cells, refusals 17 to 20, 42, 43)
// and abbattimento rows.
#include <gtest/gtest.h>

#include "errori/catalogo_errori.h"
#include "pista_treno.h"

namespace cmp {
namespace {

using prova::leggi;
using prova::pista;

struct cella_attesa {
  int cella;
  std::uint8_t tipo;
  std::int16_t p1, p2, p3;
};

void controlla(const Stato& s, const std::vector<cella_attesa>& attese, const std::string& nome) {
  for (const auto& a : attese) {
    const tratto& t = s.percorso[a.cella];
    EXPECT_EQ(t.tipo, a.tipo) << nome << ", cell " << a.cella;
    EXPECT_EQ(t.parametro1, a.p1) << nome << ", cell " << a.cella;
    EXPECT_EQ(t.parametro2, a.p2) << nome << ", cell " << a.cella;
    EXPECT_EQ(t.parametro3, a.p3) << nome << ", cell " << a.cella;
  }
}

int celle_occupate(const Stato& s) {
  int n = 0;
  for (const auto& t : s.percorso) n += t.tipo != 0;
  return n;
}

TEST(Rallentamenti, CellsOfASlowOrder) {
  struct caso {
    const char* riga;  // x, v, l, f_tt, f_ta, d_v
    std::vector<cella_attesa> attese;
  };
  const caso casi[] = {
      {"rallentamento, 1500, 30, 600, 7, 1, 0",  // no warning point up to 1500 m, even with f_ta
       {{31, 3, 30, 0, 7}, {43, 2, 30, 0, 7}}},
      {"rallentamento, 1550, 30, 600, 7, 1, 9",
       {{32, 3, 30, 9, 7},
        {44, 2, 30, 9, 7},
        {8, 4, 30, 9, 0},
        {7, 5, 1, 1, 0},
        {6, 5, 2, 2, 0},
        {5, 5, 3, 3, 0},
        {4, 5, 4, 4, 0}}},
      {"rallentamento, 5000, 60, 600, 1, 1, 0",
       {{101, 3, 60, 0, 1}, {113, 2, 60, 0, 1}, {77, 4, 60, 0, 0}, {76, 5, 1, 0, 0}, {73, 5, 4, 0, 0}}},
      {"rallentamento, 5000, 60, 600, 1, 0, 0",  // f_ta 0: no approach cells
       {{101, 3, 60, 0, 1}, {113, 2, 60, 0, 1}, {77, 4, 60, 0, 0}, {76, 0, 0, 0, 0}}},
      {"rallentamento, 5000, 60, 20, 4, 0, 3",  // shorter than half a cell: one cell, the start
       {{101, 3, 60, 3, 4}, {102, 0, 0, 0, 0}}},
      {"rallentamento, 5000, 70000, 0, 70000, 0, 0",  // values keep their low 16 bits
       {{101, 3, 4464, 0, 4464}, {77, 4, 4464, 0, 0}}},
  };
  for (const auto& c : casi) {
    Stato s = pista();
    EXPECT_EQ(leggi(s, {c.riga}), esito_lettura::completa) << c.riga;
    EXPECT_EQ(s.codice_errore, 0) << c.riga;
    controlla(s, c.attese, c.riga);
  }
}

TEST(Rallentamenti, WithoutASecondValueParametro2KeepsWhatTheCellHeld) {
  Stato s = pista();
  for (int c : {101, 113, 77, 76, 75, 74, 73}) {
    s.percorso[c].tipo = tipo_cella::marca_montagna;
    s.percorso[c].parametro2 = 7;
  }
  leggi(s, {"rallentamento, 5000, 60, 600, 1, 1, 0"});
  EXPECT_EQ(s.codice_errore, 0);
  controlla(s, {{101, 3, 60, 7, 1}, {113, 2, 60, 7, 1}, {77, 4, 60, 7, 0}, {76, 5, 1, 7, 0}, {73, 5, 4, 7, 0}},
            "d_v 0");
}

// Warning, start and end cell are tested as they were before the row; nothing is written
// when one of them is taken. An approach cell taken gives 20 and the other cells stay.
TEST(Rallentamenti, OccupiedCellsAreRefused) {
  struct caso {
    int cella;
    std::uint8_t tipo;
    std::int32_t codice;
    int celle_dopo;  // occupied cells after the row, the blocking one included
  };
  const caso casi[] = {
      {77, tipo_cella::fermata, 17, 1},       {101, tipo_cella::segnale, 18, 1}, {113, tipo_cella::segnale, 19, 1},
      {113, tipo_cella::abbattimento, 19, 1}, {75, tipo_cella::cartello, 20, 4},  // start, end and warning stay
  };
  for (const auto& c : casi) {
    Stato s = pista();
    s.percorso[c.cella].tipo = c.tipo;
    const auto esito = leggi(s, {"rallentamento, 5000, 60, 600, 1, 1, 5", "sabbia, 9"});
    EXPECT_EQ(esito, esito_lettura::interrotta) << c.codice;
    EXPECT_EQ(s.codice_errore, c.codice);
    EXPECT_EQ(s.posizione_errore, 5000);
    EXPECT_EQ(s.luogo_errore.riga, 2);
    EXPECT_EQ(celle_occupate(s), c.celle_dopo) << c.codice;
    EXPECT_EQ(s.percorso[c.cella].tipo, c.tipo);
    EXPECT_EQ(sabbia(s.scenario), 0);
  }

  Stato s = pista();
  s.percorso[75].tipo = tipo_cella::cartello;
  leggi(s, {"rallentamento, 5000, 60, 600, 1, 1, 5"});
  controlla(s, {{101, 3, 60, 5, 1}, {113, 2, 60, 5, 1}, {77, 4, 60, 5, 0}, {76, 0, 0, 0, 0}}, "error 20");
}

TEST(Rallentamenti, AMountainCellIsFree) {
  Stato s = pista();
  s.percorso[101].tipo = tipo_cella::marca_montagna;
  s.percorso[77].tipo = tipo_cella::marca_montagna;
  leggi(s, {"rallentamento, 5000, 60, 600, 1, 1, 0"});
  EXPECT_EQ(s.codice_errore, 0);
  EXPECT_EQ(s.percorso[101].tipo, 3);
  EXPECT_EQ(s.percorso[77].tipo, 4);
}

// Rows whose cells would lie before cell 0 or past the last cell are refused and write nothing.
TEST(Rallentamenti, RowsReachingOutOfTheTrackAreRefused) {
  struct caso {
    const char* riga;
    std::int32_t codice;
    std::int32_t posizione;
  };
  const caso casi[] = {
      {"rallentamento, -100, 30, 600, 0, 0, 0", errori::posizione_negativa, -100},
      {"rallentamento, 5000, 30, -100, 0, 0, 0", errori::posizione_negativa, 5000},
      {"rallentamento, 37900, 30, 100, 0, 0, 0", errori::fine_rallentamento_oltre, 37900},
      {"rallentamento, 30000, 30, 9000, 0, 0, 0", errori::fine_rallentamento_oltre, 30000},
      {"abbattimento, -50, 180", errori::posizione_negativa, -50},
  };
  for (const auto& c : casi) {
    Stato s = pista();
    EXPECT_EQ(leggi(s, {c.riga}), esito_lettura::interrotta) << c.riga;
    EXPECT_EQ(s.codice_errore, c.codice) << c.riga;
    EXPECT_EQ(s.posizione_errore, c.posizione) << c.riga;
    EXPECT_EQ(celle_occupate(s), 0) << c.riga;
  }
  // The last cell itself may take the end.
  Stato s = pista();
  leggi(s, {"rallentamento, 37900, 30, 50, 0, 0, 0"});
  EXPECT_EQ(s.codice_errore, 0);
  EXPECT_EQ(s.percorso[760].tipo, tipo_cella::fine_rallentamento);
}

TEST(Abbattimento, ARowHasAValueOrNone) {
  struct caso {
    const char* riga;
    int cella;
    std::uint8_t tipo;
    std::int16_t p1;
  };
  const caso casi[] = {
      {"abbattimento, 1000, 180", 20, tipo_cella::abbattimento_valore, 180},  // p / 50, no + 1
      {"abbattimento, 1000, 0", 20, tipo_cella::abbattimento, 0},
      {"abbattimento, 1000, -5", 20, tipo_cella::abbattimento, 0},
      {"abbattimento, 1025, 70000", 20, tipo_cella::abbattimento_valore, 4464},  // 20.5 -> 20; low 16 bits
      {"abbattimento, 0, 1", 0, tipo_cella::abbattimento_valore, 1},
  };
  for (const auto& c : casi) {
    Stato s = pista();
    EXPECT_EQ(leggi(s, {c.riga}), esito_lettura::completa) << c.riga;
    EXPECT_EQ(s.codice_errore, 0) << c.riga;
    EXPECT_EQ(s.percorso[c.cella].tipo, c.tipo) << c.riga;
    EXPECT_EQ(s.percorso[c.cella].parametro1, c.p1) << c.riga;
  }
}

TEST(Abbattimento, AMountainCellIsFreeASignalCellGives7) {
  Stato montagna = pista();
  montagna.percorso[88].tipo = tipo_cella::marca_montagna;
  leggi(montagna, {"abbattimento, 4400, 0"});
  EXPECT_EQ(montagna.codice_errore, 0);
  EXPECT_EQ(montagna.percorso[88].tipo, tipo_cella::abbattimento);

  Stato s = pista();
  const auto esito = leggi(s, {"segnale, 4400, 1, 4, 1, 0, 0, 0, 0, 0, 0, 0", "abbattimento, 4450, 180", "sabbia, 9"});
  EXPECT_EQ(esito, esito_lettura::interrotta);
  EXPECT_EQ(s.codice_errore, 7);
  EXPECT_EQ(s.posizione_errore, 4450);
  EXPECT_EQ(s.luogo_errore.riga, 3);
  EXPECT_EQ(s.percorso[89].tipo, tipo_cella::segnale);
  EXPECT_EQ(sabbia(s.scenario), 0);
}

}  // namespace
}  // namespace cmp
