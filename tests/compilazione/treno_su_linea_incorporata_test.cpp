// The built-in train read after the built-in line, as the run reads them: both texts
// written to a folder, compiled by the readers and deleted.
#include <gtest/gtest.h>

#include "../builtin/fatti_treno_incorporato.h"

#include <string>

#include "builtin/linea_incorporata.h"
#include "builtin/treno_incorporato.h"
#include "disco/cartella.h"
#include "model/nomi_file.h"
#include "compilazione/da_cartella.h"

namespace cmp {
namespace {

Stato identita() {
  Stato s;
  s.nome_linea = "VallorsaC_Pietrana";
  s.numero_treno = "4721";
  s.crea_tabella_linea = true;
  return s;
}

class TrenoSuLineaIncorporata : public ::testing::Test {
 protected:
  void SetUp() override {
    s = identita();
    dati_linea(s, cartella);
    dati_treno(s, cartella);
    leggi_da_cartella(s, cartella);
  }
  Stato s;
  CartellaMemoria cartella;
};

TEST_F(TrenoSuLineaIncorporata, CompilesWithoutErrorAndDeletesBothTexts) {
  EXPECT_EQ(s.codice_errore, 0);
  EXPECT_TRUE(cartella.file.empty());
  ASSERT_EQ(s.ultima_cella(), 760);
  EXPECT_EQ(s.voce_cartello, 52);
  EXPECT_EQ(massa_frenata(s.scenario), 105);
  EXPECT_EQ(lunghezza_linea(s.scenario), 31000);
  EXPECT_EQ(numero_vetture(s.scenario), 4);
  EXPECT_EQ(testo_numero_treno(s.scenario), "4721");
  EXPECT_EQ(sabbia(s.scenario), 60);
  EXPECT_EQ(orologio_ore(s.scenario), 6);
  EXPECT_EQ(orologio_minuti(s.scenario), 11);
  EXPECT_EQ(orologio_secondi(s.scenario), 45);
}

TEST_F(TrenoSuLineaIncorporata, TheSpeedFollowsTheProfile) {
  struct tratto_atteso {
    int da, a, velocita;
  };
  for (const auto& t : {tratto_atteso{0, 135, 14}, {136, 209, 16}, {210, 236, 13}, {237, 757, 16}}) {
    for (int c = t.da; c <= t.a; ++c) ASSERT_EQ(s.percorso[c].velocita, t.velocita) << "cell " << c;
  }
}

TEST_F(TrenoSuLineaIncorporata, SignalsWithTheirMarkers) { prova::verifica_segnali_incorporati(s); }

TEST_F(TrenoSuLineaIncorporata, StationsWithEntriesStopCellsAndMarkers) { prova::verifica_stazioni_incorporate(s); }

// With the 28 built-in captions in entries 80 to 53, the 51st station row fills entry 51
// and stops the reading with error 10; entry 52 and the captions stay as they were.
TEST(TrenoSuLineaIncorporataErrori, The51stStationStopsTheReadingWithError10) {
  Stato s = identita();
  CartellaMemoria cartella;
  dati_linea(s, cartella);
  std::string treno = "[generale]\r\n";
  for (int i = 0; i < 52; ++i) {
    treno += "stazione, " + std::to_string(500 * i) + ", 30, 100, 0,0,0, 0,0,0, 0,0,0, 0, 6,0,0, STAZIONE\r\n";
  }
  cartella.scrivi(nome_descrizione_treno(identita_di(s)), treno + "[fine]\r\n");
  leggi_da_cartella(s, cartella);

  EXPECT_EQ(s.codice_errore, 10);
  EXPECT_TRUE(cartella.file.empty());
  EXPECT_EQ(s.scenario[51].intero3, 25000);
  EXPECT_EQ(s.scenario[51].testo, "STAZIONE");
  EXPECT_EQ(s.scenario[52].intero3, 0);
  EXPECT_TRUE(s.scenario[52].testo.empty());
  for (int voce = 53; voce <= 80; ++voce) EXPECT_EQ(s.scenario[voce].testo.front(), '(') << "entry " << voce;
}

TEST(TrenoSuLineaIncorporataErrori, AReadingFailureInTheTrainDeletesItToo) {
  Stato s = identita();
  CartellaMemoria cartella;
  dati_linea(s, cartella);
  cartella.scrivi(nome_descrizione_treno(identita_di(s)), "[generale]\r\nsabbia, 40000\r\n[fine]\r\n");
  leggi_da_cartella(s, cartella);
  EXPECT_EQ(s.codice_errore, 25);
  EXPECT_EQ(s.luogo_errore.testo, testo_descrizione::treno);
  EXPECT_EQ(s.luogo_errore.riga, 2);
  EXPECT_TRUE(cartella.file.empty());
}

}  // namespace
}  // namespace cmp
