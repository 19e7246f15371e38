#pragma once
// Reading of a record written either as an object keyed by field names or as
// an array of its fields in declared order.
//
// Object form: unknown keys are read past, a key given twice is an error,
// the first absent required field in declared order is named. Array form:
// trailing fields with defaults may be left off; more elements than fields is
// "trailing characters". The record is default-constructed by the caller, so
// a field that is not read keeps its default.

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "json/reader.hpp"
#include "json/value.hpp"

namespace ostrel::json {

struct Field {
  std::string_view name;
  bool required;
};

template <class T>
struct RecordShape {
  std::string_view what;         // "struct Candle"
  std::string_view length_what;  // "struct Candle with 6 elements"
  std::span<const Field> fields;
  bool (*read_field)(Reader& r, T& out, size_t index);
};

template <class T>
bool read_record_object(Reader& r, T& out, const RecordShape<T>& shape) {
  uint64_t seen = 0;
  auto read_member = [&](Reader& rr, std::string_view key) {
    auto it = std::find_if(shape.fields.begin(), shape.fields.end(),
                           [&](const Field& f) { return f.name == key; });
    if (it == shape.fields.end()) return rr.expect_colon() && skip_value(rr);
    const uint64_t bit = uint64_t{1} << (it - shape.fields.begin());
    if (seen & bit) return rr.fail("duplicate field `" + std::string(it->name) + "`");
    seen |= bit;
    return rr.expect_colon() && shape.read_field(rr, out, static_cast<size_t>(it - shape.fields.begin()));
  };
  if (!read_members(r, read_member)) return false;
  for (size_t i = 0; i < shape.fields.size(); ++i) {
    if (shape.fields[i].required && !(seen & (uint64_t{1} << i))) {
      // The object is closed already: the point lies just after its '}'.
      return r.fail_here("missing field `" + std::string(shape.fields[i].name) + "`");
    }
  }
  return true;
}

template <class T>
bool read_record_array(Reader& r, T& out, const RecordShape<T>& shape) {
  if (!r.enter()) return false;
  bool first = true;
  size_t count = 0;
  for (size_t i = 0; i < shape.fields.size(); ++i) {
    bool more;
    if (!r.next_element(first, more)) return false;
    if (!more) {
      if (!shape.fields[i].required) continue;
      r.fail("invalid length " + std::to_string(count) + ", expected " +
             std::string(shape.length_what));
      return r.close_seq();
    }
    if (!shape.read_field(r, out, i)) return r.close_seq();
    ++count;
  }
  return r.end_seq();
}

template <class T>
bool read_record(Reader& r, T& out, const RecordShape<T>& shape) {
  char c;
  if (!r.peek(c)) return r.fail_after_peek("EOF while parsing a value");
  if (c == '{') return read_record_object(r, out, shape);
  if (c == '[') return read_record_array(r, out, shape);
  return r.invalid_type(shape.what);
}

// A JSON array of elements read by read_element(r, element).
template <class T, class ReadElement>
bool read_sequence(Reader& r, std::vector<T>& out, ReadElement read_element) {
  char c;
  if (!r.peek(c)) return r.fail_after_peek("EOF while parsing a value");
  if (c != '[') return r.invalid_type("a sequence");
  return read_elements(r, [&](Reader& rr) { return read_element(rr, out.emplace_back()); });
}

// A field that may be null (absent) or hold a value read by read_inner.
template <class T, class ReadInner>
bool read_optional(Reader& r, std::optional<T>& out, ReadInner read_inner) {
  bool was_null;
  if (!r.take_null(was_null)) return false;
  if (was_null) {
    out.reset();
    return true;
  }
  return read_inner(r, out.emplace());
}

// An enumeration whose variants carry a payload: {"name": payload}. The bare
// string "name" names a variant without its payload and is refused.
template <class ReadPayload>
bool read_tagged(Reader& r, std::span<const std::string_view> names, size_t& index,
                 ReadPayload read_payload) {
  char c;
  if (!r.peek(c)) return r.fail_after_peek("EOF while parsing a value");
  if (c == '"') {
    if (!r.read_variant_name(names, index)) return false;
    return r.fail("invalid type: unit variant, expected newtype variant");
  }
  if (c != '{') return r.fail_after_peek("expected value");
  if (!r.enter()) return false;
  if (!r.peek(c)) return r.fail_after_peek("EOF while parsing a value");
  if (c != '"') return r.invalid_type("variant identifier");
  if (!r.read_variant_name(names, index) || !r.expect_colon()) return false;
  if (!read_payload(r, index)) return false;
  if (!r.peek(c)) return r.fail_here("EOF while parsing an object");
  if (c != '}') return r.fail_here("expected value");
  r.eat();
  r.leave();
  return true;
}

}  // namespace ostrel::json
