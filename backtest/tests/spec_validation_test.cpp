#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "spec_validation.hpp"

namespace ostrel {
namespace {

// Builders for operands and conditions, so rules read close to their JSON.

Operand key(std::string name) {
  Operand o;
  o.kind = Operand::Kind::Key;
  o.key = std::move(name);
  return o;
}

Operand num(double x) {
  Operand o;
  o.kind = Operand::Kind::Constant;
  o.constant = x;
  return o;
}

Operand price(PriceField field) {
  Operand o;
  o.kind = Operand::Kind::Price;
  o.field = field;
  return o;
}

Operand prev(Operand x, uint32_t n) {
  Operand o;
  o.kind = Operand::Kind::Prev;
  o.count = n;
  o.args = {std::move(x)};
  return o;
}

Operand arith(Operand::Kind kind, Operand a, Operand b) {
  Operand o;
  o.kind = kind;
  o.args = {std::move(a), std::move(b)};
  return o;
}

Condition compare(Condition::Kind kind, std::vector<Operand> operands) {
  Condition c;
  c.kind = kind;
  c.operands = std::move(operands);
  return c;
}

Condition gt(Operand a, Operand b) { return compare(Condition::Kind::Gt, {a, b}); }
Condition lt(Operand a, Operand b) { return compare(Condition::Kind::Lt, {a, b}); }

Condition rising(Operand x, uint32_t n) {
  Condition c = compare(Condition::Kind::Rising, {x});
  c.count = n;
  return c;
}

Condition group(Condition::Kind kind, std::vector<Condition> members) {
  Condition c;
  c.kind = kind;
  c.members = std::move(members);
  return c;
}

Condition in_position(bool held) {
  Condition c;
  c.kind = Condition::Kind::InPosition;
  c.flag = held;
  return c;
}

Condition bars_since_entry(CompareOp op, uint32_t n) {
  Condition c;
  c.kind = Condition::Kind::BarsSinceEntry;
  c.compare = op;
  c.count = n;
  return c;
}

// What a status shows the caller; "" when it passed.
std::string shown(const Status& status) { return status ? status->render() : std::string(); }

StrategySpec minimal_spec() {
  StrategySpec spec;
  spec.symbol = "X";
  spec.timeframe = "1d";
  spec.indicators["fast"] = {"Sma", {5}, std::nullopt};
  spec.indicators["slow"] = {"Sma", {20}, std::nullopt};
  spec.entry = group(Condition::Kind::Not, {in_position(true)});
  spec.exit = lt(key("fast"), key("slow"));
  spec.sizing = {SizingKind::FixedFraction, 1.0, 0};
  return spec;
}

const std::string kSpec = "invalid strategy spec: ";
const std::string kUndeclared = "rule references undeclared indicator: ";
const std::string kSizingStop =
    kSpec + "sizing risk_per_trade requires risk.stop_loss_pct: the position size is" +
    std::string(18, ' ') + "derived from the distance to the stop";
const std::string kStopLimit =
    kSpec + "stop_limit order_type requires both execution.stop_offset_pct and" +
    std::string(22, ' ') + "execution.limit_offset_pct";
const std::string kStop = kSpec + "stop order_type requires execution.stop_offset_pct";
const std::string kLimit = kSpec + "limit order_type requires execution.limit_offset_pct";
const std::string kPartial = kSpec + "partial_fills requires execution.max_participation";
const std::string kCloseMarket = kSpec + "fill_timing close requires a market order_type";
const std::string kCloseLatency = kSpec + "fill_timing close is incompatible with latency_bars";

void undeclared_exit(StrategySpec& s) { s.exit = gt(key("ghost"), num(1)); }
void version(StrategySpec& s, uint32_t v) { s.spec_version = v; }
void risk_sizing(StrategySpec& s) { s.sizing = {SizingKind::RiskPerTrade, 1.0, 0}; }
void feed_mismatch(StrategySpec& s) { s.indicators["flow"] = {"Rsi", {14}, FeedKind::Trade}; }
void order(StrategySpec& s, OrderType type) { s.execution.order_type = type; }
void partial(StrategySpec& s) { s.execution.partial_fills = true; }
void close_fill(StrategySpec& s) { s.execution.fill_timing = FillTiming::Close; }

struct OrderCase {
  const char* name;
  std::function<void(StrategySpec&)> edit;
  std::string expected;
};

// Each row breaks one or more rules; the earliest rule names the message.
TEST(ValidateSpec, ReportsTheFirstBrokenRuleInOrder) {
  const std::vector<OrderCase> cases = {
      {"minimal spec", [](StrategySpec&) {}, ""},
      {"references before version",
       [](StrategySpec& s) { undeclared_exit(s), version(s, 2); }, kUndeclared + "ghost"},
      {"entry walked before exit",
       [](StrategySpec& s) { undeclared_exit(s), s.entry = gt(key("first"), num(0)); },
       kUndeclared + "first"},
      {"short entry walked before short exit",
       [](StrategySpec& s) {
         s.short_exit = gt(key("late"), num(0));
         s.short_entry = gt(key("early"), num(0));
       },
       kUndeclared + "early"},
      {"short exit walked",
       [](StrategySpec& s) {
         s.short_entry = gt(key("fast"), num(0));
         s.short_exit = gt(key("late"), num(0));
       },
       kUndeclared + "late"},
      {"version 2 before sizing", [](StrategySpec& s) { version(s, 2), risk_sizing(s); },
       kSpec + "spec_version 2 is not supported; this build reads 1..=1"},
      {"version 0", [](StrategySpec& s) { version(s, 0); },
       kSpec + "spec_version 0 is not supported; this build reads 1..=1"},
      {"version max", [](StrategySpec& s) { version(s, 4294967295u); },
       kSpec + "spec_version 4294967295 is not supported; this build reads 1..=1"},
      {"sizing before feeds", [](StrategySpec& s) { risk_sizing(s), feed_mismatch(s); },
       kSizingStop},
      {"sizing with stop passes",
       [](StrategySpec& s) { risk_sizing(s), s.risk.stop_loss_pct = 0.02; }, ""},
      {"feeds before offsets",
       [](StrategySpec& s) { feed_mismatch(s), order(s, OrderType::Stop); },
       kSpec + "indicator 'flow' (Rsi) declares feed Trade but consumes Kline"},
      {"offsets before partial fills",
       [](StrategySpec& s) { order(s, OrderType::Stop), partial(s); }, kStop},
      {"stop with stop offset passes",
       [](StrategySpec& s) { order(s, OrderType::Stop), s.execution.stop_offset_pct = 0.01; },
       ""},
      {"stop_limit with stop offset only",
       [](StrategySpec& s) {
         order(s, OrderType::StopLimit), s.execution.stop_offset_pct = 0.01;
       },
       kStopLimit},
      {"stop_limit with limit offset only",
       [](StrategySpec& s) {
         order(s, OrderType::StopLimit), s.execution.limit_offset_pct = 0.01;
       },
       kStopLimit},
      {"stop_limit with both offsets passes",
       [](StrategySpec& s) {
         order(s, OrderType::StopLimit);
         s.execution.stop_offset_pct = 0.01;
         s.execution.limit_offset_pct = 0.01;
       },
       ""},
      {"limit without offset", [](StrategySpec& s) { order(s, OrderType::Limit); }, kLimit},
      {"limit offset alone does not satisfy stop",
       [](StrategySpec& s) { order(s, OrderType::Stop), s.execution.limit_offset_pct = 0.01; },
       kStop},
      {"market ignores offsets", [](StrategySpec& s) { s.execution.stop_offset_pct = 0.01; },
       ""},
      {"partial fills before close timing",
       [](StrategySpec& s) { partial(s), close_fill(s), s.execution.latency_bars = 1; },
       kPartial},
      {"partial fills with participation passes",
       [](StrategySpec& s) { partial(s), s.execution.max_participation = 0.1; }, ""},
      {"close needs market before latency",
       [](StrategySpec& s) {
         close_fill(s), order(s, OrderType::Limit);
         s.execution.limit_offset_pct = 0.01;
         s.execution.latency_bars = 1;
       },
       kCloseMarket},
      {"close with latency", [](StrategySpec& s) { close_fill(s), s.execution.latency_bars = 1; },
       kCloseLatency},
      {"close with market and no latency passes", [](StrategySpec& s) { close_fill(s); }, ""},
  };
  for (const OrderCase& c : cases) {
    SCOPED_TRACE(c.name);
    StrategySpec spec = minimal_spec();
    c.edit(spec);
    EXPECT_EQ(shown(validate_spec(spec)), c.expected);
  }
}

TEST(ValidateSpec, ErrorKinds) {
  StrategySpec spec = minimal_spec();
  undeclared_exit(spec);
  Status status = validate_spec(spec);
  ASSERT_TRUE(status);
  EXPECT_EQ(status->kind, BacktestError::Kind::UndeclaredIndicator);
  EXPECT_EQ(status->text, "ghost");

  spec = minimal_spec();
  partial(spec);
  status = validate_spec(spec);
  ASSERT_TRUE(status);
  EXPECT_EQ(status->kind, BacktestError::Kind::InvalidSpec);
}

struct FeedCase {
  std::string type;
  std::optional<FeedKind> declared;
  std::string expected;
};

TEST(ValidateSpec, DeclaredFeedMustMatchTheTypesOwn) {
  const std::vector<FeedCase> cases = {
      {"Rsi", FeedKind::Trade, "indicator 'ind' (Rsi) declares feed Trade but consumes Kline"},
      {"Vpin", FeedKind::Kline, "indicator 'ind' (Vpin) declares feed Kline but consumes Trade"},
      {"Trin", FeedKind::Derivatives,
       "indicator 'ind' (Trin) declares feed Derivatives but consumes CrossSection"},
      {"KylesLambda", FeedKind::Orderbook,
       "indicator 'ind' (KylesLambda) declares feed Orderbook but consumes TradeQuote"},
      {"Rsi", FeedKind::Kline, ""},
      {"Rsi", std::nullopt, ""},
      {"Vpin", std::nullopt, ""},
      {"FundingRate", FeedKind::Derivatives, ""},
      {"Macd", FeedKind::Trade, ""},
      {"Bollinger", FeedKind::Orderbook, ""},
      {"NoSuchType", FeedKind::CrossSection, ""},
  };
  for (const FeedCase& c : cases) {
    SCOPED_TRACE(c.type);
    StrategySpec spec = minimal_spec();
    spec.indicators["ind"] = {c.type, {}, c.declared};
    std::string expected = c.expected.empty() ? "" : kSpec + c.expected;
    EXPECT_EQ(shown(validate_spec(spec)), expected);
  }
}

TEST(ValidateSpec, FeedsCheckedInByteOrderOfNames) {
  StrategySpec spec = minimal_spec();
  spec.indicators["zeta"] = {"Rsi", {14}, FeedKind::Trade};
  spec.indicators["beta"] = {"Vpin", {1, 2}, FeedKind::Orderbook};
  spec.indicators["Zulu"] = {"Sma", {3}, FeedKind::Derivatives};
  EXPECT_EQ(shown(validate_spec(spec)),
            kSpec + "indicator 'Zulu' (Sma) declares feed Derivatives but consumes Kline");
}

struct ReferenceCase {
  const char* name;
  Condition rule;
  std::string undeclared;  // "" when every key passes
};

TEST(CheckReferences, KeyForms) {
  std::map<std::string, IndicatorSpec> declared;
  declared["macd"] = {"MacdIndicator", {12, 26, 9}, std::nullopt};
  declared["a.b"] = {"Sma", {3}, std::nullopt};
  const std::vector<std::pair<std::string, bool>> keys = {
      {"macd", true},         {"macd.signal", true}, {"macd.x.y", true}, {"macd.", true},
      {"a.b", true},          {"a.b.c", false},      {"a", false},       {"mac", false},
      {"signal.macd", false}, {".macd", false},      {"MACD", false},    {"macd ", false},
      {"", false},
  };
  for (const auto& [k, passes] : keys) {
    SCOPED_TRACE('"' + k + '"');
    Status status = check_references(gt(key(k), num(0)), declared);
    EXPECT_EQ(shown(status), passes ? "" : kUndeclared + k);
    if (status) {
      EXPECT_EQ(status->kind, BacktestError::Kind::UndeclaredIndicator);
    }
  }
}

TEST(CheckReferences, WalksDepthFirstLeftToRight) {
  using K = Condition::Kind;
  using O = Operand::Kind;
  std::map<std::string, IndicatorSpec> declared;
  declared["ok"] = {"Sma", {3}, std::nullopt};
  const std::vector<ReferenceCase> cases = {
      {"all of two", group(K::All, {gt(key("a"), num(1)), gt(key("b"), num(1))}), "a"},
      {"second operand", gt(key("ok"), key("b")), "b"},
      {"between: lo before hi",
       compare(K::Between, {key("ok"), key("lo"), key("hi")}), "lo"},
      {"cross_below", compare(K::CrossBelow, {num(1), key("x")}), "x"},
      {"rising", rising(key("r"), 3), "r"},
      {"not", group(K::Not, {lt(key("n"), num(0))}), "n"},
      {"nested groups",
       group(K::Any, {group(K::All, {gt(key("ok"), num(1)), lt(key("inner"), num(1))}),
                      gt(key("outer"), num(1))}),
       "inner"},
      {"expression tree",
       gt(arith(O::Add, num(1), arith(O::Mul, price(PriceField::Close), prev(key("deep"), 3))),
          key("right")),
       "deep"},
      {"div: a before b", lt(arith(O::Div, key("num"), key("den")), num(1)), "num"},
      {"sub under prev", gt(prev(arith(O::Sub, key("ok"), key("s")), 1), num(0)), "s"},
      {"prices and constants pass",
       compare(K::Eq, {price(PriceField::Ohlc4), arith(O::Add, num(1), key("ok"))}), ""},
      {"empty all", group(K::All, {}), ""},
      {"empty any", group(K::Any, {}), ""},
      {"position forms",
       group(K::All, {in_position(false), bars_since_entry(CompareOp::Ge, 3)}), ""},
  };
  for (const ReferenceCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::string expected = c.undeclared.empty() ? "" : kUndeclared + c.undeclared;
    EXPECT_EQ(shown(check_references(c.rule, declared)), expected);
  }
}

}  // namespace
}  // namespace ostrel
