#pragma once
#include <string>
#include <string_view>

namespace cmp {

// Texts inside the scenario (state, description texts, binary files) are bytes of the
// Windows-1252 code page. Source literals and the terminal speak UTF-8: convert at the edge.

// UTF-8 to Windows-1252. A character the code page cannot hold, and any malformed
// UTF-8 sequence, becomes "?".
std::string in_cp1252(std::string_view utf8);

// Windows-1252 to UTF-8. The five bytes the code page leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) become U+FFFD.
std::string da_cp1252(std::string_view cp1252);

// True when every character of the UTF-8 text has a Windows-1252 byte.
bool rappresentabile_cp1252(std::string_view utf8);

// Lower case of one Windows-1252 byte (ASCII, the Latin-1 capitals and the
// capitals of the 0x80 row: Š Œ Ž Ÿ).
unsigned char minuscola_cp1252(unsigned char c);

}  // namespace cmp
