#pragma once
// The backtest engine: one per run. Built from a spec and a capital, stepped
// once per bar, finished once into a Report.

#include <cstdint>
#include <memory>
#include <span>

#include "bar_feeds.hpp"
#include "error.hpp"
#include "indicator_factory.hpp"
#include "records.hpp"
#include "report.hpp"
#include "spec.hpp"

namespace ostrel {

class BacktestEngine {
 public:
  // Validates the spec, builds its indicators in byte order of their names
  // and sizes the history from the rules' lookbacks.
  static BacktestResult<BacktestEngine> create(StrategySpec spec, double capital,
                                               const IndicatorFactory& factory = create_indicator);

  BacktestEngine(BacktestEngine&&) noexcept;
  BacktestEngine& operator=(BacktestEngine&&) noexcept;
  ~BacktestEngine();

  // One bar. A failure at the feed-requirement check leaves the engine
  // unchanged.
  Status step(const Candle& candle, const BarFeeds& feeds);

  // Closes an open position with reason "end" and reduces the run to a report.
  Report finish() &&;

  uint64_t bars() const;
  std::span<const EquityPoint> equity() const;
  size_t num_trades() const;

  struct State;

 private:
  explicit BacktestEngine(std::unique_ptr<State> state);
  std::unique_ptr<State> state_;
};

}  // namespace ostrel
