#pragma once
// Smma: Wilder's smoothed moving average of the close, seeded by the mean
// of the first n closes.

#include <cstdint>
#include <optional>

#include "input_class.hpp"
#include "kernels/wilder_smoother.hpp"
#include "result.hpp"

namespace ostrel {

class Smma final : public CloseIndicator<Smma> {
 public:
  // #0 n: positive integer.
  static Result<Smma, IndicatorError> create(uint64_t n);

  std::optional<double> push(double close);
  uint64_t warmup_period() const override;

 private:
  explicit Smma(uint64_t n) : n_(n), smma_(n) {}

  uint64_t n_;
  WilderSmoother smma_;
};

}  // namespace ostrel
