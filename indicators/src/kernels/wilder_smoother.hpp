#pragma once
// Wilder's smoother: the mean of the first n inputs, then
// (x + value·(n − 1)) / n. The seed window is never pushed past full, so its
// sum is all the seed needs.

#include <cstdint>

#include "kernels/seed_mean.hpp"

namespace ostrel {

struct WilderFold {
  double n;
  double operator()(double value, double x) const { return (x + value * (n - 1.0)) / n; }
};

class WilderSmoother : public SeededSmoother<WilderFold> {
 public:
  explicit WilderSmoother(uint64_t n) : SeededSmoother(n, WilderFold{static_cast<double>(n)}) {}
};

}  // namespace ostrel
