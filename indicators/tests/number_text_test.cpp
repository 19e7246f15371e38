#include "number_text.hpp"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <utility>

namespace ostrel {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kMax = std::numeric_limits<double>::max();
constexpr double kTrueMin = std::numeric_limits<double>::denorm_min();

std::string json_number(double x) {
  char text[kMaxJsonNumberChars];
  return std::string(text, write_json_number(text, x));
}

std::string plain_number(double x) {
  std::string out;
  append_plain_number(out, x);
  return out;
}

std::string message_float(double x) {
  std::string out;
  append_message_float(out, x);
  return out;
}

// The digits of a number's text before any exponent, without sign, point and
// the zeros that only place them.
std::string significant_digits(const std::string& text) {
  std::string digits;
  for (char c : text.substr(0, text.find('e'))) {
    if (c >= '0' && c <= '9') digits += c;
  }
  digits.erase(0, digits.find_first_not_of('0'));
  digits.erase(digits.find_last_not_of('0') + 1);
  return digits;
}

struct Case {
  double x;
  std::string text;
};

TEST(JsonNumber, PlainFromExponentMinus5To15ScientificOutside) {
  const Case cases[] = {
      {0.0, "0.0"},
      {-0.0, "-0.0"},
      {10000.0, "10000.0"},
      {0.5, "0.5"},
      {0.00012, "0.00012"},
      {-3.25, "-3.25"},
      {123456.789, "123456.789"},
      {0.1 + 0.2, "0.30000000000000004"},
      {0.00001, "0.00001"},
      {-0.00001, "-0.00001"},
      {1.2345678901234568e-05, "0.000012345678901234568"},
      {9.99999e-6, "9.99999e-6"},
      {1e-7, "1e-7"},
      {1.5e-7, "1.5e-7"},
      {1e15, "1000000000000000.0"},
      {9999999999999998.0, "9999999999999998.0"},
      {1234567890123456.8, "1234567890123456.8"},
      {1e16, "1e+16"},
      {-2.5e+20, "-2.5e+20"},
      {1e100, "1e+100"},
      {1.5e300, "1.5e+300"},
      {kMax, "1.7976931348623157e+308"},
      {-kMax, "-1.7976931348623157e+308"},
      {1.23e-308, "1.23e-308"},
      {kTrueMin, "5e-324"},
      {kNaN, "null"},
      {kInf, "null"},
      {-kInf, "null"},
  };
  for (const Case& c : cases) EXPECT_EQ(json_number(c.x), c.text) << c.text;
}

TEST(JsonNumber, LongestFormsFitTheStatedMaximum) {
  EXPECT_EQ(json_number(-1.2345678901234568e-05).size(), kMaxJsonNumberChars);
  EXPECT_EQ(json_number(-1.2345678901234567e-300).size(), kMaxJsonNumberChars);
}

// Every finite double reads back to itself from both forms, and the report
// form uses its shortest digits.
TEST(NumberText, RoundTripsRandomBitPatterns) {
  std::mt19937_64 bits(7);
  for (int i = 0; i < 200000; ++i) {
    const uint64_t pattern = bits();
    double x;
    std::memcpy(&x, &pattern, sizeof x);
    if (!std::isfinite(x)) continue;
    const std::string text = json_number(x);
    double back = 0.0;
    const auto parsed = std::from_chars(text.data(), text.data() + text.size(), back);
    ASSERT_EQ(parsed.ec, std::errc()) << text;
    ASSERT_EQ(std::memcmp(&back, &x, sizeof x), 0) << text;

    char shortest[32];
    char* end = std::to_chars(shortest, shortest + 32, x, std::chars_format::scientific).ptr;
    ASSERT_EQ(significant_digits(text), significant_digits(std::string(shortest, end))) << text;

    const std::string plain = plain_number(x);
    ASSERT_EQ(plain.find('e'), std::string::npos) << plain;
    ASSERT_EQ(std::from_chars(plain.data(), plain.data() + plain.size(), back).ec, std::errc());
    ASSERT_EQ(std::memcmp(&back, &x, sizeof x), 0) << plain;
  }
}

TEST(PlainNumber, PositionalWithoutExponentOrPointZero) {
  const Case cases[] = {
      {2.5, "2.5"},
      {0.0, "0"},
      {-0.0, "-0"},
      {-3.0, "-3"},
      {1e-7, "0.0000001"},
      {123.456, "123.456"},
      {1e21, "1000000000000000000000"},
      {1e300, "1" + std::string(300, '0')},
      {kMax, "17976931348623157" + std::string(292, '0')},
      {kTrueMin, "0." + std::string(323, '0') + "5"},
      {-1.5e-10, "-0.00000000015"},
      {kNaN, "NaN"},
      {kInf, "inf"},
      {-kInf, "-inf"},
  };
  for (const Case& c : cases) EXPECT_EQ(plain_number(c.x), c.text) << c.text;
}

TEST(MessageFloat, PointZeroOnlyWhenIntegral) {
  const Case cases[] = {
      {1000.0, "1000.0"},
      {1.5, "1.5"},
      {-0.0, "-0.0"},
      {0.0, "0.0"},
      {1e-7, "0.0000001"},
      {1e300, "1" + std::string(300, '0') + ".0"},
      {kNaN, "NaN"},
      {-kInf, "-inf"},
  };
  for (const Case& c : cases) EXPECT_EQ(message_float(c.x), c.text) << c.text;
}

TEST(PlainNumber, AppendsAfterExistingText) {
  std::string out = "got ";
  append_plain_number(out, 2.5);
  out += ", ";
  append_message_float(out, 7.0);
  EXPECT_EQ(out, "got 2.5, 7.0");
}

TEST(JsonInt, DecimalAcrossDigitGroups) {
  char text[kMaxJsonIntChars];
  const auto signed_text = [&](int64_t v) { return std::string(text, write_json_int(text, v)); };
  const auto unsigned_text = [&](uint64_t v) { return std::string(text, write_json_uint(text, v)); };
  const std::pair<int64_t, std::string> signed_cases[] = {
      {0, "0"},
      {-7, "-7"},
      {99999999, "99999999"},
      {100000000, "100000000"},
      {100000001, "100000001"},
      {-1700000000000, "-1700000000000"},
      {9999999999999999, "9999999999999999"},
      {10000000000000000, "10000000000000000"},
      {10000000000000001, "10000000000000001"},
      {std::numeric_limits<int64_t>::min(), "-9223372036854775808"},
      {std::numeric_limits<int64_t>::max(), "9223372036854775807"},
  };
  for (const auto& [v, written] : signed_cases) EXPECT_EQ(signed_text(v), written);
  EXPECT_EQ(unsigned_text(std::numeric_limits<uint64_t>::max()), "18446744073709551615");

  std::mt19937_64 bits(11);
  for (int i = 0; i < 100000; ++i) {
    const uint64_t v = bits() >> (bits() % 64);
    char expected[kMaxJsonIntChars];
    ASSERT_EQ(unsigned_text(v), std::string(expected, std::to_chars(expected, expected + 20, v).ptr));
  }
}

}  // namespace
}  // namespace ostrel
