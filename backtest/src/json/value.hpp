#pragma once
// A JSON value read whole, for the few places that must see a value before
// they can interpret it (operands, the tagged sizing and slippage objects).

#include <string>
#include <utility>
#include <vector>

#include "json/reader.hpp"

namespace ostrel::json {

struct Value {
  enum class Type : uint8_t { Null, Bool, Number, String, Array, Object };

  Type type = Type::Null;
  bool boolean = false;
  Number number;
  std::string string;
  std::vector<Value> items;                            // Array
  std::vector<std::pair<std::string, Value>> members;  // Object, in text order

  // "null", "boolean `true`", "integer `5`", "string \"x\"", "sequence", "map".
  std::string found() const;
};

// Reads one value of any kind into out, or only reads past it when out is null.
bool read_value(Reader& r, Value* out);
inline bool skip_value(Reader& r) { return read_value(r, nullptr); }

}  // namespace ostrel::json
