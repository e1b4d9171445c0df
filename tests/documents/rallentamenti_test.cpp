#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "documents/documenti.h"
#include "prova_documenti.h"

namespace cmp {
namespace {

const char* const kFile = "VallorsaC_Pietrana_4721_rallentamenti.txt";
const std::string kRigaVuota = " |   |                            |            |          |         |            |";
const std::string kRegola = " |___|____________________________|____________|__________|_________|____________|";

std::vector<std::string> righe_file() {
  return prova::righe_scritte(dati_rallentamenti, prova::stato_incorporato(), kFile);
}

TEST(Rallentamenti, EachLineHasItsLength) {
  std::map<std::size_t, std::size_t> lunghezze{{0, 0},  {1, 42}, {2, 50}, {3, 81},  {4, 33}, {5, 0},
                                               {6, 80}, {7, 81}, {39, 0}, {40, 37}, {45, 42}};
  for (std::size_t i = 8; i <= 38; ++i) lunghezze[i] = 82;
  const auto righe = righe_file();
  ASSERT_EQ(righe.size(), 46u);
  for (const auto& [riga, lunghezza] : lunghezze) EXPECT_EQ(righe[riga].size(), lunghezza) << "line " << riga;
}

TEST(Rallentamenti, RulesOfTheTable) {
  const std::vector<int> colonne{2, 6, 35, 48, 59, 69, 82};
  const std::vector<std::pair<int, int>> regola{{3, 5}, {7, 34}, {36, 47}, {49, 58}, {60, 68}, {70, 81}};
  const auto righe = righe_file();
  ASSERT_EQ(righe.size(), 46u);
  for (std::size_t i = 0; i < righe.size(); ++i) {
    const bool in_tabella = i >= 8 && i <= 38;
    EXPECT_EQ(prova::colonne(righe[i], '|'), in_tabella ? colonne : std::vector<int>{}) << "line " << i;
  }
  EXPECT_EQ(prova::tratti(righe[3], '_'), (std::vector<std::pair<int, int>>{{2, 81}}));
  EXPECT_EQ(prova::tratti(righe[7], '_'), (std::vector<std::pair<int, int>>{{3, 81}}));
  EXPECT_EQ(prova::tratti(righe[11], '_'), regola);
  EXPECT_EQ(prova::tratti(righe[38], '_'), regola);
}

TEST(Rallentamenti, WritesExactlyTheseLines) {
  std::vector<std::string> attese{
      "",
      "                               Modulo M. 3",
      "                           ORDINE DI RALLENTAMENTO",
      " " + std::string(80, '_'),
      "  Linea  VALLORSA C.LE - PIETRANA",
      "",
      "  Si ordina al macchinista del treno 4721 di effettuare i seguenti rallentamenti",
      "  " + std::string(79, '_'),
      " |   |                            |Inizio dopo |          |         |            |",
      " | N.|      FRA LE STAZIONI       | il cippo   | Velocita'|Lunghezza|Prescrizioni|",
      " |   |   (o nelle Stazioni di)    |chilometrico|          |   metri | specifiche |",
      kRegola,
      " |   |  NESSUNA PRESCRIZIONE      |            |          |         |            |",
  };
  attese.insert(attese.end(), 25, kRigaVuota);
  attese.insert(attese.end(), {
                                  kRegola,
                                  "",
                                  "              Prescrizioni specifiche",
                                  " A - Da rispettare con tutto il treno (per i treni viaggiatori)",
                                  " B - Interessa anche la stazione di.......",
                                  " D - Rallentamneto N. ... e N. ...  sono contigui",
                                  " C - Da rispettare dalle ore ....  alle ore ..... di tutti",
                                  "     i giorni esclusi i seguenti:.........",
                              });
  EXPECT_EQ(righe_rallentamenti(prova::stato_incorporato()), attese);
}

}  // namespace
}  // namespace cmp
