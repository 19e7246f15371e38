#pragma once
// Reading of the strategy spec document (without its validation).

#include "json/reader.hpp"
#include "spec.hpp"

namespace ostrel::json {

bool read_strategy_spec(Reader& r, StrategySpec& out);

}  // namespace ostrel::json
