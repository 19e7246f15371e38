#pragma once
// The numeric tolerance and the midpoint shared by the whole system.

#include <cmath>

namespace ostrel {

// The double-precision machine epsilon: the single tolerance of the engine
// and of the parameter decoding.
inline constexpr double kEpsilon = 2.220446049250313e-16;

// Half the largest finite double: beyond it a + b may overflow.
inline constexpr double kHalfLargestDouble = 8.988465674311579e307;

// The midpoint of a and b, without overflow for huge magnitudes.
inline double midpoint(double a, double b) {
  if (std::fabs(a) > kHalfLargestDouble || std::fabs(b) > kHalfLargestDouble) {
    return a * 0.5 + b * 0.5;
  }
  return (a + b) * 0.5;
}

}  // namespace ostrel
