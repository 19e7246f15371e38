#include "indicators/moving_averages/fama.hpp"

namespace ostrel {

Result<Fama, IndicatorError> Fama::create(double fast, double slow) {
  if (auto error = MamaCore::check_limits(fast, slow)) return *error;
  return Fama(fast, slow);
}

std::optional<double> Fama::push(double close) {
  if (!core_.push(close)) return std::nullopt;
  return core_.fama();
}

uint64_t Fama::warmup_period() const { return MamaCore::kWarmup; }

}  // namespace ostrel
