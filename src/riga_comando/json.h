#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace cmp {

// A JSON string literal of a UTF-8 text: quotes, backslashes and control characters escaped.
inline std::string json_testo(std::string_view utf8) {
  static const char* cifre = "0123456789abcdef";
  std::string out = "\"";
  for (const char c : utf8) {
    const auto b = static_cast<unsigned char>(c);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (b < 0x20) {
          out += "\\u00";
          out += cifre[b >> 4];
          out += cifre[b & 0xF];
        } else {
          out += c;
        }
    }
  }
  out += '"';
  return out;
}

// What a command with --json prints when it ends with status 3 (a usage fault, a file that
// cannot be read or written): the status, the file concerned (null when none) and the
// line printed on standard error. Also for a file refused whole with another status.
inline std::string json_rifiuto(std::string_view messaggio, const std::optional<std::string>& file, int stato = 3) {
  return "{\"stato\": " + std::to_string(stato) + ", \"file\": " + (file ? json_testo(*file) : std::string("null")) +
         ", \"messaggio\": " + json_testo(messaggio) + "}";
}

}  // namespace cmp
