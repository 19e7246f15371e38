#pragma once
// The rule language: conditions over operands, as owned trees.

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace ostrel {

enum class PriceField : uint8_t { Open, High, Low, Close, Volume, Hlc3, Ohlc4 };

inline constexpr uint32_t kNoSlot = std::numeric_limits<uint32_t>::max();

struct Operand {
  enum class Kind : uint8_t { Key, Constant, Price, Prev, Add, Sub, Mul, Div };

  Kind kind = Kind::Constant;
  double constant = 0.0;                // Constant
  PriceField field = PriceField::Close; // Price
  uint32_t count = 0;                   // Prev: bars back
  std::string key;                      // Key: "name" or "name.output"
  uint32_t slot = kNoSlot;              // Key: value slot, resolved by the engine
  std::vector<Operand> args;            // Prev: {x}; Add..Div: {a, b}
};

enum class CompareOp : uint8_t { Gt, Lt, Ge, Le, Eq };

struct Condition {
  // In the order of the document's variant list.
  enum class Kind : uint8_t {
    Gt, Lt, Ge, Le, Eq, Ne, CrossAbove, CrossBelow, Between,
    Rising, Falling, All, Any, Not, InPosition, BarsSinceEntry,
  };

  Kind kind = Kind::All;
  std::vector<Operand> operands;    // a, b; between: x, lo, hi; rising/falling: x
  uint32_t count = 0;               // rising/falling: n; bars_since_entry: n
  CompareOp compare = CompareOp::Gt;// bars_since_entry
  bool flag = false;                // in_position
  std::vector<Condition> members;   // all/any: the list; not: one member
};

}  // namespace ostrel
