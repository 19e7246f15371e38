#include "indicators/moving_averages/median_ma.hpp"

#include "kernels/window_length.hpp"

namespace ostrel {

Result<MedianMa, IndicatorError> MedianMa::create(uint64_t n) {
  if (auto error = check_window_length(n)) return *error;
  return MedianMa(n);
}

std::optional<double> MedianMa::push(double close) {
  window_.push(close);
  return window_.median();
}

uint64_t MedianMa::warmup_period() const { return window_.window().capacity(); }

}  // namespace ostrel
