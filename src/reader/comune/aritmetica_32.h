#pragma once
#include <cstdint>
#include <limits>
#include <string>

#include "reader/comune/fallimento_riga.h"

namespace cmp {

// Arithmetic on values read from a text never wraps: a result outside 32 bits signed
// (or outside 16 bits where a field is that narrow) is a FallimentoRiga.

inline std::int32_t entro_32(std::int64_t v, const char* cosa) {
  if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max()) {
    throw FallimentoRiga(std::string(cosa) + " (" + std::to_string(v) + ") does not fit a 32-bit integer");
  }
  return static_cast<std::int32_t>(v);
}

inline std::int16_t entro_16(std::int64_t v, const char* cosa) {
  if (v < std::numeric_limits<std::int16_t>::min() || v > std::numeric_limits<std::int16_t>::max()) {
    throw FallimentoRiga(std::string(cosa) + " (" + std::to_string(v) + ") does not fit a 16-bit field");
  }
  return static_cast<std::int16_t>(v);
}

inline std::int32_t somma_32(std::int32_t a, std::int32_t b, const char* cosa) {
  return entro_32(std::int64_t{a} + b, cosa);
}

}  // namespace cmp
