#pragma once
// GeneralizedDema: e1·(1 + v) − e2·v of two cascaded Ema(n), v the volume
// factor.

#include <cstdint>
#include <optional>

#include "input_class.hpp"
#include "kernels/ema_cascade.hpp"
#include "result.hpp"

namespace ostrel {

class GeneralizedDema final : public CloseIndicator<GeneralizedDema> {
 public:
  // #0 n: positive integer; #1 volume factor v: real in [0, 1].
  static Result<GeneralizedDema, IndicatorError> create(uint64_t n, double v);

  std::optional<double> push(double close);
  uint64_t warmup_period() const override;

 private:
  GeneralizedDema(uint64_t n, double v) : n_(n), v_(v), one_plus_v_(1.0 + v), emas_(n) {}

  uint64_t n_;
  double v_;
  double one_plus_v_;
  EmaCascade<2> emas_;
};

}  // namespace ostrel
