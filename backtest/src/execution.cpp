// Orders and costs: placing, triggering and filling orders, slippage, fees
// and funding.

#include <cmath>
#include <optional>

#include "engine_state.hpp"

namespace ostrel {
namespace {

// Half the quoted spread relative to the mid of the bar's admitted book;
// 0 without a book.
double spread_fraction(const AdmittedFeeds& feeds) {
  if (!feeds.has_order_book || feeds.order_book.bids.empty() || feeds.order_book.asks.empty()) {
    return 0.0;
  }
  const double bid = feeds.order_book.bids.front().price;
  const double ask = feeds.order_book.asks.front().price;
  const double mid = midpoint(bid, ask);
  return mid > 0 ? (ask - bid) * 0.5 / mid : 0.0;
}

// The slippage fraction of a fill of `qty` units (the magnitude) on `bar`.
double slippage_fraction(const EngineState& s, double qty, const Candle& bar) {
  const Slippage& slippage = s.spec.costs.slippage;
  switch (slippage.kind) {
    case SlippageKind::FixedBps: return slippage.value / 10000;
    case SlippageKind::Spread: return spread_fraction(s.feeds);
    case SlippageKind::VolumeImpact:
      return bar.volume <= 0 ? 0.0 : qty * slippage.value / bar.volume;
  }
  return 0.0;
}

std::optional<double> sizing_volatility(const EngineState& s) {
  if (s.spec.sizing.kind != SizingKind::VolTarget) return std::nullopt;
  return volatility_estimate(s.spec.sizing.lookback, s.history);
}

// Opens a position at price p (before slippage) when sizing allows one. The
// entry is used up either way; a price that is not finite opens nothing.
Status entry_fill(EngineState& s, double price, PositionSide side, bool maker, const FillBar& bar) {
  if (!std::isfinite(price)) return std::nullopt;
  const auto volatility = sizing_volatility(s);
  double impact_qty = 0.0;
  if (s.spec.costs.slippage.kind == SlippageKind::VolumeImpact) {
    auto unslipped = size_position(s.spec, s.account.cash, price, volatility);
    if (!unslipped) return std::move(unslipped).error();
    impact_qty = unslipped.value().value_or(0.0);
  }
  const double slip = slippage_fraction(s, impact_qty, bar.candle);
  const double fill_price = price * (1 + side_sign(side) * slip);
  if (!std::isfinite(fill_price)) return std::nullopt;
  auto sized = size_position(s.spec, s.account.cash, fill_price, volatility);
  if (!sized) return std::move(sized).error();
  if (!sized.value()) return std::nullopt;
  double qty = *sized.value();
  const Execution& exec = s.spec.execution;
  if (exec.partial_fills && exec.max_participation) {
    qty = std::fmin(qty, *exec.max_participation * bar.candle.volume);
  }
  if (!(qty > kEpsilon)) return std::nullopt;
  const double rate = maker ? s.maker_rate : s.taker_rate;
  open_position(s, side, qty, fill_price, fill_price * qty * rate, bar);
  return std::nullopt;
}

// Closes the whole open position at price p (before slippage). Returns false
// when the slipped price is not finite and nothing was done; an exit with no
// position left is used up.
bool exit_fill(EngineState& s, double price, ExitReason reason, const FillBar& bar) {
  Account& a = s.account;
  if (!a.in_position()) return true;
  const double size = std::fabs(a.qty);
  const double slip = slippage_fraction(s, size, bar.candle);
  const double fill_price = a.qty > 0 ? price * (1 - slip) : price * (1 + slip);
  if (!std::isfinite(fill_price)) return false;
  close_position(s, fill_price, s.taker_rate * size * fill_price, bar.candle.time, reason);
  return true;
}

// The price an entry order fills at on this bar, before slippage; none when
// the bar does not trigger it.
std::optional<double> entry_trigger_price(const PendingOrder& order, const Candle& c) {
  using Kind = PendingOrder::Kind;
  const bool is_long = order.side == PositionSide::Long;
  const double stop = order.trigger_price;
  switch (order.kind) {
    case Kind::Market: return c.open;
    case Kind::Limit: {
      const double limit = order.trigger_price;
      if (is_long) return c.low <= limit ? std::optional(std::fmin(c.open, limit)) : std::nullopt;
      return c.high >= limit ? std::optional(std::fmax(c.open, limit)) : std::nullopt;
    }
    case Kind::Stop:
      if (is_long) return c.high >= stop ? std::optional(std::fmax(c.open, stop)) : std::nullopt;
      return c.low <= stop ? std::optional(std::fmin(c.open, stop)) : std::nullopt;
    case Kind::StopLimit: {
      const double limit = order.limit_price;
      if (is_long) {
        if (!(c.high >= stop && c.low <= limit)) return std::nullopt;
        return std::fmin(std::fmax(c.open, stop), limit);
      }
      if (!(c.low <= stop && c.high >= limit)) return std::nullopt;
      return std::fmax(std::fmin(c.open, stop), limit);
    }
    case Kind::Exit: break;
  }
  return std::nullopt;
}

// The entry's prices are not finite (a non-finite close when it was placed):
// it could never trigger.
bool has_unusable_prices(const PendingOrder& order) {
  using Kind = PendingOrder::Kind;
  switch (order.kind) {
    case Kind::Limit:
    case Kind::Stop: return !std::isfinite(order.trigger_price);
    case Kind::StopLimit:
      return !std::isfinite(order.trigger_price) || !std::isfinite(order.limit_price);
    case Kind::Market:
    case Kind::Exit: return false;
  }
  return false;
}

PendingOrder::Kind entry_kind(OrderType type) {
  switch (type) {
    case OrderType::Market: return PendingOrder::Kind::Market;
    case OrderType::Limit: return PendingOrder::Kind::Limit;
    case OrderType::Stop: return PendingOrder::Kind::Stop;
    case OrderType::StopLimit: return PendingOrder::Kind::StopLimit;
  }
  return PendingOrder::Kind::Market;
}

double offset_price(double close, std::optional<double> offset_pct) {
  return close * (1 + offset_pct.value_or(0.0) / 100);
}

}  // namespace

Status place_exit_order(EngineState& s, const FillBar& bar) {
  const Execution& exec = s.spec.execution;
  if (exec.fill_timing == FillTiming::Close) {
    exit_fill(s, bar.candle.close, ExitReason::Signal, bar);
    return std::nullopt;
  }
  PendingOrder order;
  order.kind = PendingOrder::Kind::Exit;
  order.reason = ExitReason::Signal;
  order.countdown = exec.latency_bars;
  s.pending = order;
  return std::nullopt;
}

Status place_entry_order(EngineState& s, PositionSide side, const FillBar& bar) {
  const Execution& exec = s.spec.execution;
  const double close = bar.candle.close;
  if (exec.fill_timing == FillTiming::Close) {
    return entry_fill(s, close, side, /*maker=*/false, bar);
  }
  PendingOrder order;
  order.kind = entry_kind(exec.order_type);
  order.side = side;
  order.countdown = exec.latency_bars;
  switch (order.kind) {
    case PendingOrder::Kind::Limit:
      order.trigger_price = offset_price(close, exec.limit_offset_pct);
      break;
    case PendingOrder::Kind::Stop:
      order.trigger_price = offset_price(close, exec.stop_offset_pct);
      break;
    case PendingOrder::Kind::StopLimit:
      order.trigger_price = offset_price(close, exec.stop_offset_pct);
      order.limit_price = offset_price(close, exec.limit_offset_pct);
      break;
    case PendingOrder::Kind::Market:
    case PendingOrder::Kind::Exit: break;
  }
  s.pending = order;
  return std::nullopt;
}

Status process_pending_order(EngineState& s, PendingOrder order, const FillBar& bar) {
  if (order.kind == PendingOrder::Kind::Exit) {
    // A bar without a usable price leaves the exit pending for the next bar.
    if (!exit_fill(s, bar.candle.open, order.reason, bar)) {
      order.countdown = 0;
      s.pending = order;
    }
    return std::nullopt;
  }
  if (has_unusable_prices(order)) return std::nullopt;
  const auto price = entry_trigger_price(order, bar.candle);
  if (!price) {
    order.countdown = 0;
    s.pending = order;
    return std::nullopt;
  }
  const bool maker = order.kind == PendingOrder::Kind::Limit;
  return entry_fill(s, *price, order.side, maker, bar);
}

void charge_funding(EngineState& s) {
  if (!s.spec.costs.funding || !s.account.in_position() || !s.feeds.has_derivatives) return;
  const ValidDerivativesTick& tick = s.feeds.derivatives;
  const double payment = tick.funding_rate * tick.mark_price * s.account.qty;
  s.account.cash -= payment;
  s.account.total_fees += payment;
}

}  // namespace ostrel
