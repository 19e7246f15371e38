#include "indicators/moving_averages/generalized_dema.hpp"

#include <cmath>

#include "kernels/window_length.hpp"

namespace ostrel {

Result<GeneralizedDema, IndicatorError> GeneralizedDema::create(uint64_t n, double v) {
  if (auto error = check_window_length(n)) return *error;
  if (auto error = require(std::isfinite(v) && v >= 0.0 && v <= 1.0,
                           "GD volume factor must be a finite value in [0.0, 1.0]")) {
    return *error;
  }
  return GeneralizedDema(n, v);
}

std::optional<double> GeneralizedDema::push(double close) {
  const auto e = emas_.push(close);
  if (!e) return std::nullopt;
  return (*e)[0] * one_plus_v_ - (*e)[1] * v_;
}

uint64_t GeneralizedDema::warmup_period() const { return 2 * n_ - 1; }

}  // namespace ostrel
