#pragma once
// What one bar step receives besides the candle: views of the caller's raw
// records, each absent when its source is absent.

#include <cstddef>
#include <optional>
#include <span>

#include "records.hpp"
#include "request/requests.hpp"

namespace ostrel {

struct BarFeeds {
  std::optional<double> reference_close;
  const DerivativesTick* derivatives = nullptr;
  const OrderBook* order_book = nullptr;
  std::span<const TradePrint> trades;
  const CrossSection* cross_section = nullptr;
};

// The feeds of bar k of a run request (k < candles.size(); every present
// list has one entry per candle).
BarFeeds bar_feeds(const RunRequest& request, size_t k);

// The feeds carried by a step request.
BarFeeds bar_feeds(const StepFeeds& feeds);

}  // namespace ostrel
