#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "record_validation.hpp"

namespace ostrel {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// The displayed error ("invalid candle: ..."), or "" when the record passed.
std::string shown(const std::optional<IndicatorError>& error) {
  return error ? error->display() : std::string();
}

struct CandleCase {
  Candle candle;  // time, open, high, low, close, volume
  std::string expected;
};

TEST(CandleValidation, ChecksRulesInOrder) {
  const std::string finite = "invalid candle: open, high, low, close must all be finite";
  const std::vector<CandleCase> cases = {
      {{0, 1, 1, 1, 1, 0}, ""},
      {{0, 1, 2, 0.5, 1.5, -0.0}, ""},
      {{0, kNaN, 2, 1, 1, kNaN}, finite},
      {{0, 1, kInf, 1, 1, 0}, finite},
      {{0, 1, 2, -kInf, 1, 0}, finite},
      {{0, 1, 2, 1, kNaN, 0}, finite},
      {{0, 1, 2, 1, 1, kNaN}, "invalid candle: volume must be finite"},
      {{0, 1, 2, 1, 1, kInf}, "invalid candle: volume must be finite"},
      {{0, 5, 1, 2, 1, -1}, "invalid candle: volume must be non-negative"},
      {{0, 5, 1, 2, 1, 0}, "invalid candle: high must be >= low"},
      {{0, 3, 2, 1, 1.5, 0}, "invalid candle: high must be >= open and >= close"},
      {{0, 1.5, 2, 1, 3, 0}, "invalid candle: high must be >= open and >= close"},
      {{0, 0.5, 2, 1, 1.5, 0}, "invalid candle: low must be <= open and <= close"},
      {{0, 1.5, 2, 1, 0.5, 0}, "invalid candle: low must be <= open and <= close"},
  };
  for (const CandleCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "o=" << c.candle.open << " h=" << c.candle.high
                                    << " l=" << c.candle.low << " c=" << c.candle.close
                                    << " v=" << c.candle.volume);
    EXPECT_EQ(shown(validate_candle(c.candle)), c.expected);
  }
}

DerivativesTick valid_tick() {
  return {-0.001, 100, 100.5, 101, 0, 10, 20, 5, 6, 0, 1, 42};
}

const std::string kTickPrices =
    "invalid derivatives tick: mark_price, index_price and futures_price must be finite and "
    "positive";
const std::string kTickAmounts =
    "invalid derivatives tick: open interest, sizes, volumes and liquidations must be finite "
    "and non-negative";

TEST(DerivativesTickValidation, ChecksEachFieldGroup) {
  const std::string& prices = kTickPrices;
  const std::string& amounts = kTickAmounts;
  using Field = double DerivativesTick::*;
  struct Case {
    Field field;
    double value;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {&DerivativesTick::funding_rate, kNaN, "invalid derivatives tick: funding_rate must be finite"},
      {&DerivativesTick::funding_rate, kInf, "invalid derivatives tick: funding_rate must be finite"},
      {&DerivativesTick::mark_price, 0, prices},
      {&DerivativesTick::index_price, kNaN, prices},
      {&DerivativesTick::futures_price, -1, prices},
      {&DerivativesTick::mark_price, kInf, prices},
      {&DerivativesTick::open_interest, -1, amounts},
      {&DerivativesTick::long_size, kNaN, amounts},
      {&DerivativesTick::short_size, kInf, amounts},
      {&DerivativesTick::taker_buy_volume, -1e-300, amounts},
      {&DerivativesTick::taker_sell_volume, -1, amounts},
      {&DerivativesTick::long_liquidation, -1, amounts},
      {&DerivativesTick::short_liquidation, kNaN, amounts},
      {&DerivativesTick::open_interest, -0.0, ""},
  };
  for (const Case& c : cases) {
    DerivativesTick tick = valid_tick();
    tick.*c.field = c.value;
    ValidDerivativesTick out;
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(shown(validate_derivatives_tick(tick, out)), c.expected);
  }
}

TEST(DerivativesTickValidation, FundingCheckedBeforePricesAndPricesBeforeAmounts) {
  DerivativesTick tick = valid_tick();
  tick.funding_rate = kNaN;
  tick.mark_price = 0;
  tick.open_interest = -1;
  ValidDerivativesTick out;
  EXPECT_EQ(shown(validate_derivatives_tick(tick, out)),
            "invalid derivatives tick: funding_rate must be finite");
  tick.funding_rate = 0;
  EXPECT_EQ(shown(validate_derivatives_tick(tick, out)), kTickPrices);
  tick.mark_price = 1;
  EXPECT_EQ(shown(validate_derivatives_tick(tick, out)), kTickAmounts);
}

