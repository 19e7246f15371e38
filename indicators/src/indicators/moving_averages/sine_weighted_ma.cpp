#include "indicators/moving_averages/sine_weighted_ma.hpp"

#include <cmath>
#include <numbers>
#include <vector>

#include "kernels/window_length.hpp"

namespace ostrel {
namespace {

std::vector<double> sine_weights(uint64_t n) {
  std::vector<double> w(n);
  const double denominator = static_cast<double>(n) + 1.0;
  for (uint64_t i = 0; i < n; ++i) {
    w[i] = std::sin(static_cast<double>(i + 1) * std::numbers::pi / denominator);
  }
  return w;
}

}  // namespace

Result<SineWeightedMa, IndicatorError> SineWeightedMa::create(uint64_t n) {
  if (auto error = check_window_length(n)) return *error;
  return SineWeightedMa(n);
}

// The weights are all positive (their angles lie in (0, π)), so their sum is
// a safe divisor.
SineWeightedMa::SineWeightedMa(uint64_t n) : window_(sine_weights(n)), weight_sum_(-0.0) {
  for (double w : window_.weights()) weight_sum_ += w;
}

std::optional<double> SineWeightedMa::push(double close) {
  const std::optional<double> weighted = window_.push(close);
  if (!weighted) return std::nullopt;
  return *weighted / weight_sum_;
}

uint64_t SineWeightedMa::warmup_period() const { return window_.length(); }

}  // namespace ostrel
