#include "descrizioni/identita.h"

#include <gtest/gtest.h>

#include "riga_comando/opzioni.h"

namespace cmp {
namespace {

TEST(Identita, RefusesWhatCannotBeAFileNamePart) {
  struct Caso {
    const char* valore;
    bool valido;
  };
  const Caso casi[] = {
      {"VallorsaC_Pietrana", true},
      {"4721", true},
      {"Città", true},
      {"", false},
      {"a/b", false},
      {"a\\b", false},
      {"..", false},
      {"x..y", false},
      {"tab\there", false},
      {"del\x7f", false},
      {"Ω", false},
      {"\xC2\x85", false},  // C1 control
      {"\xFF", false},      // malformed UTF-8
  };
  for (const auto& c : casi) {
    EXPECT_EQ(!motivo_identita_non_valida(c.valore).has_value(), c.valido) << c.valore;
  }
}

TEST(Identita, FollowsTheFileNamePatterns) {
  EXPECT_EQ(deduci_nome_linea("dir/VallorsaC_Pietrana_linea.txt"), "VallorsaC_Pietrana");
  EXPECT_EQ(deduci_nome_linea("_linea.txt"), "");
  EXPECT_EQ(deduci_nome_linea("linea.txt"), "");
  EXPECT_EQ(deduci_numero_treno("a/VallorsaC_Pietrana_4721-.txt", "VallorsaC_Pietrana"), "4721");
  EXPECT_EQ(deduci_numero_treno("VallorsaC_Pietrana_4721.txt", "VallorsaC_Pietrana"), "");
  EXPECT_EQ(deduci_numero_treno("Altra_4721-.txt", "VallorsaC_Pietrana"), "");
  EXPECT_EQ(deduci_numero_treno("X_-.txt", "X"), "");
  EXPECT_EQ(deduci_numero_treno("X_7-.txt", ""), "");
}

// Why a name gives no identity: the pattern expected, and the one part of it that fails.
TEST(Identita, SaysWhatTheNameShouldHaveBeen) {
  struct Caso {
    const char* treno;
    const char* nome_linea;
    bool nome_dato;
    const char* perche;  // "" when the number can be told
  };
  const Caso casi[] = {
      {"d/Y_5-.txt", "X", false,
       "expected 'X_<NUMBER>-.txt': the train file's name begins with the route's name 'X' and '_'"},
      {"Y_5-.txt", "X", true,
       "expected 'X_<NUMBER>-.txt': the train file's name begins with the route's name 'X' (given by --nome-linea) "
       "and '_'"},
      {"X5-.txt", "X", false, "begins with the route's name 'X' and '_'"},
      {"X_5.txt", "X", false, "expected 'X_<NUMBER>-.txt': the train file's name ends with '-.txt'"},
      {"X_-.txt", "X", false, "the train number, between 'X_' and '-.txt', is empty"},
      {"X_5-.txt", "X", false, ""},
  };
  for (const auto& c : casi) {
    const std::string perche = perche_numero_non_dedotto(c.treno, c.nome_linea, c.nome_dato);
    if (*c.perche == '\0') {
      EXPECT_EQ(perche, "") << c.treno;
    } else {
      EXPECT_NE(perche.find(c.perche), std::string::npos) << c.treno << ": " << perche;
    }
  }
  EXPECT_EQ(perche_nome_linea_non_dedotto("d/a.txt"),
            "expected '<NAME>_linea.txt': the line file's name is the route's name followed by '_linea.txt'");
  EXPECT_EQ(perche_nome_linea_non_dedotto("d/X_linea.txt"), "");
}

TEST(Opzioni, ValuesFlagsAndErrors) {
  auto o = leggi_opzioni({"--line", "a.txt", "--out=d", "--json", "pos"}, {"--line", "--out"}, {"--json"}, 1);
  EXPECT_FALSE(o.errore);
  EXPECT_EQ(o.valore("--line"), "a.txt");
  EXPECT_EQ(o.valore("--out"), "d");
  EXPECT_TRUE(o.ha("--json"));
  EXPECT_EQ(o.posizionali, std::vector<std::string>{"pos"});

  EXPECT_EQ(leggi_opzioni({"--line"}, {"--line"}, {}, 0).errore, "option --line needs a value");
  EXPECT_EQ(leggi_opzioni({"--bogus"}, {}, {}, 0).errore, "unknown option '--bogus'");
  EXPECT_EQ(leggi_opzioni({"x"}, {}, {}, 0).errore, "unexpected argument 'x'");
  EXPECT_EQ(leggi_opzioni({"--json=1"}, {}, {"--json"}, 0).errore, "unknown option '--json=1'");
}

}  // namespace
}  // namespace cmp
