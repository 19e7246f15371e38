#include "indicators/moving_averages/evwma.hpp"

#include "kernels/window_length.hpp"

namespace ostrel {

Result<Evwma, IndicatorError> Evwma::create(uint64_t n) {
  if (auto error = check_window_length(n)) return *error;
  return Evwma(n);
}

std::optional<double> Evwma::push(const Candle& candle) {
  volume_.push(candle.volume);
  if (!volume_.full()) return std::nullopt;
  const double total = volume_.sum();
  const double previous = has_value_ ? value_ : candle.close;
  // A window without volume gives no weights: the average stays where it is.
  if (total > 0.0) {
    value_ = (candle.close * candle.volume + (total - candle.volume) * previous) / total;
  } else {
    value_ = previous;
  }
  has_value_ = true;
  return value_;
}

uint64_t Evwma::warmup_period() const { return volume_.window().capacity(); }

}  // namespace ostrel
