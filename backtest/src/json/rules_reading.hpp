#pragma once
// Reading of rules: conditions (externally tagged objects) and operands
// (read whole, then matched against their three kinds).

#include "json/reader.hpp"
#include "rules.hpp"

namespace ostrel::json {

bool read_condition(Reader& r, Condition& out);
bool read_operand(Reader& r, Operand& out);

}  // namespace ostrel::json
