#pragma once
// Builders for rules, specs and candles in tests.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "records.hpp"
#include "rules.hpp"
#include "spec.hpp"

namespace ostrel::testing {

inline Operand key(std::string k, uint32_t slot = kNoSlot) {
  Operand o;
  o.kind = Operand::Kind::Key;
  o.key = std::move(k);
  o.slot = slot;
  return o;
}
inline Operand constant(double v) {
  Operand o;
  o.kind = Operand::Kind::Constant;
  o.constant = v;
  return o;
}
inline Operand price(PriceField field) {
  Operand o;
  o.kind = Operand::Kind::Price;
  o.field = field;
  return o;
}
inline Operand close_price() { return price(PriceField::Close); }
inline Operand prev(Operand x, uint32_t n) {
  Operand o;
  o.kind = Operand::Kind::Prev;
  o.count = n;
  o.args.push_back(std::move(x));
  return o;
}
inline Operand arithmetic(Operand::Kind kind, Operand a, Operand b) {
  Operand o;
  o.kind = kind;
  o.args.push_back(std::move(a));
  o.args.push_back(std::move(b));
  return o;
}
inline Operand add(Operand a, Operand b) {
  return arithmetic(Operand::Kind::Add, std::move(a), std::move(b));
}
inline Operand sub(Operand a, Operand b) {
  return arithmetic(Operand::Kind::Sub, std::move(a), std::move(b));
}
inline Operand mul(Operand a, Operand b) {
  return arithmetic(Operand::Kind::Mul, std::move(a), std::move(b));
}
inline Operand div(Operand a, Operand b) {
  return arithmetic(Operand::Kind::Div, std::move(a), std::move(b));
}

inline Condition compare(Condition::Kind kind, std::vector<Operand> operands, uint32_t count = 0) {
  Condition c;
  c.kind = kind;
  c.operands = std::move(operands);
  c.count = count;
  return c;
}
inline Condition gt(Operand a, Operand b) {
  return compare(Condition::Kind::Gt, {std::move(a), std::move(b)});
}
inline Condition lt(Operand a, Operand b) {
  return compare(Condition::Kind::Lt, {std::move(a), std::move(b)});
}
inline Condition ge(Operand a, Operand b) {
  return compare(Condition::Kind::Ge, {std::move(a), std::move(b)});
}
inline Condition le(Operand a, Operand b) {
  return compare(Condition::Kind::Le, {std::move(a), std::move(b)});
}
inline Condition eq(Operand a, Operand b) {
  return compare(Condition::Kind::Eq, {std::move(a), std::move(b)});
}
inline Condition ne(Operand a, Operand b) {
  return compare(Condition::Kind::Ne, {std::move(a), std::move(b)});
}
inline Condition cross_above(Operand a, Operand b) {
  return compare(Condition::Kind::CrossAbove, {std::move(a), std::move(b)});
}
inline Condition cross_below(Operand a, Operand b) {
  return compare(Condition::Kind::CrossBelow, {std::move(a), std::move(b)});
}
inline Condition between(Operand x, Operand lo, Operand hi) {
  return compare(Condition::Kind::Between, {std::move(x), std::move(lo), std::move(hi)});
}
inline Condition rising(Operand x, uint32_t n) {
  return compare(Condition::Kind::Rising, {std::move(x)}, n);
}
inline Condition falling(Operand x, uint32_t n) {
  return compare(Condition::Kind::Falling, {std::move(x)}, n);
}

inline Condition group(Condition::Kind kind, std::vector<Condition> members) {
  Condition c;
  c.kind = kind;
  c.members = std::move(members);
  return c;
}
inline Condition all_of(std::vector<Condition> m) {
  return group(Condition::Kind::All, std::move(m));
}
inline Condition any_of(std::vector<Condition> m) {
  return group(Condition::Kind::Any, std::move(m));
}
inline Condition not_(Condition d) { return group(Condition::Kind::Not, {std::move(d)}); }
inline Condition in_position(bool held) {
  Condition c;
  c.kind = Condition::Kind::InPosition;
  c.flag = held;
  return c;
}
inline Condition bars_since_entry(CompareOp op, uint32_t n) {
  Condition c;
  c.kind = Condition::Kind::BarsSinceEntry;
  c.compare = op;
  c.count = n;
  return c;
}
inline Condition always() { return all_of({}); }
inline Condition never() { return any_of({}); }

// A spec with the given long rules, fixed_qty sizing of one unit, no costs.
inline StrategySpec base_spec(Condition entry, Condition exit = never()) {
  StrategySpec spec;
  spec.symbol = std::string("X");
  spec.timeframe = std::string("1d");
  spec.entry = std::move(entry);
  spec.exit = std::move(exit);
  spec.sizing = Sizing{SizingKind::FixedQty, 1.0, 0};
  return spec;
}

inline Candle candle(int64_t time, double open, double high, double low, double close,
                     double volume = 1000.0) {
  return Candle{time, open, high, low, close, volume};
}
// A bar that opens, closes and trades at one price.
inline Candle flat_candle(int64_t time, double price, double volume = 1000.0) {
  return candle(time, price, price, price, price, volume);
}

}  // namespace ostrel::testing
