#include "indicators/moving_averages/tema.hpp"

#include "kernels/window_length.hpp"

namespace ostrel {

Result<Tema, IndicatorError> Tema::create(uint64_t n) {
  if (auto error = check_window_length(n)) return *error;
  return Tema(n);
}

std::optional<double> Tema::push(double close) {
  const auto e = emas_.push(close);
  if (!e) return std::nullopt;
  return 3.0 * (*e)[0] - 3.0 * (*e)[1] + (*e)[2];
}

uint64_t Tema::warmup_period() const { return 3 * n_ - 2; }

}  // namespace ostrel
