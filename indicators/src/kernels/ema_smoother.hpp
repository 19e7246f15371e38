#pragma once
// Exponential smoother seeded by the mean of its first n inputs; each later
// input is folded in with one fused multiply-add.

#include <cmath>
#include <cstdint>
#include <optional>

#include "kernels/seed_mean.hpp"

namespace ostrel {

class EmaSmoother {
 public:
  explicit EmaSmoother(uint64_t n)
      : seed_(n), alpha_(2.0 / (static_cast<double>(n) + 1.0)), beta_(1.0 - alpha_) {}

  std::optional<double> push(double x) {
    if (seeded_) {
      value_ = std::fma(alpha_, x, beta_ * value_);
      return value_;
    }
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
  double alpha_;
  double beta_;
  bool seeded_ = false;
  double value_ = 0.0;
};

}  // namespace ostrel
