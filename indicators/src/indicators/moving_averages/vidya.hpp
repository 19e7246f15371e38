#pragma once
// Vidya: variable index dynamic average; an exponential average whose
// smoothing constant is scaled by the absolute Chande momentum of the last m
// closes.

#include <cstdint>
#include <optional>

#include "input_class.hpp"
#include "kernels/window_sum.hpp"
#include "result.hpp"

namespace ostrel {

// The Chande momentum oscillator of the last m close-to-close moves:
// (gains − losses)·100/(gains + losses), 0 when both sums are exactly 0.
class ChandeMomentum {
 public:
  explicit ChandeMomentum(uint64_t m) : gains_(m, 0), losses_(m, 0) {}

  std::optional<double> push(double close);

 private:
  WindowSum gains_;   // maintained incrementally, never recomputed
  WindowSum losses_;
  double previous_ = 0.0;
  bool has_previous_ = false;
};

class Vidya final : public CloseIndicator<Vidya> {
 public:
  // #0 smoothing period p, #1 momentum period m: positive integers.
  static Result<Vidya, IndicatorError> create(uint64_t p, uint64_t m);

  std::optional<double> push(double close);
  uint64_t warmup_period() const override;

 private:
  Vidya(uint64_t p, uint64_t m);

  uint64_t m_;
  double smoothing_;  // 2/(p + 1)
  ChandeMomentum cmo_;
  double value_ = 0.0;
  bool has_value_ = false;
};

}  // namespace ostrel
