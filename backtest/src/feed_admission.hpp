#pragma once
// Turning a bar's raw side feeds into the validated records indicators and
// fills may read. A record that fails validation is absent for the bar.
// Inline: both run on every bar, mostly with no feeds at all.

#include "bar_feeds.hpp"
#include "engine_state.hpp"
#include "indicator.hpp"
#include "record_validation.hpp"

namespace ostrel {

// Fills `admitted` in place, reusing its storage from the previous bar.
inline void admit_feeds(const BarFeeds& raw, AdmittedFeeds& admitted) {
  admitted.reference_close = raw.reference_close;
  admitted.has_derivatives =
      raw.derivatives && !validate_derivatives_tick(*raw.derivatives, admitted.derivatives);
  admitted.has_order_book =
      raw.order_book && !validate_order_book(*raw.order_book, admitted.order_book);
  admitted.has_cross_section =
      raw.cross_section && !validate_cross_section(*raw.cross_section, admitted.cross_section);
  admitted.trades.clear();
  for (const TradePrint& print : raw.trades) {
    admitted.trades.emplace_back();
    if (validate_trade_print(print, admitted.trades.back())) admitted.trades.pop_back();
  }
}

// The indicators' view of the bar: its candle as supplied and its admitted
// feeds.
inline UpdateContext update_context(const AdmittedFeeds& admitted, const Candle& candle) {
  UpdateContext ctx;
  ctx.reference_close = admitted.reference_close;
  ctx.derivatives = admitted.has_derivatives ? &admitted.derivatives : nullptr;
  ctx.candle = candle;
  ctx.trades = admitted.trades;
  ctx.order_book = admitted.has_order_book ? &admitted.order_book : nullptr;
  ctx.cross_section = admitted.has_cross_section ? &admitted.cross_section : nullptr;
  return ctx;
}

}  // namespace ostrel
