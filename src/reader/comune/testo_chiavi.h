#pragma once
#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "model/cp1252.h"

namespace cmp {

// Keyword tests of both readers: a keyword matches anywhere inside the field.
inline bool contiene(std::string_view campo, std::string_view parola) {
  return campo.find(parola) != std::string_view::npos;
}

// The field lower-cased with the Windows-1252 letters, as the readers test the keywords
// matched in any case on it: the field itself when lower-casing
// changes none of its bytes (most keyword fields are written in lower case), else a
// lower-cased copy. It is no copy of a long field written in lower case.
class CampoMinuscolo {
 public:
  explicit CampoMinuscolo(std::string_view campo) : vista_(campo) {
    const auto& basso = tabella_minuscole_cp1252();
    const bool uguale =
        std::all_of(campo.begin(), campo.end(), [&](char c) { return basso[static_cast<unsigned char>(c)] == c; });
    if (!uguale) {
      copia_ = minuscolo_cp1252(campo);
      vista_ = copia_;
    }
  }
  CampoMinuscolo(const CampoMinuscolo&) = delete;
  CampoMinuscolo& operator=(const CampoMinuscolo&) = delete;
  operator std::string_view() const { return vista_; }

 private:
  std::string copia_;
  std::string_view vista_;
};

}  // namespace cmp
