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

EngineState state_for(const StrategySpec& spec, double cash = 1e6) {
  EngineState s;
  s.spec = spec;
  s.account.cash = cash;
  s.maker_rate = spec.costs.maker_bps / 10000;
  s.taker_rate = spec.costs.taker_bps / 10000;
  return s;
}

// Runs the pending order against each bar in turn (countdowns are 0 here).
void process_bars(EngineState& s, const std::vector<Candle>& bars) {
  for (size_t i = 0; i < bars.size() && s.pending; ++i) {
    const PendingOrder order = *s.pending;
    s.pending.reset();
    ASSERT_FALSE(process_pending_order(s, order, FillBar{bars[i], i + 1}));
  }
}

struct EntryCase {
  const char* name;
  OrderType type;
  PositionSide side;
  std::optional<double> limit_offset, stop_offset;
  std::vector<Candle> bars;  // after the signal bar, which closes at 100
  int64_t fill_time;         // -1: no fill
  double fill_price;
  bool maker;
};

TEST(ProcessPendingOrder, EntryTriggersAndFillPrices) {
  const auto L = PositionSide::Long, S = PositionSide::Short;
  // clang-format off
  const EntryCase cases[] = {
      {"market fills at the open", OrderType::Market, L, {}, {},
       {candle(1, 101, 102, 100, 101)}, 1, 101, false},
      {"long limit waits, then fills at a better open", OrderType::Limit, L, -1, {},
       {candle(1, 100, 101, 99.5, 100), candle(2, 98, 99, 97, 98)}, 2, 98, true},
      {"long limit fills at its price", OrderType::Limit, L, -1, {},
       {candle(1, 100, 101, 98.7, 99)}, 1, 99, true},
      {"short limit", OrderType::Limit, S, 1, {},
       {candle(1, 100, 101.5, 99, 101)}, 1, 101, true},
      {"long stop gap fills at the open", OrderType::Stop, L, {}, 2,
       {candle(1, 105, 106, 104, 105)}, 1, 105, false},
      {"long stop fills at its price", OrderType::Stop, L, {}, 2,
       {candle(1, 101, 102, 100, 101)}, 1, 102, false},
      {"long stop not reached", OrderType::Stop, L, {}, 2,
       {candle(1, 101, 101.9, 100, 101)}, -1, 0, false},
      {"short stop", OrderType::Stop, S, {}, -1,
       {candle(1, 100, 100, 98, 98)}, 1, 99, false},
      {"short stop_limit", OrderType::StopLimit, S, -2, -1,
       {candle(1, 99.2, 99.5, 98.5, 99)}, 1, 99, false},
      {"short stop_limit stopped but below its limit", OrderType::StopLimit, S, -2, -1,
       {candle(1, 97, 97.5, 96, 97)}, -1, 0, false},
      {"long stop_limit", OrderType::StopLimit, L, 2, 1,
       {candle(1, 100, 101.5, 99.5, 101)}, 1, 101, false},
  };
  // clang-format on
  for (const EntryCase& c : cases) {
    StrategySpec spec = base_spec(always());
    spec.execution.order_type = c.type;
    spec.execution.limit_offset_pct = c.limit_offset;
    spec.execution.stop_offset_pct = c.stop_offset;
    spec.costs.maker_bps = 10;
    spec.costs.taker_bps = 20;
    EngineState s = state_for(spec);
    ASSERT_FALSE(place_entry_order(s, c.side, FillBar{flat_candle(0, 100), 0}));
    process_bars(s, c.bars);
    if (c.fill_time < 0) {
      EXPECT_FALSE(s.account.in_position()) << c.name;
      EXPECT_TRUE(s.pending) << c.name << ": an untriggered entry waits";
      continue;
    }
    ASSERT_TRUE(s.account.in_position()) << c.name;
    EXPECT_FALSE(s.pending) << c.name;
    EXPECT_EQ(s.account.entry_time, c.fill_time) << c.name;
    EXPECT_EQ(s.account.entry_price, c.fill_price) << c.name;
    EXPECT_EQ(s.account.qty, c.side == L ? 1.0 : -1.0) << c.name;
    EXPECT_EQ(s.account.entry_fee, c.fill_price * 1 * (c.maker ? 0.001 : 0.002)) << c.name;
  }
}

