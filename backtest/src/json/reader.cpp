#include "json/reader.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "number_text.hpp"

namespace ostrel::json {

namespace {

bool is_ws(char c) { return c == ' ' || c == '\n' || c == '\t' || c == '\r'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void append_utf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Length of the well-formed UTF-8 sequence at s (lead byte >= 0x80), or 0.
size_t utf8_sequence_length(std::string_view s) {
  auto b = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
  auto cont = [&](size_t i) { return i < s.size() && (b(i) & 0xC0) == 0x80; };
  unsigned char c = b(0);
  if (c >= 0xC2 && c <= 0xDF) return cont(1) ? 2 : 0;
  if (c >= 0xE0 && c <= 0xEF) {
    if (!cont(1) || !cont(2)) return 0;
    if (c == 0xE0 && b(1) < 0xA0) return 0;  // overlong
    if (c == 0xED && b(1) > 0x9F) return 0;  // surrogate
    return 3;
  }
  if (c >= 0xF0 && c <= 0xF4) {
    if (!cont(1) || !cont(2) || !cont(3)) return 0;
    if (c == 0xF0 && b(1) < 0x90) return 0;
    if (c == 0xF4 && b(1) > 0x8F) return 0;
    return 4;
  }
  return 0;
}

}  // namespace

// ---- numbers ----

double Number::as_double() const {
  if (is_float) return real;
  double m = static_cast<double>(magnitude);
  return negative ? -m : m;
}

bool Number::fits_i64() const {
  if (is_float) return false;
  return negative ? magnitude <= (uint64_t{1} << 63) : magnitude <= (uint64_t{1} << 63) - 1;
}

std::string number_found(const Number& n) {
  std::string s;
  if (n.is_float) {
    s = "floating point `";
    append_message_float(s, n.real);
  } else {
    s = "integer `";
    if (n.negative && n.magnitude != 0) s += '-';
    s += std::to_string(n.magnitude);
  }
  s += '`';
  return s;
}

std::string u32_refusal(const Number& n) {
  if (n.is_float) return "invalid type: " + number_found(n) + ", expected u32";
  if ((n.negative && n.magnitude != 0) || n.magnitude > UINT32_MAX) {
    return "invalid value: " + number_found(n) + ", expected u32";
  }
  return {};
}

// ---- errors ----

std::string Reader::error_text() const {
  if (!error_.offset) return error_.message;
  size_t off = std::min(*error_.offset, text_.size());
  size_t line = 1;
  size_t line_start = 0;
  for (size_t i = 0; i < off; ++i) {
    if (text_[i] == '\n') {
      ++line;
      line_start = i + 1;
    }
  }
  return error_.message + " at line " + std::to_string(line) + " column " +
         std::to_string(off - line_start);
}

bool Reader::fail(std::string message) {
  error_.message = std::move(message);
  error_.offset.reset();
  return false;
}

bool Reader::fail_here(std::string message) {
  error_.message = std::move(message);
  error_.offset = pos_;
  return false;
}

bool Reader::fail_after_peek(std::string message) {
  error_.message = std::move(message);
  error_.offset = std::min(text_.size(), pos_ + 1);
  return false;
}

bool Reader::invalid_type(std::string_view expected) {
  char c;
  if (!peek(c)) return fail_eof_value();
  std::string found;
  switch (c) {
    case 'n':
      eat();
      if (!parse_ident("ull")) return false;
      found = "null";
      break;
    case 't':
      eat();
      if (!parse_ident("rue")) return false;
      found = "boolean `true`";
      break;
    case 'f':
      eat();
      if (!parse_ident("alse")) return false;
      found = "boolean `false`";
      break;
    case '"': {
      std::string_view s;
      if (!read_string_view(s)) return false;
      found = "string ";
      append_quoted(found, s);
      break;
    }
    case '[': found = "sequence"; break;
    case '{': found = "map"; break;
    default:
      if (c == '-' || is_digit(c)) {
        Number n;
        if (!read_number(n)) return false;
        found = number_found(n);
        break;
      }
      return fail_after_peek("expected value");
  }
  std::string msg = "invalid type: " + found + ", expected ";
  msg += expected;
  return fail_here(std::move(msg));
}

// ---- position ----

bool Reader::peek(char& c) {
  while (pos_ < text_.size() && is_ws(text_[pos_])) ++pos_;
  if (pos_ == text_.size()) return false;
  c = text_[pos_];
  return true;
}

bool Reader::finish() {
  char c;
  if (peek(c)) return fail_after_peek("trailing characters");
  return true;
}

// ---- containers ----

bool Reader::enter() {
  if (depth_ == kMaxDepth) return fail_after_peek("recursion limit exceeded");
  ++depth_;
  eat();
  return true;
}

bool Reader::next_element(bool& first, bool& more) {
  char c;
  if (!peek(c)) return fail_after_peek("EOF while parsing a list");
  if (c == ']') {
    more = false;
    return true;
  }
  if (!first) {
    if (c != ',') return fail_after_peek("expected `,` or `]`");
    eat();
    if (!peek(c)) return fail_eof_value();
    if (c == ']') return fail_after_peek("trailing comma");
  }
  first = false;
  more = true;
  return true;
}

bool Reader::end_seq() {
  char c;
  if (!peek(c)) return fail_after_peek("EOF while parsing a list");
  if (c == ']') {
    eat();
    leave();
    return true;
  }
  if (c == ',') {
    eat();
    if (peek(c) && c == ']') return fail_after_peek("trailing comma");
  }
  return fail_after_peek("trailing characters");
}

bool Reader::next_key(bool& first, bool& more, std::string_view& key) {
  char c;
  if (!peek(c)) return fail_after_peek("EOF while parsing an object");
  if (c == '}') {
    more = false;
    return true;
  }
  if (!first) {
    if (c != ',') return fail_after_peek("expected `,` or `}`");
    eat();
    if (!peek(c)) return fail_eof_value();
  }
  if (c == '}') return fail_after_peek("trailing comma");
  if (c != '"') return fail_after_peek("key must be a string");
  first = false;
  more = true;
  return read_string_view(key);
}

bool Reader::end_map() {
  char c;
  if (!peek(c)) return fail_after_peek("EOF while parsing an object");
  if (c == '}') {
    eat();
    leave();
    return true;
  }
  return fail_after_peek(c == ',' ? "trailing comma" : "trailing characters");
}

bool Reader::close_seq() {
  if (!error_.offset) {
    char c;
    if (peek(c)) {
      if (c == ']') {
        eat();
      } else if (c == ',') {
        eat();
        peek(c);
      }
    }
    error_.offset = pos_;
  }
  return false;
}

bool Reader::close_map() {
  if (!error_.offset) {
    char c;
    if (peek(c) && c == '}') eat();
    error_.offset = pos_;
  }
  return false;
}

bool Reader::expect_colon() {
  char c;
  if (!peek(c)) return fail_after_peek("EOF while parsing an object");
  if (c != ':') return fail_after_peek("expected `:`");
  eat();
  return true;
}

// ---- scalars ----

bool Reader::parse_ident(std::string_view rest) {
  for (char expected : rest) {
    if (pos_ == text_.size()) return fail_here("EOF while parsing a value");
    char c = text_[pos_++];
    if (c != expected) return fail_here("expected ident");
  }
  return true;
}

namespace {

// Exactly representable powers of ten.
constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                             1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// When the digits form an integer of at most 2^53 and the power of ten is
// exact, one division or multiplication of two exact doubles is correctly
// rounded; otherwise the general conversion decides.
bool fast_decimal(uint64_t digits, int64_t exponent, double& out) {
  if (digits > (uint64_t{1} << 53) || exponent < -22 || exponent > 22) return false;
  double m = static_cast<double>(digits);
  out = exponent < 0 ? m / kPow10[-exponent] : m * kPow10[exponent];
  return true;
}

}  // namespace

bool Reader::read_number(Number& n) {
  // Scans with a local cursor (the hot loop of large documents); pos_ is
  // brought up to date before every return.
  const char* const begin = text_.data();
  const char* const end = begin + text_.size();
  const char* const start = begin + pos_;
  const char* p = start;
  auto at = [&](const char* q) {
    pos_ = static_cast<size_t>(q - begin);
    return true;
  };
  auto digit_at = [&](const char* q) { return q < end && is_digit(*q); };
  n = Number{};
  if (*p == '-') {
    n.negative = true;
    ++p;
  }
  if (p == end) return at(p) && fail_here("EOF while parsing a value");
  const char c = *p++;
  bool overflow = false;
  if (c == '0') {
    if (digit_at(p)) return at(p) && fail_after_peek("invalid number");
  } else if (c >= '1' && c <= '9') {
    uint64_t m = static_cast<uint64_t>(c - '0');
    for (; digit_at(p); ++p) {
      uint64_t d = static_cast<uint64_t>(*p - '0');
      if (m > (UINT64_MAX - d) / 10) overflow = true;
      if (!overflow) m = m * 10 + d;
    }
    n.magnitude = m;
  } else {
    return at(p) && fail_here("invalid number");
  }
  bool fraction = false;
  uint64_t digits = n.magnitude;  // all significant digits, while they fit
  bool digits_fit = !overflow;
  int64_t exponent = 0;
  if (p < end && *p == '.') {
    fraction = true;
    const char* first_digit = ++p;
    for (; digit_at(p); ++p) {
      uint64_t d = static_cast<uint64_t>(*p - '0');
      if (digits > (UINT64_MAX - d) / 10) digits_fit = false;
      if (digits_fit) {
        digits = digits * 10 + d;
        --exponent;
      }
    }
    if (p == first_digit) {
      return at(p) && fail_after_peek(p == end ? "EOF while parsing a value" : "invalid number");
    }
  }
  if (p < end && (*p == 'e' || *p == 'E')) {
    fraction = true;
    ++p;
    bool negative_exp = false;
    if (p < end && (*p == '+' || *p == '-')) negative_exp = *p++ == '-';
    if (p == end) return at(p) && fail_here("EOF while parsing a value");
    if (!is_digit(*p++)) return at(p) && fail_here("invalid number");
    int64_t e = p[-1] - '0';
    for (; digit_at(p); ++p) {
      if (e < 100000) e = e * 10 + (*p - '0');
    }
    exponent += negative_exp ? -e : e;
  }
  at(p);
  // Negative integers below the signed 64-bit range are read as doubles.
  if (!fraction && !overflow && !(n.negative && n.magnitude > (uint64_t{1} << 63))) return true;
  n.is_float = true;
  if (digits_fit && fast_decimal(digits, exponent, n.real)) {
    if (n.negative) n.real = -n.real;
    return true;
  }
  auto [ptr, ec] = std::from_chars(start, p, n.real);
  if (ec == std::errc::result_out_of_range) {
    // Tell overflow from underflow; underflow reads as zero.
    std::string copy(start, p);
    if (std::isinf(std::strtod(copy.c_str(), nullptr))) return fail_here("number out of range");
    n.real = n.negative ? -0.0 : 0.0;
  } else if (ec != std::errc() || ptr != p) {
    return fail_here("invalid number");
  }
  return true;
}

bool Reader::read_f64(double& v) {
  char c;
  if (!peek(c)) return fail_eof_value();
  if (c != '-' && !is_digit(c)) return invalid_type("f64");
  Number n;
  if (!read_number(n)) return false;
  v = n.as_double();
  return true;
}

bool Reader::read_i64(int64_t& v) {
  char c;
  if (!peek(c)) return fail_eof_value();
  if (c != '-' && !is_digit(c)) return invalid_type("i64");
  Number n;
  if (!read_number(n)) return false;
  if (n.is_float) return fail_here("invalid type: " + number_found(n) + ", expected i64");
  if (!n.fits_i64()) return fail_here("invalid value: " + number_found(n) + ", expected i64");
  v = n.negative ? static_cast<int64_t>(0 - n.magnitude) : static_cast<int64_t>(n.magnitude);
  return true;
}

bool Reader::read_u32(uint32_t& v) {
  char c;
  if (!peek(c)) return fail_eof_value();
  if (c != '-' && !is_digit(c)) return invalid_type("u32");
  Number n;
  if (!read_number(n)) return false;
  if (std::string refusal = u32_refusal(n); !refusal.empty()) return fail_here(refusal);
  v = static_cast<uint32_t>(n.magnitude);
  return true;
}

bool Reader::read_bool(bool& v) {
  char c;
  if (!peek(c)) return fail_eof_value();
  if (c == 't') {
    eat();
    v = true;
    return parse_ident("rue");
  }
  if (c == 'f') {
    eat();
    v = false;
    return parse_ident("alse");
  }
  return invalid_type("a boolean");
}

bool Reader::read_string(std::string& v) {
  std::string_view s;
  if (!read_string_view(s)) return false;
  v.assign(s);
  return true;
}

bool Reader::read_string_view(std::string_view& v) {
  char c;
  if (!peek(c)) return fail_eof_value();
  if (c != '"') return invalid_type("a string");
  eat();
  return parse_string_body(v);
}

bool Reader::take_null(bool& was_null) {
  char c;
  was_null = peek(c) && c == 'n';
  if (!was_null) return true;
  eat();
  return parse_ident("ull");
}

bool Reader::parse_string_body(std::string_view& out) {
  const size_t start = pos_;
  bool escaped = false;
  scratch_.clear();
  size_t run = start;  // start of the bytes not yet copied to scratch_
  for (;;) {
    if (pos_ == text_.size()) return fail_here("EOF while parsing a string");
    unsigned char c = static_cast<unsigned char>(text_[pos_]);
    if (c == '"') {
      if (escaped) {
        scratch_.append(text_.substr(run, pos_ - run));
        out = scratch_;
      } else {
        out = text_.substr(start, pos_ - start);
      }
      eat();
      return true;
    }
    if (c == '\\') {
      scratch_.append(text_.substr(run, pos_ - run));
      escaped = true;
      eat();
      if (!parse_escape()) return false;
      run = pos_;
    } else if (c < 0x20) {
      eat();
      return fail_here("control character (\\u0000-\\u001F) found while parsing a string");
    } else if (c >= 0x80) {
      if (!check_utf8()) return false;
    } else {
      eat();
    }
  }
}

bool Reader::check_utf8() {
  size_t len = utf8_sequence_length(text_.substr(pos_));
  if (len == 0) {
    eat();
    return fail_here("invalid unicode code point");
  }
  pos_ += len;
  return true;
}

bool Reader::parse_hex4(uint32_t& v) {
  if (text_.size() - pos_ < 4) {
    pos_ = text_.size();
    return fail_here("EOF while parsing a string");
  }
  v = 0;
  for (int i = 0; i < 4; ++i) {
    int h = hex_value(text_[pos_ + i]);
    if (h < 0) {
      pos_ += 4;
      return fail_here("invalid escape");
    }
    v = v * 16 + static_cast<uint32_t>(h);
  }
  pos_ += 4;
  return true;
}

bool Reader::parse_escape() {
  if (pos_ == text_.size()) return fail_here("EOF while parsing a string");
  char c = text_[pos_++];
  switch (c) {
    case '"': scratch_ += '"'; return true;
    case '\\': scratch_ += '\\'; return true;
    case '/': scratch_ += '/'; return true;
    case 'b': scratch_ += '\b'; return true;
    case 'f': scratch_ += '\f'; return true;
    case 'n': scratch_ += '\n'; return true;
    case 'r': scratch_ += '\r'; return true;
    case 't': scratch_ += '\t'; return true;
    case 'u': break;
    default: return fail_here("invalid escape");
  }
  uint32_t cp;
  if (!parse_hex4(cp)) return false;
  if (cp >= 0xDC00 && cp <= 0xDFFF) return fail_here("lone leading surrogate in hex escape");
  if (cp >= 0xD800 && cp <= 0xDBFF) {
    for (char expected : {'\\', 'u'}) {
      if (pos_ == text_.size()) return fail_here("EOF while parsing a string");
      if (text_[pos_++] != expected) return fail_here("unexpected end of hex escape");
    }
    uint32_t low;
    if (!parse_hex4(low)) return false;
    if (low < 0xDC00 || low > 0xDFFF) return fail_here("lone leading surrogate in hex escape");
    cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
  }
  append_utf8(scratch_, cp);
  return true;
}

bool Reader::read_variant_name(std::span<const std::string_view> names, size_t& index) {
  std::string_view s;
  if (!read_string_view(s)) return false;
  auto it = std::find(names.begin(), names.end(), s);
  if (it == names.end()) return fail_here(unknown_variant(s, names));
  index = static_cast<size_t>(it - names.begin());
  return true;
}

bool Reader::read_unit_enum(std::span<const std::string_view> names, size_t& index) {
  char c;
  if (!peek(c)) return fail_eof_value();
  if (c == '"') return read_variant_name(names, index);
  if (c != '{') return fail_after_peek("expected value");
  if (!enter()) return false;
  if (!peek(c)) return fail_eof_value();
  if (c != '"') return invalid_type("variant identifier");
  if (!read_variant_name(names, index) || !expect_colon()) return false;
  if (!peek(c)) return fail_eof_value();
  if (c != 'n') return invalid_type("unit");
  eat();
  if (!parse_ident("ull")) return false;
  if (!peek(c)) return fail_here("EOF while parsing an object");
  if (c != '}') return fail_here("expected value");
  eat();
  leave();
  return true;
}

std::string unknown_variant(std::string_view s, std::span<const std::string_view> names) {
  std::string msg = "unknown variant `";
  msg += s;
  msg += "`, expected ";
  if (names.size() == 2) {
    msg += "`" + std::string(names[0]) + "` or `" + std::string(names[1]) + "`";
    return msg;
  }
  msg += "one of ";
  for (size_t i = 0; i < names.size(); ++i) {
    if (i) msg += ", ";
    msg += "`" + std::string(names[i]) + "`";
  }
  return msg;
}

void append_quoted(std::string& out, std::string_view s) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += '"';
  for (char ch : s) {
    unsigned char c = static_cast<unsigned char>(ch);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20 || c == 0x7F) {
          out += "\\u{";
          if (c >= 0x10) out += kHex[c >> 4];
          out += kHex[c & 0xF];
          out += '}';
        } else {
          out += ch;
        }
    }
  }
  out += '"';
}

}  // namespace ostrel::json
