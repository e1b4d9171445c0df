#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "reader/comune/lettore_campi.h"

namespace cmp {
namespace {

// Reads the text with one operation per letter of `letture` ('t' text, 'i' integer,
// 'b' 16-bit, 'o' 8-bit) and returns what each gave, as text.
std::vector<std::string> leggi_tutto(LettoreCampi& r, const std::string& letture) {
  std::vector<std::string> out;
  for (const char op : letture) {
    switch (op) {
      case 't':
        out.push_back(r.leggi_testo());
        break;
      case 'i':
        out.push_back(std::to_string(r.leggi_intero()));
        break;
      case 'b':
        out.push_back(std::to_string(r.leggi_breve()));
        break;
      default:
        out.push_back(std::to_string(r.leggi_ottetto()));
        break;
    }
  }
  return out;
}

struct CasoCampi {
  const char* nome;
  std::string testo;
  std::string letture;
  std::vector<std::string> attesi;
  bool fine_dopo;  // nothing left after the reads
};

TEST(LettoreCampi, ReadsTheFieldsByTheRules) {
  const CasoCampi casi[] = {
      {"blank ends a number, blanks before the comma go with it", "0    ,0", "ii", {"0", "0"}, true},
      {"numbers separated by blanks only",
       "orologio,    6               11            45 \r\n",
       "tiii",
       {"orologio", "6", "11", "45"},
       true},
      {"text keeps trailing blanks, not leading ones", "   abc  ,x\r\n", "tt", {"abc  ", "x"}, true},
      {"a tab is a blank: before a field, ending a number, before a comma",
       "\t7\t8\t,\tx\t\r\n",
       "iit",
       {"7", "8", "x\t"},
       true},
      {"a lone LF ends a line too", "a\nb\r\nc", "ttt", {"a", "b", "c"}, true},
      {"a lone CR is an ordinary byte", "a\rb\r\nc", "tt", {"a\rb", "c"}, true},
      {"empty number between commas and before a line end", " ,\r\n7", "iii", {"0", "0", "7"}, true},
      {"a row ending in a comma", "3,\r\nx", "iit", {"3", "0", "x"}, true},
      {"another character after the blanks starts the next field", "5 x,6", "iti", {"5", "x", "6"}, true},
      {"signs and leading zeros", "+17,-0,0000000000000000000000000000000000000042", "iii", {"17", "0", "42"}, true},
      {"32-bit limits", "-2147483648,2147483647", "ii", {"-2147483648", "2147483647"}, true},
      {"a double quote has no special meaning", "\"a, b\"\r\n", "tt", {"\"a", "b\""}, true},
      {"the last field of a text without line end", "x\r\n[fine]", "tt", {"x", "[fine]"}, true},
      {"only blanks left make one empty field", "x\r\n   ", "tt", {"x", ""}, true},
      {"something is left until the last byte is consumed", "x\r\ny", "t", {"x"}, false},
      {"16 and 8 bits at their limits", "-32768,32767,0,255", "bboo", {"-32768", "32767", "0", "255"}, true},
      {"binary bytes are kept in a text field",
       std::string("\x01\xff\x00z", 4) + ",1",
       "ti",
       {std::string("\x01\xff\x00z", 4), "1"},
       true},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    LettoreCampi r(c.testo);
    EXPECT_EQ(leggi_tutto(r, c.letture), c.attesi);
    EXPECT_EQ(r.fine(), c.fine_dopo);
  }
}

struct CasoFallimento {
  std::string testo;
  std::string letture;  // the last read fails
};

TEST(LettoreCampi, UnreadableFieldsAreAFailure) {
  const CasoFallimento casi[] = {
      {"", "t"},  // the first read of a text with no byte
      {"", "i"},
      {"x,", "tt"},  // reading when nothing is left
      {"x\r\n", "tt"},
      {"12abc", "i"},
      {"3.5", "i"},
      {"1e3", "i"},
      {"&H10", "i"},
      {"+", "i"},
      {"-", "i"},
      {"--5", "i"},
      {"2147483648", "i"},
      {"-2147483649", "i"},
      {"1234567890123456789012345678901234567890", "i"},
      {"32768", "b"},
      {"-32769", "b"},
      {"256", "o"},
      {"-1", "o"},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE("'" + c.testo + "' read as " + c.letture);
    LettoreCampi r(c.testo);
    const std::string prima = c.letture.substr(0, c.letture.size() - 1);
    leggi_tutto(r, prima);
    EXPECT_THROW(leggi_tutto(r, c.letture.substr(c.letture.size() - 1)), FallimentoLettura);
  }
}

TEST(LettoreCampi, GivesTheRowAndColumnOfTheFieldsFirstByte) {
  LettoreCampi r("ab\r\n  cd, 12\nxy");
  r.leggi_testo();
  EXPECT_EQ(r.riga_campo(), 1);
  EXPECT_EQ(r.colonna_campo(), 1);
  r.leggi_testo();
  EXPECT_EQ(r.riga_campo(), 2);
  EXPECT_EQ(r.colonna_campo(), 3);
  r.leggi_intero();
  EXPECT_EQ(r.colonna_campo(), 7);
  r.leggi_testo();
  EXPECT_EQ(r.riga_campo(), 3);
  EXPECT_EQ(r.colonna_campo(), 1);
  try {
    r.leggi_testo();
    FAIL() << "a read past the end must fail";
  } catch (const FallimentoLettura& e) {
    EXPECT_EQ(e.riga(), 3);
  }
}

TEST(LettoreCampi, TheMessageOfAVeryLongFieldStaysShort) {
  const std::string campo(1000000, 'x');
  LettoreCampi r(campo);
  try {
    r.leggi_intero();
    FAIL() << "not a number";
  } catch (const FallimentoLettura& e) {
    EXPECT_LT(std::string(e.what()).size(), 200u);
  }
}

}  // namespace
}  // namespace cmp
