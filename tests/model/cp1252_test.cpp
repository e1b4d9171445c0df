#include "model/cp1252.h"

#include <gtest/gtest.h>

namespace cmp {
namespace {

TEST(Cp1252, AccentedLettersBecomeSingleBytes) {
  EXPECT_EQ(in_cp1252("è à ° ì ò ù"), "\xE8 \xE0 \xB0 \xEC \xF2 \xF9");
  EXPECT_EQ(in_cp1252("€ “x” – Š"), "\x80 \x93x\x94 \x96 \x8A");
  EXPECT_EQ(in_cp1252("plain ASCII, 0-9"), "plain ASCII, 0-9");
}

TEST(Cp1252, WhatTheCodePageCannotHoldBecomesQuestionMark) {
  EXPECT_EQ(in_cp1252("Ωλ"), "??");                   // Greek
  EXPECT_EQ(in_cp1252("a\xF0\x9F\x98\x80z"), "a?z");  // emoji: one character, one "?"
  EXPECT_EQ(in_cp1252("a\xFFz"), "a?z");              // malformed UTF-8
  EXPECT_EQ(in_cp1252("a\xC3"), "a?");                // truncated sequence at the end
  EXPECT_EQ(in_cp1252("\xC0\xAF"), "??");             // overlong encoding is refused
  EXPECT_FALSE(rappresentabile_cp1252("Ω"));
  EXPECT_TRUE(rappresentabile_cp1252("Però €"));
}

TEST(Cp1252, EveryByteMakesTheRoundTripThroughUtf8) {
  std::string tutti;
  for (int b = 0; b < 256; ++b) {
    if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) continue;
    tutti += static_cast<char>(b);
  }
  EXPECT_EQ(in_cp1252(da_cp1252(tutti)), tutti);
  EXPECT_EQ(da_cp1252("\x81"), "\xEF\xBF\xBD");
}

TEST(Cp1252, LowersTheLettersThatHaveALowerCase) {
  EXPECT_EQ(minuscola_cp1252('A'), 'a');
  EXPECT_EQ(minuscola_cp1252('z'), 'z');
  EXPECT_EQ(minuscola_cp1252(0xC8), 0xE8);  // È -> è
  EXPECT_EQ(minuscola_cp1252(0xD7), 0xD7);  // × has no lower case
  EXPECT_EQ(minuscola_cp1252(0x8A), 0x9A);  // Š -> š
  EXPECT_EQ(minuscola_cp1252(0x9F), 0xFF);  // Ÿ -> ÿ
  EXPECT_EQ(minuscola_cp1252('1'), '1');
}

}  // namespace
}  // namespace cmp
