#pragma once
// A pull reader of JSON text that reads straight into typed records.
//
// Errors carry the byte offset of the point they refer to; the offset is
// turned into "line L column C" only when the error is rendered. An error of
// meaning found once a whole value has been read starts without a point; the
// enclosing array or object reader gives it one when it tries to close
// (close_seq / close_map).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace ostrel::json {

struct ReadError {
  std::string message;
  std::optional<size_t> offset;  // the point lies just after this many bytes
};

// A number as the text gives it: an integer (sign and magnitude) when it has
// no fraction or exponent and fits, otherwise a double.
struct Number {
  bool is_float = false;
  bool negative = false;
  uint64_t magnitude = 0;
  double real = 0.0;

  double as_double() const;
  bool fits_i64() const;
};

class Reader {
 public:
  // Arrays and objects may nest this deep; the next bracket is an error.
  static constexpr int kMaxDepth = 127;

  explicit Reader(std::string_view text) : text_(text) {}

  // ---- errors ----
  const ReadError& error() const { return error_; }
  // "{message} at line {l} column {c}", or the message alone without a point.
  std::string error_text() const;
  bool fail(std::string message);              // no point yet
  bool fail_here(std::string message);         // just after the consumed bytes
  bool fail_after_peek(std::string message);   // just after the byte peeked at
  // "invalid type: {found}, expected {expected}" for the value that starts
  // here (a scalar is consumed; a bracket is not).
  bool invalid_type(std::string_view expected);

  // ---- position ----
  // Skips white space; false at the end of the text.
  bool peek(char& c);
  void eat() { ++pos_; }
  size_t pos() const { return pos_; }
  size_t remaining() const { return text_.size() - pos_; }
  // The whole text was one value: only white space may follow.
  bool finish();

  // ---- containers ----
  // Consumes '[' or '{' after the depth check.
  bool enter();
  void leave() { --depth_; }
  // Array elements: true with more=false at ']' (not consumed).
  bool next_element(bool& first, bool& more);
  bool end_seq();
  // Object keys: true with more=false at '}' (not consumed). The key is
  // valid until the next string is read; expect_colon() comes next.
  bool next_key(bool& first, bool& more, std::string_view& key);
  bool end_map();
  // Gives a pointless error its point by trying to close the container.
  bool close_seq();
  bool close_map();

  // ---- scalars ----
  bool read_number(Number& n);  // at '-' or a digit
  bool read_f64(double& v);
  bool read_i64(int64_t& v);
  bool read_u32(uint32_t& v);
  bool read_bool(bool& v);
  bool read_string(std::string& v);
  bool read_string_view(std::string_view& v);  // valid until the next string
  // Consumes a null when one comes next.
  bool take_null(bool& was_null);
  // An enumeration given as "name" or {"name": null}.
  bool read_unit_enum(std::span<const std::string_view> names, size_t& index);
  // The variant name of an enumeration-like object, at '"' (consumed).
  bool read_variant_name(std::span<const std::string_view> names, size_t& index);
  bool expect_colon();

 private:
  bool parse_ident(std::string_view rest);
  bool parse_string_body(std::string_view& out);  // after the opening quote
  bool parse_escape();
  bool parse_hex4(uint32_t& v);
  bool check_utf8();
  bool fail_eof_value() { return fail_after_peek("EOF while parsing a value"); }

  std::string_view text_;
  size_t pos_ = 0;
  int depth_ = 0;
  ReadError error_;
  std::string scratch_;
};

// A JSON array, element by element (after the '[' has been peeked at):
// read_element(r) reads one element. A pointless error of an element gets
// its point when the array tries to close.
template <class ReadElement>
bool read_elements(Reader& r, ReadElement read_element) {
  if (!r.enter()) return false;
  bool first = true;
  for (;;) {
    bool more;
    if (!r.next_element(first, more)) return false;
    if (!more) return r.end_seq();
    if (!read_element(r)) return r.close_seq();
  }
}

// A JSON object, member by member (after the '{' has been peeked at):
// read_member(r, key) reads the colon and the value.
template <class ReadMember>
bool read_members(Reader& r, ReadMember read_member) {
  if (!r.enter()) return false;
  bool first = true;
  for (;;) {
    bool more;
    std::string_view key;
    if (!r.next_key(first, more, key)) return false;
    if (!more) return r.end_map();
    if (!read_member(r, key)) return r.close_map();
  }
}

// "unknown variant `s`, expected `a` or `b`" / "expected one of `a`, `b`, `c`".
std::string unknown_variant(std::string_view s, std::span<const std::string_view> names);
// A string as messages quote it: between double quotes, escaped.
void append_quoted(std::string& out, std::string_view s);
// "integer `5`" / "floating point `1.5`".
std::string number_found(const Number& n);
// Why n is no integer of 0..4294967295 ("invalid type: floating point `1.5`,
// expected u32", "invalid value: integer `-1`, expected u32"); empty when it is.
std::string u32_refusal(const Number& n);

}  // namespace ostrel::json
