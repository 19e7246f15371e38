#pragma once
// Ema: exponential moving average of the close, seeded by the mean of the
// first n closes.

#include <cstdint>
#include <optional>

#include "input_class.hpp"
#include "kernels/ema_smoother.hpp"
#include "result.hpp"

namespace ostrel {

class Ema final : public CloseIndicator<Ema> {
 public:
  // #0 n: positive integer.
  static Result<Ema, IndicatorError> create(uint64_t n);

  std::optional<double> push(double close);
  uint64_t warmup_period() const override;

 private:
  explicit Ema(uint64_t n) : n_(n), ema_(n) {}

  uint64_t n_;
  EmaSmoother ema_;
};

}  // namespace ostrel
