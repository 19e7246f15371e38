#pragma once
// Output slots: every distinct indicator key text the rules read gets one
// slot, a column of the bar history, so that rules read values by index
// rather than by text.

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "rules.hpp"
#include "spec.hpp"

namespace ostrel {

using KeySlots = std::map<std::string, uint32_t, std::less<>>;

// Numbers the distinct keys of the four rules in order of first appearance
// and writes each key's slot into its operands.
KeySlots assign_key_slots(StrategySpec& spec);

// The slot of `key`; kNoSlot when no rule reads it.
uint32_t slot_of_key(const KeySlots& slots, std::string_view key);

}  // namespace ostrel
