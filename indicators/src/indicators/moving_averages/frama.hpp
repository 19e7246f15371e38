#pragma once
// Frama: fractal adaptive moving average; the smoothing follows the fractal
// dimension of the window, estimated from the ranges of its two halves and of
// the whole.

#include <cstdint>
#include <optional>

#include "input_class.hpp"
#include "kernels/value_window.hpp"
#include "kernels/window_extremes.hpp"
#include "result.hpp"

namespace ostrel {

class Frama final : public CloseIndicator<Frama> {
 public:
  // #0 n: positive integer, even, at least 2.
  static Result<Frama, IndicatorError> create(uint64_t n);

  std::optional<double> push(double close);
  uint64_t warmup_period() const override;

 private:
  explicit Frama(uint64_t n);

  uint64_t n_;
  uint64_t half_;
  double half_real_;
  double n_real_;
  uint64_t closes_ = 0;
  ValueWindow<double> recent_;  // the last n/2 + 1 closes
  // The extremes of the two halves; those of the whole window follow from them.
  MonotonicMax newer_max_;
  MonotonicMin newer_min_;
  MonotonicMax older_max_;  // fed with the close leaving the newer half
  MonotonicMin older_min_;
  double value_ = 0.0;
  bool has_value_ = false;
};

}  // namespace ostrel
