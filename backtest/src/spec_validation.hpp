#pragma once
// Validation of a strategy spec, run once before any bar.

#include <set>
#include <string>

#include "error.hpp"
#include "spec.hpp"

namespace ostrel {

// The highest spec_version this build reads.
inline constexpr uint32_t kMaxSpecVersion = 1;

// The first violated rule, in the fixed order: references, version, sizing
// stop, feed declarations, order offsets, partial fills, close timing.
Status validate_spec(const StrategySpec& spec);

// The first key of the rule, depth first and left to right, whose indicator
// name is not declared: UndeclaredIndicator carrying the whole key.
Status check_references(const Condition& rule, const std::map<std::string, IndicatorSpec>& declared);

}  // namespace ostrel
