#include "indicators/moving_averages/sma.hpp"

#include "kernels/window_length.hpp"

namespace ostrel {

Result<Sma, IndicatorError> Sma::create(uint64_t n) {
  if (auto error = check_window_length(n)) return *error;
  return Sma(n);
}

std::optional<double> Sma::push(double close) {
  sum_.push(close);
  return sum_.mean();
}

uint64_t Sma::warmup_period() const { return sum_.window().capacity(); }

}  // namespace ostrel
