#pragma once
// Tema: triple exponential moving average, 3·e1 − 3·e2 + e3 of three cascaded
// Ema(n).

#include <cstdint>
#include <optional>

#include "input_class.hpp"
#include "kernels/ema_cascade.hpp"
#include "result.hpp"

namespace ostrel {

class Tema final : public CloseIndicator<Tema> {
 public:
  // #0 n: positive integer.
  static Result<Tema, IndicatorError> create(uint64_t n);

  std::optional<double> push(double close);
  uint64_t warmup_period() const override;

 private:
  explicit Tema(uint64_t n) : n_(n), emas_(n) {}

  uint64_t n_;
  EmaCascade<3> emas_;
};

}  // namespace ostrel
