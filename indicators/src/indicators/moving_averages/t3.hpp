#pragma once
// T3: a blend of the third to sixth of six cascaded Ema(n), weighted by powers
// of the volume factor v.

#include <cstdint>
#include <optional>

#include "input_class.hpp"
#include "kernels/ema_cascade.hpp"
#include "result.hpp"

namespace ostrel {

class T3 final : public CloseIndicator<T3> {
 public:
  // #0 n: positive integer; #1 volume factor v: real in [0, 1].
  static Result<T3, IndicatorError> create(uint64_t n, double v);

  std::optional<double> push(double close);
  uint64_t warmup_period() const override;

 private:
  T3(uint64_t n, double v);

  uint64_t n_;
  double c6_;  // weight of e6: −v³
  double c5_;  // of e5: 3v² + 3v³
  double c4_;  // of e4: −6v² − 3v − 3v³
  double c3_;  // of e3: 1 + 3v + v³ + 3v²
  EmaCascade<6> emas_;
};

}  // namespace ostrel