TEST(ProcessPendingOrder, SlippageModels) {
  StrategySpec fixed = base_spec(always());
  fixed.costs.slippage = Slippage{SlippageKind::FixedBps, 10};
  {
    EngineState s = state_for(fixed);
    ASSERT_FALSE(place_entry_order(s, PositionSide::Long, FillBar{flat_candle(0, 100), 0}));
    process_bars(s, {flat_candle(1, 100)});
    EXPECT_EQ(s.account.entry_price, 100 * (1 + 10.0 / 10000));
    EXPECT_DOUBLE_EQ(s.account.entry_price, 100.1);
    ASSERT_FALSE(place_exit_order(s, FillBar{flat_candle(1, 100), 1}));
    process_bars(s, {flat_candle(2, 110)});
    ASSERT_EQ(s.account.trades.size(), 1u);
    EXPECT_EQ(s.account.trades[0].exit_price, 110 * (1 - 10.0 / 10000));
    EXPECT_DOUBLE_EQ(s.account.trades[0].exit_price, 109.89);
  }
  {
    EngineState s = state_for(fixed);
    ASSERT_FALSE(place_entry_order(s, PositionSide::Short, FillBar{flat_candle(0, 100), 0}));
    process_bars(s, {flat_candle(1, 100)});
    EXPECT_EQ(s.account.entry_price, 100 * (1 - 10.0 / 10000));  // a short receives less
  }
  StrategySpec spread = base_spec(always());
  spread.costs.slippage = Slippage{SlippageKind::Spread, 0};
  for (bool with_book : {true, false}) {
    EngineState s = state_for(spread);
    s.feeds.has_order_book = with_book;
    s.feeds.order_book.bids = {ValidLevel{{99, 1}}};
    s.feeds.order_book.asks = {ValidLevel{{101, 1}}};
    ASSERT_FALSE(place_entry_order(s, PositionSide::Long, FillBar{flat_candle(0, 100), 0}));
    process_bars(s, {flat_candle(1, 100)});
    EXPECT_EQ(s.account.entry_price, with_book ? 101 : 100);
  }
  StrategySpec impact = base_spec(always());
  impact.costs.slippage = Slippage{SlippageKind::VolumeImpact, 0.1};
  impact.sizing = Sizing{SizingKind::FixedCash, 5000, 0};
  {
    // 50 units at the unslipped 100 against volume 1000: f = 0.005; the
    // quantity is then sized again at the slipped price.
    EngineState s = state_for(impact);
    ASSERT_FALSE(place_entry_order(s, PositionSide::Long, FillBar{flat_candle(0, 100), 0}));
    process_bars(s, {flat_candle(1, 100, 1000)});
    const double slipped = 100 * (1 + 50 * 0.1 / 1000);
    EXPECT_EQ(s.account.entry_price, slipped);
    EXPECT_EQ(s.account.qty, 5000 / slipped);
  }
}

TEST(ProcessPendingOrder, PartialFillsCapTheQuantityByVolume) {
  StrategySpec spec = base_spec(always());
  spec.sizing = Sizing{SizingKind::FixedQty, 50, 0};
  spec.execution.partial_fills = true;
  spec.execution.max_participation = 0.1;
  struct Case {
    double volume;
    double qty;  // 0: no position
  };
  for (const Case c : {Case{100, 10}, Case{1000, 50}, Case{0, 0}, Case{1e-15, 0}}) {
    EngineState s = state_for(spec);
    ASSERT_FALSE(place_entry_order(s, PositionSide::Long, FillBar{flat_candle(0, 100), 0}));
    process_bars(s, {flat_candle(1, 100, c.volume)});
    EXPECT_EQ(s.account.qty, c.qty) << c.volume;
    EXPECT_FALSE(s.pending) << c.volume << ": the remainder is dropped";
  }
}

