// The engine's life: construction, the bar step and the finish.

#include "engine.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>

#include "engine_state.hpp"
#include "feed_admission.hpp"
#include "feed_requirements.hpp"
#include "growing_list.hpp"
#include "key_slots.hpp"
#include "metrics.hpp"
#include "rule_eval.hpp"
#include "signals.hpp"
#include "spec_validation.hpp"

namespace ostrel {
namespace {

constexpr double kAbsent = std::numeric_limits<double>::quiet_NaN();
// Equity points reserved up front; the list grows from there as bars arrive.
constexpr size_t kInitialEquityReserve = 1024;

// ---- construction ----

Status build_indicators(EngineState& s, const IndicatorFactory& factory) {
  s.indicators.reserve(s.spec.indicators.size());
  for (const auto& [name, declared] : s.spec.indicators) {
    auto made = factory(declared.type, declared.params);
    if (!made) return std::move(made).error();
    EngineIndicator entry;
    entry.name = name;
    entry.indicator = std::move(made).value();
    entry.primary_slot = slot_of_key(s.key_slots, name);
    s.indicators.push_back(std::move(entry));
  }
  return std::nullopt;
}

uint64_t warmup_bars(const EngineState& s) {
  if (s.spec.warmup) return *s.spec.warmup;
  uint64_t most = 0;
  for (const EngineIndicator& i : s.indicators) most = std::max(most, i.indicator->warmup_period());
  return most;
}

// 1 + the largest lookback of the rules and of vol_target sizing.
uint64_t history_capacity(const StrategySpec& spec) {
  uint64_t most = std::max(lookback(spec.entry), lookback(spec.exit));
  if (spec.short_entry) most = std::max(most, lookback(*spec.short_entry));
  if (spec.short_exit) most = std::max(most, lookback(*spec.short_exit));
  if (spec.sizing.kind == SizingKind::VolTarget) {
    most = std::max<uint64_t>(most, spec.sizing.lookback);
  }
  return most == std::numeric_limits<uint64_t>::max() ? most : most + 1;
}

// ---- the bar step ----

void remember_bar(EngineState& s, const Candle& candle) {
  s.last_bar = candle;
  if (std::isfinite(candle.close)) s.last_finite_close = candle.close;
}

// A pending order waits out its countdown, then executes against the bar.
Status execute_pending_order(EngineState& s, const FillBar& bar) {
  if (!s.pending) return std::nullopt;
  if (s.pending->countdown > 0) {
    --s.pending->countdown;
    return std::nullopt;
  }
  const PendingOrder order = *s.pending;
  s.pending.reset();
  return process_pending_order(s, order, bar);
}

EngineIndicator::OutputSlot resolve_output(std::string_view indicator, std::string_view output,
                                           const KeySlots& key_slots) {
  std::string key;
  key.reserve(indicator.size() + 1 + output.size());
  key.append(indicator).append(".").append(output);
  return {std::string(output), slot_of_key(key_slots, key)};
}

// Writes the named outputs that rules read into their slots. The slot of
// each output is resolved the first time it appears at its position in the
// list, and again only when the name at that position changes.
void publish_outputs(EngineIndicator& ind, std::span<const NamedOutput> outputs,
                     const KeySlots& key_slots, std::vector<double>& values) {
  for (size_t j = 0; j < outputs.size(); ++j) {
    const NamedOutput& out = outputs[j];
    if (j == ind.output_slots.size()) {
      ind.output_slots.push_back(resolve_output(ind.name, out.name, key_slots));
    } else if (ind.output_slots[j].name != out.name) {
      ind.output_slots[j] = resolve_output(ind.name, out.name, key_slots);
    }
    const uint32_t slot = ind.output_slots[j].slot;
    if (slot != kNoSlot) values[slot] = out.value;
  }
}

// Updates every indicator in name order and collects this bar's values by
// slot; a later write of the same key replaces an earlier one.
void update_indicators(EngineState& s, const Candle& candle) {
  std::fill(s.slot_values.begin(), s.slot_values.end(), kAbsent);
  const UpdateContext ctx = update_context(s.feeds, candle);
  for (EngineIndicator& ind : s.indicators) {
    const std::optional<double> value = ind.indicator->update(ctx);
    if (!value) continue;
    if (ind.primary_slot != kNoSlot) s.slot_values[ind.primary_slot] = *value;
    publish_outputs(ind, ind.indicator->outputs(), s.key_slots, s.slot_values);
  }
}

// A flat account is worth its cash, whatever the close.
double equity_at(const Account& account, double close) {
  return account.in_position() ? account.cash + close * account.qty : account.cash;
}

// ---- the finish ----

// Closes an open position at the last close (the most recent finite one when
// the last is not; the entry price when no close was finite), at the taker
// rate and without slippage.
void close_at_end(EngineState& s) {
  if (!s.account.in_position() || !s.last_bar) return;
  const double last = s.last_bar->close;
  const double price =
      std::isfinite(last) ? last : s.last_finite_close.value_or(s.account.entry_price);
  const double fee = s.taker_rate * std::fabs(s.account.qty) * price;
  close_position(s, price, fee, s.last_bar->time, ExitReason::End);
}

}  // namespace

BacktestResult<BacktestEngine> BacktestEngine::create(StrategySpec spec, double capital,
                                                      const IndicatorFactory& factory) {
  if (auto invalid = validate_spec(spec)) return std::move(*invalid);
  if (!std::isfinite(capital)) return BacktestError::invalid_input("capital must be finite");
  auto s = std::make_unique<State>();
  s->key_slots = assign_key_slots(spec);
  s->spec = std::move(spec);
  if (auto failed = build_indicators(*s, factory)) return std::move(*failed);
  s->warmup = warmup_bars(*s);
  const auto slots = static_cast<uint32_t>(s->key_slots.size());
  s->history = History(history_capacity(s->spec), slots);
  s->slot_values.assign(slots, kAbsent);
  s->maker_rate = s->spec.costs.maker_bps / 10000;
  s->taker_rate = s->spec.costs.taker_bps / 10000;
  s->account.cash = capital;
  s->initial_capital = capital;
  s->equity.reserve(kInitialEquityReserve);
  return BacktestEngine(std::move(s));
}

BacktestEngine::BacktestEngine(std::unique_ptr<State> state) : state_(std::move(state)) {}
BacktestEngine::BacktestEngine(BacktestEngine&&) noexcept = default;
BacktestEngine& BacktestEngine::operator=(BacktestEngine&&) noexcept = default;
BacktestEngine::~BacktestEngine() = default;

Status BacktestEngine::step(const Candle& candle, const BarFeeds& feeds) {
  State& s = *state_;
  if (auto unmet = check_feed_requirements(s.spec, feeds.order_book != nullptr,
                                           feeds.derivatives != nullptr)) {
    return unmet;
  }
  admit_feeds(feeds, s.feeds);
  const FillBar bar{candle, s.bar_counter};
  remember_bar(s, candle);
  if (auto failed = execute_pending_order(s, bar)) return failed;
  update_indicators(s, candle);
  s.history.push(candle, s.slot_values);
  s.bar_counter = bar.index + 1;
  check_stops(s, candle);
  charge_funding(s);
  append_growing(s.equity, EquityPoint{candle.time, equity_at(s.account, candle.close)});
  if (bar.index < s.warmup) return std::nullopt;
  return evaluate_signals(s, bar);
}

Report BacktestEngine::finish() && {
  State& s = *state_;
  close_at_end(s);
  Report report;
  report.symbol = s.spec.symbol;
  report.timeframe = s.spec.timeframe;
  report.metrics = compute_metrics(s.equity, s.account.trades, s.initial_capital);
  report.trades = std::move(s.account.trades);
  report.equity = std::move(s.equity);
  report.fees_paid = s.account.total_fees;
  report.initial_capital = s.initial_capital;
  return report;
}

uint64_t BacktestEngine::bars() const { return state_->bar_counter; }
std::span<const EquityPoint> BacktestEngine::equity() const { return state_->equity; }
size_t BacktestEngine::num_trades() const { return state_->account.trades.size(); }

}  // namespace ostrel
