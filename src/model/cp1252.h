#pragma once
#include <array>
#include <optional>
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

// One character of a UTF-8 text at s[i], i moved past it; nullopt for a byte that begins
// no well-formed sequence (an overlong form, a surrogate, a cut or stray byte), i then
// moved past that byte alone.
std::optional<char32_t> leggi_utf8(std::string_view s, std::size_t& i);
// The UTF-8 bytes of a character.
void aggiungi_utf8(std::string& out, char32_t carattere);
// The characters of a UTF-8 text (its bytes that start one), for lining text up.
std::size_t caratteri_utf8(std::string_view utf8);

// The Windows-1252 byte of a character, or nullopt when the code page has none.
std::optional<unsigned char> byte_cp1252(char32_t carattere);
// The character of a Windows-1252 byte; nullopt for the five undefined bytes.
std::optional<char32_t> carattere_cp1252(unsigned char b);

// Lower case of one Windows-1252 byte (ASCII, the Latin-1 capitals and the
// capitals of the 0x80 row: Š Œ Ž Ÿ).
unsigned char minuscola_cp1252(unsigned char c);
// The same for every byte, as a table (a text may be long), and for a whole text.
const std::array<char, 256>& tabella_minuscole_cp1252();
std::string minuscolo_cp1252(std::string_view testo);

}  // namespace cmp
