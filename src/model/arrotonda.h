#pragma once
#include <cstdint>

namespace cmp {

// Every conversion of a fractional value to a whole number in the system rounds
// to the nearest whole number, halves to the even one (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
// Independent of the floating-point environment's rounding mode.
std::int64_t arrotonda(double x);

}  // namespace cmp
