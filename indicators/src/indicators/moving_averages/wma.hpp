#pragma once
// Wma: linearly weighted moving average, weights 1 (oldest) to n (newest).

#include <cstdint>
#include <optional>

#include "input_class.hpp"
#include "kernels/value_window.hpp"
#include "result.hpp"

namespace ostrel {

class Wma final : public CloseIndicator<Wma> {
 public:
  // #0 n: positive integer.
  static Result<Wma, IndicatorError> create(uint64_t n);

  std::optional<double> push(double close);
  uint64_t warmup_period() const override;

 private:
  explicit Wma(uint64_t n);
  void recompute();

  ValueWindow<double> window_;
  double n_real_;
  double divisor_;     // n(n + 1)/2
  double plain_ = 0.0;     // sum of the window
  double weighted_ = 0.0;  // weighted sum of the window
  unsigned passes_ = 0;    // completed passes of the window since the last recompute
};

}  // namespace ostrel
