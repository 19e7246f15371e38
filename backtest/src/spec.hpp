#pragma once
// The strategy spec document as a plain value tree.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "feed_kind.hpp"
#include "rules.hpp"

namespace ostrel {

struct IndicatorSpec {
  std::string type;
  std::vector<double> params;
  std::optional<FeedKind> feed;
};

enum class SizingKind : uint8_t { FixedFraction, FixedQty, FixedCash, VolTarget, RiskPerTrade };

// Every variant has one number (fraction, qty, cash, target_vol, risk_pct);
// vol_target also has a lookback.
struct Sizing {
  SizingKind kind = SizingKind::FixedFraction;
  double value = 0.0;
  uint32_t lookback = 0;
};

enum class SlippageKind : uint8_t { FixedBps, Spread, VolumeImpact };

struct Slippage {
  SlippageKind kind = SlippageKind::FixedBps;
  double value = 0.0;  // bps or coef; unused for spread
};

struct Costs {
  double maker_bps = 0.0;
  double taker_bps = 0.0;
  Slippage slippage;
  bool funding = false;
};

struct Risk {
  std::optional<double> stop_loss_pct;
  std::optional<double> take_profit_pct;
  std::optional<double> trailing_stop_pct;
  std::optional<double> max_leverage;
  std::optional<double> max_position_pct;
  bool liquidation = false;
};

enum class OrderType : uint8_t { Market, Limit, Stop, StopLimit };
enum class FillTiming : uint8_t { NextOpen, Close };

struct Execution {
  OrderType order_type = OrderType::Market;
  FillTiming fill_timing = FillTiming::NextOpen;
  std::optional<double> limit_offset_pct;
  std::optional<double> stop_offset_pct;
  uint32_t latency_bars = 0;
  bool partial_fills = false;
  std::optional<double> max_participation;
};

struct StrategySpec {
  uint32_t spec_version = 1;
  std::string symbol;
  std::optional<std::string> ref_symbol;
  std::string timeframe;
  std::map<std::string, IndicatorSpec> indicators;  // byte order of names
  Condition entry;
  Condition exit;
  std::optional<Condition> short_entry;
  std::optional<Condition> short_exit;
  Sizing sizing;
  Costs costs;
  Risk risk;
  Execution execution;
  std::optional<uint32_t> warmup;
};

}  // namespace ostrel
