#include "feed_kind.hpp"

namespace ostrel {

std::string_view feed_display_name(FeedKind kind) {
  switch (kind) {
    case FeedKind::Kline: return "Kline";
    case FeedKind::Trade: return "Trade";
    case FeedKind::Orderbook: return "Orderbook";
    case FeedKind::TradeQuote: return "TradeQuote";
    case FeedKind::Derivatives: return "Derivatives";
    case FeedKind::CrossSection: return "CrossSection";
  }
  return {};
}

}  // namespace ostrel