TEST(DerivativesTickValidation, CopiesEveryField) {
  ValidDerivativesTick out;
  ASSERT_FALSE(validate_derivatives_tick(valid_tick(), out));
  DerivativesTick expected = valid_tick();
  EXPECT_EQ(out.funding_rate, expected.funding_rate);
  EXPECT_EQ(out.futures_price, expected.futures_price);
  EXPECT_EQ(out.short_liquidation, expected.short_liquidation);
  EXPECT_EQ(out.timestamp, 42);
}

TEST(LevelValidation, PriceThenSize) {
  const std::string price = "invalid order book: level price must be finite and positive";
  const std::string size = "invalid order book: level size must be finite and non-negative";
  const std::vector<std::pair<Level, std::string>> cases = {
      {{100, 0}, ""},      {{100, -0.0}, ""},  {{0, 1}, price},      {{-1, 1}, price},
      {{kNaN, 1}, price},  {{kInf, 1}, price}, {{0, -1}, price},     {{100, -1}, size},
      {{100, kNaN}, size}, {{100, kInf}, size},
  };
  for (const auto& [level, expected] : cases) {
    ValidLevel out;
    SCOPED_TRACE(testing::Message() << "price=" << level.price << " size=" << level.size);
    EXPECT_EQ(shown(validate_level(level, out)), expected);
    if (expected.empty()) {
      EXPECT_EQ(out.price, level.price);
    }
  }
}

struct BookCase {
  std::vector<Level> bids;
  std::vector<Level> asks;
  std::string expected;
};

TEST(OrderBookValidation, ChecksLevelsThenShape) {
  const std::string prefix = "invalid order book: ";
  const std::vector<BookCase> cases = {
      {{{100, 1}, {99, 0}}, {{101, 2}, {102, 3}}, ""},
      {{}, {{0, 1}}, "level price must be finite and positive"},
      {{{100, -1}}, {{0, 1}}, "level size must be finite and non-negative"},
      {{{100, 1}, {99, 1}}, {{101, 1}, {kNaN, 1}}, "level price must be finite and positive"},
      {{}, {{101, 1}}, "order book must have at least one bid and one ask"},
      {{{100, 1}}, {}, "order book must have at least one bid and one ask"},
      {{{100, 1}, {100, 2}}, {{101, 1}}, "bids must be strictly descending in price"},
      {{{100, 1}, {101, 2}}, {{100, 1}}, "bids must be strictly descending in price"},
      {{{100, 1}}, {{101, 1}, {101, 1}}, "asks must be strictly ascending in price"},
      {{{100, 1}}, {{102, 1}, {101, 1}}, "asks must be strictly ascending in price"},
      {{{100, 1}}, {{100, 1}}, "order book must be uncrossed (best_bid < best_ask)"},
      {{{101, 1}}, {{100, 1}}, "order book must be uncrossed (best_bid < best_ask)"},
  };
  for (const BookCase& c : cases) {
    ValidOrderBook out;
    SCOPED_TRACE(c.expected);
    std::string expected = c.expected.empty() ? "" : prefix + c.expected;
    EXPECT_EQ(shown(validate_order_book({c.bids, c.asks}, out)), expected);
  }
}

TEST(OrderBookValidation, CopiesLevelsAndKeepsStorage) {
  OrderBook deep{{{100, 1}, {99, 2}, {98, 3}}, {{101, 4}, {102, 5}, {103, 6}}};
  OrderBook shallow{{{50, 7}}, {{51, 8}}};
  ValidOrderBook out;
  ASSERT_FALSE(validate_order_book(deep, out));
  const ValidLevel* bids = out.bids.data();
  const ValidLevel* asks = out.asks.data();

  ASSERT_FALSE(validate_order_book(shallow, out));
  ASSERT_EQ(out.bids.size(), 1u);
  ASSERT_EQ(out.asks.size(), 1u);
  EXPECT_EQ(out.bids[0].price, 50);
  EXPECT_EQ(out.asks[0].size, 8);

  ASSERT_FALSE(validate_order_book(deep, out));
  EXPECT_EQ(out.bids.data(), bids);
  EXPECT_EQ(out.asks.data(), asks);
  ASSERT_EQ(out.asks.size(), 3u);
  EXPECT_EQ(out.bids[2].price, 98);
  EXPECT_EQ(out.asks[2].size, 6);
}

