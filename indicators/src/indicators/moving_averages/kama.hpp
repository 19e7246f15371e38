#pragma once
// Kama: adaptive moving average whose smoothing follows the efficiency ratio
// of the last e bars (net move over the sum of the bar-to-bar moves).

#include <cstdint>
#include <optional>

#include "input_class.hpp"
#include "kernels/value_window.hpp"
#include "result.hpp"

namespace ostrel {

class Kama final : public CloseIndicator<Kama> {
 public:
  // #0 efficiency period e, #1 fast period f, #2 slow period s: positive
  // integers, f < s.
  static Result<Kama, IndicatorError> create(uint64_t e, uint64_t f, uint64_t s);

  std::optional<double> push(double close);
  uint64_t warmup_period() const override;

 private:
  Kama(uint64_t e, uint64_t f, uint64_t s);

  ValueWindow<double> window_;  // the last e + 1 closes
  double fast_;                 // 2/(f + 1)
  double slow_;                 // 2/(s + 1)
  double value_ = 0.0;
  bool has_value_ = false;
};

}  // namespace ostrel
