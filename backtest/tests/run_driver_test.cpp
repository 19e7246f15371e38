#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "documents.hpp"
#include "json/spec_reading.hpp"
#include "run_driver.hpp"

namespace ostrel {
namespace {

std::string spec_json(const std::string& extra = "") {
  return R"({"symbol": "X", "timeframe": "1d", "indicators": {},
    "entry": {"gt": [{"price": "close"}, 0]}, "exit": {"lt": [{"price": "close"}, 0]},
    "sizing": {"type": "fixed_qty", "qty": 1})" +
         extra + "}";
}

const std::string kSpread = R"(, "costs": {"slippage": {"type": "spread"}})";
const std::string kFunding = R"(, "costs": {"funding": true})";
const std::string kBoth = R"(, "costs": {"funding": true, "slippage": ["spread"]})";
const std::string kCandles = R"([[1, 100, 101, 99, 100], [2, 100, 111, 99, 110], [3, 110, 121, 109, 120]])";

const std::string kSpreadMessage =
    "invalid strategy spec: costs.slippage spread needs an order-book feed; without one every "
    "fill              would be priced at zero slippage";
const std::string kFundingMessage =
    "invalid strategy spec: costs.funding needs a derivatives feed; without one no funding "
    "would be              charged at all";

std::string run_text(const std::string& request) {
  auto report = run_request_text(request);
  return report ? report.value() : report.error().render();
}

std::string request(const std::string& spec_extra, const std::string& candles,
                    const std::string& feeds = "") {
  return R"({"spec": )" + spec_json(spec_extra) + R"(, "candles": )" + candles + feeds + "}";
}

std::string run_arrays(const std::string& spec_extra, std::vector<Candle> candles,
                       double capital = 10000.0) {
  auto spec = read_document<StrategySpec>(spec_json(spec_extra), json::read_strategy_spec);
  if (!spec) return spec.error();
  auto report = run_candles(std::move(spec).value(), candles, capital);
  return report ? report.value() : report.error().render();
}

std::string books(int n) {
  std::string list = R"(, "books": [)";
  for (int i = 0; i < n; ++i) list += std::string(i ? "," : "") + R"({"bids": [[99, 1]], "asks": [[101, 1]]})";
  return list + "]";
}

TEST(RunDrivers, CheckBeforeTheFirstBarInOrder) {
  const std::string bad_version = R"(, "spec_version": 2)";
  struct Case {
    const char* what;
    std::string outcome;
    std::string expected;
  };
  const Case cases[] = {
      {"spec before candles (arrays)", run_arrays(bad_version, {}),
       "invalid strategy spec: spec_version 2 is not supported; this build reads 1..=1"},
      {"spec before candles (request)", run_text(request(bad_version, "[]")),
       "invalid strategy spec: spec_version 2 is not supported; this build reads 1..=1"},
      {"spread over arrays", run_arrays(kSpread, {{1, 1, 1, 1, 1, 0}}), kSpreadMessage},
      {"funding over arrays", run_arrays(kFunding, {{1, 1, 1, 1, 1, 0}}), kFundingMessage},
      {"spread before funding", run_arrays(kBoth, {}), kSpreadMessage},
      {"request without books", run_text(request(kSpread, kCandles)), kSpreadMessage},
      {"request without derivs", run_text(request(kFunding, kCandles, books(3))), kFundingMessage},
      {"no candles (arrays)", run_arrays("", {}), "invalid input data: no candles"},
      {"no candles (request)", run_text(request("", "[]")), "invalid input data: no candles"},
      {"derivs empty", run_text(request("", kCandles, R"(, "derivs": [])")),
       "invalid input data: derivs feed length 0 does not match 3 candles"},
      {"reference named first", run_text(request("", kCandles, R"(, "books": [], "reference": [])")),
       "invalid input data: reference feed length 0 does not match 3 candles"},
      {"trades too long", run_text(request("", kCandles, R"(, "trades": [[], [], [], []])")),
       "invalid input data: trades feed length 4 does not match 3 candles"},
      {"capital must be finite",
       run_arrays("", {{1, 1, 1, 1, 1, 0}}, std::numeric_limits<double>::quiet_NaN()),
       "invalid input data: capital must be finite"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.outcome, c.expected) << c.what;
}

TEST(RunDrivers, RunARequestWithItsFeedsToTheReport) {
  // Long from bar 2's open (100) at spread 1 %: entry at 101; closed at the end at 120.
  const std::string report = run_text(request(kSpread, kCandles, books(3) + R"(, "derivs": null)"));
  EXPECT_EQ(report,
            R"({"schema_version":1,"symbol":"X","timeframe":"1d","metrics":{"pnl":19.0,"return_pct":0.19,)"
            R"("sharpe":19.16332291561215,"sortino":0.0,"calmar":null,"max_drawdown":0.0,"win_rate":100.0,)"
            R"("profit_factor":null,"num_trades":1},"trades":[{"entry_time":2,"exit_time":3,"entry_price":101.0,)"
            R"("exit_price":120.0,"qty":1.0,"pnl":19.0,"return_pct":18.81188118811881,"reason":"end"}],)"
            R"("equity":[{"time":1,"equity":10000.0},{"time":2,"equity":10009.0},{"time":3,"equity":10019.0}],)"
            R"("fees_paid":0.0,"initial_capital":10000.0})");
}

TEST(RunDrivers, InvalidFeedRecordsAreAbsentForTheirBar) {
  // The book of bar 2 (where the entry fills) is crossed: zero spread slippage.
  const std::string crossed =
      R"(, "books": [{"bids": [[99, 1]], "asks": [[101, 1]]}, {"bids": [[102, 1]], "asks": [[101, 1]]},
                    {"bids": [[99, 1]], "asks": [[101, 1]]}])";
  const std::string spread = run_text(request(kSpread, kCandles, crossed));
  EXPECT_NE(spread.find(R"("entry_price":100.0,)"), std::string::npos) << spread;

  // A tick with mark price 0 fails validation: no funding on bar 3.
  const std::string tick = "[0.01, 100, 100, 100, 0, 0, 0, 0, 0, 0, 0]";
  const std::string bad_tick = "[0.01, 0, 100, 100, 0, 0, 0, 0, 0, 0, 0]";
  const std::string funding = run_text(
      request(kFunding, kCandles, R"(, "derivs": [)" + tick + "," + tick + "," + bad_tick + "]"));
  // Charged once, on bar 2: 0.01 x 100 x 1 unit.
  EXPECT_NE(funding.find(R"("fees_paid":1.0,)"), std::string::npos) << funding;
}

TEST(RunDrivers, ArraysAndRequestAgree) {
  std::vector<Candle> candles = {{1, 100, 101, 99, 100, 0}, {2, 100, 111, 99, 110, 0},
                                 {3, 110, 121, 109, 120, 0}};
  EXPECT_EQ(run_arrays("", candles), run_text(request("", kCandles)));
}

}  // namespace
}  // namespace ostrel
