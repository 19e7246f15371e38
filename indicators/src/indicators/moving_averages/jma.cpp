#include "indicators/moving_averages/jma.hpp"

#include <cmath>

#include "kernels/integer_power.hpp"
#include "kernels/window_length.hpp"

namespace ostrel {

Result<Jma, IndicatorError> Jma::create(uint64_t n, double phase, uint32_t power) {
  if (auto error = check_window_length(n)) return *error;
  if (auto error = require(std::isfinite(phase), "JMA phase must be a finite value")) return *error;
  if (auto error = require(power >= 1 && power <= 4, "JMA power must be in 1..=4")) return *error;
  return Jma(n, phase, power);
}

Jma::Jma(uint64_t n, double phase, uint32_t power) {
  const double spread = 0.45 * static_cast<double>(n - 1);
  beta_ = spread / (spread + 2.0);
  alpha_ = integer_power(beta_, power);
  ratio_ = std::fmin(std::fmax(phase / 100.0 + 1.5, 0.5), 2.5);
}

std::optional<double> Jma::push(double close) {
  if (!has_value_) {
    e0_ = close;
    value_ = close;
    has_value_ = true;
    return value_;
  }
  e0_ = (1.0 - alpha_) * close + alpha_ * e0_;
  e1_ = (close - e0_) * (1.0 - beta_) + beta_ * e1_;
  e2_ = alpha_ * alpha_ * e2_ + (1.0 - alpha_) * (1.0 - alpha_) * (e0_ + ratio_ * e1_ - value_);
  value_ = value_ + e2_;
  return value_;
}

uint64_t Jma::warmup_period() const { return 1; }

}  // namespace ostrel
