#pragma once
// McGinleyDynamic: a moving average that speeds up in falling markets and
// slows down in rising ones, seeded by the mean of the first n closes.

#include <cstdint>
#include <optional>

#include "input_class.hpp"
#include "result.hpp"

namespace ostrel {

class McGinleyDynamic final : public CloseIndicator<McGinleyDynamic> {
 public:
  // #0 n: positive integer.
  static Result<McGinleyDynamic, IndicatorError> create(uint64_t n);

  std::optional<double> push(double close);
  uint64_t warmup_period() const override;

 private:
  explicit McGinleyDynamic(uint64_t n) : n_(n), n_real_(static_cast<double>(n)) {}

  uint64_t n_;
  double n_real_;
  double seed_sum_ = -0.0;
  uint64_t seed_count_ = 0;
  double value_ = 0.0;
};

}  // namespace ostrel
