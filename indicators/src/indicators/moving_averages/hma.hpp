#pragma once
// Hma: Hull moving average, a short Wma of 2·Wma(n/2) − Wma(n).

#include <cmath>
#include <cstdint>
#include <optional>

#include "indicators/moving_averages/wma.hpp"
#include "input_class.hpp"
#include "result.hpp"

namespace ostrel {

// The three lengths of a Hull average of n: half h = n/2 (1 for n ≤ 3), full
// n, and smoothing s = √n rounded half away from zero, at least 1.
struct HullLengths {
  explicit HullLengths(uint64_t n);
  uint64_t warmup() const { return full + smooth - 1; }

  uint64_t half;
  uint64_t full;
  uint64_t smooth;
};

// Once both averages exist, 2·half − full feeds the smoothing stage, whose
// output is the value. A non-finite difference is not passed on: it would stay
// in the smoothing stage's sums.
template <class Stage>
std::optional<double> hull_step(std::optional<double> half, std::optional<double> full,
                                Stage& smooth) {
  if (!half || !full) return std::nullopt;
  const double raw = 2.0 * *half - *full;
  if (!std::isfinite(raw)) return std::nullopt;
  return smooth.push(raw);
}

class Hma final : public CloseIndicator<Hma> {
 public:
  // #0 n: positive integer.
  static Result<Hma, IndicatorError> create(uint64_t n);

  std::optional<double> push(double close);
  uint64_t warmup_period() const override;

 private:
  explicit Hma(HullLengths lengths);

  HullLengths lengths_;
  Wma half_;
  Wma full_;
  Wma smooth_;  // of 2·half − full
};

}  // namespace ostrel
