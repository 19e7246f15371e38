#pragma once
// The run request (a whole series with its feeds) and the step request (one
// bar with its feeds).

#include <optional>
#include <vector>

#include "records.hpp"
#include "spec.hpp"

namespace ostrel {

struct RunRequest {
  StrategySpec spec;
  std::vector<Candle> candles;
  double capital = 10000.0;
  std::optional<std::vector<Candle>> reference;
  std::optional<std::vector<DerivativesTick>> derivs;
  std::optional<std::vector<OrderBook>> books;
  std::optional<std::vector<std::vector<TradePrint>>> trades;
  std::optional<std::vector<CrossSection>> sections;
};

struct StepFeeds {
  std::optional<double> reference;
  std::optional<DerivativesTick> deriv;
  std::optional<OrderBook> orderbook;
  std::optional<std::vector<TradePrint>> trades;
  std::optional<CrossSection> cross_section;
};

struct StepRequest {
  Candle candle;
  StepFeeds feeds;
};

}  // namespace ostrel
