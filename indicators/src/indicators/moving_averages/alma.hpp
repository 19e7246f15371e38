#pragma once
// Alma: moving average under Gaussian weights centred at offset·(n − 1).

#include <cstdint>
#include <optional>

#include "input_class.hpp"
#include "kernels/weighted_window.hpp"
#include "result.hpp"

namespace ostrel {

class Alma final : public CloseIndicator<Alma> {
 public:
  // #0 n: positive integer; #1 offset: real in [0, 1]; #2 sigma: real > 0.
  static Result<Alma, IndicatorError> create(uint64_t n, double offset, double sigma);

  std::optional<double> push(double close);
  uint64_t warmup_period() const override;

 private:
  Alma(uint64_t n, double offset, double sigma);

  WeightedWindow window_;  // weights normalised to sum 1
};

}  // namespace ostrel
