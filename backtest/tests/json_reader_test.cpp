#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "documents.hpp"
#include "json/market_records.hpp"
#include "json/rules_reading.hpp"
#include "json/spec_reading.hpp"
#include "request/request_reading.hpp"

namespace ostrel {
namespace {

using Reading = std::function<std::string(const std::string&)>;

// "ok" or the error text of reading `text` as one document with `read`.
template <class T, class Read>
Reading reading(Read read) {
  return [read](const std::string& text) {
    auto r = read_document<T>(text, read);
    return r ? std::string("ok") : r.error();
  };
}

const Reading kCandle = reading<Candle>(json::read_candle);
const Reading kTick = reading<DerivativesTick>(json::read_derivatives_tick);
const Reading kBook = reading<OrderBook>(json::read_order_book);
const Reading kTrade = reading<TradePrint>(json::read_trade_print);
const Reading kSection = reading<CrossSection>(json::read_cross_section);
const Reading kCondition = reading<Condition>(json::read_condition);
const Reading kSpec = reading<StrategySpec>(json::read_strategy_spec);
const Reading kStep = reading<StepRequest>(json::read_step_request);

struct Case {
  const char* what;
  const Reading* read;
  std::string text;
  std::string expected;
};

const std::string kRules = R"("entry": {"gt": [{"price": "close"}, 1]}, "exit": {"lt": [{"price": "close"}, 1]})";
const std::string kSizing = R"("sizing": {"type": "fixed_fraction", "fraction": 1.0})";

std::string spec_with(const std::string& extra) {
  return R"({"symbol": "X", "timeframe": "1d", "indicators": {}, )" + kRules + ", " + kSizing +
         extra + "}";
}

TEST(JsonReader, ReportsMessagesAtTheirPositions) {
  const Case cases[] = {
      // Syntax: just after the offending byte; EOF at the end of the text.
      {"empty text", &kCandle, "", "EOF while parsing a value at line 1 column 0"},
      {"white space only", &kCandle, "  \n ", "EOF while parsing a value at line 2 column 1"},
      {"bad start", &kCandle, "x", "expected value at line 1 column 1"},
      {"unclosed array", &kCandle, "[1, 1", "EOF while parsing a list at line 1 column 5"},
      {"unclosed object", &kCandle, R"({"time": 1)", "EOF while parsing an object at line 1 column 10"},
      {"missing colon", &kCandle, R"({"time" 1})", "expected `:` at line 1 column 9"},
      {"missing comma", &kCandle, "[1 1]", "expected `,` or `]` at line 1 column 4"},
      {"object comma", &kCandle, R"({"time": 1 "open": 1})", "expected `,` or `}` at line 1 column 12"},
      {"non-string key", &kCandle, "{1: 2}", "key must be a string at line 1 column 2"},
      {"trailing comma", &kCandle, "[1, 1, 2, 0.5, 1.5,]", "trailing comma at line 1 column 20"},
      {"trailing comma in object", &kCandle, R"({"time": 1,})", "trailing comma at line 1 column 12"},
      {"trailing text", &kCandle, "[1, 1, 2, 0.5, 1.5] x", "trailing characters at line 1 column 21"},
      {"too many elements", &kCandle, "[1, 1, 2, 0.5, 1.5, 10, 0]",
       "trailing characters at line 1 column 25"},
      {"bad ident", &kCandle, "[1, tru]", "expected ident at line 1 column 8"},
      {"bad number", &kCandle, "[1, -x]", "invalid number at line 1 column 6"},
      {"leading zero", &kCandle, "[01]", "invalid number at line 1 column 3"},
      {"no fraction digits", &kCandle, "[1, 1.]", "invalid number at line 1 column 7"},
      {"huge number", &kCandle, "[1, 1e400]", "number out of range at line 1 column 9"},
      {"control character", &kTrade, "[1, 1, \"b\nuy\"]",
       "control character (\\u0000-\\u001F) found while parsing a string at line 2 column 0"},
      {"unterminated string", &kTrade, "[1, 1, \"buy", "EOF while parsing a string at line 1 column 11"},
      {"invalid escape", &kTrade, R"([1, 1, "\q"])", "invalid escape at line 1 column 10"},
      {"lone surrogate", &kTrade, R"([1, 1, "\udc00"])",
       "lone leading surrogate in hex escape at line 1 column 14"},
      {"columns restart per line", &kCandle, "[1,\n  1,\n  \"a\"]",
       "invalid type: string \"a\", expected f64 at line 3 column 5"},
      // Scalars of the wrong kind: just after the scalar; a bracket is not consumed.
      {"string for float", &kCandle, R"([1, "1"])", "invalid type: string \"1\", expected f64 at line 1 column 7"},
      {"null for float", &kCandle, "[1, null]", "invalid type: null, expected f64 at line 1 column 8"},
      {"array for float", &kCandle, "[1, [2]]", "invalid type: sequence, expected f64 at line 1 column 4"},
      {"float time", &kCandle, "[1.5, 1, 2, 0.5, 1.5]",
       "invalid type: floating point `1.5`, expected i64 at line 1 column 4"},
      {"exponent time", &kCandle, "[1e3, 1, 2, 0.5, 1.5]",
       "invalid type: floating point `1000.0`, expected i64 at line 1 column 4"},
      {"time beyond i64", &kCandle, "[9223372036854775808, 1, 2, 0.5, 1.5]",
       "invalid value: integer `9223372036854775808`, expected i64 at line 1 column 20"},
      {"scalar record", &kCandle, "true", "invalid type: boolean `true`, expected struct Candle at line 1 column 4"},
      // Errors found once a container is read: the container closes first.
      {"short array", &kCandle, "[1, 1, 2, 0.5]",
       "invalid length 4, expected struct Candle with 6 elements at line 1 column 14"},
      {"missing field", &kCandle, R"({"time": 1, "open": 1, "high": 2, "low": 0.5} )",
       "missing field `close` at line 1 column 45"},
      {"duplicate field", &kCandle, R"({"time": 1, "open": 1, "open": 2})",
       "duplicate field `open` at line 1 column 29"},
      {"short tick", &kTick, "[0.1, 1, 1]",
       "invalid length 3, expected struct DerivativesTick with 12 elements at line 1 column 11"},
      {"unknown side", &kTrade, R"({"price": 10, "size": 1, "side": "BUY"})",
       "unknown variant `BUY`, expected `buy` or `sell` at line 1 column 38"},
      {"side as number", &kTrade, R"([10, 1, 5])", "expected value at line 1 column 9"},
      {"book of scalars", &kBook, R"({"bids": 1, "asks": []})",
       "invalid type: integer `1`, expected a sequence at line 1 column 10"},
      {"member flag", &kSection, R"({"members": [[0.5, 1, 1]]})",
       "invalid type: integer `1`, expected a boolean at line 1 column 23"},
  };
  for (const Case& c : cases) EXPECT_EQ((*c.read)(c.text), c.expected) << c.what;
}

TEST(JsonReader, ReadsRecordsInBothForms) {
  const Case ok[] = {
      {"candle object", &kCandle, R"({"time": 1, "open": 1, "high": 2, "low": 0.5, "close": 1.5})", "ok"},
      {"candle array", &kCandle, "[1, 1, 2, 0.5, 1.5]", "ok"},
      {"unknown key read past", &kCandle,
       R"({"symbol": {"deep": [1, {"x": null}]}, "time": 1, "open": 1, "high": 2, "low": 0.5, "close": 1.5})",
       "ok"},
      {"tick of 11", &kTick, "[-0.001, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0]", "ok"},
      {"side object form", &kTrade, R"({"price": 10, "size": 0, "side": {"buy": null}})", "ok"},
      {"member pair", &kSection, R"({"members": [[0.5, 1000]]})", "ok"},
      {"escaped key", &kCandle, R"({"t\u0069me": 1, "open": 1, "high": 2, "low": 0.5, "close": 1.5})", "ok"},
  };
  for (const Case& c : ok) EXPECT_EQ((*c.read)(c.text), "ok") << c.what;

  auto candle = read_document<Candle>("[1, 7, 2, 0.5, 1.5]", json::read_candle);
  ASSERT_TRUE(candle);
  EXPECT_EQ(candle->time, 1);
  EXPECT_EQ(candle->open, 7.0);
  EXPECT_EQ(candle->volume, 0.0);

  auto trade = read_document<TradePrint>(R"(["sell", 1, "sell"])", json::read_trade_print);
  EXPECT_FALSE(trade);
  auto print = read_document<TradePrint>(R"({"price": 10, "size": 0, "side": {"sell": null}})",
                                         json::read_trade_print);
  ASSERT_TRUE(print);
  EXPECT_EQ(print->side, Side::Sell);
  EXPECT_EQ(print->timestamp, 0);

  auto tick = read_document<DerivativesTick>("[-0.001, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0]",
                                             json::read_derivatives_tick);
  ASSERT_TRUE(tick);
  EXPECT_EQ(tick->funding_rate, -0.001);
  EXPECT_EQ(tick->timestamp, 0);
}

TEST(JsonReader, ParsesNumbersWithCorrectRounding) {
  struct Num {
    const char* text;
    double value;
  };
  const Num nums[] = {{"0.1", 0.1},
                      {"-0", -0.0},
                      {"2.2250738585072011e-308", 2.2250738585072011e-308},
                      {"5e-324", 5e-324},
                      {"1e-400", 0.0},
                      {"18446744073709551616", 18446744073709551616.0},
                      {"9007199254740993", 9007199254740992.0},
                      {"1.7976931348623157e308", 1.7976931348623157e308}};
  for (const Num& n : nums) {
    auto c = read_document<Candle>(std::string("[1, ") + n.text + ", 1, 1, 1]", json::read_candle);
    ASSERT_TRUE(c) << n.text << ": " << c.error();
    EXPECT_EQ(c->open, n.value) << n.text;
    EXPECT_EQ(std::signbit(c->open), std::signbit(n.value)) << n.text;
  }
}

TEST(JsonReader, LimitsNestingTo127Levels) {
  auto nested = [](int depth) {
    return R"({"time": 1, "x": )" + std::string(depth - 1, '[') + std::string(depth - 1, ']') +
           R"(, "open": 1, "high": 2, "low": 0.5, "close": 1.5})";
  };
  EXPECT_EQ(kCandle(nested(127)), "ok");
  // The 128th bracket (the object is the first level).
  EXPECT_EQ(kCandle(nested(128)), "recursion limit exceeded at line 1 column 144");
}

TEST(JsonReader, ReadsRules) {
  const Case cases[] = {
      {"comparison", &kCondition, R"({"gt": ["rsi", 70]})", "ok"},
      {"example rule", &kCondition,
       R"({"all": [{"cross_above": ["fast", "slow"]}, {"gt": [{"price": "close"}, {"prev": [{"price": "close"}, 5]}]}, {"not": {"in_position": true}}]})",
       "ok"},
      {"price object form", &kCondition, R"({"gt": [{"price": {"close": null}}, 1]})", "ok"},
      {"empty all", &kCondition, R"({"all": []})", "ok"},
      {"since entry", &kCondition, R"({"bars_since_entry": {"ge": 3}})", "ok"},
      {"short tuple", &kCondition, R"({"gt": ["rsi"]})",
       "invalid length 1, expected a tuple of size 2 at line 1 column 14"},
      {"long tuple", &kCondition, R"({"gt": ["rsi", 70, 1]})", "trailing characters at line 1 column 20"},
      {"boolean operand", &kCondition, R"({"gt": ["rsi", true]})",
       "data did not match any variant of untagged enum Operand at line 1 column 20"},
      {"unknown price", &kCondition, R"({"gt": [{"price": "last"}, 1]})",
       "data did not match any variant of untagged enum Operand at line 1 column 27"},
      {"negative prev", &kCondition, R"({"gt": [{"prev": [{"price": "close"}, -1]}, 1]})",
       "data did not match any variant of untagged enum Operand at line 1 column 44"},
      {"two keys", &kCondition, R"({"gt": ["a", "b"], "lt": ["a", "b"]})", "expected value at line 1 column 17"},
      {"number", &kCondition, "5", "expected value at line 1 column 1"},
      {"unknown form", &kCondition, R"({"gte": [1, 2]})",
       "unknown variant `gte`, expected one of `gt`, `lt`, `ge`, `le`, `eq`, `ne`, `cross_above`, "
       "`cross_below`, `between`, `rising`, `falling`, `all`, `any`, `not`, `in_position`, "
       "`bars_since_entry` at line 1 column 6"},
      {"no ne in comparison", &kCondition, R"({"bars_since_entry": {"ne": 3}})",
       "unknown variant `ne`, expected one of `gt`, `lt`, `ge`, `le`, `eq` at line 1 column 26"},
      {"negative count", &kCondition, R"({"rising": [{"price": "close"}, -1]})",
       "invalid value: integer `-1`, expected u32 at line 1 column 34"},
      {"between of two", &kCondition, R"({"between": [1, 2]})",
       "invalid length 2, expected a tuple of size 3 at line 1 column 18"},
  };
  for (const Case& c : cases) EXPECT_EQ((*c.read)(c.text), c.expected) << c.what;

  // A rule given as a bare form name; the error closes with the spec object.
  std::string text = spec_with(R"(, "short_entry": "gt")");
  EXPECT_EQ(kSpec(text), "invalid type: unit variant, expected newtype variant at line 1 column " +
                             std::to_string(text.size()));
}

TEST(JsonReader, BuildsTheRuleTree) {
  auto c = read_document<Condition>(
      R"({"any": [{"rising": [{"div": ["a.b", 2]}, 3]}, {"not": {"in_position": false}}]})",
      json::read_condition);
  ASSERT_TRUE(c) << c.error();
  ASSERT_EQ(c->kind, Condition::Kind::Any);
  ASSERT_EQ(c->members.size(), 2u);
  const Condition& rising = c->members[0];
  EXPECT_EQ(rising.kind, Condition::Kind::Rising);
  EXPECT_EQ(rising.count, 3u);
  const Operand& div = rising.operands[0];
  EXPECT_EQ(div.kind, Operand::Kind::Div);
  EXPECT_EQ(div.args[0].key, "a.b");
  EXPECT_EQ(div.args[1].constant, 2.0);
  EXPECT_EQ(c->members[1].members[0].kind, Condition::Kind::InPosition);
}

TEST(JsonReader, ReadsTheSpec) {
  auto spec = read_document<StrategySpec>(spec_with(""), json::read_strategy_spec);
  ASSERT_TRUE(spec) << spec.error();
  EXPECT_EQ(spec->spec_version, 1u);
  EXPECT_FALSE(spec->short_entry);
  EXPECT_EQ(spec->costs.slippage.kind, SlippageKind::FixedBps);
  EXPECT_EQ(spec->execution.order_type, OrderType::Market);
  EXPECT_EQ(spec->execution.fill_timing, FillTiming::NextOpen);
  EXPECT_FALSE(spec->warmup);

  auto last_wins = read_document<StrategySpec>(
      spec_with(R"(, "indicators": {"a": {"type": "Sma", "params": [5]}, "a": ["Ema", [7], "kline"]})")
          .replace(spec_with("").find(R"("indicators": {}, )"), 18, ""),
      json::read_strategy_spec);
  ASSERT_TRUE(last_wins) << last_wins.error();
  ASSERT_EQ(last_wins->indicators.size(), 1u);
  EXPECT_EQ(last_wins->indicators.at("a").type, "Ema");
  EXPECT_EQ(last_wins->indicators.at("a").feed, FeedKind::Kline);

  auto vol = read_document<StrategySpec>(
      spec_with(R"(, "sizing": ["vol_target", 0.2, 20], "costs": {"slippage": {"type": "spread"}})")
          .replace(spec_with("").find(kSizing), kSizing.size() + 2, ""),
      json::read_strategy_spec);
  ASSERT_TRUE(vol) << vol.error();
  EXPECT_EQ(vol->sizing.kind, SizingKind::VolTarget);
  EXPECT_EQ(vol->sizing.value, 0.2);
  EXPECT_EQ(vol->sizing.lookback, 20u);
  EXPECT_EQ(vol->costs.slippage.kind, SlippageKind::Spread);
}

TEST(JsonReader, ReportsSpecErrors) {
  auto at_end = [](const std::string& text, const std::string& message) {
    return message + " at line 1 column " + std::to_string(text.size());
  };
  struct SpecCase {
    const char* what;
    std::string text;
    std::string message;  // positioned at the spec's closing brace
  };
  const SpecCase cases[] = {
      {"first missing in declared order", R"({"indicators": {}, "timeframe": "1d"})", "missing field `symbol`"},
      {"timeframe before sizing", R"({"symbol": "X", "indicators": {}})", "missing field `timeframe`"},
      {"sizing field", spec_with(R"(, "sizing": {"type": "fixed_fraction"})"), "missing field `fraction`"},
      {"sizing tag", spec_with(R"(, "sizing": {"type": "kelly"})"),
       "unknown variant `kelly`, expected one of `fixed_fraction`, `fixed_qty`, `fixed_cash`, "
       "`vol_target`, `risk_per_trade`"},
      {"sizing without tag", spec_with(R"(, "sizing": {"fraction": 1})"), "missing field `type`"},
      {"short sizing array", spec_with(R"(, "sizing": ["vol_target", 0.2])"),
       "invalid length 1, expected struct variant Sizing::VolTarget with 2 elements"},
      {"lookback float", spec_with(R"(, "sizing": ["vol_target", 0.2, 2.5])"),
       "invalid type: floating point `2.5`, expected u32"},
  };
  for (const SpecCase& c : cases) {
    // Duplicate "sizing" keys would be refused: replace the default one.
    std::string text = c.text;
    size_t dflt = text.find(kSizing + ", ");
    if (dflt != std::string::npos && text.find("\"sizing\"", dflt + 5) != std::string::npos) {
      text.erase(dflt, kSizing.size() + 2);
    }
    EXPECT_EQ(kSpec(text), at_end(text, c.message)) << c.what;
  }

  struct ScalarCase {
    const char* what;
    std::string text;
    std::string token;  // the error points just after its first occurrence
    std::string message;
  };
  const ScalarCase scalar_cases[] = {
      {"slippage as string", spec_with(R"(, "costs": {"slippage": "spread"})"), R"("spread")",
       "invalid type: string \"spread\", expected internally tagged enum Slippage"},
      {"order type", spec_with(R"(, "execution": {"order_type": "iceberg"})"), R"("iceberg")",
       "unknown variant `iceberg`, expected one of `market`, `limit`, `stop`, `stop_limit`"},
      {"fill timing", spec_with(R"(, "execution": {"fill_timing": "open"})"), R"("open")",
       "unknown variant `open`, expected `next_open` or `close`"},
      {"feed", R"({"indicators": {"a": {"type": "Sma", "feed": "ticks"}}})", R"("ticks")",
       "unknown variant `ticks`, expected one of `kline`, `trade`, `orderbook`, `trade_quote`, "
       "`derivatives`, `cross_section`"},
      {"negative version", R"({"spec_version": -1})", "-1", "invalid value: integer `-1`, expected u32"},
      {"version too large", R"({"spec_version": 4294967296})", "4294967296",
       "invalid value: integer `4294967296`, expected u32"},
      {"latency float", spec_with(R"(, "execution": {"latency_bars": 1.0})"), R"("latency_bars": 1.0)",
       "invalid type: floating point `1.0`, expected u32"},
      {"funding null", spec_with(R"(, "costs": {"funding": null})"), "null",
       "invalid type: null, expected a boolean"},
      {"indicators not a map", R"({"indicators": [])", R"("indicators": )",
       "invalid type: sequence, expected a map"},
      {"short indicator", R"({"indicators": {"a": []}})", R"("a": [])",
       "invalid length 0, expected struct IndicatorSpec with 3 elements"},
  };
  for (const ScalarCase& c : scalar_cases) {
    size_t column = c.text.find(c.token) + c.token.size();
    EXPECT_EQ(kSpec(c.text), c.message + " at line 1 column " + std::to_string(column)) << c.what;
  }
}

TEST(JsonReader, ReadsNullAsAbsentWhereAllowed) {
  auto spec = read_document<StrategySpec>(
      spec_with(R"(, "short_entry": null, "warmup": null, "ref_symbol": null, "risk": {"stop_loss_pct": null})"),
      json::read_strategy_spec);
  ASSERT_TRUE(spec) << spec.error();
  EXPECT_FALSE(spec->short_entry);
  EXPECT_FALSE(spec->warmup);
  EXPECT_FALSE(spec->risk.stop_loss_pct);
}

TEST(Documents, WrapEachReadingFailureInItsKind) {
  auto run = read_run_request_document("");
  ASSERT_FALSE(run);
  EXPECT_EQ(run.error().render(), "invalid strategy spec: EOF while parsing a value at line 1 column 0");

  std::string no_spec = R"({"candles": [[1, 10, 11, 9, 10.5]]})";
  auto missing = read_run_request_document(no_spec);
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error().render(),
            "invalid strategy spec: missing field `spec` at line 1 column 35");

