#pragma once
// JSON text of the report and of the streaming class's equity documents:
// compact, fixed member order, shortest round-trip numbers, null for
// non-finite numbers. Writing cannot fail.

#include <span>
#include <string>

#include "report.hpp"

namespace ostrel {

std::string write_report(const Report& report);

// "[]" for no points.
std::string write_equity(std::span<const EquityPoint> points);

// {"time":...,"equity":...}
std::string write_equity_point(const EquityPoint& point);

}  // namespace ostrel
