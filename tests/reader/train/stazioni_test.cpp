// Station rows: the entry, the area by kind, the stop cell and its markers, the refusals.
#include <gtest/gtest.h>

#include "errori/catalogo_errori.h"
#include "pista_treno.h"

namespace cmp {
namespace {

using prova::leggi;
using prova::pista;

// A station row with the given position, kind, length and extension flag; the other values fixed.
std::string stazione(int posizione, int tipo, int lunghezza, int estensione = 0) {
  return "stazione, " + std::to_string(posizione) + ", " + std::to_string(tipo) + ", " + std::to_string(lunghezza) +
         ", 3, 4, " + std::to_string(estensione) + ", -5, 6, 7, 8, 9, 10, 11, 6, 20, 30, NOME";
}

TEST(Stazioni, TheEntryHoldsTheRowAsRead) {
  Stato s = pista();
  leggi(s, {"stazione,    6600, 21,  900,  3, 4, 1,  -5,6,7,  8,9,10,   11,   6,20, 30, SAN LORIANO, altro"});
  ASSERT_EQ(s.codice_errore, 0);
  const voce_scenario& v = s.scenario[1];
  EXPECT_EQ(v.intero3, 6600);
  EXPECT_EQ(v.tipo, 21);
  EXPECT_EQ(v.ottetto1, 3);
  EXPECT_EQ(v.breve1, -5);
  EXPECT_EQ(v.breve2, 6);
  EXPECT_EQ(v.ottetto2, 7);
  EXPECT_EQ(v.breve3, 8);
  EXPECT_EQ(v.breve4, 9);
  EXPECT_EQ(v.breve5, 10);
  EXPECT_EQ(v.ottetto3, 11);
  EXPECT_EQ(v.intero4, 22830);
  EXPECT_EQ(v.testo, "SAN LORIANO");  // the name ends at the next comma
  EXPECT_EQ(v.intero1, 6150);
  EXPECT_EQ(v.intero2, 7100);  // the extension flag adds 50 m, then the first station drops it
  EXPECT_EQ(v.ottetto4, 0);
  EXPECT_EQ(v.ottetto5, 0);
}

TEST(Stazioni, ANameTooLongForTheFileIsAReadingFailure) {
  Stato s = pista();
  const std::string riga = "stazione,    6600, 21,  900,  3, 4, 1,  -5,6,7,  8,9,10,   11,   6,20, 30, ";
  EXPECT_EQ(leggi(s, {riga + std::string(65535, 'A')}), esito_lettura::completa);
  EXPECT_EQ(s.scenario[1].testo.size(), 65535u);
  Stato troppo = pista();
  EXPECT_EQ(leggi(troppo, {riga + std::string(65536, 'A')}), esito_lettura::fallita);
  EXPECT_EQ(troppo.codice_errore, 25);
}

TEST(Stazioni, AreaStopCellAndMarkersByKind) {
  struct caso {
    int posizione, tipo, lunghezza, estensione;
    std::int32_t intero1, intero2;
    int fermata;              // -1: no stop cell
    std::vector<int> avvisi;  // cells with 81, 82, ... from the stop cell back
  };
  const caso casi[] = {
      {6600, 5, 300, 1, 6300, 6750, 134, {}},
      {6600, 6, 300, 0, 6300, 6750, 134, {}},
      {6600, 7, 300, 1, 6300, 6900, 137, {136, 135, 134, 133}},
      {6600, 8, 300, 0, 6300, 6900, 137, {136, 135, 134, 133}},
      {6600, 21, 300, 1, 6450, 6800, 135, {134, 133, 132, 131}},
      {6600, 24, 300, 0, 6450, 6750, 134, {133, 132, 131, 130}},
      {6600, 25, 300, 0, 6450, 6750, -1, {}},
      {6600, 30, 300, 1, 6450, 6800, -1, {}},
      {0, 2, 600, 0, -300, 300, 5, {4, 3, 2}},  // the fourth marker would be cell 1
      {100, 2, 200, 0, 0, 200, 3, {2}},
  };
  for (const auto& c : casi) {
    Stato s = pista();
    EXPECT_EQ(leggi(s, {stazione(c.posizione, c.tipo, c.lunghezza, c.estensione)}), esito_lettura::completa);
    const std::string nome = "kind " + std::to_string(c.tipo) + " at " + std::to_string(c.posizione);
    EXPECT_EQ(s.codice_errore, 0) << nome;
    EXPECT_EQ(s.scenario[1].intero1, c.intero1) << nome;
    EXPECT_EQ(s.scenario[1].intero2, c.intero2) << nome;
    Stato atteso = pista();
    if (c.fermata >= 0) {
      atteso.percorso[c.fermata].tipo = tipo_cella::fermata;
      atteso.percorso[c.fermata].parametro1 = 1;
    }
    for (std::size_t k = 0; k < c.avvisi.size(); ++k)
      atteso.percorso[c.avvisi[k]].avviso = static_cast<std::uint8_t>(81 + k);
    for (std::size_t i = 0; i < s.percorso.size(); ++i) {
      ASSERT_EQ(s.percorso[i].tipo, atteso.percorso[i].tipo) << nome << ", cell " << i;
      ASSERT_EQ(s.percorso[i].parametro1, atteso.percorso[i].parametro1) << nome << ", cell " << i;
      ASSERT_EQ(s.percorso[i].avviso, atteso.percorso[i].avviso) << nome << ", cell " << i;
    }
  }
}

TEST(Stazioni, StopCellAndMarkersAreWrittenWhateverTheCellsHold) {
  Stato s = pista();
  s.percorso[135].tipo = tipo_cella::segnale;
  s.percorso[134].avviso = 33;
  leggi(s, {stazione(6600, 21, 300, 1)});
  EXPECT_EQ(s.codice_errore, 0);
  EXPECT_EQ(s.percorso[135].tipo, tipo_cella::fermata);
  EXPECT_EQ(s.percorso[134].avviso, 81);
}

// Only a station after the first keeps its extension flag; the other value goes below 600 m.
TEST(Stazioni, FlagsOfTheEntry) {
  Stato s = pista();
  leggi(s,
        {stazione(0, 2, 600, 1), stazione(6600, 21, 300, 1), stazione(19050, 21, 600, 1), stazione(28750, 7, 600, 1)});
  ASSERT_EQ(s.codice_errore, 0);
  const int ottetto4[] = {0, 1, 1, 0};
  const int ottetto5[] = {0, 0, 4, 4};
  for (int n = 1; n <= 4; ++n) {
    EXPECT_EQ(s.scenario[n].ottetto4, ottetto4[n - 1]) << "entry " << n;
    EXPECT_EQ(s.scenario[n].ottetto5, ottetto5[n - 1]) << "entry " << n;
    EXPECT_EQ(s.percorso[s.scenario[n].intero2 / 50 - 1].parametro1, n) << "entry " << n;
  }
}

TEST(Stazioni, RefusesEachBadRowWithItsCode) {
  struct caso {
    const char* nome;
    std::vector<std::string> righe;
    std::int32_t codice;
    std::int32_t posizione;  // -1: not recorded
    bool voce_scritta;       // the failing row's entry holds its area
  };
  const caso casi[] = {
      {"position off the 50 m grid", {stazione(6625, 21, 300)}, 8, 6625, false},
      {"length not a multiple of 100", {stazione(6600, 21, 250)}, 9, 6600, false},
      {"stop cell at cell 1", {stazione(50, 2, 100)}, 24, -1, true},
      {"areas 300 m apart", {stazione(6600, 21, 300, 1), stazione(7200, 30, 200)}, 22, 7200, true},
      {"stop cell past the last cell", {stazione(37000, 7, 1100)}, errori::stazione_oltre, 37000, true},
      {"long area past the last cell", {stazione(37200, 2, 2000)}, errori::stazione_oltre, 37200, true},
  };
  for (const auto& c : casi) {
    Stato s = pista();
    s.posizione_errore = -1;
    std::vector<std::string> righe = c.righe;
    righe.push_back("sabbia, 9");
    EXPECT_EQ(leggi(s, righe), esito_lettura::interrotta) << c.nome;
    EXPECT_EQ(s.codice_errore, c.codice) << c.nome;
    EXPECT_EQ(s.posizione_errore, c.posizione) << c.nome;
    EXPECT_EQ(s.luogo_errore.riga, static_cast<int>(c.righe.size()) + 1) << c.nome;
    EXPECT_EQ(sabbia(s.scenario), 0) << c.nome;
    EXPECT_EQ(s.scenario[c.righe.size()].intero2 != 0, c.voce_scritta) << c.nome;
    if (c.codice != 22) {
      for (const auto& t : s.percorso) ASSERT_EQ(t.tipo + t.avviso, 0) << c.nome;
    }
  }
}

TEST(Stazioni, AreasMayStart350MetresAfterThePreviousEnd) {
  Stato s = pista();
  leggi(s, {stazione(6600, 21, 300, 1), stazione(7250, 30, 200)});
  EXPECT_EQ(s.codice_errore, 0);
  EXPECT_EQ(s.scenario[2].intero1, 7150);
}

TEST(Stazioni, KindsBeyond25MayReachPastTheTrack) {
  Stato s = pista();
  leggi(s, {stazione(37000, 30, 4000)});
  EXPECT_EQ(s.codice_errore, 0);
  EXPECT_EQ(s.scenario[1].intero2, 39000);
}

// With 28 caption texts (entries 80 to 53) the station entries end at 51.
TEST(Stazioni, StationsStopBeforeTheCaptionTexts) {
  for (int righe_stazione : {50, 51, 52}) {
    Stato s = pista();
    std::vector<std::string> righe;
    for (int i = 0; i < righe_stazione; ++i) righe.push_back(stazione(500 * i, 30, 100));
    leggi(s, righe);
    EXPECT_EQ(s.codice_errore, righe_stazione == 50 ? 0 : 10) << righe_stazione;
    EXPECT_EQ(s.posizione_errore, 0) << righe_stazione;
    EXPECT_EQ(s.scenario[51].intero3, righe_stazione == 50 ? 0 : 25000) << righe_stazione;
    EXPECT_EQ(s.scenario[52].intero3, 0) << righe_stazione;
  }
}

// A station never takes the entry of a caption text, not even the first one.
TEST(Stazioni, NoStationWhenCaptionsFillEveryEntry) {
  Stato s = pista();
  s.voce_cartello = 0;
  s.scenario[1].testo = "(Cartello)";
  EXPECT_EQ(leggi(s, {stazione(6600, 21, 300)}), esito_lettura::interrotta);
  EXPECT_EQ(s.codice_errore, 10);
  EXPECT_EQ(s.scenario[1].testo, "(Cartello)");
  EXPECT_EQ(s.scenario[1].intero3, 0);

  Stato una = pista();
  una.voce_cartello = 1;
  leggi(una, {stazione(6600, 21, 300)});
  EXPECT_EQ(una.codice_errore, 10);
  EXPECT_EQ(una.scenario[1].testo, "NOME");
  EXPECT_EQ(una.percorso[134].tipo, tipo_cella::fermata);
}

TEST(Stazioni, ValuesThatDoNotFitTheirWidthAreError25) {
  for (const char* riga :
       {"stazione, 6600, 256, 300, 0,0,0, 0,0,0, 0,0,0, 0, 6,0,0, A",
        "stazione, 6600, 21, 300, -1,0,0, 0,0,0, 0,0,0, 0, 6,0,0, A",
        "stazione, 6600, 21, 300, 0,0,0, 40000,0,0, 0,0,0, 0, 6,0,0, A",
        "stazione, 6600, 21, 300, 0,0,0, 0,0,0, 0,0,-32769, 0, 6,0,0, A",
        "stazione, 6600, 21, 300, 0,0,0, 0,0,0, 0,0,0, 0, 600000,0,0, A", "stazione, 6600, 21, 300, 0,0,0"}) {
    Stato s = pista();
    EXPECT_EQ(leggi(s, {riga}), esito_lettura::fallita) << riga;
    EXPECT_EQ(s.codice_errore, 25) << riga;
  }
}

}  // namespace
}  // namespace cmp
