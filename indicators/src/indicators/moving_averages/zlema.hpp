#pragma once
// Zlema: zero-lag exponential moving average, an Ema(n) of the close pushed
// ahead by its change over (n − 1)/2 bars.

#include <cstdint>
#include <optional>

#include "input_class.hpp"
#include "kernels/ema_smoother.hpp"
#include "kernels/value_window.hpp"
#include "result.hpp"

namespace ostrel {

class Zlema final : public CloseIndicator<Zlema> {
 public:
  // #0 n: positive integer.
  static Result<Zlema, IndicatorError> create(uint64_t n);

  std::optional<double> push(double close);
  uint64_t warmup_period() const override;

 private:
  explicit Zlema(uint64_t n) : n_(n), recent_((n - 1) / 2 + 1), ema_(n) {}

  uint64_t n_;
  ValueWindow<double> recent_;  // the last L + 1 closes, L = (n − 1)/2
  EmaSmoother ema_;
};

}  // namespace ostrel
