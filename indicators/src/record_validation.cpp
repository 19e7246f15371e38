#include "record_validation.hpp"

#include <cmath>
#include <initializer_list>
#include <span>

namespace ostrel {
namespace {

using Kind = IndicatorError::Kind;

// NaN fails every comparison, so each test below also refuses NaN.
bool finite(double x) { return std::isfinite(x); }
bool finite_positive(double x) { return std::isfinite(x) && x > 0.0; }
bool finite_non_negative(double x) { return std::isfinite(x) && x >= 0.0; }

bool all_pass(std::initializer_list<double> values, bool (*test)(double)) {
  for (double x : values) {
    if (!test(x)) return false;
  }
  return true;
}

IndicatorError fail(Kind kind, std::string_view message) { return {kind, message}; }

// Validates the levels of one book side in order, copying them into `out`
// (whose storage is kept from call to call).
std::optional<IndicatorError> copy_levels(std::span<const Level> raw, std::vector<ValidLevel>& out) {
  out.resize(raw.size());
  for (size_t i = 0; i < raw.size(); ++i) {
    if (auto error = validate_level(raw[i], out[i])) return error;
  }
  return std::nullopt;
}

template <class Compare>
bool strictly_ordered(const std::vector<ValidLevel>& side, Compare before) {
  for (size_t i = 1; i < side.size(); ++i) {
    if (!before(side[i].price, side[i - 1].price)) return false;
  }
  return true;
}

}  // namespace

std::optional<IndicatorError> validate_candle(const Candle& c) {
  if (!all_pass({c.open, c.high, c.low, c.close}, finite)) {
    return fail(Kind::InvalidCandle, "open, high, low, close must all be finite");
  }
  if (!finite(c.volume)) return fail(Kind::InvalidCandle, "volume must be finite");
  if (c.volume < 0.0) return fail(Kind::InvalidCandle, "volume must be non-negative");
  if (c.high < c.low) return fail(Kind::InvalidCandle, "high must be >= low");
  if (c.high < c.open || c.high < c.close) {
    return fail(Kind::InvalidCandle, "high must be >= open and >= close");
  }
  if (c.low > c.open || c.low > c.close) {
    return fail(Kind::InvalidCandle, "low must be <= open and <= close");
  }
  return std::nullopt;
}

std::optional<IndicatorError> validate_derivatives_tick(const DerivativesTick& raw,
                                                        ValidDerivativesTick& out) {
  if (!finite(raw.funding_rate)) {
    return fail(Kind::InvalidDerivativesTick, "funding_rate must be finite");
  }
  if (!all_pass({raw.mark_price, raw.index_price, raw.futures_price}, finite_positive)) {
    return fail(Kind::InvalidDerivativesTick,
                "mark_price, index_price and futures_price must be finite and positive");
  }
  if (!all_pass({raw.open_interest, raw.long_size, raw.short_size, raw.taker_buy_volume,
               raw.taker_sell_volume, raw.long_liquidation, raw.short_liquidation},
              finite_non_negative)) {
    return fail(Kind::InvalidDerivativesTick,
                "open interest, sizes, volumes and liquidations must be finite and non-negative");
  }
  static_cast<DerivativesTick&>(out) = raw;
  return std::nullopt;
}

std::optional<IndicatorError> validate_level(const Level& raw, ValidLevel& out) {
  if (!finite_positive(raw.price)) {
    return fail(Kind::InvalidOrderBook, "level price must be finite and positive");
  }
  if (!finite_non_negative(raw.size)) {
    return fail(Kind::InvalidOrderBook, "level size must be finite and non-negative");
  }
  static_cast<Level&>(out) = raw;
  return std::nullopt;
}

// Every level is checked before the book's shape, so a bad level is reported
// even on a book with an empty side. Once copied, every level is known valid,
// so the shape checks need not look at a level's own rules again.
std::optional<IndicatorError> validate_order_book(const OrderBook& raw, ValidOrderBook& out) {
  if (auto error = copy_levels(raw.bids, out.bids)) return error;
  if (auto error = copy_levels(raw.asks, out.asks)) return error;
  if (out.bids.empty() || out.asks.empty()) {
    return fail(Kind::InvalidOrderBook, "order book must have at least one bid and one ask");
  }
  if (!strictly_ordered(out.bids, [](double p, double prev) { return p < prev; })) {
    return fail(Kind::InvalidOrderBook, "bids must be strictly descending in price");
  }
  if (!strictly_ordered(out.asks, [](double p, double prev) { return p > prev; })) {
    return fail(Kind::InvalidOrderBook, "asks must be strictly ascending in price");
  }
  if (!(out.bids.front().price < out.asks.front().price)) {
    return fail(Kind::InvalidOrderBook, "order book must be uncrossed (best_bid < best_ask)");
  }
  return std::nullopt;
}

std::optional<IndicatorError> validate_trade_print(const TradePrint& raw, ValidTradePrint& out) {
  if (!finite_positive(raw.price)) {
    return fail(Kind::InvalidTrade, "trade price must be finite and positive");
  }
  if (!finite_non_negative(raw.size)) {
    return fail(Kind::InvalidTrade, "trade size must be finite and non-negative");
  }
  static_cast<TradePrint&>(out) = raw;
  return std::nullopt;
}

std::optional<IndicatorError> validate_cross_section(const CrossSection& raw,
                                                     ValidCrossSection& out) {
  if (raw.members.empty()) {
    return fail(Kind::InvalidCrossSection, "cross-section must contain at least one member");
  }
  out.members.resize(raw.members.size());
  for (size_t i = 0; i < raw.members.size(); ++i) {
    const CrossSectionMember& member = raw.members[i];
    if (!finite(member.change)) {
      return fail(Kind::InvalidCrossSection, "member change must be finite");
    }
    if (!finite_non_negative(member.volume)) {
      return fail(Kind::InvalidCrossSection, "member volume must be finite and non-negative");
    }
    ValidCrossSectionMember& valid = out.members[i];
    static_cast<CrossSectionMember&>(valid) = member;
    valid.above_average = false;
    valid.bullish_signal = false;
  }
  out.timestamp = raw.timestamp;
  return std::nullopt;
}

}  // namespace ostrel
