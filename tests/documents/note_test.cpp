#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "documents/documenti.h"
#include "prova_documenti.h"

namespace cmp {
namespace {

const char* const kFile = "VallorsaC_Pietrana_4721_note.txt";

std::vector<std::string> righe_file() { return prova::righe_scritte(dati_note, prova::stato_incorporato(), kFile); }

TEST(Note, LineLengthsAndEmptyLines) {
  const std::size_t lunghezze[19] = {23, 27, 0, 269, 174, 65, 81, 213, 213, 0, 15, 26, 73, 72, 73, 68, 87, 50, 0};
  const auto righe = righe_file();
  ASSERT_EQ(righe.size(), 22u);
  for (std::size_t i = 0; i < 19; ++i) EXPECT_EQ(righe[i].size(), lunghezze[i]) << "line " << i;
  for (std::size_t i = 19; i < 22; ++i) EXPECT_FALSE(righe[i].empty()) << "signature line " << i;
}

// Only the paragraphs on the signalling and on the level crossing end in a blank.
TEST(Note, OnlyTwoParagraphsEndInABlank) {
  const auto righe = righe_file();
  ASSERT_EQ(righe.size(), 22u);
  for (std::size_t i = 0; i < righe.size(); ++i) {
    if (righe[i].empty()) continue;
    const bool con_spazio = i == 6 || i == 8;
    EXPECT_EQ(righe[i].back() == ' ', con_spazio) << "line " << i;
    if (con_spazio) {
      EXPECT_NE(righe[i][righe[i].size() - 2], ' ') << "line " << i;
    }
  }
}

TEST(Note, FixedLinesAndPieces) {
  const auto righe = righe_note(prova::stato_incorporato());
  ASSERT_EQ(righe.size(), 22u);
  const std::pair<std::size_t, const char*> fisse[] = {
      {0, "        Regione Carsena"},
      {1, "Linea Vallorsa C.-Pietrana."},
      {7,
       "La planimetria è il più reale possibile, in quanto e stata fatta prendendo nota chilometro per "
       "chilometro della planimetria viaggiando su tale linea, e con l'aiuto della prefazione all'orario "
       "generale di servizio."},
      {10, "Treno Simulato:"},
      {11, "4721 Vallorsa C._Pietrana."},
      {12, "Il nostro treno è composto da 2 ALe 582 e 2 rimorchi Le 763 così M+R+R+M."},
      {13, "Nel turno estivo ha lo stesso orario ma composizione 1 ALe 582+1 Le 562."},
      {17, "Sono graditi consigli e suggerimenti. Buon lavoro."},
  };
  for (const auto& [riga, testo] : fisse) EXPECT_EQ(righe[riga], testo) << "line " << riga;
  const std::pair<std::size_t, const char*> pezzi[] = {
      {3, "28,7 Km."}, {5, "Blocco elettrico conta assi"}, {6, "C.T.C."}, {6, "D.C.O."}, {8, "Km 153,284"},
  };
  for (const auto& [riga, pezzo] : pezzi) EXPECT_NE(righe[riga].find(pezzo), std::string::npos) << pezzo;
  EXPECT_EQ(righe[8].rfind("N.B.", 0), 0u);
}

TEST(Note, AccentedLettersAreSingleBytes) {
  const auto righe = righe_file();
  ASSERT_EQ(righe.size(), 22u);
  EXPECT_NE(righe[7].find("La planimetria \xE8 il pi\xF9 reale"), std::string::npos);
  EXPECT_NE(righe[12].find("cos\xEC M+R+R+M."), std::string::npos);
  EXPECT_NE(righe[4].find("per\xF2 non \xE8"), std::string::npos);
  EXPECT_NE(righe[4].find("localit\xE0"), std::string::npos);
}

}  // namespace
}  // namespace cmp
