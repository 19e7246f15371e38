#include "json/market_records.hpp"

#include <array>

#include "json/record_reader.hpp"

namespace ostrel::json {

namespace {

constexpr Field kCandleFields[] = {{"time", true},  {"open", true},  {"high", true},
                                   {"low", true},   {"close", true}, {"volume", false}};

bool read_candle_field(Reader& r, Candle& c, size_t i) {
  switch (i) {
    case 0: return r.read_i64(c.time);
    case 1: return r.read_f64(c.open);
    case 2: return r.read_f64(c.high);
    case 3: return r.read_f64(c.low);
    case 4: return r.read_f64(c.close);
    default: return r.read_f64(c.volume);
  }
}

constexpr RecordShape<Candle> kCandle{"struct Candle", "struct Candle with 6 elements",
                                      kCandleFields, read_candle_field};

constexpr Field kTickFields[] = {
    {"funding_rate", true},     {"mark_price", true},        {"index_price", true},
    {"futures_price", true},    {"open_interest", true},     {"long_size", true},
    {"short_size", true},       {"taker_buy_volume", true},  {"taker_sell_volume", true},
    {"long_liquidation", true}, {"short_liquidation", true}, {"timestamp", false}};

bool read_tick_field(Reader& r, DerivativesTick& t, size_t i) {
  double* reals[] = {&t.funding_rate,     &t.mark_price,        &t.index_price,
                     &t.futures_price,    &t.open_interest,     &t.long_size,
                     &t.short_size,       &t.taker_buy_volume,  &t.taker_sell_volume,
                     &t.long_liquidation, &t.short_liquidation};
  if (i < std::size(reals)) return r.read_f64(*reals[i]);
  return r.read_i64(t.timestamp);
}

constexpr RecordShape<DerivativesTick> kTick{"struct DerivativesTick",
                                             "struct DerivativesTick with 12 elements",
                                             kTickFields, read_tick_field};

constexpr Field kLevelFields[] = {{"price", true}, {"size", true}};

bool read_level_field(Reader& r, Level& l, size_t i) {
  return r.read_f64(i == 0 ? l.price : l.size);
}

constexpr RecordShape<Level> kLevel{"struct Level", "struct Level with 2 elements", kLevelFields,
                                    read_level_field};

constexpr Field kBookFields[] = {{"bids", true}, {"asks", true}};

bool read_book_field(Reader& r, OrderBook& b, size_t i) {
  return read_sequence(r, i == 0 ? b.bids : b.asks, read_level);
}

constexpr RecordShape<OrderBook> kBook{"struct OrderBook", "struct OrderBook with 2 elements",
                                       kBookFields, read_book_field};

constexpr Field kTradeFields[] = {
    {"price", true}, {"size", true}, {"side", true}, {"timestamp", false}};

constexpr std::string_view kSideNames[] = {"buy", "sell"};

bool read_trade_field(Reader& r, TradePrint& t, size_t i) {
  switch (i) {
    case 0: return r.read_f64(t.price);
    case 1: return r.read_f64(t.size);
    case 2: {
      size_t side;
      if (!r.read_unit_enum(kSideNames, side)) return false;
      t.side = static_cast<Side>(side);
      return true;
    }
    default: return r.read_i64(t.timestamp);
  }
}

constexpr RecordShape<TradePrint> kTrade{"struct TradePrint", "struct TradePrint with 4 elements",
                                         kTradeFields, read_trade_field};

constexpr Field kMemberFields[] = {
    {"change", true}, {"volume", true}, {"new_high", false}, {"new_low", false}};

bool read_member_field(Reader& r, CrossSectionMember& m, size_t i) {
  switch (i) {
    case 0: return r.read_f64(m.change);
    case 1: return r.read_f64(m.volume);
    case 2: return r.read_bool(m.new_high);
    default: return r.read_bool(m.new_low);
  }
}

constexpr RecordShape<CrossSectionMember> kMember{"struct CrossSectionMember",
                                                  "struct CrossSectionMember with 4 elements",
                                                  kMemberFields, read_member_field};

constexpr Field kSectionFields[] = {{"members", true}, {"timestamp", false}};

bool read_section_field(Reader& r, CrossSection& s, size_t i) {
  if (i == 0) return read_sequence(r, s.members, read_cross_section_member);
  return r.read_i64(s.timestamp);
}

constexpr RecordShape<CrossSection> kSection{"struct CrossSection",
                                             "struct CrossSection with 2 elements",
                                             kSectionFields, read_section_field};

}  // namespace

bool read_candle(Reader& r, Candle& out) { return read_record(r, out, kCandle); }
bool read_derivatives_tick(Reader& r, DerivativesTick& out) { return read_record(r, out, kTick); }
bool read_level(Reader& r, Level& out) { return read_record(r, out, kLevel); }
bool read_order_book(Reader& r, OrderBook& out) { return read_record(r, out, kBook); }
bool read_trade_print(Reader& r, TradePrint& out) { return read_record(r, out, kTrade); }
bool read_cross_section_member(Reader& r, CrossSectionMember& out) {
  return read_record(r, out, kMember);
}
bool read_cross_section(Reader& r, CrossSection& out) { return read_record(r, out, kSection); }

}  // namespace ostrel::json