TEST(ProcessPendingOrder, NoFillAtAPriceThatIsNotFinite) {
  StrategySpec market = base_spec(always());
  {
    EngineState s = state_for(market);
    ASSERT_FALSE(place_entry_order(s, PositionSide::Long, FillBar{flat_candle(0, 100), 0}));
    process_bars(s, {candle(1, kNaN, 101, 99, 100)});
    EXPECT_FALSE(s.account.in_position());
    EXPECT_FALSE(s.pending) << "the entry is used up";
  }
  {
    EngineState s = state_for(market);
    ASSERT_FALSE(place_entry_order(s, PositionSide::Long, FillBar{flat_candle(0, 100), 0}));
    process_bars(s, {flat_candle(1, 100)});
    ASSERT_FALSE(place_exit_order(s, FillBar{flat_candle(1, 100), 1}));
    process_bars(s, {candle(2, kNaN, 101, 99, 100)});
    EXPECT_TRUE(s.account.in_position());
    ASSERT_TRUE(s.pending) << "the exit waits for the next bar";
    EXPECT_EQ(s.pending->countdown, 0u);
    process_bars(s, {flat_candle(3, 104)});
    ASSERT_EQ(s.account.trades.size(), 1u);
    EXPECT_EQ(s.account.trades[0].exit_price, 104);
    EXPECT_EQ(s.account.trades[0].exit_time, 3);
  }
  StrategySpec limit = base_spec(always());
  limit.execution.order_type = OrderType::Limit;
  limit.execution.limit_offset_pct = -1;
  {
    // Placed on a bar whose close is NaN: the limit could never trigger.
    EngineState s = state_for(limit);
    ASSERT_FALSE(place_entry_order(s, PositionSide::Long, FillBar{flat_candle(0, kNaN), 0}));
    process_bars(s, {flat_candle(1, 50)});
    EXPECT_FALSE(s.account.in_position());
    EXPECT_FALSE(s.pending) << "the entry is used up";
  }
}

TEST(ProcessPendingOrder, ExitWithoutPositionIsUsedUp) {
  EngineState s = state_for(base_spec(always()));
  ASSERT_FALSE(place_exit_order(s, FillBar{flat_candle(0, 100), 0}));
  process_bars(s, {flat_candle(1, 100)});
  EXPECT_FALSE(s.pending);
  EXPECT_TRUE(s.account.trades.empty());
}

TEST(PlaceOrder, CloseTimingFillsAtOnceAsTaker) {
  StrategySpec spec = base_spec(always());
  spec.execution.fill_timing = FillTiming::Close;
  spec.costs.maker_bps = 10;
  spec.costs.taker_bps = 20;
  EngineState s = state_for(spec);
  ASSERT_FALSE(place_entry_order(s, PositionSide::Short, FillBar{candle(4, 90, 101, 89, 100), 4}));
  EXPECT_FALSE(s.pending);
  EXPECT_EQ(s.account.qty, -1);
  EXPECT_EQ(s.account.entry_price, 100);
  EXPECT_EQ(s.account.entry_fee, 100 * 1 * 0.002);
  EXPECT_EQ(s.entry_bar, 4u);
  ASSERT_FALSE(place_exit_order(s, FillBar{candle(5, 90, 96, 89, 95), 5}));
  ASSERT_EQ(s.account.trades.size(), 1u);
  EXPECT_EQ(s.account.trades[0].exit_price, 95);
  EXPECT_EQ(s.account.trades[0].reason, ExitReason::Signal);
}

TEST(ChargeFunding, LongPaysAndShortReceives) {
  StrategySpec spec = base_spec(always());
  spec.costs.funding = true;
  struct Case {
    PositionSide side;
    bool tick;
    double cash_change;
  };
  const double payment = 0.0001 * 50 * 2;
  for (const Case c :
       {Case{PositionSide::Long, true, -payment}, Case{PositionSide::Short, true, payment},
        Case{PositionSide::Long, false, 0}}) {
    EngineState s = state_for(spec, 10000);
    open_position(s, c.side, 2, 50, 0.0, FillBar{flat_candle(0, 50), 0});
    const double cash = s.account.cash;
    s.feeds.has_derivatives = c.tick;
    s.feeds.derivatives.funding_rate = 0.0001;
    s.feeds.derivatives.mark_price = 50;
    charge_funding(s);
    EXPECT_EQ(s.account.cash, cash + c.cash_change);
    EXPECT_EQ(s.account.total_fees, -c.cash_change);
  }
}

}  // namespace
}  // namespace ostrel
