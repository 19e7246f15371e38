#pragma once
// Smoothers seeded by the mean of their first n inputs: the exponential and
// Wilder smoothers share the seed and differ in how they fold later inputs.

#include <cstdint>
#include <optional>

namespace ostrel {

// The mean of the first n inputs.
class SeedMean {
 public:
  explicit SeedMean(uint64_t n) : n_(n) {}

  // The mean on the n-th push; none before. Not pushed after that.
  std::optional<double> push(double x) {
    sum_ += x;
    if (++count_ < n_) return std::nullopt;
    return sum_ / static_cast<double>(count_);
  }

 private:
  uint64_t n_;
  double sum_ = 0.0;
  uint64_t count_ = 0;
};

// Nothing until the seed is complete; then fold(value, x) for every input.
template <class Fold>
class SeededSmoother {
 public:
  SeededSmoother(uint64_t n, Fold fold) : seed_(n), fold_(fold) {}

  std::optional<double> push(double x) {
    if (seeded_) {
      value_ = fold_(value_, x);
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
  Fold fold_;
  bool seeded_ = false;
  double value_ = 0.0;
};

}  // namespace ostrel
