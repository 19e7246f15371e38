#include "spec_validation.hpp"

#include <string_view>

#include "registry.hpp"

namespace ostrel {
namespace {

using Declared = std::map<std::string, IndicatorSpec>;

// A key names an indicator alone ("fast") or with an output ("macd.signal");
// a declared name that itself holds a dot is accepted as a whole key too.
bool is_declared(const std::string& key, const Declared& declared) {
  if (declared.contains(key)) return true;
  size_t dot = key.find('.');
  return dot != std::string::npos && declared.contains(key.substr(0, dot));
}

Status check_operand(const Operand& operand, const Declared& declared) {
  if (operand.kind == Operand::Kind::Key) {
    if (is_declared(operand.key, declared)) return std::nullopt;
    return BacktestError::undeclared_indicator(operand.key);
  }
  for (const Operand& arg : operand.args) {
    if (auto error = check_operand(arg, declared)) return error;
  }
  return std::nullopt;
}

Status check_rules(const StrategySpec& spec) {
  for (const Condition* rule : {&spec.entry, &spec.exit}) {
    if (auto error = check_references(*rule, spec.indicators)) return error;
  }
  for (const std::optional<Condition>* rule : {&spec.short_entry, &spec.short_exit}) {
    if (!rule->has_value()) continue;
    if (auto error = check_references(**rule, spec.indicators)) return error;
  }
  return std::nullopt;
}

Status check_version(const StrategySpec& spec) {
  if (spec.spec_version >= 1 && spec.spec_version <= kMaxSpecVersion) return std::nullopt;
  return BacktestError::invalid_spec("spec_version " + std::to_string(spec.spec_version) +
                                     " is not supported; this build reads 1..=" +
                                     std::to_string(kMaxSpecVersion));
}

Status check_sizing_stop(const StrategySpec& spec) {
  if (spec.sizing.kind != SizingKind::RiskPerTrade || spec.risk.stop_loss_pct) return std::nullopt;
  return BacktestError::invalid_spec(
      "sizing risk_per_trade requires risk.stop_loss_pct: the position size is"
      "                  derived from the distance to the stop");
}

// Unknown types pass here: building the indicators reports them.
Status check_feed_declarations(const StrategySpec& spec) {
  for (const auto& [name, indicator] : spec.indicators) {
    if (!indicator.feed) continue;
    std::optional<FeedKind> consumed = consumed_feed(indicator.type);
    if (!consumed || *consumed == *indicator.feed) continue;
    return BacktestError::invalid_spec("indicator '" + name + "' (" + indicator.type +
                                       ") declares feed " +
                                       std::string(feed_display_name(*indicator.feed)) +
                                       " but consumes " +
                                       std::string(feed_display_name(*consumed)));
  }
  return std::nullopt;
}

Status check_order_offsets(const StrategySpec& spec) {
  const Execution& execution = spec.execution;
  bool has_stop = execution.stop_offset_pct.has_value();
  bool has_limit = execution.limit_offset_pct.has_value();
  switch (execution.order_type) {
    case OrderType::Market: break;
    case OrderType::Stop:
      if (!has_stop) {
        return BacktestError::invalid_spec("stop order_type requires execution.stop_offset_pct");
      }
      break;
    case OrderType::StopLimit:
      if (!has_stop || !has_limit) {
        return BacktestError::invalid_spec(
            "stop_limit order_type requires both execution.stop_offset_pct and"
            "                      execution.limit_offset_pct");
      }
      break;
    case OrderType::Limit:
      if (!has_limit) {
        return BacktestError::invalid_spec("limit order_type requires execution.limit_offset_pct");
      }
      break;
  }
  return std::nullopt;
}

Status check_partial_fills(const StrategySpec& spec) {
  if (!spec.execution.partial_fills || spec.execution.max_participation) return std::nullopt;
  return BacktestError::invalid_spec("partial_fills requires execution.max_participation");
}

Status check_close_timing(const StrategySpec& spec) {
  const Execution& execution = spec.execution;
  if (execution.fill_timing != FillTiming::Close) return std::nullopt;
  if (execution.order_type != OrderType::Market) {
    return BacktestError::invalid_spec("fill_timing close requires a market order_type");
  }
  if (execution.latency_bars != 0) {
    return BacktestError::invalid_spec("fill_timing close is incompatible with latency_bars");
  }
  return std::nullopt;
}

}  // namespace

Status validate_spec(const StrategySpec& spec) {
  constexpr Status (*kSteps[])(const StrategySpec&) = {
      check_rules,        check_version,       check_sizing_stop,  check_feed_declarations,
      check_order_offsets, check_partial_fills, check_close_timing,
  };
  for (auto step : kSteps) {
    if (auto error = step(spec)) return error;
  }
  return std::nullopt;
}

// Every form keeps what it compares in `operands` and its sub-conditions in
// `members` (both empty for in_position and bars_since_entry), so one walk
// over both, in order, visits the keys depth first and left to right.
Status check_references(const Condition& rule, const Declared& declared) {
  for (const Operand& operand : rule.operands) {
    if (auto error = check_operand(operand, declared)) return error;
  }
  for (const Condition& member : rule.members) {
    if (auto error = check_references(member, declared)) return error;
  }
  return std::nullopt;
}

}  // namespace ostrel
