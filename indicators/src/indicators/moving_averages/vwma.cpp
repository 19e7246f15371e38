#include "indicators/moving_averages/vwma.hpp"

#include "kernels/window_length.hpp"

namespace ostrel {

Result<Vwma, IndicatorError> Vwma::create(uint64_t n) {
  if (auto error = check_window_length(n)) return *error;
  return Vwma(n);
}

std::optional<double> Vwma::push(const Candle& candle) {
  weighted_.push(candle.close * candle.volume);
  volume_.push(candle.volume);
  close_.push(candle.close);
  if (!volume_.full()) return std::nullopt;
  if (volume_.sum() > 0.0) return weighted_.sum() / volume_.sum();
  return close_.mean();
}

uint64_t Vwma::warmup_period() const { return volume_.window().capacity(); }

}  // namespace ostrel
