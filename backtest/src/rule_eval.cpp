#include "rule_eval.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ostrel {
namespace {

constexpr double kAbsent = std::numeric_limits<double>::quiet_NaN();

uint64_t saturating_add(uint64_t a, uint64_t b) {
  return a > std::numeric_limits<uint64_t>::max() - b ? std::numeric_limits<uint64_t>::max()
                                                      : a + b;
}

double evaluate_expression(const Operand& o, const History& h, size_t p);

// The value of an operand; keys, by far the most frequent, without a call.
inline double operand_value(const Operand& o, const History& h, size_t p) {
  if (o.kind == Operand::Kind::Key) return h.value(p, o.slot);
  return evaluate_expression(o, h, p);
}

double price_field(const Candle& c, PriceField field) {
  switch (field) {
    case PriceField::Open: return c.open;
    case PriceField::High: return c.high;
    case PriceField::Low: return c.low;
    case PriceField::Close: return c.close;
    case PriceField::Volume: return c.volume;
    case PriceField::Hlc3: return (c.high + c.low + c.close) / 3;
    case PriceField::Ohlc4: return (c.open + c.high + c.low + c.close) * 0.25;
  }
  return kAbsent;
}

// Both values present (not NaN) and `holds` for them.
template <class Pred>
bool compare_at(const Condition& c, const History& h, size_t t, Pred holds) {
  double a = operand_value(c.operands[0], h, t);
  double b = operand_value(c.operands[1], h, t);
  return holds(a, b);
}

// cross_above (upward) or cross_below: a is beyond b now and was not
// beyond it on the previous bar; touching counts as not beyond.
bool crossed(const Condition& c, const History& h, size_t t, bool upward) {
  if (t < 1) return false;
  double a_now = operand_value(c.operands[0], h, t);
  double b_now = operand_value(c.operands[1], h, t);
  double a_before = operand_value(c.operands[0], h, t - 1);
  double b_before = operand_value(c.operands[1], h, t - 1);
  if (upward) return a_now > b_now && a_before <= b_before;
  return a_now < b_now && a_before >= b_before;
}

// rising (upward) or falling: compares only the two end points.
bool moved(const Condition& c, const History& h, size_t t, bool upward) {
  if (t < c.count) return false;
  double now = operand_value(c.operands[0], h, t);
  double before = operand_value(c.operands[0], h, t - c.count);
  return upward ? now > before : now < before;
}

bool compare_count(CompareOp op, uint32_t s, uint32_t n) {
  switch (op) {
    case CompareOp::Gt: return s > n;
    case CompareOp::Lt: return s < n;
    case CompareOp::Ge: return s >= n;
    case CompareOp::Le: return s <= n;
    case CompareOp::Eq: return s == n;
  }
  return false;
}

uint64_t largest_lookback(const std::vector<Operand>& operands) {
  uint64_t most = 0;
  for (const Operand& o : operands) most = std::max(most, lookback(o));
  return most;
}

// Every operand form but a key, out of line so that the key path needs no
// call frame.
[[gnu::noinline]] double evaluate_expression(const Operand& o, const History& h, size_t p) {
  switch (o.kind) {
    case Operand::Kind::Key: return h.value(p, o.slot);
    case Operand::Kind::Constant: return o.constant;
    case Operand::Kind::Price: return price_field(h.candle(p), o.field);
    case Operand::Kind::Prev:
      return p < o.count ? kAbsent : operand_value(o.args[0], h, p - o.count);
    case Operand::Kind::Add: return operand_value(o.args[0], h, p) + operand_value(o.args[1], h, p);
    case Operand::Kind::Sub: return operand_value(o.args[0], h, p) - operand_value(o.args[1], h, p);
    case Operand::Kind::Mul: return operand_value(o.args[0], h, p) * operand_value(o.args[1], h, p);
    case Operand::Kind::Div: {
      double a = operand_value(o.args[0], h, p);
      double b = operand_value(o.args[1], h, p);
      // A divisor near zero gives NaN; an absent operand propagates as NaN.
      if (std::fabs(b) < kEpsilon) return kAbsent;
      return a / b;
    }
  }
  return kAbsent;
}

}  // namespace

double evaluate_operand(const Operand& o, const History& h, size_t p) {
  return operand_value(o, h, p);
}

bool evaluate_condition(const Condition& c, const History& h, size_t t, const RuleContext& ctx) {
  using K = Condition::Kind;
  switch (c.kind) {
    case K::Gt: return compare_at(c, h, t, [](double a, double b) { return a > b; });
    case K::Lt: return compare_at(c, h, t, [](double a, double b) { return a < b; });
    case K::Ge: return compare_at(c, h, t, [](double a, double b) { return a >= b; });
    case K::Le: return compare_at(c, h, t, [](double a, double b) { return a <= b; });
    case K::Eq:
      return compare_at(c, h, t, [](double a, double b) { return std::fabs(a - b) < kEpsilon; });
    case K::Ne:
      return compare_at(c, h, t, [](double a, double b) { return std::fabs(a - b) >= kEpsilon; });
    case K::CrossAbove: return crossed(c, h, t, true);
    case K::CrossBelow: return crossed(c, h, t, false);
    case K::Between: {
      double x = operand_value(c.operands[0], h, t);
      double lo = operand_value(c.operands[1], h, t);
      double hi = operand_value(c.operands[2], h, t);
      return lo <= x && x <= hi;
    }
    case K::Rising: return moved(c, h, t, true);
    case K::Falling: return moved(c, h, t, false);
    case K::All:
      return std::all_of(c.members.begin(), c.members.end(),
                         [&](const Condition& m) { return evaluate_condition(m, h, t, ctx); });
    case K::Any:
      return std::any_of(c.members.begin(), c.members.end(),
                         [&](const Condition& m) { return evaluate_condition(m, h, t, ctx); });
    case K::Not: return !evaluate_condition(c.members[0], h, t, ctx);
    case K::InPosition: return ctx.in_position == c.flag;
    case K::BarsSinceEntry:
      return ctx.entry_known && compare_count(c.compare, ctx.bars_since_entry, c.count);
  }
  return false;
}

uint64_t lookback(const Operand& o) {
  switch (o.kind) {
    case Operand::Kind::Key:
    case Operand::Kind::Constant:
    case Operand::Kind::Price: return 0;
    case Operand::Kind::Prev: return saturating_add(o.count, lookback(o.args[0]));
    case Operand::Kind::Add:
    case Operand::Kind::Sub:
    case Operand::Kind::Mul:
    case Operand::Kind::Div: return largest_lookback(o.args);
  }
  return 0;
}

uint64_t lookback(const Condition& c) {
  using K = Condition::Kind;
  switch (c.kind) {
    case K::Gt:
    case K::Lt:
    case K::Ge:
    case K::Le:
    case K::Eq:
    case K::Ne:
    case K::Between: return largest_lookback(c.operands);
    case K::CrossAbove:
    case K::CrossBelow: return saturating_add(largest_lookback(c.operands), 1);
    case K::Rising:
    case K::Falling: return saturating_add(lookback(c.operands[0]), c.count);
    case K::All:
    case K::Any:
    case K::Not: {
      uint64_t most = 0;
      for (const Condition& m : c.members) most = std::max(most, lookback(m));
      return most;
    }
    case K::InPosition:
    case K::BarsSinceEntry: return 0;
  }
  return 0;
}

}  // namespace ostrel
