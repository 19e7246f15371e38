#include "engine.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "engine_state.hpp"
#include "signals.hpp"
#include "test_indicators.hpp"
#include "test_specs.hpp"

namespace ostrel {
namespace {

using namespace ostrel::testing;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Declares an indicator of `type` under `name`.
void declare(StrategySpec& spec, const std::string& name, const std::string& type) {
  spec.indicators[name] = IndicatorSpec{type, {}, {}};
}

BacktestEngine engine_for(StrategySpec spec, std::map<std::string, IndicatorMaker> makers = {},
                          double capital = 10000) {
  auto made = BacktestEngine::create(std::move(spec), capital, test_factory(std::move(makers)));
  EXPECT_TRUE(made.ok()) << made.error().render();
  return std::move(made).value();
}

Report run(StrategySpec spec, const std::vector<Candle>& bars,
           std::map<std::string, IndicatorMaker> makers = {}) {
  BacktestEngine engine = engine_for(std::move(spec), std::move(makers));
  for (const Candle& c : bars) EXPECT_FALSE(engine.step(c, {}));
  return std::move(engine).finish();
}

// Bars at 100 with times 0, 1, 2, ...
std::vector<Candle> flat_bars(size_t n, double price = 100) {
  std::vector<Candle> bars;
  for (size_t i = 0; i < n; ++i) bars.push_back(flat_candle(static_cast<int64_t>(i), price));
  return bars;
}

// An entry (or exit) signal true exactly on the bars listed: an indicator
// "sig" scripted with 1 on those bars and 0 elsewhere.
IndicatorMaker signal_on(std::vector<size_t> bars, size_t length = 64) {
  std::vector<ScriptedBar> script(length, ScriptedBar{0.0});
  for (size_t b : bars) script[b].value = 1.0;
  return scripted(script);
}
Condition signal(const std::string& name = "sig") { return gt(key(name), constant(0)); }

TEST(EngineCreate, RefusesCapitalThatIsNotFiniteBeforeBuildingIndicators) {
  for (double capital : {kNaN, kInf, -kInf}) {
    int built = 0;
    StrategySpec spec = base_spec(always());
    declare(spec, "a", "Counted");
    auto made = BacktestEngine::create(spec, capital,
                                       test_factory({{"Counted", [&] {
                                                        ++built;
                                                        return std::make_unique<RollingMean>(1);
                                                      }}}));
    ASSERT_FALSE(made.ok());
    EXPECT_EQ(made.error().render(), "invalid input data: capital must be finite");
    EXPECT_EQ(built, 0);
  }
}

TEST(EngineCreate, PassesOnIndicatorErrors) {
  StrategySpec unknown = base_spec(always());
  declare(unknown, "a", "Nope");
  auto made = BacktestEngine::create(unknown, 100, test_factory());
  ASSERT_FALSE(made.ok());
  EXPECT_EQ(made.error().render(), "unknown indicator type: Nope");

  StrategySpec bad = base_spec(always());
  bad.indicators["m"] = IndicatorSpec{"Mean", {0}, {}};
  made = BacktestEngine::create(bad, 100, test_factory());
  ASSERT_FALSE(made.ok());
  EXPECT_EQ(made.error().kind, BacktestError::Kind::InvalidParams);
}

TEST(EngineStep, IndicatorsUpdateInByteOrderOfNames) {
  std::vector<std::string> log;
  StrategySpec spec = base_spec(never());
  std::map<std::string, IndicatorMaker> makers;
  for (std::string name : {"b", "a1", "B", "a"}) {
    declare(spec, name, "T" + name);
    makers["T" + name] = scripted({}, 0, &log, name);
  }
  run(spec, flat_bars(1), makers);
  EXPECT_EQ(log, (std::vector<std::string>{"B", "a", "a1", "b"}));
}

// The time of the first trade's entry, or -1.
int64_t first_entry_time(const Report& r) { return r.trades.empty() ? -1 : r.trades[0].entry_time; }

TEST(EngineStep, WarmupComesFromIndicatorsUnlessTheSpecSetsIt) {
  StrategySpec spec = base_spec(always());
  declare(spec, "w", "W");
  const std::map<std::string, IndicatorMaker> makers = {{"W", scripted({}, 3)}};
  const Report by_indicator = run(spec, flat_bars(6), makers);
  EXPECT_EQ(first_entry_time(by_indicator), 4);  // signal on bar 3, fill at the next open
  EXPECT_EQ(by_indicator.equity.size(), 6u);

  spec.warmup = 1;
  EXPECT_EQ(first_entry_time(run(spec, flat_bars(6), makers)), 2);
  spec.warmup.reset();
  spec.indicators.clear();
  EXPECT_EQ(first_entry_time(run(spec, flat_bars(6))), 1);  // no indicators: warmup 0
}

TEST(EngineStep, LatencyDelaysTheFill) {
  for (uint32_t latency : {0u, 2u}) {
    StrategySpec spec = base_spec(signal());
    declare(spec, "sig", "S");
    spec.execution.latency_bars = latency;
    const Report r = run(spec, flat_bars(8), {{"S", signal_on({2})}});
    EXPECT_EQ(first_entry_time(r), 3 + latency) << latency;
  }
}

TEST(EngineStep, ExitReplacedWhileItsRuleHoldsRestartsTheCountdown) {
  StrategySpec spec = base_spec(signal(), signal("out"));
  declare(spec, "sig", "S");
  declare(spec, "out", "O");
  spec.execution.latency_bars = 1;
  // Entry signal on bar 0 fills on bar 2; the exit rule holds on bars 3-5.
  const Report r = run(spec, flat_bars(10), {{"S", signal_on({0})}, {"O", signal_on({3, 4, 5})}});
  ASSERT_FALSE(r.trades.empty());
  EXPECT_EQ(r.trades[0].entry_time, 2);
  EXPECT_EQ(r.trades[0].exit_time, 7);
  EXPECT_EQ(r.trades[0].reason, ExitReason::Signal);
}

TEST(EngineStep, AStopCanCloseOnTheFillBarAndFreeTheEntryOnTheSameBar) {
  StrategySpec spec = base_spec(always());
  spec.risk.stop_loss_pct = 5;
  const std::vector<Candle> bars = {flat_candle(0, 100), candle(1, 100, 101, 90, 92),
                                    flat_candle(2, 92), flat_candle(3, 93)};
  const Report r = run(spec, bars);
  ASSERT_EQ(r.trades.size(), 2u);
  EXPECT_EQ(r.trades[0].reason, ExitReason::StopLoss);
  EXPECT_EQ(r.trades[0].entry_time, 1);
  EXPECT_EQ(r.trades[0].exit_time, 1);
  EXPECT_EQ(r.trades[0].exit_price, 95);
  // The entry signal of bar 1 fills at the open of bar 2.
  EXPECT_EQ(r.trades[1].entry_time, 2);
  EXPECT_EQ(r.trades[1].reason, ExitReason::End);
}

TEST(EngineStep, PendingExitOfAStoppedPositionIsUsedUpAndBlocksEntries) {
  StrategySpec spec = base_spec(always(), always());
  spec.risk.stop_loss_pct = 5;
  spec.execution.latency_bars = 2;
  // Entry on bar 0 fills at the open of bar 3; the exit placed on bar 3
  // would run on bar 6, but the stop closes the position on bar 4.
  std::vector<Candle> bars = flat_bars(10);
  bars[4] = candle(4, 100, 100, 90, 91);
  const Report r = run(spec, bars);
  ASSERT_GE(r.trades.size(), 2u);
  EXPECT_EQ(r.trades[0].reason, ExitReason::StopLoss);
  EXPECT_EQ(r.trades[0].exit_time, 4);
  // Entries are evaluated again on bar 6 once the exit is used up, and the
  // entry placed there fills on bar 9.
  EXPECT_EQ(r.trades[1].entry_time, 9);
}

TEST(EngineStep, ShortSideRules) {
  // Both entries true: long wins.
  StrategySpec tie = base_spec(always());
  tie.short_entry = always();
  const Report long_wins = run(tie, flat_bars(3));
  ASSERT_EQ(long_wins.trades.size(), 1u);
  EXPECT_GT(long_wins.trades[0].qty, 0);

  // A short without short_exit uses exit.
  StrategySpec shorts = base_spec(never(), signal("out"));
  declare(shorts, "out", "O");
  shorts.short_entry = always();
  const Report r = run(shorts, flat_bars(6), {{"O", signal_on({3})}});
  ASSERT_GE(r.trades.size(), 1u);
  EXPECT_LT(r.trades[0].qty, 0);
  EXPECT_EQ(r.trades[0].exit_time, 4);
  EXPECT_EQ(r.trades[0].reason, ExitReason::Signal);
}

TEST(EngineStep, RulesReadNamedOutputsAndTheLaterWriteOfAKeyWins) {
  // Indicator "a" publishes output "b"; indicator "a.b" writes the same key
  // after it, except on bar 1 where it has no value.
  StrategySpec spec = base_spec(eq(key("a.b"), constant(1)));
  spec.execution.fill_timing = FillTiming::Close;
  declare(spec, "a", "A");
  declare(spec, "a.b", "AB");
  std::vector<ScriptedBar> a(4, ScriptedBar{7.0, {{"b", 1.0}}});
  const Report r =
      run(spec, flat_bars(4), {{"A", scripted(a)}, {"AB", scripted(script({5, kNaN, 5, 5}))}});
  EXPECT_EQ(first_entry_time(r), 1);
}

TEST(EngineStep, AnOutputIsResolvedAgainWhenItsNameChanges) {
  StrategySpec spec = base_spec(gt(key("m.y"), constant(0)), never());
  spec.execution.fill_timing = FillTiming::Close;
  declare(spec, "m", "M");
  const std::vector<ScriptedBar> m = {
      {1.0, {{"x", 5.0}}}, {1.0, {{"x", 5.0}}}, {1.0, {{"y", 5.0}}}};
  EXPECT_EQ(first_entry_time(run(spec, flat_bars(3), {{"M", scripted(m)}})), 2);
}

TEST(EngineStep, HistoryCoversTheLongestLookback) {
  StrategySpec spec = base_spec(gt(close_price(), prev(close_price(), 3)));
  spec.execution.fill_timing = FillTiming::Close;
  std::vector<Candle> bars;
  for (double c : {10, 9, 8, 7, 11}) {
    bars.push_back(flat_candle(static_cast<int64_t>(bars.size()), c));
  }
  EXPECT_EQ(first_entry_time(run(spec, bars)), 4);

  // vol_target needs `lookback` bars before a fill: the first fill at an
  // open that can be sized is on bar 5, after bars 0-4.
  StrategySpec vol = base_spec(always());
  vol.sizing = Sizing{SizingKind::VolTarget, 0.01, 5};
  bars.clear();
  for (double c : {100, 102, 99, 103, 101, 104, 100}) {
    bars.push_back(flat_candle(static_cast<int64_t>(bars.size()), c));
  }
  EXPECT_EQ(first_entry_time(run(vol, bars)), 5);
}

TEST(EngineStep, CloseTimingShowsInTheNextEquityPoint) {
  StrategySpec spec = base_spec(always());
  spec.execution.fill_timing = FillTiming::Close;
  spec.costs.taker_bps = 10;
  const Report r = run(spec, {flat_candle(0, 100), flat_candle(1, 110)});
  ASSERT_EQ(r.equity.size(), 2u);
  EXPECT_EQ(r.equity[0].equity, 10000);
  const double fee = 100 * 1 * (10.0 / 10000);
  EXPECT_EQ(r.equity[1].equity, 10000 - (100 + fee) + 110 * 1);
}

TEST(EngineStep, UnmetFeedRequirementFailsAndLeavesTheEngineUnchanged) {
  const std::string spread_message =
      "invalid strategy spec: costs.slippage spread needs an order-book feed; without one every "
      "fill              would be priced at zero slippage";
  const std::string funding_message =
      "invalid strategy spec: costs.funding needs a derivatives feed; without one no funding "
      "would be              charged at all";
  StrategySpec spec = base_spec(always());
  spec.costs.slippage = Slippage{SlippageKind::Spread, 0};
  spec.execution.latency_bars = 1;
  BacktestEngine engine = engine_for(spec);
  const OrderBook book{{{99, 1}}, {{101, 1}}};
  BarFeeds with_book;
  with_book.order_book = &book;
  ASSERT_FALSE(engine.step(flat_candle(0, 100), with_book));  // entry placed, countdown 1

  const Status failed = engine.step(flat_candle(1, 100), {});
  ASSERT_TRUE(failed);
  EXPECT_EQ(failed->render(), spread_message);
  EXPECT_EQ(engine.bars(), 1u);
  EXPECT_EQ(engine.equity().size(), 1u);

  ASSERT_FALSE(engine.step(flat_candle(1, 100), with_book));
  ASSERT_FALSE(engine.step(flat_candle(2, 100), with_book));
  const Report r = std::move(engine).finish();
  ASSERT_EQ(r.trades.size(), 1u);
  EXPECT_EQ(r.trades[0].entry_time, 2) << "the failed step did not count down";
  EXPECT_EQ(r.trades[0].entry_price, 101);

  // Spread is checked before funding.
  spec.costs.funding = true;
  BacktestEngine both = engine_for(spec);
  EXPECT_EQ(both.step(flat_candle(0, 100), {})->render(), spread_message);
  spec.costs.slippage = Slippage{};
  BacktestEngine funding = engine_for(spec);
  EXPECT_EQ(funding.step(flat_candle(0, 100), {})->render(), funding_message);
}

TEST(EngineStep, FundingIsChargedOnBarsWithATick) {
  StrategySpec spec = base_spec(always());
  spec.costs.funding = true;
  BacktestEngine engine = engine_for(spec);
  DerivativesTick tick;
  tick.funding_rate = 0.001;
  tick.mark_price = 100;
  tick.index_price = 100;
  tick.futures_price = 100;
  BarFeeds feeds;
  feeds.derivatives = &tick;
  for (int64_t t = 0; t < 3; ++t) ASSERT_FALSE(engine.step(flat_candle(t, 100), feeds));
  // Entered at the open of bar 1; charged on bars 1 and 2.
  const double payment = 0.001 * 100 * 1;
  EXPECT_EQ(engine.equity()[2].equity, 10000 - 100 - payment - payment + 100);
  EXPECT_EQ(std::move(engine).finish().fees_paid, payment + payment);
}

TEST(EngineFinish, ClosesAnOpenPositionAtTheLastClose) {
  StrategySpec spec = base_spec(always());
  spec.costs.taker_bps = 10;
  const Report r = run(spec, {flat_candle(0, 100), flat_candle(1, 100), flat_candle(7, 120)});
  ASSERT_EQ(r.trades.size(), 1u);
  const Trade& t = r.trades[0];
  EXPECT_EQ(t.reason, ExitReason::End);
  EXPECT_EQ(t.exit_time, 7);
  EXPECT_EQ(t.exit_price, 120);
  const double entry_fee = 100 * 1 * (10.0 / 10000), exit_fee = 10.0 / 10000 * 1 * 120;
  EXPECT_EQ(r.fees_paid, entry_fee + exit_fee);
  ASSERT_EQ(r.equity.size(), 3u);
  EXPECT_EQ(r.equity[2].equity, 10000 - (100 + entry_fee) + 120 * 1) << "no exit fee in equity";
  EXPECT_EQ(r.symbol, "X");
  EXPECT_EQ(r.timeframe, "1d");
  EXPECT_EQ(r.initial_capital, 10000);
}

TEST(EngineFinish, WithoutBars) {
  const Report r = run(base_spec(always()), {});
  EXPECT_TRUE(r.trades.empty());
  EXPECT_TRUE(r.equity.empty());
  EXPECT_EQ(r.fees_paid, 0);
}

TEST(EngineFinish, EndCloseOfANonFiniteLastCloseUsesTheLatestFiniteClose) {
  StrategySpec spec = base_spec(always());
  const Report r = run(spec, {flat_candle(0, 100), flat_candle(1, 100), flat_candle(2, 105),
                              candle(3, 106, 107, 104, kNaN)});
  ASSERT_EQ(r.trades.size(), 1u);
  EXPECT_EQ(r.trades[0].exit_price, 105);
  EXPECT_EQ(r.trades[0].exit_time, 3);
  EXPECT_EQ(r.trades[0].pnl, 5);
}

TEST(EngineStep, FlatEquityIsTheCashWhateverTheClose) {
  const Report r = run(base_spec(never()), {flat_candle(0, kNaN), candle(1, 1, 1, 1, kInf)});
  ASSERT_EQ(r.equity.size(), 2u);
  EXPECT_EQ(r.equity[0].equity, 10000);
  EXPECT_EQ(r.equity[1].equity, 10000);
}

TEST(RuleContext, BarsSinceEntrySaturate) {
  EngineState s;
  s.entry_bar = 10;
  s.account.qty = 1;
  EXPECT_EQ(rule_context(s, 13).bars_since_entry, 3u);
  EXPECT_EQ(rule_context(s, 10 + (uint64_t{1} << 32)).bars_since_entry, 4294967295u);
  EXPECT_TRUE(rule_context(s, 13).in_position);
  s.entry_bar.reset();
  EXPECT_FALSE(rule_context(s, 13).entry_known);
}

}  // namespace
}  // namespace ostrel
