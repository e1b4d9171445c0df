#include "model/cp1252.h"

#include <array>
#include <cstdint>
#include <optional>

namespace cmp {
namespace {

// Unicode code points of the bytes 0x80 to 0x9F; 0 marks the five undefined bytes.
constexpr std::array<char32_t, 32> kRiga80 = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                              0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                              0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                              0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

}  // namespace

std::optional<unsigned char> byte_cp1252(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<unsigned char>(cp);
  for (std::size_t i = 0; i < kRiga80.size(); ++i) {
    if (kRiga80[i] != 0 && kRiga80[i] == cp) return static_cast<unsigned char>(0x80 + i);
  }
  return std::nullopt;
}

std::optional<char32_t> carattere_cp1252(unsigned char b) {
  if (b < 0x80 || b >= 0xA0) return b;
  const char32_t cp = kRiga80[b - 0x80];
  return cp != 0 ? std::optional<char32_t>(cp) : std::nullopt;
}

std::optional<char32_t> leggi_utf8(std::string_view s, std::size_t& i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  int seguenti = 0;
  char32_t cp = 0;
  if (b0 < 0x80) {
    ++i;
    return b0;
  } else if ((b0 & 0xE0) == 0xC0) {
    seguenti = 1;
    cp = b0 & 0x1F;
  } else if ((b0 & 0xF0) == 0xE0) {
    seguenti = 2;
    cp = b0 & 0x0F;
  } else if ((b0 & 0xF8) == 0xF0) {
    seguenti = 3;
    cp = b0 & 0x07;
  } else {
    ++i;
    return std::nullopt;
  }
  if (i + seguenti >= s.size()) {  // truncated sequence
    ++i;
    return std::nullopt;
  }
  for (int k = 1; k <= seguenti; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) {
      ++i;
      return std::nullopt;
    }
    cp = (cp << 6) | (b & 0x3F);
  }
  constexpr std::array<char32_t, 4> kMinimo = {0, 0x80, 0x800, 0x10000};
  if (cp < kMinimo[seguenti] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++i;
    return std::nullopt;
  }
  i += seguenti + 1;
  return cp;
}

void aggiungi_utf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string in_cp1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    const auto cp = leggi_utf8(utf8, i);
    const auto b = cp ? byte_cp1252(*cp) : std::nullopt;
    out += b ? static_cast<char>(*b) : '?';
  }
  return out;
}

std::string da_cp1252(std::string_view testo) {
  std::string out;
  out.reserve(testo.size());
  for (const char c : testo) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 0x80 && b < 0xA0) {
      const char32_t cp = kRiga80[b - 0x80];
      aggiungi_utf8(out, cp != 0 ? cp : 0xFFFD);
    } else {
      aggiungi_utf8(out, b);
    }
  }
  return out;
}

bool rappresentabile_cp1252(std::string_view utf8) {
  std::size_t i = 0;
  while (i < utf8.size()) {
    const auto cp = leggi_utf8(utf8, i);
    if (!cp || !byte_cp1252(*cp)) return false;
  }
  return true;
}

unsigned char minuscola_cp1252(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
  switch (c) {
    case 0x8A:
      return 0x9A;  // Š
    case 0x8C:
      return 0x9C;  // Œ
    case 0x8E:
      return 0x9E;  // Ž
    case 0x9F:
      return 0xFF;  // Ÿ
    default:
      return c;
  }
}

const std::array<char, 256>& tabella_minuscole_cp1252() {
  static const auto basso = [] {
    std::array<char, 256> t{};
    for (int b = 0; b < 256; ++b) {
      t[static_cast<std::size_t>(b)] = static_cast<char>(minuscola_cp1252(static_cast<unsigned char>(b)));
    }
    return t;
  }();
  return basso;
}

std::string minuscolo_cp1252(std::string_view testo) {
  const auto& basso = tabella_minuscole_cp1252();
  std::string out(testo);
  for (char& c : out) c = basso[static_cast<unsigned char>(c)];
  return out;
}

std::size_t caratteri_utf8(std::string_view utf8) {
  std::size_t n = 0;
  for (const char c : utf8) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

}  // namespace cmp
