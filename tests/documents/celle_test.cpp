#include "documents/celle.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace cmp {
namespace {

TEST(Celle, CountCharactersNotUtf8Bytes) {
  EXPECT_EQ(caratteri(""), 0u);
  EXPECT_EQ(caratteri("Validità"), 8u);
  EXPECT_EQ(caratteri("Scheda n° 1/2"), 13u);
  EXPECT_EQ(caratteri("àèìòù"), 5u);
}

TEST(Celle, FillAndCutToTheWidthInCharacters) {
  struct Caso {
    const char* testo;
    std::size_t larghezza;
    char riempitivo;
    const char* atteso;
  };
  const Caso casi[] = {
      {"ab", 5, ' ', "ab   "},
      {"", 3, ' ', "   "},
      {"esatto", 6, ' ', "esatto"},
      {"  S. LORIANO", 23, '.', "  S. LORIANO..........."},
      {"Validità", 10, ' ', "Validità  "},  // two blanks, not three: "à" is one character
      {"Validità", 6, ' ', "Validi"},
      {"àèìòù", 3, '.', "àèì"},  // cut between characters, never inside one
  };
  for (const auto& c : casi) EXPECT_EQ(cella(c.testo, c.larghezza, c.riempitivo), c.atteso) << c.testo;
  EXPECT_EQ(cella_punti("  BRENZOLA", 12), "  BRENZOLA..");
}

TEST(Celle, AlignsACellToTheRight) {
  EXPECT_EQ(cella_a_destra("06.12 ", 15), "         06.12 ");
  EXPECT_EQ(cella_a_destra("n°", 4), "  n°");
  EXPECT_EQ(cella_a_destra("àbc", 2), "bc");
}

TEST(Celle, RowsPutEveryRuleAfterItsCell) {
  const Colonne colonne{" ", {3, 2}};
  EXPECT_EQ(riga_tabella(colonne, {"è", "xy"}), " |è  |xy|");
  EXPECT_EQ(riga_tabella(colonne, {"troppo lungo"}), " |tro|  |");
  EXPECT_EQ(riga_tabella(colonne), " |   |  |");
  EXPECT_EQ(riga_regola(colonne), " |___|__|");
  EXPECT_THROW(riga_tabella(colonne, {"a", "b", "c"}), std::invalid_argument);
  EXPECT_EQ(unisci({" ", "a", ""}), " |a|");
  EXPECT_EQ(unisci({"solo"}), "solo");
  EXPECT_EQ(spazi(3) + regola(2), "   __");
}

}  // namespace
}  // namespace cmp
