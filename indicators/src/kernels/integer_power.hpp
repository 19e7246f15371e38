#pragma once
// x raised to a non-negative integer power by repeated squaring (the square
// of x², not x·x·x·x, for the fourth power).

#include <cstdint>

namespace ostrel {

inline double integer_power(double x, uint32_t k) {
  double result = 1.0;
  while (k != 0) {
    if (k & 1u) result *= x;
    k >>= 1;
    if (k != 0) x *= x;
  }
  return result;
}

}  // namespace ostrel
