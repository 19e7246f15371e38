#include <gtest/gtest.h>

#include <map>
#include <string>

#include "registry.hpp"
#include "indicator_testing.hpp"

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

using testing::build_error;
using testing::make;

TEST(CreateIndicator, NamesAreExactAndCaseSensitive) {
  for (const char* name : {"sma", "SMA", " Sma", "Sma ", "NoSuchType"}) {
    EXPECT_EQ(build_error(name, {14}), std::string("unknown indicator type: ") + name);
  }
  EXPECT_NE(make("Sma", {14}), nullptr);
}

TEST(CreateIndicator, BuildersKnowTheirParameterKinds) {
  auto row = [](std::string_view name) { return *find_type(name); };
  using enum ParamKind;
  ASSERT_NE(row("Kama").build, nullptr);
  EXPECT_EQ(std::vector<ParamKind>(row("Kama").build->params.begin(), row("Kama").build->params.end()),
            (std::vector<ParamKind>{PositiveInteger, PositiveInteger, PositiveInteger}));
  EXPECT_EQ(row("Sma").build->params.size(), 1u);
  EXPECT_TRUE(row("Sma").build->outputs.empty());
  // The component names the registry reports are those the type publishes.
  auto mama = make("Mama", {0.5, 0.05});
  for (double close : testing::random_closes(40)) testing::update(*mama, testing::close_only(close));
  std::vector<std::string_view> published;
  for (const NamedOutput& o : mama->outputs()) published.push_back(o.name);
  const auto listed = row("Mama").build->outputs;
  EXPECT_EQ(published, std::vector<std::string_view>(listed.begin(), listed.end()));
  EXPECT_EQ(published, (std::vector<std::string_view>{"mama", "fama"}));
}

// The decoding messages with their {value} texts; each case builds through a
// type whose parameter at that position has the kind under test.
TEST(CreateIndicator, ParameterDecodingMessages) {
  const double nan = std::nan("");
  struct Case {
    const char* type;
    std::vector<double> params;
    const char* reason;
  };
  const Case cases[] = {
      {"Sma", {14.5}, "parameter #0 must be a positive integer, got 14.5"},
      {"Sma", {0}, "parameter #0 must be a positive integer, got 0"},
      {"Sma", {-3}, "parameter #0 must be a positive integer, got -3"},
      {"Sma", {1e-16}, "parameter #0 must be a positive integer, got 0.0000000000000001"},
      {"Sma", {3.0000000000000004}, "parameter #0 must be a positive integer, got 3.0000000000000004"},
      {"Sma", {}, "missing parameter #0"},
      {"Sma", {nan}, "parameter #0 must be finite"},
      {"Sma", {INFINITY}, "parameter #0 must be finite"},
      {"Sma", {1e300},
       "invalid period: period exceeds the maximum supported window length (see MAX_PERIOD)"},
      {"Kama", {10, 2}, "missing parameter #2"},
      {"Kama", {0, 2}, "parameter #0 must be a positive integer, got 0"},
      {"Kama", {10, 2, nan}, "parameter #2 must be finite"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(build_error(c.type, c.params),
              std::string("invalid parameters for indicator ") + c.type + ": " + c.reason)
        << c.type;
  }
}

TEST(CreateIndicator, IntegralWithinEpsilonAndSurplusIgnored) {
  for (std::vector<double> params : {std::vector<double>{14.0}, {14, 99}}) {
    auto sma = make("Sma", params);
    ASSERT_NE(sma, nullptr);
    EXPECT_EQ(sma->warmup_period(), 14u);
  }
  // The tolerance is absolute: one epsilon above 1 is integral.
  EXPECT_EQ(make("Sma", {1.0000000000000002})->warmup_period(), 1u);
  EXPECT_EQ(make("Sma", {16777216})->warmup_period(), 16777216u);
}

TEST(DecodeParam, SignedAndUnsigned32BitKinds) {
  struct Case {
    double x;
    bool i32_ok, u32_ok;
  };
  const Case cases[] = {{-60, true, false},        {2147483647, true, true},
                        {2147483648, false, true}, {-2147483648.0, true, false},
                        {4294967295, false, true}, {4294967296, false, false},
                        {0.5, false, false}};
  for (const Case& c : cases) {
    const std::vector<double> params = {c.x};
    int32_t i = 0;
    uint32_t u = 0;
    std::string reason;
    EXPECT_EQ(decode_param(params, 0, i, reason), c.i32_ok) << c.x;
    EXPECT_EQ(decode_param(params, 0, u, reason), c.u32_ok) << c.x;
  }
  int32_t i = 0;
  std::string reason;
  decode_param(std::vector<double>{2147483648.0}, 0, i, reason);
  EXPECT_EQ(reason, "parameter #0 must be an i32, got 2147483648");
  uint32_t u = 0;
  decode_param(std::vector<double>{-1}, 0, u, reason);
  EXPECT_EQ(reason, "parameter #0 must be a u32, got -1");
}

TEST(DecodeParam, HugePositiveIntegersSaturate) {
  uint64_t n = 0;
  std::string reason;
  ASSERT_TRUE(decode_param(std::vector<double>{1e300}, 0, n, reason));
  EXPECT_EQ(n, UINT64_MAX);
}

}  // namespace
}  // namespace ostrel
