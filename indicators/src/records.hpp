#pragma once
// Market records as callers send them, and their validated forms.
//
// A raw record is plain data: reading checks only its JSON shape. The
// validated form of a record satisfies every rule of its validation
// (record_validation.hpp), so code that receives one never re-checks it.

#include <cstdint>
#include <vector>

namespace ostrel {

struct Candle {
  int64_t time = 0;
  double open = 0.0;
  double high = 0.0;
  double low = 0.0;
  double close = 0.0;
  double volume = 0.0;
};

struct DerivativesTick {
  double funding_rate = 0.0;
  double mark_price = 0.0;
  double index_price = 0.0;
  double futures_price = 0.0;
  double open_interest = 0.0;
  double long_size = 0.0;
  double short_size = 0.0;
  double taker_buy_volume = 0.0;
  double taker_sell_volume = 0.0;
  double long_liquidation = 0.0;
  double short_liquidation = 0.0;
  int64_t timestamp = 0;
};

struct Level {
  double price = 0.0;
  double size = 0.0;
};

// Best bid first, best ask first.
struct OrderBook {
  std::vector<Level> bids;
  std::vector<Level> asks;
};

enum class Side : uint8_t { Buy, Sell };

struct TradePrint {
  double price = 0.0;
  double size = 0.0;
  Side side = Side::Buy;
  int64_t timestamp = 0;
};

struct CrossSectionMember {
  double change = 0.0;
  double volume = 0.0;
  bool new_high = false;
  bool new_low = false;
};

struct CrossSection {
  std::vector<CrossSectionMember> members;
  int64_t timestamp = 0;
};

// Validated forms. They carry the same fields; only validation makes them.

struct ValidDerivativesTick : DerivativesTick {};
struct ValidLevel : Level {};
struct ValidTradePrint : TradePrint {};

struct ValidOrderBook {
  std::vector<ValidLevel> bids;
  std::vector<ValidLevel> asks;
};

// Beside the raw flags, two flags that no raw field feeds: validation sets
// them to false and the breadth indicators read them.
struct ValidCrossSectionMember : CrossSectionMember {
  bool above_average = false;
  bool bullish_signal = false;
};

struct ValidCrossSection {
  std::vector<ValidCrossSectionMember> members;
  int64_t timestamp = 0;
};

}  // namespace ostrel
