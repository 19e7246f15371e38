#include "key_slots.hpp"

namespace ostrel {
namespace {

void assign_in_operand(Operand& operand, KeySlots& slots) {
  if (operand.kind == Operand::Kind::Key) {
    const auto next = static_cast<uint32_t>(slots.size());
    operand.slot = slots.try_emplace(operand.key, next).first->second;
    return;
  }
  for (Operand& arg : operand.args) assign_in_operand(arg, slots);
}

void assign_in_condition(Condition& condition, KeySlots& slots) {
  for (Operand& operand : condition.operands) assign_in_operand(operand, slots);
  for (Condition& member : condition.members) assign_in_condition(member, slots);
}

}  // namespace

KeySlots assign_key_slots(StrategySpec& spec) {
  KeySlots slots;
  assign_in_condition(spec.entry, slots);
  assign_in_condition(spec.exit, slots);
  if (spec.short_entry) assign_in_condition(*spec.short_entry, slots);
  if (spec.short_exit) assign_in_condition(*spec.short_exit, slots);
  return slots;
}

uint32_t slot_of_key(const KeySlots& slots, std::string_view key) {
  const auto found = slots.find(key);
  return found == slots.end() ? kNoSlot : found->second;
}

}  // namespace ostrel
