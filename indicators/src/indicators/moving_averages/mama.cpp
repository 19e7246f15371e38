#include "indicators/moving_averages/mama.hpp"

#include <cmath>

#include "kernels/window_length.hpp"
#include "numeric.hpp"

namespace ostrel {

std::optional<IndicatorError> MamaCore::check_limits(double fast, double slow) {
  return require(std::isfinite(fast) && std::isfinite(slow) && 0.0 < slow && slow <= fast &&
                     fast <= 1.0,
                 "fast_limit, slow_limit must satisfy 0 < slow_limit <= fast_limit <= 1");
}

bool MamaCore::push(double close) {
  const HilbertCycle::Stage stage = cycle_.push(close);
  if (stage == HilbertCycle::Stage::Smoothing) {
    // Until the smoothing ring is full both averages follow the smooth value.
    mama_ = cycle_.smooth()[0];
    fama_ = mama_;
  } else if (stage == HilbertCycle::Stage::Complete) {
    const double previous_phase = phase_;
    if (std::fabs(cycle_.i1()) > kEpsilon) {
      phase_ = std::atan(cycle_.q1() / cycle_.i1()) * 57.29577951308232;
    }
    const double delta = std::fmax(previous_phase - phase_, 1.0);
    const double alpha = std::fmax(fast_ / delta, slow_);
    mama_ = alpha * close + (1.0 - alpha) * mama_;
    fama_ = 0.5 * alpha * mama_ + (1.0 - 0.5 * alpha) * fama_;
  }
  return cycle_.closes() >= kWarmup;
}

Result<Mama, IndicatorError> Mama::create(double fast, double slow) {
  if (auto error = MamaCore::check_limits(fast, slow)) return *error;
  return Mama(fast, slow);
}

std::optional<double> Mama::push(double close) {
  if (!core_.push(close)) return std::nullopt;
  return components_.set({core_.mama(), core_.fama()});
}

std::span<const NamedOutput> Mama::outputs() const { return components_.view(); }

uint64_t Mama::warmup_period() const { return MamaCore::kWarmup; }

}  // namespace ostrel
