#pragma once
#include <array>
#include <string>
#include <string_view>

#include "model/cp1252.h"

namespace cmp {

// Keyword tests of both readers: a keyword matches anywhere inside the field.
inline bool contiene(std::string_view campo, std::string_view parola) {
  return campo.find(parola) != std::string_view::npos;
}

// The field lower-cased with the Windows-1252 letters, for the keywords matched in any
// case (by a table: a field may be the whole text).
inline std::string minuscolo(std::string_view campo) {
  static const auto basso = [] {
    std::array<char, 256> t{};
    for (int b = 0; b < 256; ++b) t[static_cast<std::size_t>(b)] = static_cast<char>(minuscola_cp1252(static_cast<unsigned char>(b)));
    return t;
  }();
  std::string out(campo);
  for (char& c : out) c = basso[static_cast<unsigned char>(c)];
  return out;
}

}  // namespace cmp
