#pragma once
// Texts that come from outside (identities, paths, fields of a description) put safely
// into a message on a terminal or into JSON, whatever bytes they hold.
#include <string>
#include <string_view>

namespace cmp {

// For a message of one line on a terminal: a well-formed UTF-8 character stays as it is;
// a control character (U+0000 to U+001F and U+007F) is written as \xHH, a C1 control
// (U+0080 to U+009F) as \u00HH, and a byte that is not part of a UTF-8 character as
// \xHH. No ESC, no newline and no NUL is left: the line cannot be split, cut or turned
// into a terminal command.
std::string testo_visibile(std::string_view testo);

// A JSON string literal (quotes included), valid whatever the bytes: quotes, backslashes
// and control characters escaped (\n, \r, \t, else \u00HH, C1 controls and DEL too); a
// well-formed UTF-8 character stays as it is; a byte that is not part of one is read as
// Windows-1252, the code page of the scenario texts, and written as the \u escape of
// that character (0xE8 is \u00e8, 0x80 \u20ac), the five bytes the code page leaves
// undefined as the code point of the same number (0x81 is \u0081).
std::string letterale_json(std::string_view testo);

}  // namespace cmp
