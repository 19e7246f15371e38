#pragma once
// Doubles and integers as text: the one place where the system formats
// numbers. Every form starts from the shortest digits that read back to the
// same double.

#include <cstddef>
#include <cstdint>
#include <string>

namespace ostrel {

// Room that write_json_number may use: a sign, 17 digits, "0.0000" or a point
// and a three-digit exponent with its sign, whichever layout is longer.
inline constexpr size_t kMaxJsonNumberChars = 24;
// "-9223372036854775808" and "18446744073709551615".
inline constexpr size_t kMaxJsonIntChars = 20;

// Positional notation, never an exponent, no ".0": 2.5, 0, -3, 0.0000001,
// "-0" for negative zero; "NaN", "inf", "-inf" for the non-finite values.
void append_plain_number(std::string& out, double x);

// As append_plain_number, with ".0" when the text has no fractional part:
// 1000.0, 1.5, -0.0, 0.0000001.
void append_message_float(std::string& out, double x);

// The report's number form: positional when the first significant digit's
// decimal exponent is in -5..15 (".0" when integral), otherwise d.ddde+X /
// de-X; null for NaN and infinities. Needs kMaxJsonNumberChars of room at p
// and returns the end of the text.
char* write_json_number(char* p, double x);

// Decimal integers; each needs kMaxJsonIntChars of room at p.
char* write_json_int(char* p, int64_t v);
char* write_json_uint(char* p, uint64_t v);

}  // namespace ostrel
