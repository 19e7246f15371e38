#include "indicators/moving_averages/ma_envelope.hpp"

#include "kernels/window_length.hpp"

namespace ostrel {

Result<MaEnvelope, IndicatorError> MaEnvelope::create(uint64_t n, double fraction) {
  if (auto error = check_window_length(n)) return *error;
  return MaEnvelope(n, fraction);
}

std::optional<double> MaEnvelope::push(double close) {
  sum_.push(close);
  const std::optional<double> middle = sum_.mean();
  if (!middle) return std::nullopt;
  return components_.set({*middle * up_, *middle, *middle * down_});
}

std::span<const NamedOutput> MaEnvelope::outputs() const { return components_.view(); }

uint64_t MaEnvelope::warmup_period() const { return sum_.window().capacity(); }

}  // namespace ostrel
