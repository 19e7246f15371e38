#pragma once
// What a finished run hands over: labels, metrics, trades and equity curve.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ostrel {

enum class ExitReason : uint8_t { Signal, StopLoss, TrailingStop, TakeProfit, Liquidation, End };

// "signal", "stop_loss", "trailing_stop", "take_profit", "liquidation", "end".
std::string_view exit_reason_text(ExitReason reason);

struct Trade {
  ExitReason reason = ExitReason::Signal;
  int64_t entry_time = 0;
  int64_t exit_time = 0;
  double entry_price = 0.0;
  double exit_price = 0.0;
  double qty = 0.0;  // as held: negative for a short
  double pnl = 0.0;
  double return_pct = 0.0;
};

struct EquityPoint {
  int64_t time = 0;
  double equity = 0.0;
};

struct Metrics {
  double pnl = 0.0;
  double return_pct = 0.0;
  double sharpe = 0.0;
  double sortino = 0.0;
  double calmar = 0.0;
  double max_drawdown = 0.0;
  double win_rate = 0.0;
  double profit_factor = 0.0;
  uint64_t num_trades = 0;
};

struct Report {
  uint32_t schema_version = 1;
  std::string symbol;
  std::string timeframe;
  Metrics metrics;
  std::vector<Trade> trades;
  std::vector<EquityPoint> equity;
  double fees_paid = 0.0;
  double initial_capital = 0.0;
};

}  // namespace ostrel
