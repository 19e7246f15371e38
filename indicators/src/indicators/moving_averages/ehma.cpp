#include "indicators/moving_averages/ehma.hpp"

#include "kernels/window_length.hpp"

namespace ostrel {

Result<Ehma, IndicatorError> Ehma::create(uint64_t n) {
  if (auto error = check_window_length(n)) return *error;
  return Ehma(HullLengths(n));
}

std::optional<double> Ehma::push(double close) {
  // Both stages run on every close, also while the other is still seeding.
  return hull_step(half_.push(close), full_.push(close), smooth_);
}

uint64_t Ehma::warmup_period() const { return lengths_.warmup(); }

}  // namespace ostrel
