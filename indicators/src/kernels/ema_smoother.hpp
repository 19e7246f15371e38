#pragma once
// Exponential smoother seeded by the mean of its first n inputs; each later
// input is folded in with one fused multiply-add.

#include <cmath>
#include <cstdint>
#include <optional>

namespace ostrel {

class EmaSmoother {
 public:
  explicit EmaSmoother(uint64_t n)
      : n_(n), alpha_(2.0 / (static_cast<double>(n) + 1.0)), beta_(1.0 - alpha_) {}

  std::optional<double> push(double x) {
    if (seeded_) {
      value_ = std::fma(alpha_, x, beta_ * value_);
      return value_;
    }
    seed_sum_ += x;
    if (++seed_count_ < n_) return std::nullopt;
    value_ = seed_sum_ / static_cast<double>(seed_count_);
    seeded_ = true;
    return value_;
  }

  bool seeded() const { return seeded_; }
  double value() const { return value_; }

 private:
  uint64_t n_;
  double alpha_;
  double beta_;
  double seed_sum_ = 0.0;
  uint64_t seed_count_ = 0;
  bool seeded_ = false;
  double value_ = 0.0;
};

}  // namespace ostrel
