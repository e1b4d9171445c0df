#include "model/arrotonda.h"

#include <cmath>

namespace cmp {

std::int64_t arrotonda(double x) {
  const double sotto = std::floor(x);
  const double resto = x - sotto;
  double scelto = sotto;
  if (resto > 0.5) {
    scelto = sotto + 1.0;
  } else if (resto == 0.5 && std::fmod(sotto, 2.0) != 0.0) {
    scelto = sotto + 1.0;  // a tie goes to the even neighbour
  }
  return static_cast<std::int64_t>(scelto);
}

}  // namespace cmp
