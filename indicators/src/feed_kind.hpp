#pragma once
// Which part of the per-bar input an indicator type consumes.

#include <cstdint>
#include <string_view>

namespace ostrel {

enum class FeedKind : uint8_t { Kline, Trade, Orderbook, TradeQuote, Derivatives, CrossSection };

// "Kline", "Trade", ...: the names used in messages.
std::string_view feed_display_name(FeedKind kind);

// "kline", "trade", ...: the names a strategy document uses, by value.
inline constexpr std::string_view kFeedDocumentNames[] = {
    "kline", "trade", "orderbook", "trade_quote", "derivatives", "cross_section"};

}  // namespace ostrel
