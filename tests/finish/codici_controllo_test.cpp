#include "finish/codici_controllo.h"

#include <gtest/gtest.h>

#include <string>

namespace cmp {
namespace {

Stato identita(const std::string& treno, const std::string& linea) {
  Stato s;
  testo_numero_treno(s.scenario) = treno;
  testo_nome_linea(s.scenario) = linea;
  return s;
}

TEST(CodiciControllo, KnownIdentitiesGiveTheirCodes) {
  struct caso {
    std::string treno, linea;
    std::int16_t og;
    std::int32_t st;
  };
  const caso casi[] = {
      {"1234567890", "ABCDEFGHIJKLMNO", 2085, 31285},
      {"4721", "VallorsaC_Pietrana", 2412, 33209},
      {"", "", 2583, 34355},  // the pad alone: "aabbccddeeffgghhiillmmnno"
      // The highest codes: 25 bytes of 255 (as unsigned codes, not negative chars).
      {std::string(25, '\xFF'), "", 6375, 82875},
  };
  for (const caso& c : casi) {
    const Stato s = identita(c.treno, c.linea);
    EXPECT_EQ(codice_gara_og(s), c.og) << c.treno << c.linea;
    EXPECT_EQ(codice_gara_st(s), c.st) << c.treno << c.linea;
  }
}

TEST(CodiciControllo, SameCodesForTheSameFirst25CharactersInEitherCase) {
  struct coppia {
    std::string treno_a, linea_a, treno_b, linea_b;
  };
  const coppia coppie[] = {
      {"4721", "VallorsaC_Pietrana", "4721", "VALLORSAC_PIETRANA"},
      {"4721", "\xC8\xC9\xDE\x8A", "4721", "\xE8\xE9\xFE\x9A"},  // Windows-1252 capitals
      {"1234567890", "ABCDEFGHIJKLMNO", "1234567890abcde", "fghijklmnoXYZ"},
      {"", "abcdefghijklmnopqrstuvwxyz", "", "abcdefghijklmnopqrstuvwxy!"},
  };
  for (const coppia& c : coppie) {
    const Stato a = identita(c.treno_a, c.linea_a);
    const Stato b = identita(c.treno_b, c.linea_b);
    EXPECT_EQ(codice_gara_og(a), codice_gara_og(b)) << c.linea_a << " / " << c.linea_b;
    EXPECT_EQ(codice_gara_st(a), codice_gara_st(b)) << c.linea_a << " / " << c.linea_b;
  }
  // The train number comes first: swapping the two texts changes the weighted code.
  EXPECT_NE(codice_gara_st(identita("4721", "ab")), codice_gara_st(identita("ab", "4721")));
}

}  // namespace
}  // namespace cmp
