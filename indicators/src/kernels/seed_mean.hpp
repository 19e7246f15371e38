#pragma once
// The mean of the first n inputs, the seed of the exponential and Wilder
// smoothers.

#include <cstdint>
#include <optional>

namespace ostrel {

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

}  // namespace ostrel
