// The built-in train: its text byte for byte, and what it compiles into on the line's track.
#include <gtest/gtest.h>

#include "fatti_treno_incorporato.h"

#include <string>
#include <vector>

#include "builtin/scrittore_testo.h"
#include "builtin/treno_incorporato.h"
#include "disco/cartella.h"
#include "reader/train/lettore_treno.h"

namespace cmp {
namespace {

const std::vector<std::string> kRigheAttese = {
    "[generale]",
    "numero vetture,    4",
    "percentuale massa frenata,    105",
    "sabbia,    60",
    "orologio,    6               11            45 ",
    "[aderenze]",
    "aderenza,   0,    100",
    "aderenza,     650,    85",
    "aderenza,    1900,   100",
    "aderenza,    5700,    70",
    "aderenza,    6400,   100",
    "aderenza,    9950,    70",
    "aderenza,   11850,    90",
    "aderenza,   12650,    80",
    "aderenza,   13850,   100",
    "aderenza,   17150,    85",
    "aderenza,   18950,   100",
    "aderenza,   24050,    85",
    "aderenza,   24200,    80",
    "aderenza,   24350,    70",
    "aderenza,   25350,    80",
    "aderenza,   28450,   100",
    "[vel_limite]",
    "velocita,       0,    70",
    "velocita,    6800,    80",
    "velocita,   10500,    65",
    "velocita,   11850,    80",
    "[stazioni]",
    "stazione,       0,  2,  600,  0, 0, 0,  1,1,0,  4,1,1,    1,   6,12,15, VALLORSA C.",
    "stazione,    6600, 21,  300,  0, 0, 1,  0,0,0,  4,1,1,   30,   6,20, 0, SAN LORIANO",
    "stazione,   19050, 21,  300,  0, 0, 1,  0,0,0,  4,1,1,   30,   6,32, 0, BRENZOLA",
    "stazione,   28750, 11,  600,  1, 0, 0,  1,1,0,  2,1,1,    0,   6,43, 0, PIETRANA",
    "[rallentamenti]",
    "[segnali]",
    "segnale,    4400,   1, 4, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,    5600,   2, 3, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   17300,   1, 5, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   18400,   2, 3, 1,  0, 0,    0,  0,0,0, 0",
    "segnale,   26500,   1, 3, 4,  0, 0,    1,  3,1,0, 0",
    "segnale,   27650,   2, 2, 3,  0, 0,    2,  2,1,0, 0",
    "[codici]",
    "[fine]",
};

TEST(TrenoIncorporato, FortyTwoLinesByteForByte) {
  const auto righe = righe_treno_incorporato();
  ASSERT_EQ(righe.size(), 42u);
  for (std::size_t i = 0; i < righe.size(); ++i) EXPECT_EQ(righe[i], kRigheAttese[i]) << "slot " << i;
  EXPECT_EQ(righe[4].size(), 46u);
  EXPECT_EQ(righe[4].back(), ' ');
  for (std::size_t i = 28; i <= 31; ++i) {
    EXPECT_EQ(righe[i].find_last_of(',') + 2, 72u) << "slot " << i << ": the numeric part is 72 characters";
  }
}

TEST(TrenoIncorporato, WrittenAsTheTrainDescriptionWithCrLf) {
  Stato s;
  s.nome_linea = "VallorsaC_Pietrana";
  s.numero_treno = "4721";
  CartellaMemoria cartella;
  cartella.file["VallorsaC_Pietrana_4721-.txt"] = "an older file";
  dati_treno(s, cartella);
  ASSERT_EQ(cartella.file.size(), 1u);
  std::string atteso;
  for (const auto& r : kRigheAttese) atteso += r + "\r\n";
  EXPECT_EQ(cartella.file.at("VallorsaC_Pietrana_4721-.txt"), atteso);
}

// Compiled on a hand-made track the size of the built-in line's (cells 0 to 760, 28 captions).
class TrenoIncorporatoCompilato : public ::testing::Test {
 protected:
  void SetUp() override {
    s.percorso.assign(761, tratto{});
    s.voce_cartello = 52;
    esito = leggi_descrizione_treno(s, testo_da_tabella(tabella_righe(righe_treno_incorporato())));
  }
  Stato s;
  esito_lettura esito{};
};

TEST_F(TrenoIncorporatoCompilato, GeneralDataAndNoError) {
  EXPECT_EQ(esito, esito_lettura::completa);
  EXPECT_EQ(s.codice_errore, 0);
  EXPECT_EQ(massa_frenata(s.scenario), 105);
  EXPECT_EQ(numero_vetture(s.scenario), 4);
  EXPECT_EQ(sabbia(s.scenario), 60);
  EXPECT_EQ(orologio_ore(s.scenario), 6);
  EXPECT_EQ(orologio_minuti(s.scenario), 11);
  EXPECT_EQ(orologio_secondi(s.scenario), 45);
}

TEST_F(TrenoIncorporatoCompilato, SpeedAndAdhesionProfiles) {
  struct tratto_atteso {
    int da, a, velocita;
  };
  for (const auto& t : {tratto_atteso{0, 135, 14}, {136, 209, 16}, {210, 236, 13}, {237, 757, 16}, {758, 760, 0}}) {
    for (int c = t.da; c <= t.a; ++c) ASSERT_EQ(s.percorso[c].velocita, t.velocita) << "cell " << c;
  }
  const std::pair<int, int> aderenze[] = {{0, 100},  {12, 100},  {13, 85},   {37, 85}, {38, 100},
                                          {568, 80}, {569, 100}, {757, 100}, {758, 0}};
  for (const auto& [cella, valore] : aderenze) EXPECT_EQ(s.percorso[cella].aderenza, valore) << "cell " << cella;
}

TEST_F(TrenoIncorporatoCompilato, HasSixSignals) {
  int celle_segnale = 0;
  for (const auto& t : s.percorso) celle_segnale += t.tipo == tipo_cella::segnale;
  EXPECT_EQ(celle_segnale, 6);
  prova::verifica_segnali_incorporati(s);
}

TEST_F(TrenoIncorporatoCompilato, HasFourStations) {
  prova::verifica_stazioni_incorporate(s);
  EXPECT_EQ(s.percorso[1].avviso, 0);
  EXPECT_EQ(s.scenario[4].ottetto1, 1);
  EXPECT_EQ(s.scenario[4].breve3, 2);
  EXPECT_EQ(s.scenario[2].ottetto3, 30);
  EXPECT_EQ(s.scenario[5].tipo, 0);
}

}  // namespace
}  // namespace cmp
