#pragma once
// Fama: the following adaptive moving average of Mama, published alone.

#include <cstdint>
#include <optional>

#include "indicators/moving_averages/mama.hpp"
#include "input_class.hpp"
#include "result.hpp"

namespace ostrel {

class Fama final : public CloseIndicator<Fama> {
 public:
  // #0 fast limit: real; #1 slow limit: real.
  static Result<Fama, IndicatorError> create(double fast, double slow);

  std::optional<double> push(double close);
  uint64_t warmup_period() const override;

 private:
  Fama(double fast, double slow) : core_(fast, slow) {}

  MamaCore core_;
};

}  // namespace ostrel
