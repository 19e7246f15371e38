#include "indicators/moving_averages/mcginley_dynamic.hpp"

#include "kernels/integer_power.hpp"
#include "kernels/window_length.hpp"

namespace ostrel {

Result<McGinleyDynamic, IndicatorError> McGinleyDynamic::create(uint64_t n) {
  if (auto error = check_window_length(n)) return *error;
  return McGinleyDynamic(n);
}

std::optional<double> McGinleyDynamic::push(double close) {
  if (seed_count_ < n_) {
    seed_sum_ = close + seed_sum_;
    if (++seed_count_ < n_) return std::nullopt;
    value_ = seed_sum_ / n_real_;
    return value_;
  }
  // The ratio close/value is only meaningful for positive prices; otherwise
  // the value is kept.
  if (close > 0.0 && value_ > 0.0) {
    value_ = value_ + (close - value_) / (0.6 * n_real_ * integer_power(close / value_, 4));
  }
  return value_;
}

uint64_t McGinleyDynamic::warmup_period() const { return n_; }

}  // namespace ostrel
