#pragma once
// Mama: the adaptive moving average whose smoothing follows the rate of change
// of the Hilbert-transform phase; publishes the average and its following
// average (fama).

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "components.hpp"
#include "input_class.hpp"
#include "kernels/hilbert_cycle.hpp"
#include "result.hpp"

namespace ostrel {

// The computation Mama and Fama share: both averages, driven by the phase of
// the Hilbert cycle measurement.
class MamaCore {
 public:
  // Both finite and 0 < slow <= fast <= 1; none when they are.
  static std::optional<IndicatorError> check_limits(double fast, double slow);

  MamaCore(double fast, double slow) : fast_(fast), slow_(slow) {}

  // True from the 33rd close on, when mama() and fama() are published.
  bool push(double close);
  double mama() const { return mama_; }
  double fama() const { return fama_; }

  static constexpr uint64_t kWarmup = 33;

 private:
  HilbertCycle cycle_;
  double fast_;
  double slow_;
  double phase_ = 0.0;
  double mama_ = 0.0;
  double fama_ = 0.0;
};

class Mama final : public CloseIndicator<Mama> {
 public:
  // #0 fast limit: real; #1 slow limit: real.
  static Result<Mama, IndicatorError> create(double fast, double slow);

  std::optional<double> push(double close);
  static constexpr std::array<std::string_view, 2> kOutputs = {"mama", "fama"};
  std::span<const NamedOutput> outputs() const override;
  uint64_t warmup_period() const override;

 private:
  Mama(double fast, double slow) : core_(fast, slow) {}

  MamaCore core_;
  Components<2> components_{kOutputs};
};

}  // namespace ostrel
