#pragma once
// Small indicators for tests and benchmarks, and a factory that knows them.

#include <cmath>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "error.hpp"
#include "indicator.hpp"
#include "indicator_factory.hpp"

namespace ostrel::testing {

// One bar of a script: the value (none for no value) and the named outputs
// published with it. Output names must be literals.
struct ScriptedBar {
  std::optional<double> value;
  std::vector<NamedOutput> outputs = {};
};

// Replays a scripted list of values, one per bar, then gives no value. When
// given a log, appends its label on every update.
class ScriptedIndicator : public Indicator {
 public:
  explicit ScriptedIndicator(std::vector<ScriptedBar> script, uint64_t warmup = 0,
                             std::vector<std::string>* log = nullptr, std::string label = {})
      : script_(std::move(script)), warmup_(warmup), log_(log), label_(std::move(label)) {}

  std::optional<double> update(const UpdateContext&) override {
    if (log_) log_->push_back(label_);
    const size_t bar = bar_++;
    if (bar >= script_.size() || !script_[bar].value) return std::nullopt;
    last_ = bar;
    return script_[bar].value;
  }
  std::span<const NamedOutput> outputs() const override { return script_[last_].outputs; }
  uint64_t warmup_period() const override { return warmup_; }

 private:
  std::vector<ScriptedBar> script_;
  uint64_t warmup_;
  std::vector<std::string>* log_;
  std::string label_;
  size_t bar_ = 0;
  size_t last_ = 0;
};

// Scripted values from a plain list; NaN stands for no value.
inline std::vector<ScriptedBar> script(std::initializer_list<double> values) {
  std::vector<ScriptedBar> bars;
  for (double v : values) bars.push_back({std::isnan(v) ? std::nullopt : std::optional(v)});
  return bars;
}

// Mean of the last `period` finite closes; no value until it has them.
class RollingMean : public Indicator {
 public:
  explicit RollingMean(size_t period) : window_(period, 0.0) {}

  std::optional<double> update(const UpdateContext& ctx) override {
    const double close = ctx.candle.close;
    if (!std::isfinite(close)) return std::nullopt;
    sum_ += close - window_[next_];
    window_[next_] = close;
    next_ = next_ + 1 == window_.size() ? 0 : next_ + 1;
    if (filled_ < window_.size()) ++filled_;
    if (filled_ < window_.size()) return std::nullopt;
    return sum_ / static_cast<double>(window_.size());
  }
  uint64_t warmup_period() const override { return window_.size(); }

 private:
  std::vector<double> window_;
  size_t next_ = 0;
  size_t filled_ = 0;
  double sum_ = 0.0;
};

using IndicatorMaker = std::function<std::unique_ptr<Indicator>()>;

// A factory for the type "Mean" (params: [period]) and for the given named
// makers; every other type is unknown.
inline IndicatorFactory test_factory(std::map<std::string, IndicatorMaker> makers = {}) {
  return [makers = std::move(makers)](
             std::string_view type,
             std::span<const double> params) -> BacktestResult<std::unique_ptr<Indicator>> {
    if (type == "Mean") {
      if (params.size() != 1 || !(params[0] >= 1) || params[0] > 1e6) {
        return BacktestError::invalid_params("Mean", "period must be a positive integer");
      }
      return std::unique_ptr<Indicator>(
          std::make_unique<RollingMean>(static_cast<size_t>(params[0])));
    }
    const auto found = makers.find(std::string(type));
    if (found == makers.end()) return BacktestError::unknown_indicator(std::string(type));
    return found->second();
  };
}

// A maker replaying `bars` (copied into every instance it makes).
inline IndicatorMaker scripted(std::vector<ScriptedBar> bars, uint64_t warmup = 0,
                               std::vector<std::string>* log = nullptr, std::string label = {}) {
  return [=] { return std::make_unique<ScriptedIndicator>(bars, warmup, log, label); };
}

}  // namespace ostrel::testing
