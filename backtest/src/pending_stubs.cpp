// Stand-ins for functions other branches implement; removed at merge.

#include "metrics.hpp"
#include "record_validation.hpp"
#include "spec_validation.hpp"

namespace ostrel {

Status validate_spec(const StrategySpec&) { return std::nullopt; }

Metrics compute_metrics(std::span<const EquityPoint>, std::span<const Trade>, double) { return {}; }

std::optional<IndicatorError> validate_derivatives_tick(const DerivativesTick& raw,
                                                        ValidDerivativesTick& out) {
  static_cast<DerivativesTick&>(out) = raw;
  return std::nullopt;
}

std::optional<IndicatorError> validate_order_book(const OrderBook& raw, ValidOrderBook& out) {
  out.bids.assign(raw.bids.size(), {});
  out.asks.assign(raw.asks.size(), {});
  for (size_t i = 0; i < raw.bids.size(); ++i) static_cast<Level&>(out.bids[i]) = raw.bids[i];
  for (size_t i = 0; i < raw.asks.size(); ++i) static_cast<Level&>(out.asks[i]) = raw.asks[i];
  return std::nullopt;
}

std::optional<IndicatorError> validate_trade_print(const TradePrint& raw, ValidTradePrint& out) {
  static_cast<TradePrint&>(out) = raw;
  return std::nullopt;
}

std::optional<IndicatorError> validate_cross_section(const CrossSection& raw,
                                                     ValidCrossSection& out) {
  out.members.assign(raw.members.size(), {});
  for (size_t i = 0; i < raw.members.size(); ++i) {
    static_cast<CrossSectionMember&>(out.members[i]) = raw.members[i];
  }
  out.timestamp = raw.timestamp;
  return std::nullopt;
}

}  // namespace ostrel
