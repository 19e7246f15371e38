#pragma once
// JSON text of the report and of the streaming class's equity documents:
// compact, fixed member order, shortest round-trip numbers, null for
// non-finite numbers. Writing cannot fail.

#include <cstddef>
#include <span>
#include <string>

#include "report.hpp"

namespace ostrel {

std::string write_report(const Report& report);

// An upper bound of the report text's length in chars.
size_t max_report_chars(const Report& report);

// Writes the same text as write_report into `out`, which has room for
// max_report_chars(report) chars, and returns the end of what it wrote. Only
// the written chars are touched, so a large untouched buffer costs nothing
// beyond them.
char* write_report_to(char* out, const Report& report);

// "[]" for no points.
std::string write_equity(std::span<const EquityPoint> points);

// {"time":...,"equity":...}
std::string write_equity_point(const EquityPoint& point);

}  // namespace ostrel
