#include "indicators/moving_averages/frama.hpp"

#include <cmath>
#include <numbers>

#include "kernels/window_length.hpp"

namespace ostrel {

Result<Frama, IndicatorError> Frama::create(uint64_t n) {
  if (auto error = check_window_length(n)) return *error;
  if (auto error = require(n != 1, "FRAMA period must be at least 2")) return *error;
  if (auto error = require(n % 2 == 0, "FRAMA period must be even")) return *error;
  return Frama(n);
}

Frama::Frama(uint64_t n)
    : n_(n),
      half_(n / 2),
      half_real_(static_cast<double>(n / 2)),
      n_real_(static_cast<double>(n)),
      recent_(n / 2 + 1),
      newer_max_(n / 2),
      newer_min_(n / 2),
      older_max_(n / 2),
      older_min_(n / 2) {}

std::optional<double> Frama::push(double close) {
  recent_.push(close);
  newer_max_.push(close);
  newer_min_.push(close);
  if (recent_.full()) {
    const double leaving_newer = recent_.oldest();
    older_max_.push(leaving_newer);
    older_min_.push(leaving_newer);
  }
  if (closes_ < n_) ++closes_;
  if (closes_ < n_) return std::nullopt;
  const double older_max = older_max_.value(), older_min = older_min_.value();
  const double newer_max = newer_max_.value(), newer_min = newer_min_.value();
  const double n1 = (older_max - older_min) / half_real_;
  const double n2 = (newer_max - newer_min) / half_real_;
  const double n3 = (std::fmax(older_max, newer_max) - std::fmin(older_min, newer_min)) / n_real_;
  double alpha = 0.01;
  if (n3 > 0.0 && n2 > 0.0 && n1 > 0.0) {
    const double d = (std::log(n1 + n2) - std::log(n3)) / std::numbers::ln2;
    alpha = std::fmin(std::fmax(std::exp(-4.6 * (d - 1.0)), 0.01), 1.0);
  }
  const double previous = has_value_ ? value_ : close;
  value_ = alpha * close + (1.0 - alpha) * previous;
  has_value_ = true;
  return value_;
}

uint64_t Frama::warmup_period() const { return n_; }

}  // namespace ostrel
