#pragma once
// SineWeightedMa: moving average under the weights sin((i + 1)·π/(n + 1)),
// oldest first.

#include <cstdint>
#include <optional>

#include "input_class.hpp"
#include "kernels/weighted_window.hpp"
#include "result.hpp"

namespace ostrel {

class SineWeightedMa final : public CloseIndicator<SineWeightedMa> {
 public:
  // #0 n: positive integer.
  static Result<SineWeightedMa, IndicatorError> create(uint64_t n);

  std::optional<double> push(double close);
  uint64_t warmup_period() const override;

 private:
  explicit SineWeightedMa(uint64_t n);

  WeightedWindow window_;
  double weight_sum_;
};

}  // namespace ostrel
