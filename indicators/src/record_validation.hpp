#pragma once
// Validation of market records: each operation checks its rules in order and
// reports the first that fails. The output forms are filled in place so that
// the engine can reuse their storage from bar to bar.

#include <optional>

#include "indicator_error.hpp"
#include "records.hpp"

namespace ostrel {

std::optional<IndicatorError> validate_candle(const Candle& candle);
std::optional<IndicatorError> validate_derivatives_tick(const DerivativesTick& raw,
                                                        ValidDerivativesTick& out);
std::optional<IndicatorError> validate_level(const Level& raw, ValidLevel& out);
std::optional<IndicatorError> validate_order_book(const OrderBook& raw, ValidOrderBook& out);
std::optional<IndicatorError> validate_trade_print(const TradePrint& raw, ValidTradePrint& out);
std::optional<IndicatorError> validate_cross_section(const CrossSection& raw,
                                                     ValidCrossSection& out);

}  // namespace ostrel
