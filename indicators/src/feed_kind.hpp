#pragma once
// Which part of the per-bar input an indicator type consumes.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace ostrel {

enum class FeedKind : uint8_t { Kline, Trade, Orderbook, TradeQuote, Derivatives, CrossSection };

// "Kline", "Trade", ...: the names used in messages.
std::string_view feed_display_name(FeedKind kind);

// One known indicator type and the feed it consumes.
struct TypeFeed {
  std::string_view name;
  FeedKind feed;
};

// Every known type name (aliases excluded), sorted by name bytes.
std::span<const TypeFeed> known_indicator_types();

// The feed a known indicator type consumes; none for unknown names and for
// the aliases "Bollinger" and "Macd".
std::optional<FeedKind> consumed_feed(std::string_view type);

}  // namespace ostrel
