#pragma once
#include <cstdint>

#include "model/stato.h"

namespace cmp {

// Check codes tying the binary files to the scenario identity: computed over the first
// 25 characters of train number + route identifier, lower-cased, padded with
// "aabbccddeeffgghhiillmmnnoo". Each character counts with its Windows-1252 code.
std::int16_t codice_gara_og(const Stato& s);  // plain sum, 0 to 6375
std::int32_t codice_gara_st(const Stato& s);  // sum weighted by position 1 to 25, 0 to 82875

}  // namespace cmp
