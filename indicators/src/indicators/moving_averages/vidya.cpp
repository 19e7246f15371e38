#include "indicators/moving_averages/vidya.hpp"

#include <cmath>

#include "kernels/window_length.hpp"

namespace ostrel {

std::optional<double> ChandeMomentum::push(double close) {
  const bool had_previous = has_previous_;
  const double previous = previous_;
  previous_ = close;
  has_previous_ = true;
  if (!had_previous) return std::nullopt;
  gains_.push(std::fmax(close - previous, 0.0));
  losses_.push(std::fmax(previous - close, 0.0));
  if (!gains_.full()) return std::nullopt;
  const double total = gains_.sum() + losses_.sum();
  if (total == 0.0) return 0.0;
  return (gains_.sum() - losses_.sum()) * 100.0 / total;
}

Result<Vidya, IndicatorError> Vidya::create(uint64_t p, uint64_t m) {
  if (p == 0 || m == 0) return IndicatorError{IndicatorError::Kind::PeriodZero, {}};
  // The smoothing period only enters 2/(p + 1); the momentum period sizes the window.
  if (auto error = check_window_length(m)) return *error;
  return Vidya(p, m);
}

Vidya::Vidya(uint64_t p, uint64_t m)
    : m_(m), smoothing_(2.0 / (static_cast<double>(p) + 1.0)), cmo_(m) {}

std::optional<double> Vidya::push(double close) {
  const std::optional<double> cmo = cmo_.push(close);
  if (!cmo) return std::nullopt;
  const double k = std::fabs(*cmo) / 100.0 * smoothing_;
  const double previous = has_value_ ? value_ : close;
  value_ = k * close + (1.0 - k) * previous;
  has_value_ = true;
  return value_;
}

uint64_t Vidya::warmup_period() const { return m_ + 1; }

}  // namespace ostrel
