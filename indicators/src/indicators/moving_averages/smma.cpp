#include "indicators/moving_averages/smma.hpp"

#include "kernels/window_length.hpp"

namespace ostrel {

Result<Smma, IndicatorError> Smma::create(uint64_t n) {
  if (auto error = check_window_length(n)) return *error;
  return Smma(n);
}

std::optional<double> Smma::push(double close) { return smma_.push(close); }

uint64_t Smma::warmup_period() const { return n_; }

}  // namespace ostrel
