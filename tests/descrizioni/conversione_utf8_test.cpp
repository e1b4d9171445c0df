#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "descrizioni/avvisi_testo.h"
#include "errori/catalogo_errori.h"
#include "model/cp1252.h"
#include "model/testo_visibile.h"

namespace cmp {
namespace {

bool tutto_ascii(const std::string& s) {
  for (const char c : s) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// The edges of UTF-8: the smallest and largest code point of each length, the overlong
// forms below them, the surrogates, what lies above U+10FFFF, and sequences cut short.
// Every reader of UTF-8 agrees on them: the decoder, the conversion of --encoding
// utf-8, the warning that a Windows-1252 text looks like UTF-8, and the escaping of
// messages and JSON (an invalid sequence comes out as escapes, never as its bytes).
TEST(ConversioneUtf8, EveryReaderRefusesOverlongFormsSurrogatesAndCodePointsAboveTheLast) {
  const struct {
    std::string byte;
    std::optional<char32_t> carattere;  // nullopt: not UTF-8
  } casi[] = {
      {"\x7f", 0x7F},
      {"\xc2\x80", 0x80},
      {"\xdf\xbf", 0x7FF},
      {"\xe0\xa0\x80", 0x800},
      {"\xe2\x82\xac", 0x20AC},  // the euro sign, 0x80 in Windows-1252
      {"\xed\x9f\xbf", 0xD7FF},
      {"\xee\x80\x80", 0xE000},
      {"\xef\xbf\xbf", 0xFFFF},
      {"\xf0\x90\x80\x80", 0x10000},
      {"\xf4\x8f\xbf\xbf", 0x10FFFF},
      {"\xc0\x80", std::nullopt},  // overlong forms
      {"\xc1\xbf", std::nullopt},
      {"\xe0\x80\x80", std::nullopt},
      {"\xe0\x9f\xbf", std::nullopt},
      {"\xf0\x80\x80\x80", std::nullopt},
      {"\xf0\x8f\xbf\xbf", std::nullopt},
      {"\xed\xa0\x80", std::nullopt},  // surrogates
      {"\xed\xb2\x80", std::nullopt},
      {"\xed\xbf\xbf", std::nullopt},
      {"\xf4\x90\x80\x80", std::nullopt},  // above U+10FFFF
      {"\xf5\x80\x80\x80", std::nullopt},
      {"\xf7\xbf\xbf\xbf", std::nullopt},
      {"\xe2\x82", std::nullopt},  // cut short
      {"\xf0\x90\x80", std::nullopt},
      {"\x80", std::nullopt},  // a continuation byte on its own
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(testo_visibile(c.byte) + " " + letterale_json(c.byte));
    std::size_t i = 0;
    const auto letto = leggi_utf8(c.byte, i);
    EXPECT_EQ(letto, c.carattere);
    if (c.carattere) {
      EXPECT_EQ(i, c.byte.size());
    }

    const auto conversione = converti_da_utf8("a" + c.byte + "z");
    const auto byte = c.carattere ? byte_cp1252(*c.carattere) : std::nullopt;
    if (byte) {
      EXPECT_FALSE(conversione.errore);
      const std::string atteso = {'a', static_cast<char>(*byte), 'z'};
      EXPECT_EQ(conversione.testo, atteso);
    } else {
      ASSERT_TRUE(conversione.errore);
      EXPECT_EQ(conversione.errore->colonna, 2);
      EXPECT_EQ(conversione.errore->messaggio.find("not UTF-8") != std::string::npos, !c.carattere)
          << conversione.errore->messaggio;
    }

    int simili_utf8 = 0;
    for (const auto& a : controlla_testo("[generale]\r\nnome a" + c.byte + "z\r\n", formato_descrizione::linea)) {
      simili_utf8 += a.codice == errori::testo_utf8 ? 1 : 0;
    }
    EXPECT_EQ(simili_utf8, c.carattere && *c.carattere >= 0x80 ? 1 : 0);

    if (!c.carattere) {
      EXPECT_TRUE(tutto_ascii(letterale_json(c.byte)));
      EXPECT_TRUE(tutto_ascii(testo_visibile(c.byte)));
    } else if (*c.carattere >= 0xA0) {
      EXPECT_EQ(letterale_json(c.byte), "\"" + c.byte + "\"");
      EXPECT_EQ(testo_visibile(c.byte), c.byte);
    }
  }
}

}  // namespace
}  // namespace cmp
