#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <vector>

#include "engine_state.hpp"
#include "test_specs.hpp"

namespace ostrel {
namespace {

using namespace ostrel::testing;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

StrategySpec sized(SizingKind kind, double value, Risk risk = {}) {
  StrategySpec spec = base_spec(always());
  spec.sizing = Sizing{kind, value, 0};
  spec.risk = risk;
  return spec;
}

TEST(SizePosition, Examples) {
  struct Case {
    const char* name;
    StrategySpec spec;
    double cash, price;
    std::optional<double> volatility;
    std::optional<double> expected;
  };
  Risk lev2;
  lev2.max_leverage = 2;
  Risk lev2_half = lev2;
  lev2_half.max_position_pct = 50;
  Risk stop2;
  stop2.stop_loss_pct = 2;
  Risk stop0;
  stop0.stop_loss_pct = 0;
  Risk nan_caps;
  nan_caps.max_leverage = kNaN;
  nan_caps.max_position_pct = kNaN;
  const Case cases[] = {
      {"fixed_fraction 0.5", sized(SizingKind::FixedFraction, 0.5), 10000, 100, {}, 50},
      {"fraction 2 capped at the cash", sized(SizingKind::FixedFraction, 2), 10000, 100, {}, 100},
      {"max_leverage 2", sized(SizingKind::FixedFraction, 2, lev2), 10000, 100, {}, 200},
      {"max_position_pct 50", sized(SizingKind::FixedFraction, 2, lev2_half), 10000, 100, {}, 50},
      {"fixed_qty capped", sized(SizingKind::FixedQty, 5), 100, 50, {}, 2},
      {"fixed_cash", sized(SizingKind::FixedCash, 2500), 10000, 50, {}, 50},
      {"risk_per_trade", sized(SizingKind::RiskPerTrade, 1, stop2), 10000, 100, {}, 50},
      {"risk_per_trade with stop 0", sized(SizingKind::RiskPerTrade, 1, stop0), 10000, 100, {}, {}},
      {"vol_target", sized(SizingKind::VolTarget, 0.01), 10000, 100, 0.02, 50},
      {"vol_target without estimate", sized(SizingKind::VolTarget, 0.01), 10000, 100, {}, {}},
      {"no cash", sized(SizingKind::FixedQty, 1), 0, 100, {}, {}},
      {"price not positive", sized(SizingKind::FixedQty, 1), 100, 0, {}, {}},
      {"quantity not positive", sized(SizingKind::FixedQty, -1), 100, 1, {}, {}},
      {"NaN quantity", sized(SizingKind::FixedQty, kNaN), 100, 1, {}, {}},
      {"a NaN cap never wins", sized(SizingKind::FixedQty, 1, nan_caps), 100, 1, {}, 1},
  };
  for (const Case& c : cases) {
    auto got = size_position(c.spec, c.cash, c.price, c.volatility);
    ASSERT_TRUE(got.ok()) << c.name;
    EXPECT_EQ(got.value(), c.expected) << c.name;
  }
}

TEST(SizePosition, RiskPerTradeWithoutStopLossIsAnError) {
  auto got = size_position(sized(SizingKind::RiskPerTrade, 1), 10000, 100, {});
  ASSERT_FALSE(got.ok());
  EXPECT_EQ(got.error().render(),
            "invalid strategy spec: risk_per_trade sizing requires risk.stop_loss_pct");
}

History closes(const std::vector<double>& values) {
  History h(values.size(), 0);
  for (double v : values) h.push(flat_candle(0, v), {});
  return h;
}

TEST(VolatilityEstimate, PopulationDeviationOfSimpleReturns) {
  // Returns 0.1 and -0.1 over the newest three closes: mean 0, deviation 0.1.
  const auto sigma = volatility_estimate(3, closes({50, 100, 110, 99}));
  ASSERT_TRUE(sigma);
  const double r1 = (110.0 - 100.0) / 100.0, r2 = (99.0 - 110.0) / 110.0;
  const double mean = (r1 + r2) / 2;
  EXPECT_EQ(*sigma, std::sqrt(((r1 - mean) * (r1 - mean) + (r2 - mean) * (r2 - mean)) / 2));

  EXPECT_FALSE(volatility_estimate(3, closes({100, 100, 100})));   // variance 0
  EXPECT_FALSE(volatility_estimate(20, closes({100, 101, 102})));  // too few bars
  EXPECT_FALSE(volatility_estimate(1, closes({100, 101})));        // lookback below 2
  EXPECT_FALSE(volatility_estimate(2, closes({0, 5})));            // no return from a zero close
  EXPECT_FALSE(volatility_estimate(3, closes({100, kNaN, 101})));  // NaN variance
}

TEST(ClosePosition, PnlAndReturnIncludeBothFees) {
  EngineState s;
  s.account.cash = 10000;
  open_position(s, PositionSide::Long, 10, 100, 1.0, FillBar{flat_candle(5, 100), 3});
  EXPECT_EQ(s.account.cash, 10000 - (1000 + 1.0));
  EXPECT_EQ(s.entry_bar, 3u);
  close_position(s, 110, 1.1, 9, ExitReason::Signal);
  ASSERT_EQ(s.account.trades.size(), 1u);
  const Trade& t = s.account.trades[0];
  EXPECT_EQ(t.pnl, 10 * (110.0 - 100.0) - 1.0 - 1.1);
  EXPECT_DOUBLE_EQ(t.pnl, 97.9);
  EXPECT_EQ(t.return_pct, t.pnl / 1000 * 100);
  EXPECT_EQ(t.entry_time, 5);
  EXPECT_EQ(t.exit_time, 9);
  EXPECT_EQ(s.account.cash, 10000 - 1001.0 + 1100 - 1.1);
  EXPECT_EQ(s.account.total_fees, 1.0 + 1.1);
  EXPECT_FALSE(s.account.in_position());
  EXPECT_FALSE(s.entry_bar);
}

struct StopCase {
  const char* name;
  Risk risk;
  PositionSide side;
  double qty, entry;
  double trailing_extreme;  // 0: left at the entry price
  Candle bar;
  std::optional<ExitReason> reason;
  double exit_price;
};

Risk risk_with(std::optional<double> stop, std::optional<double> take, std::optional<double> trail,
               bool liquidation = false) {
  Risk r;
  r.stop_loss_pct = stop;
  r.take_profit_pct = take;
  r.trailing_stop_pct = trail;
  r.liquidation = liquidation;
  return r;
}

TEST(CheckStops, TriggersAndExitPrices) {
  const auto L = PositionSide::Long, S = PositionSide::Short;
  const StopCase cases[] = {
      {"stop-loss at its level", risk_with(5, {}, {}), L, 1, 100, 0, candle(1, 97, 99, 94, 96),
       ExitReason::StopLoss, 95},
      {"stop-loss gap fills at the open", risk_with(5, {}, {}), L, 1, 100, 0,
       candle(1, 93, 94, 92, 93), ExitReason::StopLoss, 93},
      {"stop-loss wins over take-profit", risk_with(5, 10, {}), L, 1, 100, 0,
       candle(1, 100, 111, 94, 100), ExitReason::StopLoss, 95},
      {"take-profit gap fills at the open", risk_with({}, 10, {}), L, 1, 100, 0,
       candle(1, 115, 116, 112, 114), ExitReason::TakeProfit, 115},
      {"trailing level follows the bar's high", risk_with({}, {}, 10), L, 1, 100, 120,
       candle(1, 124, 125, 112, 113), ExitReason::TrailingStop, 112.5},
      {"trailing level untouched", risk_with({}, {}, 10), L, 1, 100, 120,
       candle(1, 115, 118, 109, 110), std::nullopt, 0},
      {"short take-profit", risk_with({}, 10, {}), S, 1, 100, 0, candle(1, 92, 93, 89, 90),
       ExitReason::TakeProfit, 90},
      {"short stop-loss", risk_with(5, {}, {}), S, 1, 100, 0, candle(1, 104, 106, 103, 105),
       ExitReason::StopLoss, 105},
      {"short liquidated at its price", risk_with({}, {}, {}, true), S, 100, 100, 0,
       candle(1, 150, 200, 140, 190), ExitReason::Liquidation, 200},
      {"short below its liquidation price", risk_with({}, {}, {}, true), S, 100, 100, 0,
       candle(1, 150, 199, 140, 190), std::nullopt, 0},
      {"long bought with cash is never liquidated", risk_with({}, {}, {}, true), L, 100, 100, 0,
       candle(1, 1, 1, 0.001, 0.001), std::nullopt, 0},
      {"an exit at an infinite price is no exit", risk_with({}, 1e308, {}), L, 1, 1000, 0,
       candle(1, 1000, kInf, 999, 1000), std::nullopt, 0},
  };
  for (const StopCase& c : cases) {
    EngineState s;
    s.spec.risk = c.risk;
    s.account.cash = 10000;
    s.taker_rate = 0.001;
    open_position(s, c.side, c.qty, c.entry, 0.0, FillBar{flat_candle(0, c.entry), 0});
    if (c.trailing_extreme != 0) s.trailing_extreme = c.trailing_extreme;
    check_stops(s, c.bar);
    if (!c.reason) {
      EXPECT_TRUE(s.account.in_position()) << c.name;
      continue;
    }
    ASSERT_EQ(s.account.trades.size(), 1u) << c.name;
    const Trade& t = s.account.trades[0];
    EXPECT_EQ(t.reason, *c.reason) << c.name;
    EXPECT_EQ(t.exit_price, c.exit_price) << c.name;
    EXPECT_EQ(t.exit_time, 1) << c.name;
    const double fee = 0.001 * c.qty * c.exit_price;
    EXPECT_EQ(s.account.total_fees, fee) << c.name;
  }
}

TEST(CheckStops, TrailingExtremeIgnoresNaNPrices) {
  EngineState s;
  s.spec.risk = risk_with({}, {}, 10);
  s.account.cash = 10000;
  open_position(s, PositionSide::Long, 1, 100, 0.0, FillBar{flat_candle(0, 100), 0});
  check_stops(s, candle(1, 101, kNaN, 100, 101));
  EXPECT_EQ(s.trailing_extreme, 100);
  check_stops(s, candle(2, 101, 130, 100, 101));
  EXPECT_EQ(s.trailing_extreme, 130);
}

}  // namespace
}  // namespace ostrel
