#pragma once
// Reading of the market records, in object or array form.

#include "json/reader.hpp"
#include "records.hpp"

namespace ostrel::json {

bool read_candle(Reader& r, Candle& out);
bool read_derivatives_tick(Reader& r, DerivativesTick& out);
bool read_level(Reader& r, Level& out);
bool read_order_book(Reader& r, OrderBook& out);
bool read_trade_print(Reader& r, TradePrint& out);
bool read_cross_section_member(Reader& r, CrossSectionMember& out);
bool read_cross_section(Reader& r, CrossSection& out);

}  // namespace ostrel::json
