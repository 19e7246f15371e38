#pragma once
// The last work of a bar: evaluating the strategy's rules and placing the
// order they call for.

#include <cstdint>

#include "engine_state.hpp"
#include "rule_eval.hpp"

namespace ostrel {

// What the rules know of the position on bar `bar_index`. Bars since entry
// saturate at the largest 32-bit count.
RuleContext rule_context(const EngineState& s, uint64_t bar_index);

// With a position: its exit rule. Flat with nothing pending: entry, then
// short_entry, so long wins a tie. A position is never reversed on one bar.
Status evaluate_signals(EngineState& s, const FillBar& bar);

}  // namespace ostrel
