#include "json/value.hpp"

namespace ostrel::json {

std::string Value::found() const {
  switch (type) {
    case Type::Null: return "null";
    case Type::Bool: return boolean ? "boolean `true`" : "boolean `false`";
    case Type::Number: return number_found(number);
    case Type::String: {
      std::string s = "string ";
      append_quoted(s, string);
      return s;
    }
    case Type::Array: return "sequence";
    case Type::Object: return "map";
  }
  return "null";
}

namespace {

bool read_array(Reader& r, Value* out) {
  if (out) out->type = Value::Type::Array;
  return read_elements(r, [out](Reader& rr) {
    return read_value(rr, out ? &out->items.emplace_back() : nullptr);
  });
}

bool read_object(Reader& r, Value* out) {
  if (out) out->type = Value::Type::Object;
  return read_members(r, [out](Reader& rr, std::string_view key) {
    if (!rr.expect_colon()) return false;
    Value* member = out ? &out->members.emplace_back(std::string(key), Value{}).second : nullptr;
    return read_value(rr, member);
  });
}

bool read_literal(Reader& r, Value* out, Value::Type type, bool boolean) {
  if (type == Value::Type::Null) {
    bool was_null;
    if (!r.take_null(was_null)) return false;
  } else {
    bool v;
    if (!r.read_bool(v)) return false;
  }
  if (out) {
    out->type = type;
    out->boolean = boolean;
  }
  return true;
}

}  // namespace

bool read_value(Reader& r, Value* out) {
  char c;
  if (!r.peek(c)) return r.fail_after_peek("EOF while parsing a value");
  switch (c) {
    case '[': return read_array(r, out);
    case '{': return read_object(r, out);
    case 'n': return read_literal(r, out, Value::Type::Null, false);
    case 't': return read_literal(r, out, Value::Type::Bool, true);
    case 'f': return read_literal(r, out, Value::Type::Bool, false);
    case '"': {
      std::string_view s;
      if (!r.read_string_view(s)) return false;
      if (out) {
        out->type = Value::Type::String;
        out->string.assign(s);
      }
      return true;
    }
    default:
      if (c == '-' || (c >= '0' && c <= '9')) {
        Number n;
        if (!r.read_number(n)) return false;
        if (out) {
          out->type = Value::Type::Number;
          out->number = n;
        }
        return true;
      }
      return r.fail_after_peek("expected value");
  }
}

}  // namespace ostrel::json
