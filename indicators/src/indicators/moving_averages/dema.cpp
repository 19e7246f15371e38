#include "indicators/moving_averages/dema.hpp"

#include "kernels/window_length.hpp"

namespace ostrel {

Result<Dema, IndicatorError> Dema::create(uint64_t n) {
  if (auto error = check_window_length(n)) return *error;
  return Dema(n);
}

std::optional<double> Dema::push(double close) {
  const auto e = emas_.push(close);
  if (!e) return std::nullopt;
  return 2.0 * (*e)[0] - (*e)[1];
}

uint64_t Dema::warmup_period() const { return 2 * n_ - 1; }

}  // namespace ostrel
