#pragma once
// Exponential smoother seeded by the mean of its first n inputs; each later
// input is folded in with one fused multiply-add of alpha and x onto the
// product beta·value.

#include <cmath>
#include <cstdint>

#include "kernels/seed_mean.hpp"

namespace ostrel {

struct EmaFold {
  double alpha;
  double beta;
  double operator()(double value, double x) const { return std::fma(alpha, x, beta * value); }
};

inline EmaFold ema_fold(uint64_t n) {
  const double alpha = 2.0 / (static_cast<double>(n) + 1.0);
  return {alpha, 1.0 - alpha};
}

class EmaSmoother : public SeededSmoother<EmaFold> {
 public:
  explicit EmaSmoother(uint64_t n) : SeededSmoother(n, ema_fold(n)) {}
};

}  // namespace ostrel
