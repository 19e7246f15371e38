#pragma once
// Everything a BacktestEngine holds, shared by the bar step (engine.cpp), the
// orders and costs (execution.cpp) and the account, sizing and stops
// (account.cpp).

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine.hpp"
#include "error.hpp"
#include "history.hpp"
#include "indicator.hpp"
#include "numeric.hpp"
#include "key_slots.hpp"
#include "report.hpp"
#include "spec.hpp"

namespace ostrel {

enum class PositionSide : uint8_t { Long, Short };

inline double side_sign(PositionSide side) { return side == PositionSide::Long ? 1.0 : -1.0; }

struct Account {
  double cash = 0.0;
  double qty = 0.0;  // signed: positive long, negative short
  double entry_price = 0.0;
  int64_t entry_time = 0;
  double entry_fee = 0.0;
  double total_fees = 0.0;
  std::vector<Trade> trades;

  bool in_position() const { return qty > kEpsilon || qty < -kEpsilon; }
};

struct PendingOrder {
  enum class Kind : uint8_t { Exit, Market, Limit, Stop, StopLimit };
  Kind kind = Kind::Market;
  PositionSide side = PositionSide::Long;  // entries only
  double trigger_price = 0.0;  // limit: the limit price; stop, stop_limit: the stop price
  double limit_price = 0.0;    // stop_limit only
  ExitReason reason = ExitReason::Signal;  // exit only
  uint32_t countdown = 0;
};

// One declared indicator: its name, the instance, where its values go.
struct EngineIndicator {
  std::string name;
  std::unique_ptr<Indicator> indicator;
  uint32_t primary_slot = kNoSlot;
  // Slot of each named output, by position in the indicator's output list,
  // resolved the first time the output appears.
  struct OutputSlot {
    std::string name;
    uint32_t slot = kNoSlot;
  };
  std::vector<OutputSlot> output_slots;
};

// The admitted (validated) feeds of the current bar, reused from bar to bar.
struct AdmittedFeeds {
  std::optional<double> reference_close;
  ValidDerivativesTick derivatives;
  bool has_derivatives = false;
  ValidOrderBook order_book;
  bool has_order_book = false;
  std::vector<ValidTradePrint> trades;
  ValidCrossSection cross_section;
  bool has_cross_section = false;
};

struct BacktestEngine::State {
  StrategySpec spec;
  std::vector<EngineIndicator> indicators;  // byte order of names
  uint64_t warmup = 0;
  History history{1, 0};
  uint64_t bar_counter = 0;
  std::optional<Candle> last_bar;
  std::optional<PendingOrder> pending;
  std::optional<uint64_t> entry_bar;
  double trailing_extreme = 0.0;
  Account account;
  std::vector<EquityPoint> equity;
  double initial_capital = 0.0;
  double maker_rate = 0.0;
  double taker_rate = 0.0;
  AdmittedFeeds feeds;
  // The slot of every indicator key the rules read, and this bar's value per
  // slot (NaN where absent), reused from bar to bar.
  KeySlots key_slots;
  std::vector<double> slot_values;
  // The close the final "end" exit uses when the last close is not finite.
  std::optional<double> last_finite_close;
};

using EngineState = BacktestEngine::State;

// The bar a fill happens on.
struct FillBar {
  const Candle& candle;
  uint64_t index;  // bar index
};

// ---- orders and costs (execution.cpp) ----

// Exit rule true: queue an exit (next_open) or exit at the close (close).
Status place_exit_order(EngineState& s, const FillBar& bar);
// Entry rule true while flat and nothing pending.
Status place_entry_order(EngineState& s, PositionSide side, const FillBar& bar);
// Bar step 4, the pending order's countdown at zero: execute it or put it back.
Status process_pending_order(EngineState& s, PendingOrder order, const FillBar& bar);
// Bar step 9.
void charge_funding(EngineState& s);

// ---- account, sizing and stops (account.cpp) ----

// The quantity to open at fill price F: a positive number, none, or the
// risk_per_trade error.
BacktestResult<std::optional<double>> size_position(const StrategySpec& spec, double cash,
                                                    double fill_price,
                                                    std::optional<double> volatility);
// Per-bar volatility of simple returns over the newest `lookback` closes.
std::optional<double> volatility_estimate(uint32_t lookback, const History& history);
void open_position(EngineState& s, PositionSide side, double qty, double price, double fee,
                   const FillBar& bar);
void close_position(EngineState& s, double exit_price, double fee, int64_t exit_time,
                    ExitReason reason);
// Bar step 8: trailing extreme, then stop-loss, trailing stop, take-profit,
// liquidation; the first that triggers closes the whole position.
void check_stops(EngineState& s, const Candle& candle);

}  // namespace ostrel
