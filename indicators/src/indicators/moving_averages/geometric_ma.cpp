#include "indicators/moving_averages/geometric_ma.hpp"

#include <cmath>

#include "kernels/window_length.hpp"

namespace ostrel {

Result<GeometricMa, IndicatorError> GeometricMa::create(uint64_t n) {
  if (auto error = check_window_length(n)) return *error;
  return GeometricMa(n);
}

std::optional<double> GeometricMa::push(double close) {
  // Only positive closes have a logarithm; others are not counted at all.
  if (!(close > 0.0)) return std::nullopt;
  logs_.push(std::log(close));
  const std::optional<double> mean = logs_.mean();
  if (!mean) return std::nullopt;
  return std::exp(*mean);
}

uint64_t GeometricMa::warmup_period() const { return logs_.window().capacity(); }

}  // namespace ostrel
