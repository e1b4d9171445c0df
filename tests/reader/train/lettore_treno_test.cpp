// The walk through the train description: general rows, keywords and comment fields,
// the speed and adhesion profiles, the position check, the grid check and the failures.
#include <gtest/gtest.h>

#include "pista_treno.h"

namespace cmp {
namespace {

using prova::leggi;
using prova::pista;

TEST(LettoreTreno, GeneralRowsFillEntries84And86) {
  Stato s = pista();
  const auto esito = leggi(s, {"numero vetture,    4", "percentuale massa frenata,    105", "sabbia,    60",
                               "orologio,    6               11            45 "});
  EXPECT_EQ(esito, esito_lettura::completa);
  EXPECT_EQ(s.codice_errore, 0);
  EXPECT_EQ(massa_frenata(s.scenario), 105);
  EXPECT_EQ(numero_vetture(s.scenario), 4);
  EXPECT_EQ(sabbia(s.scenario), 60);
  EXPECT_EQ(orologio_ore(s.scenario), 6);
  EXPECT_EQ(orologio_minuti(s.scenario), 11);
  EXPECT_EQ(orologio_secondi(s.scenario), 45);
}

TEST(LettoreTreno, KeywordsIgnoreCaseAndMayStandAnywhereInTheField) {
  Stato s = pista();
  leggi(s, {"VELOCITA,    0,    70", "Treno: NUMERO VETTURE,  7", "[sezione] SABBIA,  3"});
  EXPECT_EQ(s.percorso[0].velocita, 14);
  EXPECT_EQ(numero_vetture(s.scenario), 7);
  EXPECT_EQ(sabbia(s.scenario), 3);
}

TEST(LettoreTreno, EverythingBeforeGeneraleIsSkipped) {
  Stato s = pista();
  leggi_descrizione_treno(s, "sabbia, 9\r\nnote\r\n[GENERALE] treno\r\nnumero vetture, 5\r\n[fine]\r\n");
  EXPECT_EQ(sabbia(s.scenario), 0);
  EXPECT_EQ(numero_vetture(s.scenario), 5);
}

TEST(LettoreTreno, WithoutGeneraleNothingIsReadButTheEndStepRuns) {
  Stato s = pista();
  chilometri_progressiva(s.scenario[kVoceProgressivaTre]) = 132125;
  const auto esito = leggi_descrizione_treno(s, "numero vetture, 5\r\nsabbia, 9\r\n");
  EXPECT_EQ(esito, esito_lettura::completa);
  EXPECT_EQ(numero_vetture(s.scenario), 0);
  EXPECT_EQ(s.codice_errore, 2);
}

TEST(LettoreTreno, HyphenatedKeywordFieldsAreCommentsTwiceAtMost) {
  struct caso {
    const char* riga;
    std::int16_t sabbia;
  };
  const caso casi[] = {
      {"sabbia-nuova, 9", 0},        // the field with the keyword is a comment; "9" is used and means nothing
      {"nota-a, sabbia, 9", 9},      // one comment, then the keyword
      {"a-b, c-d, sabbia, 9", 9},    // two comments
      {"a-b, c-d, e-sabbia, 9", 9},  // after two comments the third field is used whatever it holds
  };
  for (const auto& c : casi) {
    Stato s = pista();
    EXPECT_EQ(leggi(s, {c.riga}), esito_lettura::completa) << c.riga;
    EXPECT_EQ(sabbia(s.scenario), c.sabbia) << c.riga;
  }
}

TEST(LettoreTreno, TheLastFieldOfTheTextIsNeverAKeyword) {
  Stato s = pista();
  leggi_descrizione_treno(s, "[generale]\r\nnumero vetture, 5\r\nsabbia");
  EXPECT_EQ(s.codice_errore, 0);
  EXPECT_EQ(numero_vetture(s.scenario), 5);
}

// The speed profile of the built-in train: 14/16/13/16, and the completion stops three cells short of the end.
TEST(LettoreTreno, SpeedProfileRunsFromRowToRowAndIsCompletedToTheEnd) {
  Stato s = pista();
  leggi(s, {"velocita,       0,    70", "velocita,    6800,    80", "velocita,   10500,    65",
            "velocita,   11850,    80"});
  struct tratto_atteso {
    int da, a, valore;
  };
  for (const auto& t : {tratto_atteso{0, 135, 14}, {136, 209, 16}, {210, 236, 13}, {237, 757, 16}, {758, 760, 0}}) {
    for (int c = t.da; c <= t.a; ++c) ASSERT_EQ(s.percorso[c].velocita, t.valore) << "cell " << c;
  }
}

TEST(LettoreTreno, TheProfileCursorFollowsItsRules) {
  struct caso {
    const char* nome;
    std::vector<std::string> righe;
    std::vector<std::pair<int, int>> celle;  // cell, expected velocita
  };
  const caso casi[] = {
      {"a repeated position writes one cell with the previous value",
       {"velocita, 0, 70", "velocita, 500, 80", "velocita, 500, 90", "velocita, 500, 100"},
       {{9, 14}, {10, 16}, {11, 18}, {12, 20}, {757, 20}}},
      {"a descending position writes one cell too",
       {"velocita, 0, 70", "velocita, 500, 80", "velocita, 100, 90"},
       {{9, 14}, {10, 16}, {11, 18}}},
      {"a row at position 0 writes nothing and only sets the value",
       {"velocita, 0, 70", "velocita, 0, 80"},
       {{0, 16}, {757, 16}}},
      {"cells before the first row take its value",
       {"velocita, 650, 80", "velocita, 1000, 60"},
       {{0, 16}, {12, 16}, {19, 16}, {20, 12}}},
      {"rounding to the nearest fifth", {"velocita, 0, 72", "velocita, 50, 73"}, {{0, 14}, {1, 15}}},
      {"a negative position writes nothing", {"velocita, 0, 70", "velocita, -500, 80"}, {{0, 16}}},
      {"no row leaves every cell at 0", {}, {{0, 0}, {757, 0}}},
  };
  for (const auto& c : casi) {
    Stato s = pista();
    EXPECT_EQ(leggi(s, c.righe), esito_lettura::completa) << c.nome;
    for (const auto& [cella, valore] : c.celle)
      EXPECT_EQ(s.percorso[cella].velocita, valore) << c.nome << ", cell " << cella;
  }
}

TEST(LettoreTreno, AdhesionKeepsTheLowEightBitsWithoutDividing) {
  Stato s = pista();
  leggi(s, {"aderenza,   0,    100", "aderenza,     650,    85", "aderenza,    1900,   300"});
  EXPECT_EQ(s.percorso[0].aderenza, 100);
  EXPECT_EQ(s.percorso[12].aderenza, 100);
  EXPECT_EQ(s.percorso[13].aderenza, 85);
  EXPECT_EQ(s.percorso[37].aderenza, 85);
  EXPECT_EQ(s.percorso[38].aderenza, 44);
  EXPECT_EQ(s.percorso[757].aderenza, 44);
  EXPECT_EQ(s.percorso[758].aderenza, 0);
}

// Rows repeating the last accepted position push the cursors to the end of a short track:
// the speed loop stops short of the last cell, the adhesion loop at it, neither goes beyond.
TEST(LettoreTreno, RepeatedRowsAtTheEndNeverWritePastTheLastCell) {
  Stato s = pista(20);  // last cell 19; position 850 is the last accepted, cell 17
  std::vector<std::string> righe;
  for (const char* v : {"0, 50", "850, 60", "850, 70", "850, 80", "850, 90", "850, 100"}) {
    righe.push_back(std::string("velocita, ") + v);
    righe.push_back(std::string("aderenza, ") + v);
  }
  EXPECT_EQ(leggi(s, righe), esito_lettura::completa);
  EXPECT_EQ(s.codice_errore, 0);
  const int velocita[] = {10, 12, 14, 20};  // cells 16 to 19; the last from the completion
  const int aderenza[] = {50, 60, 70, 80};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(s.percorso[16 + i].velocita, velocita[i]) << "cell " << 16 + i;
    EXPECT_EQ(s.percorso[16 + i].aderenza, aderenza[i]) << "cell " << 16 + i;
  }
}

// (position + margin) / 50 beyond the last cell (760): error 15, the profiles are still
// completed and the reading ends normally.
TEST(LettoreTreno, PositionCheckOfEveryRowKind) {
  struct caso {
    const char* accettata;
    const char* rifiutata;
    std::int32_t posizione;
  };
  const caso casi[] = {
      {"velocita, 37900, 80", "velocita, 37950, 80", 37950},
      {"aderenza, 37900, 80", "aderenza, 37950, 80", 37950},
      {"segnale, 37900, 1, 4, 1, 0, 0, 0, 0, 0, 0, 0", "segnale, 37950, 1, 4, 1, 0, 0, 0, 0, 0, 0, 0", 37950},
      {"rallentamento, 37900, 30, 0, 0, 0, 0", "rallentamento, 37950, 30, 0, 0, 0, 0", 37950},
      {"abbattimento, 37900, 180", "abbattimento, 37950, 180", 37950},
      {"stazione, 37200, 30, 100, 0,0,0, 0,0,0, 0,0,0, 0, 6,0,0, A",
       "stazione, 37250, 30, 100, 0,0,0, 0,0,0, 0,0,0, 0, 6,0,0, A", 37250},
  };
  for (const auto& c : casi) {
    Stato ok = pista();
    EXPECT_EQ(leggi(ok, {"velocita, 0, 70", c.accettata}), esito_lettura::completa) << c.accettata;
    EXPECT_EQ(ok.codice_errore, 0) << c.accettata;

    Stato s = pista();
    EXPECT_EQ(leggi(s, {"velocita, 0, 70", c.rifiutata, "sabbia, 9"}), esito_lettura::completa) << c.rifiutata;
    EXPECT_EQ(s.codice_errore, 15) << c.rifiutata;
    EXPECT_EQ(s.posizione_errore, c.posizione) << c.rifiutata;
    EXPECT_EQ(s.luogo_errore.testo, testo_descrizione::treno);
    EXPECT_EQ(s.luogo_errore.riga, 3) << c.rifiutata;
    EXPECT_EQ(s.luogo_errore.colonna, 1) << c.rifiutata;
    EXPECT_EQ(sabbia(s.scenario), 0) << "reading goes no further: " << c.rifiutata;
    EXPECT_EQ(s.percorso[757].velocita, 14) << "profiles completed: " << c.rifiutata;
  }
}

TEST(LettoreTreno, KilometreReferencesOffTheGridGiveError2EvenAfter15) {
  struct caso {
    int voce;
    std::int32_t intero1, intero2;
    bool con_15;
  };
  for (const auto& c : {caso{81, 0, 132125, false}, caso{83, 25, 132100, false}, caso{82, 0, 140010, true}}) {
    Stato s = pista();
    s.scenario[c.voce].intero1 = c.intero1;
    s.scenario[c.voce].intero2 = c.intero2;
    leggi(s, {c.con_15 ? "velocita, 99999, 80" : "sabbia, 1"});
    EXPECT_EQ(s.codice_errore, 2) << "entry " << c.voce;
  }
  Stato sulla_griglia = pista();
  chilometri_progressiva(sulla_griglia.scenario[kVoceProgressivaTre]) = 132100;
  leggi(sulla_griglia, {"sabbia, 1"});
  EXPECT_EQ(sulla_griglia.codice_errore, 0);
}

TEST(LettoreTreno, OtherStopsSkipTheEndStep) {
  Stato s = pista();
  chilometri_progressiva(s.scenario[kVoceProgressivaTre]) = 132125;
  s.percorso[89].tipo = tipo_cella::cartello;
  const auto esito = leggi(s, {"velocita, 0, 70", "segnale, 4400, 1, 4, 1, 0, 0, 0, 0, 0, 0, 0"});
  EXPECT_EQ(esito, esito_lettura::interrotta);
  EXPECT_EQ(s.codice_errore, 16);
  EXPECT_EQ(s.percorso[0].velocita, 0) << "no profile completion";
}

// A number left by the line reader (15 lets the call go on) stops the train at its first
// signal or slow-order row, after that row has been stored; other rows go on.
TEST(LettoreTreno, ANumberLeftByTheLineReaderStopsAtTheFirstSignalOrSlowOrder) {
  const luogo della_linea{testo_descrizione::linea, 40, 1};
  for (const char* riga : {"segnale, 4400, 1, 4, 1, 0, 0, 0, 0, 0, 0, 0", "rallentamento, 5000, 30, 600, 0, 0, 0"}) {
    Stato s = pista();
    s.codice_errore = 15;
    s.posizione_errore = 37950;
    s.luogo_errore = della_linea;
    const auto esito = leggi(s, {"velocita, 0, 70", "abbattimento, 1000, 180", riga, "sabbia, 9"});
    EXPECT_EQ(esito, esito_lettura::interrotta) << riga;
    EXPECT_EQ(s.codice_errore, 15) << riga;
    EXPECT_EQ(s.posizione_errore, riga[0] == 's' ? 4400 : 5000) << riga;
    EXPECT_EQ(s.luogo_errore.testo, testo_descrizione::linea) << riga;
    EXPECT_EQ(s.percorso[20].tipo, tipo_cella::abbattimento_valore) << "abbattimento rows do not stop";
    EXPECT_NE(s.percorso[riga[0] == 's' ? 89 : 101].tipo, 0) << "the row itself is stored";
    EXPECT_EQ(sabbia(s.scenario), 0) << riga;
    EXPECT_EQ(s.percorso[0].velocita, 0) << riga;
  }

  Stato senza_segnali = pista();
  senza_segnali.codice_errore = 15;
  EXPECT_EQ(leggi(senza_segnali, {"velocita, 0, 70", "sabbia, 9"}), esito_lettura::completa);
  EXPECT_EQ(senza_segnali.codice_errore, 15);
  EXPECT_EQ(sabbia(senza_segnali.scenario), 9);
  EXPECT_EQ(senza_segnali.percorso[0].velocita, 14);
}

TEST(LettoreTreno, ReadingFailuresAreError25) {
  struct caso {
    const char* nome;
    std::string testo;
    int riga;  // where the diagnostic points
  };
  const caso casi[] = {
      {"empty text", "", 1},
      {"a speed that does not fit the cell", "[generale]\r\nvelocita, 0, 1300\r\n[fine]\r\n", 2},
      {"a negative speed", "[generale]\r\nvelocita, 0, -5\r\n[fine]\r\n", 2},
      {"not a number", "[generale]\r\nnumero vetture, 12abc\r\n[fine]\r\n", 2},
      {"a number beyond 32 bits", "[generale]\r\nnumero vetture, 2147483648\r\n[fine]\r\n", 2},
      {"sand beyond 16 bits", "[generale]\r\nsabbia, 40000\r\n[fine]\r\n", 2},
      {"clock beyond 16 bits", "[generale]\r\norologio, 6 70000 0\r\n[fine]\r\n", 2},
      // A row cut short is blamed on its own line, not on the one its next field came from.
      {"the text ends inside a row", "[generale]\r\nsegnale, 4400, 1\r\n", 2},
      {"the closing line read as a value", "[generale]\r\nsabbia\r\n[fine]\r\n", 2},
      {"position plus 100 beyond 32 bits", "[generale]\r\nvelocita, 2147483600, 70\r\n[fine]\r\n", 2},
      {"packed signal code beyond 32 bits",
       "[generale]\r\nsegnale, 4400, 1, 300000000, 1, 0, 0, 0, 0, 0, 0, 0\r\n[fine]\r\n", 2},
      {"slow-order end beyond 32 bits", "[generale]\r\nrallentamento, 5000, 30, 2147483000, 0, 0, 0\r\n[fine]\r\n", 2},
  };
  for (const auto& c : casi) {
    Stato s = pista();
    s.posizione_errore = 77;
    EXPECT_EQ(leggi_descrizione_treno(s, c.testo), esito_lettura::fallita) << c.nome;
    EXPECT_EQ(s.codice_errore, 25) << c.nome;
    EXPECT_EQ(s.posizione_errore, 77) << c.nome;
    EXPECT_FALSE(s.dettaglio_errore.empty()) << c.nome;
    EXPECT_EQ(s.luogo_errore.testo, testo_descrizione::treno) << c.nome;
    EXPECT_EQ(s.luogo_errore.riga, c.riga) << c.nome;
  }
}

TEST(LettoreTreno, ASpeedThatDoesNotFitFailsOnlyWhenItReachesACell) {
  Stato sostituita = pista();
  EXPECT_EQ(leggi(sostituita, {"velocita, 0, 1300", "velocita, 0, 70"}), esito_lettura::completa);
  EXPECT_EQ(sostituita.codice_errore, 0);
  EXPECT_EQ(sostituita.percorso[0].velocita, 14);

  // The cells before 1300 takes over get the speed before it, and the rows after it are
  // still read; the completion then fails.
  Stato dopo = pista();
  EXPECT_EQ(leggi(dopo, {"velocita, 0, 70", "velocita, 5000, 1300", "segnale, 5600, 1, 4, 1, 0, 0, 0, 0, 0, 0, 0"}),
            esito_lettura::fallita);
  EXPECT_EQ(dopo.codice_errore, 25);
  EXPECT_EQ(dopo.percorso[99].velocita, 14);
  EXPECT_EQ(dopo.percorso[100].velocita, 0);
  EXPECT_EQ(dopo.percorso[113].tipo, tipo_cella::segnale);
}

TEST(LettoreTreno, WithoutATrackTheReadingFails) {
  Stato s;
  EXPECT_EQ(leggi(s, {"velocita, 0, 70"}), esito_lettura::fallita);
  EXPECT_EQ(s.codice_errore, 25);
}

}  // namespace
}  // namespace cmp
