#pragma once
// GeometricMa: geometric mean of the last n positive closes, as the
// exponential of the mean of their logarithms.

#include <cstdint>
#include <optional>

#include "input_class.hpp"
#include "kernels/window_sum.hpp"
#include "result.hpp"

namespace ostrel {

class GeometricMa final : public CloseIndicator<GeometricMa> {
 public:
  // #0 n: positive integer.
  static Result<GeometricMa, IndicatorError> create(uint64_t n);

  std::optional<double> push(double close);
  uint64_t warmup_period() const override;

 private:
  explicit GeometricMa(uint64_t n) : logs_(n, 1) {}

  WindowSum logs_;  // recomputed exactly every n pushes
};

}  // namespace ostrel
