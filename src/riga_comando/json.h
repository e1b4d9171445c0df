#pragma once
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

}  // namespace cmp
