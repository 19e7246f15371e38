#pragma once
// HoltWinters: double exponential smoothing of the close with a level and a
// linear trend; the value is the one-bar-ahead forecast level + trend.

#include <cstdint>
#include <optional>

#include "input_class.hpp"
#include "result.hpp"

namespace ostrel {

class HoltWinters final : public CloseIndicator<HoltWinters> {
 public:
  // #0 alpha: real in (0, 1]; #1 beta: real in (0, 1].
  static Result<HoltWinters, IndicatorError> create(double alpha, double beta);

  std::optional<double> push(double close);
  uint64_t warmup_period() const override;

 private:
  HoltWinters(double alpha, double beta) : alpha_(alpha), beta_(beta) {}

  double alpha_;
  double beta_;
  double first_ = 0.0;
  double level_ = 0.0;
  double trend_ = 0.0;
  uint64_t closes_ = 0;  // counts to 2
};

}  // namespace ostrel
