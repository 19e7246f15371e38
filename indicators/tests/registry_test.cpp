#include <gtest/gtest.h>

#include <map>
#include <string>

#include "registry.hpp"

namespace ostrel {
namespace {

TEST(FeedKind, DisplayNames) {
  EXPECT_EQ(feed_display_name(FeedKind::Kline), "Kline");
  EXPECT_EQ(feed_display_name(FeedKind::Trade), "Trade");
  EXPECT_EQ(feed_display_name(FeedKind::Orderbook), "Orderbook");
  EXPECT_EQ(feed_display_name(FeedKind::TradeQuote), "TradeQuote");
  EXPECT_EQ(feed_display_name(FeedKind::Derivatives), "Derivatives");
  EXPECT_EQ(feed_display_name(FeedKind::CrossSection), "CrossSection");
}

TEST(KnownIndicatorTypes, HasEveryTypeOnceInByteOrder) {
  auto types = known_indicator_types();
  ASSERT_EQ(types.size(), 495u);
  for (size_t i = 1; i < types.size(); ++i) {
    EXPECT_LT(types[i - 1].name, types[i].name) << "at " << i;
  }
  for (const TypeRow& type : types) {
    EXPECT_GE(type.name.size(), 2u) << type.name;
    EXPECT_LE(type.name.size(), 26u) << type.name;
  }
}

TEST(KnownIndicatorTypes, CountsPerFeed) {
  std::map<FeedKind, int> counts;
  for (const TypeRow& type : known_indicator_types()) ++counts[type.feed];
  EXPECT_EQ(counts[FeedKind::Kline], 446);
  EXPECT_EQ(counts[FeedKind::Trade], 8);
  EXPECT_EQ(counts[FeedKind::Orderbook], 7);
  EXPECT_EQ(counts[FeedKind::TradeQuote], 3);
  EXPECT_EQ(counts[FeedKind::Derivatives], 16);
  EXPECT_EQ(counts[FeedKind::CrossSection], 15);
}

TEST(ConsumedFeed, FindsEveryTableEntry) {
  for (const TypeRow& type : known_indicator_types()) {
    EXPECT_EQ(consumed_feed(type.name), type.feed) << type.name;
  }
}

TEST(ConsumedFeed, KnowsTheSideFeedTypes) {
  const std::map<std::string, FeedKind> expected = {
      {"Sma", FeedKind::Kline},
      {"Beta", FeedKind::Kline},
      {"EstimatedLeverageRatio", FeedKind::Kline},
      {"Vpin", FeedKind::Trade},
      {"AmihudIlliquidity", FeedKind::Trade},
      {"Microprice", FeedKind::Orderbook},
      {"QuotedSpread", FeedKind::Orderbook},
      {"KylesLambda", FeedKind::TradeQuote},
      {"EffectiveSpread", FeedKind::TradeQuote},
      {"FundingRate", FeedKind::Derivatives},
      {"OIPriceDivergence", FeedKind::Derivatives},
      {"Trin", FeedKind::CrossSection},
      {"UpDownVolumeRatio", FeedKind::CrossSection},
  };
  for (const auto& [name, feed] : expected) EXPECT_EQ(consumed_feed(name), feed) << name;
}

TEST(ConsumedFeed, MatchesWholeNamesExactly) {
  for (std::string_view name : {"Bollinger", "Macd", "sma", "SMA", " Sma", "Sma ", "Sm", "Smaa",
                                "OiPriceDivergence", "", "Zzz", "A"}) {
    EXPECT_FALSE(consumed_feed(name)) << '"' << name << '"';
  }
  EXPECT_FALSE(consumed_feed(std::string_view("Sma\0", 4)));
}

}  // namespace
}  // namespace ostrel
