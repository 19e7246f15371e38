#include "indicators/moving_averages/t3.hpp"

#include <cmath>

#include "kernels/window_length.hpp"

namespace ostrel {

Result<T3, IndicatorError> T3::create(uint64_t n, double v) {
  if (auto error = check_window_length(n)) return *error;
  if (auto error = require(std::isfinite(v) && v >= 0.0 && v <= 1.0,
                           "T3 volume factor must be a finite value in [0.0, 1.0]")) {
    return *error;
  }
  return T3(n, v);
}

T3::T3(uint64_t n, double v) : n_(n), emas_(n) {
  const double v2 = v * v;
  const double v3 = v * v * v;
  c6_ = -v3;
  c5_ = 3.0 * v2 + 3.0 * v3;
  c4_ = -6.0 * v2 - 3.0 * v - 3.0 * v3;
  c3_ = 1.0 + 3.0 * v + v3 + 3.0 * v2;
}

std::optional<double> T3::push(double close) {
  const auto e = emas_.push(close);
  if (!e) return std::nullopt;
  return c6_ * (*e)[5] + c5_ * (*e)[4] + c4_ * (*e)[3] + c3_ * (*e)[2];
}

uint64_t T3::warmup_period() const { return 6 * n_ - 5; }

}  // namespace ostrel
