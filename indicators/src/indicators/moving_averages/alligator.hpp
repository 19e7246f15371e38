#pragma once
// Alligator: three Smma of the bar's high-low midpoint, the jaw, teeth and
// lips lines.

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <span>

#include "components.hpp"
#include "input_class.hpp"
#include "kernels/wilder_smoother.hpp"
#include "result.hpp"

namespace ostrel {

class Alligator final : public CandleIndicator<Alligator> {
 public:
  // #0 jaw period, #1 teeth period, #2 lips period: positive integers.
  static Result<Alligator, IndicatorError> create(uint64_t jaw, uint64_t teeth, uint64_t lips);

  std::optional<double> push(const Candle& candle);
  static constexpr std::array<std::string_view, 3> kOutputs = {"jaw", "teeth", "lips"};
  std::span<const NamedOutput> outputs() const override;
  uint64_t warmup_period() const override;

 private:
  Alligator(uint64_t jaw, uint64_t teeth, uint64_t lips)
      : warmup_(std::max({jaw, teeth, lips})), jaw_(jaw), teeth_(teeth), lips_(lips) {}

  uint64_t warmup_;  // the longest of the three periods
  WilderSmoother jaw_;
  WilderSmoother teeth_;
  WilderSmoother lips_;
  Components<3> components_{kOutputs};
};

}  // namespace ostrel
