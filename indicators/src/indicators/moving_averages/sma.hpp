#pragma once
// Sma: the mean of the last n closes.

#include <cstdint>
#include <optional>

#include "input_class.hpp"
#include "kernels/window_sum.hpp"
#include "result.hpp"

namespace ostrel {

class Sma final : public CloseIndicator<Sma> {
 public:
  // #0 n: positive integer.
  static Result<Sma, IndicatorError> create(uint64_t n);

  std::optional<double> push(double close);
  uint64_t warmup_period() const override;

 private:
  explicit Sma(uint64_t n) : sum_(n) {}

  WindowSum sum_;
};

}  // namespace ostrel
