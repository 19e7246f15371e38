#pragma once
// MaEnvelope: bands at a fixed fraction above and below the Sma(n) of the
// close.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <span>

#include "components.hpp"
#include "input_class.hpp"
#include "kernels/window_sum.hpp"
#include "result.hpp"

namespace ostrel {

class MaEnvelope final : public CloseIndicator<MaEnvelope> {
 public:
  // #0 n: positive integer; #1 envelope fraction: real.
  static Result<MaEnvelope, IndicatorError> create(uint64_t n, double fraction);

  std::optional<double> push(double close);
  static constexpr std::array<std::string_view, 3> kOutputs = {"upper", "middle", "lower"};
  std::span<const NamedOutput> outputs() const override;
  uint64_t warmup_period() const override;

 private:
  MaEnvelope(uint64_t n, double fraction)
      : sum_(n), up_(1.0 + fraction), down_(1.0 - fraction) {}

  WindowSum sum_;
  double up_;    // 1 + fraction
  double down_;  // 1 − fraction
  Components<3> components_{kOutputs};
};

}  // namespace ostrel
