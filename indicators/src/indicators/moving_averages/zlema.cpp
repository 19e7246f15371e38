#include "indicators/moving_averages/zlema.hpp"

#include <cmath>

#include "kernels/window_length.hpp"

namespace ostrel {

Result<Zlema, IndicatorError> Zlema::create(uint64_t n) {
  if (auto error = check_window_length(n)) return *error;
  return Zlema(n);
}

std::optional<double> Zlema::push(double close) {
  recent_.push(close);
  if (!recent_.full()) return std::nullopt;
  const double ahead = std::fma(2.0, close, -recent_.oldest());
  // A non-finite input would stay in the Ema for good; it is not passed on.
  if (!std::isfinite(ahead)) return std::nullopt;
  return ema_.push(ahead);
}

uint64_t Zlema::warmup_period() const { return n_ + (n_ - 1) / 2; }

}  // namespace ostrel
