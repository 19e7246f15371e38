#include "indicators/moving_averages/trima.hpp"

#include "kernels/window_length.hpp"

namespace ostrel {

Result<Trima, IndicatorError> Trima::create(uint64_t n) {
  if (auto error = check_window_length(n)) return *error;
  return Trima(n);
}

std::optional<double> Trima::push(double close) {
  first_.push(close);
  const std::optional<double> inner = first_.mean();
  if (!inner) return std::nullopt;
  second_.push(*inner);
  return second_.mean();
}

uint64_t Trima::warmup_period() const { return n_; }

}  // namespace ostrel
