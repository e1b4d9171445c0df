#include "model/testo_visibile.h"

#include <gtest/gtest.h>

namespace cmp {
namespace {

TEST(TestoVisibile, ControlCharactersAndStrayBytesAreWrittenOut) {
  const struct {
    std::string testo, visibile, json;
  } casi[] = {
      {"Città 4721 €", "Città 4721 €", "\"Città 4721 €\""},
      {"Citt\xe8", "Citt\\xe8", "\"Citt\\u00e8\""},                      // Windows-1252 è
      {"\x80\x81\x9f", "\\x80\\x81\\x9f", "\"\\u20ac\\u0081\\u0178\""},  // €, undefined, Ÿ
      {"a\x1b[31mb", "a\\x1b[31mb", "\"a\\u001b[31mb\""},
      {"uno\ndue\r\ttre", "uno\\x0adue\\x0d\\x09tre", "\"uno\\ndue\\r\\ttre\""},
      {std::string("a\0b", 3), "a\\x00b", "\"a\\u0000b\""},
      {"\x7f", "\\x7f", "\"\\u007f\""},
      {"\xc2\x85", "\\u0085", "\"\\u0085\""},                            // a C1 control, well-formed UTF-8
      {"\xc3", "\\xc3", "\"\\u00c3\""},                                  // a sequence cut short
      {"\xed\xa0\x80", "\\xed\\xa0\\x80", "\"\\u00ed\\u00a0\\u20ac\""},  // a surrogate is no character
      {"\"q\" \\", "\"q\" \\", "\"\\\"q\\\" \\\\\""},
  };
  for (const auto& c : casi) {
    EXPECT_EQ(testo_visibile(c.testo), c.visibile) << c.testo;
    EXPECT_EQ(letterale_json(c.testo), c.json) << c.testo;
  }
}

// Whatever the bytes, the JSON literal is plain ASCII apart from well-formed UTF-8 of
// printable characters, and the terminal text holds no control byte.
TEST(TestoVisibile, EveryByteComesOutSafe) {
  std::string tutti;
  for (int b = 0; b < 256; ++b) tutti += static_cast<char>(b);
  for (const std::string& t : {tutti, tutti + tutti.substr(0xC0)}) {
    for (const char c : testo_visibile(t)) {
      const auto b = static_cast<unsigned char>(c);
      EXPECT_FALSE(b < 0x20 || b == 0x7F) << int(b);
    }
    for (const char c : letterale_json(t)) {
      EXPECT_GE(static_cast<unsigned char>(c), 0x20);
    }
  }
}

}  // namespace
}  // namespace cmp
