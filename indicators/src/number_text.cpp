#include "number_text.hpp"

#include <charconv>
#include <cmath>
#include <cstring>

namespace ostrel {
namespace {

// Positional text of any double: a sign, "0." and 323 zeros before the
// digits of the smallest subnormals (or the 309 digits of the largest
// double), and ".0".
constexpr size_t kMaxPositionalChars = 1 + 2 + 323 + 17 + 2;

// std::to_chars's shortest scientific text, [-]d[.ddd]e(+|-)dd[d], as written
// at some place: x = ±d.ddd × 10^exponent. The layouts below rewrite it in
// place, so the digits are produced once and never copied out.
struct ScientificText {
  char* first;  // the first digit
  char* e;      // the 'e'
  int count;    // significant digits
  int exponent;
};

ScientificText write_scientific_text(char* p, double x) {
  char* end = std::to_chars(p, p + kMaxJsonNumberChars, x, std::chars_format::scientific).ptr;
  ScientificText t;
  t.first = p + (*p == '-');
  const bool three_digits = end[-4] != 'e';
  t.e = end - (three_digits ? 5 : 4);
  int magnitude = (end[-2] - '0') * 10 + (end[-1] - '0');
  if (three_digits) magnitude += (end[-3] - '0') * 100;
  t.exponent = t.e[1] == '-' ? -magnitude : magnitude;
  const int mantissa_chars = static_cast<int>(t.e - t.first);
  t.count = mantissa_chars == 1 ? 1 : mantissa_chars - 1;
  return t;
}

// Positional notation; ".0" after an integral value when `point_zero`.
// Needs room for the positional text after the sign.
char* to_positional(const ScientificText& t, bool point_zero) {
  char* s = t.first;
  const int n = t.count;
  if (t.exponent < 0) {
    const int zeros = -t.exponent - 1;
    const char lead = s[0];
    std::memmove(s + 3 + zeros, s + 2, static_cast<size_t>(n - 1));
    s[2 + zeros] = lead;
    s[0] = '0';
    s[1] = '.';
    std::memset(s + 2, '0', static_cast<size_t>(zeros));
    return s + 2 + zeros + n;
  }
  const int whole = t.exponent + 1;
  if (n > whole) {
    std::memmove(s + 1, s + 2, static_cast<size_t>(t.exponent));
    s[whole] = '.';
    return s + n + 1;
  }
  if (n > 1) std::memmove(s + 1, s + 2, static_cast<size_t>(n - 1));
  std::memset(s + n, '0', static_cast<size_t>(whole - n));
  char* end = s + whole;
  if (point_zero) {
    end[0] = '.';
    end[1] = '0';
    end += 2;
  }
  return end;
}

// d.ddde+X or de-X: the exponent's sign always, no leading zeros.
char* to_json_scientific(const ScientificText& t) {
  const int magnitude = t.exponent < 0 ? -t.exponent : t.exponent;
  return std::to_chars(t.e + 2, t.e + 5, magnitude).ptr;
}

void append_positional(std::string& out, double x, bool point_zero) {
  if (!std::isfinite(x)) {
    out += std::isnan(x) ? "NaN" : x > 0 ? "inf" : "-inf";
    return;
  }
  char text[kMaxPositionalChars];
  out.append(text, to_positional(write_scientific_text(text, x), point_zero));
}

// Integers are written in groups of eight digits below a leading group: the
// groups' divisions do not depend on each other, so they overlap, where one
// digit pair after another would wait for each division in turn.
constexpr uint64_t kTenTo8 = 100000000;

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

char* write_eight_digits(char* p, uint32_t v) {
  const uint32_t high = v / 10000;
  const uint32_t low = v % 10000;
  std::memcpy(p, kDigitPairs + 2 * (high / 100), 2);
  std::memcpy(p + 2, kDigitPairs + 2 * (high % 100), 2);
  std::memcpy(p + 4, kDigitPairs + 2 * (low / 100), 2);
  std::memcpy(p + 6, kDigitPairs + 2 * (low % 100), 2);
  return p + 8;
}

}  // namespace

void append_plain_number(std::string& out, double x) { append_positional(out, x, false); }

void append_message_float(std::string& out, double x) { append_positional(out, x, true); }

char* write_json_number(char* p, double x) {
  if (!std::isfinite(x)) {
    std::memcpy(p, "null", 4);
    return p + 4;
  }
  const ScientificText t = write_scientific_text(p, x);
  if (t.exponent >= -5 && t.exponent <= 15) return to_positional(t, true);
  return to_json_scientific(t);
}

char* write_json_uint(char* p, uint64_t v) {
  if (v < kTenTo8) return std::to_chars(p, p + 8, static_cast<uint32_t>(v)).ptr;
  const auto low = static_cast<uint32_t>(v % kTenTo8);
  v /= kTenTo8;
  if (v < kTenTo8) {
    p = std::to_chars(p, p + 8, static_cast<uint32_t>(v)).ptr;
    return write_eight_digits(p, low);
  }
  const auto middle = static_cast<uint32_t>(v % kTenTo8);
  p = std::to_chars(p, p + 4, static_cast<uint32_t>(v / kTenTo8)).ptr;
  return write_eight_digits(write_eight_digits(p, middle), low);
}

char* write_json_int(char* p, int64_t v) {
  if (v >= 0) return write_json_uint(p, static_cast<uint64_t>(v));
  *p++ = '-';
  return write_json_uint(p, uint64_t{0} - static_cast<uint64_t>(v));
}

}  // namespace ostrel
