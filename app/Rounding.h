// Numbers shown to the user are rounded to the nearest integer, halves to the even neighbour.
#pragma once

#include <cmath>

namespace app {

inline int RoundHalfEven(double value) {
  // nearbyint follows the default rounding mode, which is round-half-to-even.
  return static_cast<int>(std::nearbyint(value));
}

}  // namespace app
