#include "json/rules_reading.hpp"

#include <algorithm>
#include <string>

#include "json/record_reader.hpp"
#include "json/value.hpp"

namespace ostrel::json {

namespace {

using CK = Condition::Kind;

constexpr std::string_view kConditionNames[] = {
    "gt",      "lt",  "ge",  "le",  "eq",          "ne",
    "cross_above", "cross_below", "between", "rising", "falling", "all",
    "any",     "not", "in_position", "bars_since_entry"};

constexpr std::string_view kCompareNames[] = {"gt", "lt", "ge", "le", "eq"};

constexpr std::string_view kExpressionNames[] = {"price", "prev", "add", "sub", "mul", "div"};

constexpr std::string_view kPriceNames[] = {"open",   "high", "low",  "close",
                                            "volume", "hlc3", "ohlc4"};

constexpr const char* kUntagged = "data did not match any variant of untagged enum Operand";

// ---- operands, matched on a value read whole ----

bool operand_from_value(const Value& v, Operand& out);

int name_index(std::span<const std::string_view> names, std::string_view s) {
  auto it = std::find(names.begin(), names.end(), s);
  return it == names.end() ? -1 : static_cast<int>(it - names.begin());
}

bool price_from_value(const Value& v, PriceField& out) {
  const std::string* name = nullptr;
  if (v.type == Value::Type::String) {
    name = &v.string;
  } else if (v.type == Value::Type::Object && v.members.size() == 1 &&
             v.members[0].second.type == Value::Type::Null) {
    name = &v.members[0].first;
  }
  if (!name) return false;
  int i = name_index(kPriceNames, *name);
  if (i < 0) return false;
  out = static_cast<PriceField>(i);
  return true;
}

bool count_from_value(const Value& v, uint32_t& out) {
  if (v.type != Value::Type::Number || !u32_refusal(v.number).empty()) return false;
  out = static_cast<uint32_t>(v.number.magnitude);
  return true;
}

bool expression_from_value(const Value& v, Operand& out) {
  if (v.type != Value::Type::Object || v.members.size() != 1) return false;
  const auto& [key, payload] = v.members[0];
  int i = name_index(kExpressionNames, key);
  if (i < 0) return false;
  if (i == 0) {
    out.kind = Operand::Kind::Price;
    return price_from_value(payload, out.field);
  }
  if (payload.type != Value::Type::Array || payload.items.size() != 2) return false;
  out.args.resize(i == 1 ? 1 : 2);
  if (!operand_from_value(payload.items[0], out.args[0])) return false;
  if (i == 1) {
    out.kind = Operand::Kind::Prev;
    return count_from_value(payload.items[1], out.count);
  }
  static constexpr Operand::Kind kBinary[] = {Operand::Kind::Add, Operand::Kind::Sub,
                                              Operand::Kind::Mul, Operand::Kind::Div};
  out.kind = kBinary[i - 2];
  return operand_from_value(payload.items[1], out.args[1]);
}

bool operand_from_value(const Value& v, Operand& out) {
  out = Operand{};
  switch (v.type) {
    case Value::Type::String:
      out.kind = Operand::Kind::Key;
      out.key = v.string;
      return true;
    case Value::Type::Number:
      out.kind = Operand::Kind::Constant;
      out.constant = v.number.as_double();
      return true;
    default: return expression_from_value(v, out);
  }
}

// ---- conditions ----

// [x1, ..., xn] of exactly n operands, then the trailing count when
// with_count is set ("a tuple of size k").
bool read_tuple(Reader& r, Condition& out, size_t operands, bool with_count) {
  const size_t size = operands + (with_count ? 1 : 0);
  const std::string expected = "a tuple of size " + std::to_string(size);
  char c;
  if (!r.peek(c)) return r.fail_after_peek("EOF while parsing a value");
  if (c != '[') return r.invalid_type(expected);
  if (!r.enter()) return false;
  bool first = true;
  out.operands.resize(operands);
  for (size_t i = 0; i < size; ++i) {
    bool more;
    if (!r.next_element(first, more)) return false;
    if (!more) {
      r.fail("invalid length " + std::to_string(i) + ", expected " + expected);
      return r.close_seq();
    }
    bool ok = i < operands ? read_operand(r, out.operands[i]) : r.read_u32(out.count);
    if (!ok) return r.close_seq();
  }
  return r.end_seq();
}

bool read_payload(Reader& r, Condition& out) {
  switch (out.kind) {
    case CK::Between: return read_tuple(r, out, 3, false);
    case CK::Rising:
    case CK::Falling: return read_tuple(r, out, 1, true);
    case CK::All:
    case CK::Any: return read_sequence(r, out.members, read_condition);
    case CK::Not: return read_condition(r, out.members.emplace_back());
    case CK::InPosition: return r.read_bool(out.flag);
    case CK::BarsSinceEntry: {
      // The comparison object: {"ge": 3}.
      size_t op;
      auto read_count = [&](Reader& rr, size_t) { return rr.read_u32(out.count); };
      if (!read_tagged(r, kCompareNames, op, read_count)) return false;
      out.compare = static_cast<CompareOp>(op);
      return true;
    }
    default: return read_tuple(r, out, 2, false);
  }
}

}  // namespace

bool read_condition(Reader& r, Condition& out) {
  size_t kind;
  auto payload = [&](Reader& rr, size_t k) {
    out.kind = static_cast<CK>(k);
    return read_payload(rr, out);
  };
  return read_tagged(r, kConditionNames, kind, payload);
}

bool read_operand(Reader& r, Operand& out) {
  Value v;
  if (!read_value(r, &v)) return false;
  if (!operand_from_value(v, out)) return r.fail(kUntagged);
  return true;
}

}  // namespace ostrel::json
