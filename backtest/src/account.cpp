// The account: sizing of new positions, opening and closing them, and the
// protective exits (stop-loss, trailing stop, take-profit, liquidation).

#include <cmath>
#include <optional>

#include "engine_state.hpp"

namespace ostrel {
namespace {

// The quantity before the notional cap; none when the sizing cannot apply.
BacktestResult<std::optional<double>> raw_quantity(const StrategySpec& spec, double cash,
                                                   double price, std::optional<double> volatility) {
  const double v = spec.sizing.value;
  switch (spec.sizing.kind) {
    case SizingKind::FixedFraction: return std::optional(v * cash / price);
    case SizingKind::FixedQty: return std::optional(v);
    case SizingKind::FixedCash: return std::optional(v / price);
    case SizingKind::VolTarget:
      if (!volatility) return std::optional<double>();
      return std::optional(v * cash / *volatility / price);
    case SizingKind::RiskPerTrade: {
      if (!spec.risk.stop_loss_pct) {
        return BacktestError::invalid_spec("risk_per_trade sizing requires risk.stop_loss_pct");
      }
      const double stop_pct = *spec.risk.stop_loss_pct;
      if (stop_pct <= 0) return std::optional<double>();
      return std::optional((v * cash / 100) / (price * stop_pct / 100));
    }
  }
  return std::optional<double>();
}

// The largest notional a position may take: the cash, times max_leverage,
// at most max_position_pct of the cash.
double notional_cap(const Risk& risk, double cash) {
  double cap = risk.max_leverage ? cash * *risk.max_leverage : cash;
  if (risk.max_position_pct) cap = std::fmin(cap, cash * *risk.max_position_pct / 100);
  return cap;
}

struct StopExit {
  double price;
  ExitReason reason;
};

// A protective level the price falls to (long stop, short take-profit) or
// rises to. A bar that opens beyond the level exits at its open. An exit
// price that is not finite is no exit.
std::optional<double> level_exit_price(double level, bool falls_to, const Candle& c) {
  double price;
  if (falls_to) {
    if (!(c.low <= level)) return std::nullopt;
    price = std::fmin(level, c.open);
  } else {
    if (!(c.high >= level)) return std::nullopt;
    price = std::fmax(level, c.open);
  }
  if (!std::isfinite(price)) return std::nullopt;
  return price;
}

// The price at which equity would reach zero, when the bar reaches it.
std::optional<double> liquidation_price(const Account& a, bool is_long, const Candle& c) {
  const double level = -a.cash / a.qty;
  if (!(level > 0) || !std::isfinite(level)) return std::nullopt;
  if (is_long ? !(c.low <= level) : !(c.high >= level)) return std::nullopt;
  return level;
}

// The first protective exit the bar triggers, in the order stop-loss,
// trailing stop, take-profit, liquidation.
std::optional<StopExit> first_stop_exit(const EngineState& s, const Candle& c) {
  const Risk& risk = s.spec.risk;
  const Account& a = s.account;
  const bool is_long = a.qty > 0;
  const double sign = is_long ? 1.0 : -1.0;
  const double entry = a.entry_price;
  if (risk.stop_loss_pct) {
    double level = entry * (1 - sign * *risk.stop_loss_pct / 100);
    if (auto p = level_exit_price(level, is_long, c)) return StopExit{*p, ExitReason::StopLoss};
  }
  if (risk.trailing_stop_pct) {
    double level = s.trailing_extreme * (1 - sign * *risk.trailing_stop_pct / 100);
    if (auto p = level_exit_price(level, is_long, c)) return StopExit{*p, ExitReason::TrailingStop};
  }
  if (risk.take_profit_pct) {
    double level = entry * (1 + sign * *risk.take_profit_pct / 100);
    if (auto p = level_exit_price(level, !is_long, c)) return StopExit{*p, ExitReason::TakeProfit};
  }
  if (risk.liquidation) {
    if (auto p = liquidation_price(a, is_long, c)) return StopExit{*p, ExitReason::Liquidation};
  }
  return std::nullopt;
}

}  // namespace

BacktestResult<std::optional<double>> size_position(const StrategySpec& spec, double cash,
                                                    double fill_price,
                                                    std::optional<double> volatility) {
  if (cash <= 0 || fill_price <= 0) return std::optional<double>();
  auto raw = raw_quantity(spec, cash, fill_price, volatility);
  if (!raw) return std::move(raw).error();
  if (!raw.value() || !(*raw.value() > 0)) return std::optional<double>();
  const double cap = notional_cap(spec.risk, cash);
  const double qty = std::fmin(fill_price * *raw.value(), cap) / fill_price;
  if (!std::isfinite(qty) || !(qty > 0)) return std::optional<double>();
  return std::optional(qty);
}

std::optional<double> volatility_estimate(uint32_t lookback, const History& history) {
  if (lookback < 2 || history.size() < lookback) return std::nullopt;
  const size_t first = history.size() - lookback;
  // Simple return of close k+1 over close k, for each pair whose first close
  // is not zero; calls f with each in order.
  auto each_return = [&](auto&& f) {
    for (size_t k = first; k + 1 < history.size(); ++k) {
      const double from = history.candle(k).close;
      if (std::fabs(from) <= kEpsilon) continue;
      f((history.candle(k + 1).close - from) / from);
    }
  };
  double sum = 0.0;
  uint64_t count = 0;
  each_return([&](double r) {
    sum += r;
    ++count;
  });
  if (count == 0) return std::nullopt;
  const double mean = sum / static_cast<double>(count);
  double squares = 0.0;
  each_return([&](double r) {
    const double d = r - mean;
    squares += d * d;
  });
  const double variance = squares / static_cast<double>(count);
  if (!(variance > 0)) return std::nullopt;
  return std::sqrt(variance);
}

void open_position(EngineState& s, PositionSide side, double qty, double price, double fee,
                   const FillBar& bar) {
  Account& a = s.account;
  a.qty = side_sign(side) * qty;
  a.entry_price = price;
  a.entry_time = bar.candle.time;
  a.entry_fee = fee;
  a.total_fees += fee;
  a.cash = a.cash - (a.qty * price + fee);
  s.entry_bar = bar.index;
  s.trailing_extreme = price;
}

void close_position(EngineState& s, double exit_price, double fee, int64_t exit_time,
                    ExitReason reason) {
  Account& a = s.account;
  const double pnl = a.qty * (exit_price - a.entry_price) - a.entry_fee - fee;
  a.cash = a.cash + exit_price * a.qty - fee;
  a.total_fees += fee;
  const double invested = std::fabs(a.qty) * a.entry_price;
  const double return_pct = invested >= kEpsilon ? pnl / invested * 100 : 0.0;
  a.trades.push_back(
      Trade{reason, a.entry_time, exit_time, a.entry_price, exit_price, a.qty, pnl, return_pct});
  a.qty = 0.0;
  a.entry_fee = 0.0;
  s.entry_bar.reset();
}

void check_stops(EngineState& s, const Candle& candle) {
  if (!s.account.in_position()) return;
  s.trailing_extreme = s.account.qty > 0 ? std::fmax(s.trailing_extreme, candle.high)
                                         : std::fmin(s.trailing_extreme, candle.low);
  const auto exit = first_stop_exit(s, candle);
  if (!exit) return;
  const double fee = s.taker_rate * std::fabs(s.account.qty) * exit->price;
  close_position(s, exit->price, fee, candle.time, exit->reason);
}

}  // namespace ostrel
