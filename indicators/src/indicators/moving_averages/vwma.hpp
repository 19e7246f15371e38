#pragma once
// Vwma: volume-weighted mean of the last n closes; the plain mean when the
// window holds no volume.

#include <cstdint>
#include <optional>

#include "input_class.hpp"
#include "kernels/window_sum.hpp"
#include "records.hpp"
#include "result.hpp"

namespace ostrel {

class Vwma final : public CandleIndicator<Vwma> {
 public:
  // #0 n: positive integer.
  static Result<Vwma, IndicatorError> create(uint64_t n);

  std::optional<double> push(const Candle& candle);
  uint64_t warmup_period() const override;

 private:
  explicit Vwma(uint64_t n) : weighted_(n, 1), volume_(n, 1), close_(n, 1) {}

  // All three recomputed exactly every n pushes.
  WindowSum weighted_;  // close·volume
  WindowSum volume_;
  WindowSum close_;
};

}  // namespace ostrel
