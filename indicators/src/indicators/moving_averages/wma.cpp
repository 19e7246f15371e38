#include "indicators/moving_averages/wma.hpp"

#include "kernels/window_length.hpp"

namespace ostrel {

Result<Wma, IndicatorError> Wma::create(uint64_t n) {
  if (auto error = check_window_length(n)) return *error;
  return Wma(n);
}

Wma::Wma(uint64_t n)
    : window_(n), n_real_(static_cast<double>(n)), divisor_(static_cast<double>(n * (n + 1) / 2)) {}

std::optional<double> Wma::push(double close) {
  const bool was_full = window_.full();
  if (was_full) {
    weighted_ = weighted_ - plain_ + n_real_ * close;
    plain_ = plain_ - window_.oldest() + close;
  }
  const bool pass = window_.push(close);
  if (!window_.full()) return std::nullopt;
  // The first value comes from a direct computation; later ones are exact
  // again every 16 passes, which bounds the incremental drift.
  const bool due = pass && ++passes_ == 16;
  if (due) passes_ = 0;
  if (due || !was_full) recompute();
  return weighted_ / divisor_;
}

void Wma::recompute() {
  plain_ = 0.0;
  weighted_ = 0.0;
  double weight = 1.0;
  window_.for_each([&](double v) {
    plain_ += v;
    weighted_ += weight * v;
    weight += 1.0;
  });
}

uint64_t Wma::warmup_period() const { return window_.capacity(); }

}  // namespace ostrel
