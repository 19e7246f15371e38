#pragma once
// Trima: triangular moving average, an Sma of an Sma of the close.

#include <cstdint>
#include <optional>

#include "input_class.hpp"
#include "kernels/window_sum.hpp"
#include "result.hpp"

namespace ostrel {

class Trima final : public CloseIndicator<Trima> {
 public:
  // #0 n: positive integer.
  static Result<Trima, IndicatorError> create(uint64_t n);

  std::optional<double> push(double close);
  uint64_t warmup_period() const override;

 private:
  explicit Trima(uint64_t n) : n_(n), first_(n - n / 2), second_(n / 2 + 1) {}

  uint64_t n_;
  WindowSum first_;   // Sma(n − n/2) of the close
  WindowSum second_;  // Sma(n/2 + 1) of the first
};

}  // namespace ostrel