  std::string bad_close = "{\"spec\": " + spec_with("") + R"(, "candles": [[1, 10, 11, 9, "x"]]})";
  auto bad = read_run_request_document(bad_close);
  ASSERT_FALSE(bad);
  EXPECT_EQ(bad.error().render().rfind("invalid strategy spec: invalid type: string \"x\", expected f64 at line 1", 0), 0u);

  std::string step = R"({"feeds": {}})";
  auto no_candle = read_step_request_document(step);
  ASSERT_FALSE(no_candle);
  EXPECT_EQ(no_candle.error(), "missing field `candle` at line 1 column 13");

  auto bad_spec = read_spec_document(spec_with(R"(, "spec_version": 2)"));
  ASSERT_FALSE(bad_spec);
  EXPECT_EQ(bad_spec.error().render(),
            "invalid strategy spec: spec_version 2 is not supported; this build reads 1..=1");
}

TEST(Documents, ReadRequestsWithTheirFeeds) {
  std::string text = "{\"spec\": " + spec_with("") +
                     R"(, "candles": [[1, 10, 11, 9, 10.5], [2, 10, 11, 9, 10.5]], "derivs": null,
                        "trades": [[], [{"price": 10, "size": 1, "side": "buy"}]]})";
  auto run = read_run_request_document(text);
  ASSERT_TRUE(run) << run.error().render();
  EXPECT_EQ(run->capital, 10000.0);
  EXPECT_FALSE(run->derivs);
  ASSERT_TRUE(run->trades);
  EXPECT_EQ((*run->trades)[0].size(), 0u);
  EXPECT_EQ((*run->trades)[1].size(), 1u);

  auto step = read_step_request_document(
      R"({"candle": {"time": 5, "open": 1, "high": 1, "low": 1, "close": 1}, "feeds": {"reference": 101.5}})");
  ASSERT_TRUE(step) << step.error();
  EXPECT_EQ(step->candle.volume, 0.0);
  EXPECT_EQ(step->feeds.reference, 101.5);
  EXPECT_FALSE(step->feeds.trades);
}

}  // namespace
}  // namespace ostrel
