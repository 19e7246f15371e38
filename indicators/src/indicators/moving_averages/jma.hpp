#pragma once
// Jma: adaptive three-stage filter of the close with a phase and a power that
// shape its lag and smoothness.

#include <cstdint>
#include <optional>

#include "input_class.hpp"
#include "result.hpp"

namespace ostrel {

class Jma final : public CloseIndicator<Jma> {
 public:
  // #0 n: positive integer; #1 phase: real; #2 power: unsigned 32-bit integer
  // in 1..4.
  static Result<Jma, IndicatorError> create(uint64_t n, double phase, uint32_t power);

  std::optional<double> push(double close);
  uint64_t warmup_period() const override;

 private:
  Jma(uint64_t n, double phase, uint32_t power);

  double beta_;
  double alpha_;  // beta to the power
  double ratio_;  // phase/100 + 1.5, limited to [0.5, 2.5]
  double e0_ = 0.0;
  double e1_ = 0.0;
  double e2_ = 0.0;
  double value_ = 0.0;
  bool has_value_ = false;
};

}  // namespace ostrel
