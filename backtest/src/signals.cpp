#include "signals.hpp"

#include <algorithm>
#include <limits>

namespace ostrel {
namespace {

constexpr uint32_t kMaxBarsSinceEntry = std::numeric_limits<uint32_t>::max();

// A short position uses short_exit when the spec has one.
const Condition& exit_rule(const StrategySpec& spec, bool is_long) {
  return !is_long && spec.short_exit ? *spec.short_exit : spec.exit;
}

}  // namespace

RuleContext rule_context(const EngineState& s, uint64_t bar_index) {
  RuleContext ctx;
  ctx.entry_known = s.entry_bar.has_value();
  if (ctx.entry_known) {
    const uint64_t since = bar_index - *s.entry_bar;
    ctx.bars_since_entry = static_cast<uint32_t>(std::min<uint64_t>(since, kMaxBarsSinceEntry));
  }
  ctx.in_position = s.account.in_position();
  return ctx;
}

Status evaluate_signals(EngineState& s, const FillBar& bar) {
  const RuleContext ctx = rule_context(s, bar.index);
  const size_t now = s.history.size() - 1;
  const auto holds = [&](const Condition& rule) {
    return evaluate_condition(rule, s.history, now, ctx);
  };
  if (ctx.in_position) {
    if (holds(exit_rule(s.spec, s.account.qty > 0))) return place_exit_order(s, bar);
    return std::nullopt;
  }
  if (s.pending) return std::nullopt;
  if (holds(s.spec.entry)) return place_entry_order(s, PositionSide::Long, bar);
  if (s.spec.short_entry && holds(*s.spec.short_entry)) {
    return place_entry_order(s, PositionSide::Short, bar);
  }
  return std::nullopt;
}

}  // namespace ostrel
