#pragma once
// Wilder's smoother: the mean of the first n inputs, then
// (x + value·(n − 1)) / n.

#include <cstdint>
#include <optional>

namespace ostrel {

class WilderSmoother {
 public:
  explicit WilderSmoother(uint64_t n) : n_(n), n_real_(static_cast<double>(n)) {}

  std::optional<double> push(double x) {
    if (seeded_) {
      value_ = (x + value_ * (n_real_ - 1.0)) / n_real_;
      return value_;
    }
    // The seed window is never pushed past full, so its sum is all it needs.
    seed_sum_ += x;
    if (++seed_count_ < n_) return std::nullopt;
    value_ = seed_sum_ / n_real_;
    seeded_ = true;
    return value_;
  }

  bool seeded() const { return seeded_; }
  double value() const { return value_; }

 private:
  uint64_t n_;
  double n_real_;
  double seed_sum_ = 0.0;
  uint64_t seed_count_ = 0;
  bool seeded_ = false;
  double value_ = 0.0;
};

}  // namespace ostrel