TEST(TradePrintValidation, PriceThenSize) {
  const std::string price = "invalid trade: trade price must be finite and positive";
  const std::string size = "invalid trade: trade size must be finite and non-negative";
  const std::vector<std::pair<TradePrint, std::string>> cases = {
      {{10, 0, Side::Sell, 0}, ""}, {{0, 1, Side::Buy, 0}, price},
      {{kNaN, -1, Side::Buy, 0}, price}, {{-kInf, 1, Side::Buy, 0}, price},
      {{10, -1, Side::Buy, 0}, size}, {{10, kInf, Side::Buy, 0}, size},
  };
  for (const auto& [trade, expected] : cases) {
    ValidTradePrint out;
    SCOPED_TRACE(testing::Message() << "price=" << trade.price << " size=" << trade.size);
    EXPECT_EQ(shown(validate_trade_print(trade, out)), expected);
  }
}

TEST(TradePrintValidation, CopiesSideAndTimestamp) {
  ValidTradePrint out;
  ASSERT_FALSE(validate_trade_print({10, 2, Side::Sell, -7}, out));
  EXPECT_EQ(out.price, 10);
  EXPECT_EQ(out.size, 2);
  EXPECT_EQ(out.side, Side::Sell);
  EXPECT_EQ(out.timestamp, -7);
}

TEST(CrossSectionValidation, FirstFailingMemberDecides) {
  const std::string change = "invalid cross-section: member change must be finite";
  const std::string volume = "invalid cross-section: member volume must be finite and non-negative";
  using Members = std::vector<CrossSectionMember>;
  const std::vector<std::pair<Members, std::string>> cases = {
      {{}, "invalid cross-section: cross-section must contain at least one member"},
      {{{0.5, 1000, false, false}}, ""},
      {{{-0.5, 0, true, true}, {0, -0.0, false, false}}, ""},
      {{{kNaN, 1, false, false}}, change},
      {{{kInf, 1, false, false}}, change},
      {{{1, -1, false, false}}, volume},
      {{{1, kNaN, false, false}}, volume},
      {{{1, kInf, false, false}}, volume},
      {{{kNaN, -1, false, false}}, change},
      {{{1, -1, false, false}, {kNaN, 1, false, false}}, volume},
      {{{1, 1, false, false}, {kNaN, 1, false, false}}, change},
  };
  for (const auto& [members, expected] : cases) {
    ValidCrossSection out;
    SCOPED_TRACE(expected);
    EXPECT_EQ(shown(validate_cross_section({members, 0}, out)), expected);
  }
}

TEST(CrossSectionValidation, CopiesMembersClearsDerivedFlagsAndKeepsStorage) {
  CrossSection raw{{{0.5, 10, true, false}, {-0.25, 20, false, true}}, 99};
  ValidCrossSection out;
  out.members.resize(4);
  for (ValidCrossSectionMember& m : out.members) m.above_average = m.bullish_signal = true;
  const ValidCrossSectionMember* storage = out.members.data();

  ASSERT_FALSE(validate_cross_section(raw, out));
  EXPECT_EQ(out.members.data(), storage);
  EXPECT_EQ(out.timestamp, 99);
  ASSERT_EQ(out.members.size(), 2u);
  for (size_t i = 0; i < raw.members.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(out.members[i].change, raw.members[i].change);
    EXPECT_EQ(out.members[i].volume, raw.members[i].volume);
    EXPECT_EQ(out.members[i].new_high, raw.members[i].new_high);
    EXPECT_EQ(out.members[i].new_low, raw.members[i].new_low);
    EXPECT_FALSE(out.members[i].above_average);
    EXPECT_FALSE(out.members[i].bullish_signal);
  }
}

TEST(RecordValidation, ErrorsCarryTheirRecordKind) {
  using Kind = IndicatorError::Kind;
  ValidLevel level;
  ValidOrderBook book;
  ValidDerivativesTick tick;
  ValidTradePrint trade;
  ValidCrossSection section;
  EXPECT_EQ(validate_candle({0, 1, 0, 2, 1, 0})->kind, Kind::InvalidCandle);
  EXPECT_EQ(validate_derivatives_tick({}, tick)->kind, Kind::InvalidDerivativesTick);
  EXPECT_EQ(validate_level({}, level)->kind, Kind::InvalidOrderBook);
  EXPECT_EQ(validate_order_book({{{0, 1}}, {}}, book)->kind, Kind::InvalidOrderBook);
  EXPECT_EQ(validate_order_book({}, book)->kind, Kind::InvalidOrderBook);
  EXPECT_EQ(validate_trade_print({}, trade)->kind, Kind::InvalidTrade);
  EXPECT_EQ(validate_cross_section({}, section)->kind, Kind::InvalidCrossSection);
}

}  // namespace
}  // namespace ostrel
