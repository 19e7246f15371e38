#pragma once
// Ehma: exponential Hull moving average, an Ema(√n) of 2·Ema(n/2) − Ema(n).

#include <cstdint>
#include <optional>

#include "indicators/moving_averages/hma.hpp"
#include "input_class.hpp"
#include "kernels/ema_smoother.hpp"
#include "result.hpp"

namespace ostrel {

class Ehma final : public CloseIndicator<Ehma> {
 public:
  // #0 n: positive integer.
  static Result<Ehma, IndicatorError> create(uint64_t n);

  std::optional<double> push(double close);
  uint64_t warmup_period() const override;

 private:
  explicit Ehma(HullLengths lengths)
      : lengths_(lengths), half_(lengths.half), full_(lengths.full), smooth_(lengths.smooth) {}

  HullLengths lengths_;
  EmaSmoother half_;
  EmaSmoother full_;
  EmaSmoother smooth_;  // of 2·half − full
};

}  // namespace ostrel
