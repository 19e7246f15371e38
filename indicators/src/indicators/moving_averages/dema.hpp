#pragma once
// Dema: double exponential moving average, 2·e1 − e2 of two cascaded Ema(n).

#include <cstdint>
#include <optional>

#include "input_class.hpp"
#include "kernels/ema_cascade.hpp"
#include "result.hpp"

namespace ostrel {

class Dema final : public CloseIndicator<Dema> {
 public:
  // #0 n: positive integer.
  static Result<Dema, IndicatorError> create(uint64_t n);

  std::optional<double> push(double close);
  uint64_t warmup_period() const override;

 private:
  explicit Dema(uint64_t n) : n_(n), emas_(n) {}

  uint64_t n_;
  EmaCascade<2> emas_;
};

}  // namespace ostrel
