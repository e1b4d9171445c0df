#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "documents/documenti.h"
#include "prova_documenti.h"

namespace cmp {
namespace {

std::vector<std::string> righe_file(const Stato& s = prova::stato_incorporato()) {
  return prova::righe_scritte(dati_scheda, s, "VallorsaC_Pietrana_" + s.numero_treno + "_scheda_treno.txt");
}

using Colonne = std::vector<int>;
const Colonne kIntestazione{2, 22, 27, 47, 73, 97};
const Colonne kClassificazione{2, 25, 47, 73, 91, 97};
const Colonne kTestata{3, 9, 15, 49, 65, 69, 76, 80, 92, 96};
const Colonne kDati{3, 9, 15, 25, 49, 65, 69, 76, 96};

// The "|" of every line; lines not named have none.
const std::map<std::size_t, Colonne> kRegole{
    {3, kIntestazione},
    {4, kIntestazione},
    {5, kIntestazione},
    {6, kIntestazione},
    {7, {2, 22, 27, 47}},
    {8, {2, 22, 27, 47}},
    {9, {73, 91, 97}},
    {10, kClassificazione},
    {11, kClassificazione},
    {12, kClassificazione},
    {16, kTestata},
    {17, kTestata},
    {18, kTestata},
    {19, kDati},
    {20, kDati},
    {21, kDati},
    {22, kDati},
    {23, kDati},
    {24, {3, 9, 15, 24, 25, 49, 65, 69, 76, 96}},
    {25, kDati},
    {26, {3, 9, 15, 49, 65, 69, 76, 96}},
};

TEST(SchedaTreno, EachLineHasItsLength) {
  const std::size_t lunghezze[28] = {0, 0,  96, 97, 97, 97, 97, 70, 96, 97, 98, 98, 97, 0,
                                     0, 95, 97, 96, 96, 96, 96, 96, 96, 96, 96, 96, 96, 44};
  const auto righe = righe_file();
  ASSERT_EQ(righe.size(), 28u);
  for (std::size_t i = 0; i < righe.size(); ++i) EXPECT_EQ(righe[i].size(), lunghezze[i]) << "line " << i;
  EXPECT_EQ(righe[27], std::string(44, ' '));
}

TEST(SchedaTreno, VerticalRulesInTheirColumns) {
  const auto righe = righe_file();
  ASSERT_EQ(righe.size(), 28u);
  for (std::size_t i = 0; i < righe.size(); ++i) {
    const auto it = kRegole.find(i);
    EXPECT_EQ(prova::colonne(righe[i], '|'), it == kRegole.end() ? Colonne{} : it->second) << "line " << i;
  }
}

TEST(SchedaTreno, HorizontalRulesInTheirColumns) {
  using Tratti = std::vector<std::pair<int, int>>;
  const Tratti testata{{4, 8}, {10, 14}, {16, 48}, {50, 64}, {66, 68}, {70, 75}, {77, 79}, {81, 91}, {93, 95}};
  const std::map<std::size_t, Tratti> attesi{
      {2, {{3, 21}, {28, 46}, {74, 96}}},
      {5, {{3, 21}, {28, 46}}},
      {6, {{74, 96}}},
      {8, {{3, 21}, {28, 46}, {74, 96}}},
      {9, {{3, 24}, {26, 46}}},
      {12, {{3, 24}, {26, 46}, {74, 90}, {92, 96}}},
      {15, {{4, 95}}},
      {18, testata},
      {24, {{23, 23}}},
      {26, {{4, 8}, {10, 14}, {16, 48}, {50, 64}, {66, 68}, {70, 75}, {77, 95}}},
  };
  const auto righe = righe_file();
  ASSERT_EQ(righe.size(), 28u);
  for (std::size_t i = 0; i < righe.size(); ++i) {
    const auto it = attesi.find(i);
    EXPECT_EQ(prova::tratti(righe[i], '_'), it == attesi.end() ? Tratti{} : it->second) << "line " << i;
  }
}

TEST(SchedaTreno, WritesExactlyTheseLines) {
  // The timetable rows, cell by cell.
  auto dati = [](std::vector<std::string> celle) {
    std::string riga = "  |";
    for (const auto& c : celle) riga += c + "|";
    return riga;
  };
  const std::string b3(3, ' '), b5(5, ' '), b9(9, ' '), b15(15, ' '), b19(19, ' '), bin = "  /   ";
  const std::vector<std::string> attese{
      "",
      "",
      "  ___________________      ___________________                           _______________________",
      " |  Fascicolo Linee  |    |      Treno        |                         | Sigla di Composizione |",
      " |     CARSENA       |    |       4721        |     Scheda n° 1/2       |        VS140 C        |",
      " |___________________|    |___________________|                         |         105%          |",
      " | Validità          |    | Termine Scheda    |    Da: VALLORSA         |_______________________|",
      " | Dal: 30.09.2001   |    |FERRANO CENTRALE   |     A: PIETRANA       ",
      " |___________________|    |___________________|                          _______________________",
      "  ______________________ _____________________                          | Int. alla Sigla |     |",
      " | Classificazione      | Massa Bloccata      |                         |      ALe 582    | RSC4| ",
      " |         R            |        1ALe+1Le     |                         |                 |     | ",
      " |______________________|_____________________|                         |_________________|_____|",
      "",
      "",
      "   ____________________________________________________________________________________________",
      "  | Vel.| Vel.|  Prog                           |               |Rec|Bin.Dx|SRS| Simbologia|SRS| ",
      "  | Max.|Marc.|   Km.           Localita'       |     Orario    |   |V. Max| SX|           | DX|",
      "  |_____|_____|_________________________________|_______________|___|______|___|___________|___|",
      dati({" 70  ", " 70  ", "132.107  ", "  VALLORSA C.          ", "         06.12 ", b3, bin, b19}),
      dati({" 80  ", " 80  ", "138.722  ", "  S. LORIANO...........", " 06.19   06.20 ", b3, bin, b19}),
      dati({" 65  ", " 65  ", b9, " Sott.Km.142,236       ", b15, b3, bin, b19}),
      dati({" 80  ", " 80  ", b9, " C.C.Km.143,845        ", b15, b3, bin, b19}),
      dati({b5, b5, "151.082  ", "  BRENZOLA.............", " 06.31   06.32 ", "0.5", bin, b19}),
      dati({b5, b5, "160.858_|", "  PIETRANA.............", " 06.43   06.47 ", b3, bin, "         1         "}),
      dati({b5, b5, "154.207 \\", std::string(23, ' '), b15, b3, bin, b19}),
      "  |_____|_____|_________________________________|_______________|___|______|___________________|",
      std::string(44, ' '),
  };
  EXPECT_EQ(righe_scheda(prova::stato_incorporato()), attese);
}

TEST(SchedaTreno, AccentedLettersAreSingleBytes) {
  const auto righe = righe_file();
  ASSERT_EQ(righe.size(), 28u);
  EXPECT_EQ(righe[4].substr(52, 13), "Scheda n\xB0 1/2");
  EXPECT_EQ(righe[6].substr(2, 9), " Validit\xE0");
}

// However long the train number, its cell keeps the rules of the header in place.
TEST(SchedaTreno, LongTrainNumberIsCutToItsCell) {
  const auto righe = righe_file(prova::stato_incorporato("123456789012345"));
  ASSERT_EQ(righe.size(), 28u);
  EXPECT_EQ(prova::colonne(righe[4], '|'), kIntestazione);
  EXPECT_EQ(righe[4].substr(27, 19), "       123456789012");
}

}  // namespace
}  // namespace cmp
