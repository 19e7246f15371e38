#pragma once
// Wilder's smoother: the mean of the first n inputs, then
// (x + value·(n − 1)) / n.

#include <cstdint>
#include <optional>

#include "kernels/seed_mean.hpp"

namespace ostrel {

class WilderSmoother {
 public:
  explicit WilderSmoother(uint64_t n) : seed_(n), n_real_(static_cast<double>(n)) {}

  std::optional<double> push(double x) {
    if (seeded_) {
      value_ = (x + value_ * (n_real_ - 1.0)) / n_real_;
      return value_;
    }
    // The seed window is never pushed past full, so its sum is all it needs.
    std::optional<double> seed = seed_.push(x);
    if (!seed) return std::nullopt;
    value_ = *seed;
    seeded_ = true;
    return value_;
  }

  bool seeded() const { return seeded_; }
  double value() const { return value_; }

 private:
  SeedMean seed_;
  double n_real_;
  bool seeded_ = false;
  double value_ = 0.0;
};

}  // namespace ostrel
