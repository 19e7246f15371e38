#pragma once
// Meaning of the rule language on a bar of the history.
//
// An absent operand value is represented as NaN: every condition that needs
// an absent value is false, and every comparison with NaN is false too, so
// the two cannot be told apart by any condition.

#include <cstdint>

#include "history.hpp"
#include "numeric.hpp"
#include "rules.hpp"

namespace ostrel {

struct RuleContext {
  bool entry_known = false;
  uint32_t bars_since_entry = 0;
  bool in_position = false;
};

// The operand's value at history position p; NaN when absent.
double evaluate_operand(const Operand& operand, const History& history, size_t p);

// Whether the condition holds at history position t.
bool evaluate_condition(const Condition& condition, const History& history, size_t t,
                        const RuleContext& ctx);

// Bars before the current one the expression reads; saturates instead of
// wrapping.
uint64_t lookback(const Operand& operand);
uint64_t lookback(const Condition& condition);

}  // namespace ostrel
