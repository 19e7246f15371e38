#include "indicators/moving_averages/ema.hpp"

#include "kernels/window_length.hpp"

namespace ostrel {

Result<Ema, IndicatorError> Ema::create(uint64_t n) {
  if (auto error = check_window_length(n)) return *error;
  return Ema(n);
}

std::optional<double> Ema::push(double close) { return ema_.push(close); }

uint64_t Ema::warmup_period() const { return n_; }

}  // namespace ostrel
