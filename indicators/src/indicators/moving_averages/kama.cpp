#include "indicators/moving_averages/kama.hpp"

#include <cmath>

#include "kernels/window_length.hpp"

namespace ostrel {

Result<Kama, IndicatorError> Kama::create(uint64_t e, uint64_t f, uint64_t s) {
  if (e == 0 || f == 0 || s == 0) return IndicatorError{IndicatorError::Kind::PeriodZero, {}};
  if (auto error = require(f < s, "KAMA fast period must be strictly less than slow")) return *error;
  // The window holds e + 1 closes: bound e so that this allocation is sane.
  if (auto error = check_window_length(e)) return *error;
  return Kama(e, f, s);
}

Kama::Kama(uint64_t e, uint64_t f, uint64_t s)
    : window_(e + 1),
      fast_(2.0 / (static_cast<double>(f) + 1.0)),
      slow_(2.0 / (static_cast<double>(s) + 1.0)) {}

std::optional<double> Kama::push(double close) {
  window_.push(close);
  if (!window_.full()) return std::nullopt;
  const double oldest = window_.oldest();
  const double direction = std::fabs(close - oldest);
  double volatility = -0.0;
  double previous_close = oldest;
  bool first = true;
  window_.for_each([&](double v) {
    if (!first) volatility += std::fabs(v - previous_close);
    first = false;
    previous_close = v;
  });
  const double er = volatility == 0.0 ? 0.0 : direction / volatility;
  const double k = slow_ + er * (fast_ - slow_);
  const double sc = k * k;
  const double previous = has_value_ ? value_ : oldest;
  value_ = previous + sc * (close - previous);
  has_value_ = true;
  return value_;
}

uint64_t Kama::warmup_period() const { return window_.capacity(); }

}  // namespace ostrel
