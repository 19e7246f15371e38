#include "rule_eval.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "test_specs.hpp"

namespace ostrel {
namespace {

using namespace ostrel::testing;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A history of closes (open = high = low = close, volume 7) with one value
// slot per bar: slot 0 holds `a`, NaN where absent.
History history_of(const std::vector<double>& closes, const std::vector<double>& a = {}) {
  History h(closes.size() + 1, 1);
  for (size_t i = 0; i < closes.size(); ++i) {
    const double value = i < a.size() ? a[i] : kNaN;
    h.push(flat_candle(static_cast<int64_t>(i), closes[i], 7.0), std::span(&value, 1));
  }
  return h;
}

bool holds(const Condition& c, const History& h, RuleContext ctx = {}) {
  return evaluate_condition(c, h, h.size() - 1, ctx);
}

TEST(EvaluateOperand, PricesArithmeticAndPrev) {
  History h(4, 1);
  const double none = kNaN;
  h.push(candle(0, 1, 2, 3, 4, 5), std::span(&none, 1));
  h.push(candle(1, 10, 40, 20, 30, 50), std::span(&none, 1));
  struct Case {
    const char* name;
    Operand operand;
    double expected;  // NaN: absent
  };
  const Case cases[] = {
      {"open", price(PriceField::Open), 10},
      {"volume", price(PriceField::Volume), 50},
      {"hlc3 adds high, low, close", price(PriceField::Hlc3), (40.0 + 20.0 + 30.0) / 3},
      {"ohlc4", price(PriceField::Ohlc4), (10.0 + 40.0 + 20.0 + 30.0) * 0.25},
      {"prev 1", prev(close_price(), 1), 4},
      {"prev before the first bar", prev(close_price(), 2), kNaN},
      {"nested prev adds up", prev(prev(close_price(), 1), 1), kNaN},
      {"sub", sub(close_price(), constant(2.5)), 27.5},
      {"mul", mul(close_price(), constant(2)), 60},
      {"div", div(close_price(), constant(4)), 7.5},
      {"div by a magnitude below epsilon", div(close_price(), constant(1e-17)), kNaN},
      {"div by zero", div(close_price(), constant(0)), kNaN},
      {"absent key", key("x"), kNaN},
      {"absent operand propagates", add(key("x", 0), constant(1)), kNaN},
  };
  for (const Case& c : cases) {
    const double got = evaluate_operand(c.operand, h, 1);
    if (std::isnan(c.expected)) {
      EXPECT_TRUE(std::isnan(got)) << c.name << ": " << got;
    } else {
      EXPECT_EQ(got, c.expected) << c.name;
    }
  }
}

TEST(EvaluateCondition, ComparisonsAndTolerance) {
  const History h = history_of({10});
  const Operand nan = div(close_price(), constant(0));
  struct Case {
    const char* name;
    Condition condition;
    bool expected;
  };
  const Case cases[] = {
      {"eq of an exact sum", eq(constant(1.0), add(constant(1.0), constant(1e-17))), true},
      {"eq within epsilon", eq(constant(1e-20), constant(2e-20)), true},
      {"eq is absolute, not relative", eq(constant(1000), constant(1000 + 1e-10)), false},
      {"ne at epsilon", ne(constant(0), constant(kEpsilon)), true},
      {"ne within epsilon", ne(constant(0), constant(1e-17)), false},
      {"gt NaN", gt(nan, constant(0)), false},
      {"lt NaN", lt(nan, constant(0)), false},
      {"eq NaN", eq(nan, constant(0)), false},
      {"ne NaN", ne(nan, constant(0)), false},
      {"ge equal", ge(close_price(), constant(10)), true},
      {"le equal", le(close_price(), constant(10)), true},
      {"between includes both ends", between(close_price(), constant(10), constant(10)), true},
      {"between reversed bounds", between(close_price(), constant(20), constant(5)), false},
      {"between NaN bound", between(close_price(), nan, constant(20)), false},
  };
  for (const Case& c : cases) EXPECT_EQ(holds(c.condition, h), c.expected) << c.name;
}

TEST(EvaluateCondition, AbsentKeyIsFalseAndItsNegationTrue) {
  const History h = history_of({1, 2}, {5});  // the key has no value on the newest bar
  EXPECT_FALSE(holds(gt(key("a", 0), constant(1)), h));
  EXPECT_TRUE(holds(not_(gt(key("a", 0), constant(1))), h));
  EXPECT_TRUE(holds(gt(prev(key("a", 0), 1), constant(1)), h));
}

TEST(EvaluateCondition, CrossesNeedTwoBarsAndTouchingCountsAsBelow) {
  // key a against the close: a(t-1) vs close(t-1), a(t) vs close(t).
  struct Case {
    const char* name;
    std::vector<double> closes, a;
    bool above, below;
  };
  const Case cases[] = {
      {"touch then above", {10, 10}, {10, 11}, true, false},
      {"already above", {10, 10}, {11, 12}, false, false},
      {"touch then below", {10, 10}, {10, 9}, false, true},
      {"above then below", {10, 10}, {11, 9}, false, true},
      {"previous value absent", {10, 10}, {kNaN, 11}, false, false},
      {"first bar", {10}, {11}, false, false},
  };
  for (const Case& c : cases) {
    const History h = history_of(c.closes, c.a);
    EXPECT_EQ(holds(cross_above(key("a", 0), close_price()), h), c.above) << c.name;
    EXPECT_EQ(holds(cross_below(key("a", 0), close_price()), h), c.below) << c.name;
  }
}

TEST(EvaluateCondition, RisingAndFallingCompareOnlyEndPoints) {
  const History h = history_of({10, 5, 11});
  EXPECT_TRUE(holds(rising(close_price(), 2), h));
  EXPECT_FALSE(holds(falling(close_price(), 2), h));
  EXPECT_FALSE(holds(rising(close_price(), 0), h));
  EXPECT_FALSE(holds(falling(close_price(), 0), h));
  EXPECT_FALSE(holds(rising(close_price(), 3), h));  // reaches before the first bar
}

TEST(EvaluateCondition, GroupsAndNegation) {
  const History h = history_of({10});
  const Condition yes = gt(close_price(), constant(5));
  const Condition no = lt(close_price(), constant(5));
  EXPECT_TRUE(holds(all_of({}), h));
  EXPECT_FALSE(holds(any_of({}), h));
  EXPECT_FALSE(holds(all_of({yes, no}), h));
  EXPECT_TRUE(holds(any_of({no, yes}), h));
  EXPECT_TRUE(holds(not_(not_(yes)), h));
  EXPECT_FALSE(holds(not_(not_(no)), h));
}

TEST(EvaluateCondition, PositionContext) {
  const History h = history_of({10});
  const RuleContext flat{};
  const RuleContext entry_bar{true, 0, true};
  const RuleContext three_later{true, 3, true};
  EXPECT_TRUE(holds(in_position(false), h, flat));
  EXPECT_FALSE(holds(in_position(false), h, entry_bar));
  EXPECT_TRUE(holds(in_position(true), h, entry_bar));

  const Condition ge3 = bars_since_entry(CompareOp::Ge, 3);
  EXPECT_FALSE(holds(ge3, h, flat));
  EXPECT_FALSE(holds(ge3, h, entry_bar));
  EXPECT_TRUE(holds(ge3, h, three_later));
  EXPECT_FALSE(holds(bars_since_entry(CompareOp::Lt, 5), h, flat));  // no entry: always false
  EXPECT_TRUE(holds(bars_since_entry(CompareOp::Eq, 3), h, three_later));
  EXPECT_TRUE(holds(bars_since_entry(CompareOp::Gt, 2), h, three_later));
  EXPECT_TRUE(holds(bars_since_entry(CompareOp::Le, 3), h, three_later));
}

TEST(Lookback, OfEachForm) {
  struct Case {
    const char* name;
    Condition condition;
    uint64_t expected;
  };
  const Case cases[] = {
      {"plain comparison", gt(key("a"), close_price()), 0},
      {"nested prev adds up", gt(prev(prev(close_price(), 2), 3), constant(0)), 5},
      {"arithmetic takes the larger", lt(add(prev(key("a"), 4), prev(key("b"), 1)), constant(0)),
       4},
      {"cross adds one", cross_above(prev(key("a"), 2), key("b")), 3},
      {"rising adds its count", rising(prev(close_price(), 1), 6), 7},
      {"between", between(key("a"), prev(key("b"), 2), key("c")), 2},
      {"groups take the largest", all_of({not_(falling(close_price(), 9)), in_position(true)}), 9},
      {"empty group", any_of({}), 0},
      {"largest counts do not wrap",
       rising(prev(close_price(), std::numeric_limits<uint32_t>::max()),
              std::numeric_limits<uint32_t>::max()),
       2 * uint64_t{std::numeric_limits<uint32_t>::max()}},
  };
  for (const Case& c : cases) EXPECT_EQ(lookback(c.condition), c.expected) << c.name;
}

}  // namespace
}  // namespace ostrel
