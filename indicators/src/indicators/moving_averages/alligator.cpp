#include "indicators/moving_averages/alligator.hpp"

#include "kernels/window_length.hpp"
#include "numeric.hpp"

namespace ostrel {

Result<Alligator, IndicatorError> Alligator::create(uint64_t jaw, uint64_t teeth, uint64_t lips) {
  // Any zero first, then each period against MAX_PERIOD in order.
  if (jaw == 0 || teeth == 0 || lips == 0) {
    return IndicatorError{IndicatorError::Kind::PeriodZero, {}};
  }
  if (auto error = check_window_lengths({jaw, teeth, lips})) return *error;
  return Alligator(jaw, teeth, lips);
}

std::optional<double> Alligator::push(const Candle& candle) {
  const double mid = midpoint(candle.high, candle.low);
  // All three lines are fed every bar, whichever is still seeding.
  const std::optional<double> jaw = jaw_.push(mid);
  const std::optional<double> teeth = teeth_.push(mid);
  const std::optional<double> lips = lips_.push(mid);
  if (!jaw || !teeth || !lips) return std::nullopt;
  return components_.set({*jaw, *teeth, *lips});
}

std::span<const NamedOutput> Alligator::outputs() const { return components_.view(); }

uint64_t Alligator::warmup_period() const { return warmup_; }

}  // namespace ostrel
