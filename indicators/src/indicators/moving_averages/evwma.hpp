#pragma once
// Evwma: elastic volume-weighted moving average; each bar moves the average
// toward its close by the bar's share of the window's volume.

#include <cstdint>
#include <optional>

#include "input_class.hpp"
#include "kernels/window_sum.hpp"
#include "records.hpp"
#include "result.hpp"

namespace ostrel {

class Evwma final : public CandleIndicator<Evwma> {
 public:
  // #0 n: positive integer.
  static Result<Evwma, IndicatorError> create(uint64_t n);

  std::optional<double> push(const Candle& candle);
  uint64_t warmup_period() const override;

 private:
  explicit Evwma(uint64_t n) : volume_(n) {}

  WindowSum volume_;  // the last n volumes
  double value_ = 0.0;
  bool has_value_ = false;
};

}  // namespace ostrel
