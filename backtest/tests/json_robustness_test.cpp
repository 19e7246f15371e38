// Truncated and byte-mutated variants of valid documents: each must read to
// a value or to an error with a position, never crash or hang.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "documents.hpp"
#include "request/request_reading.hpp"

namespace ostrel {
namespace {

const char* const kSpec =
    R"({"spec_version": 1, "symbol": "BTC\u00e9", "timeframe": "1h",
 "indicators": {"fast": {"type": "Sma", "params": [10]}, "slow": ["Sma", [30.0], "kline"]},
 "entry": {"all": [{"cross_above": ["fast", "slow"]}, {"not": {"in_position": true}},
   {"gt": [{"div": [{"price": "close"}, {"prev": [{"price": {"hlc3": null}}, 2]}]}, 1e-3]}]},
 "exit": {"any": [{"cross_below": ["fast", "slow.x"]}, {"bars_since_entry": {"ge": 5}}]},
 "short_entry": null, "sizing": ["vol_target", 0.02, 20],
 "costs": {"maker_bps": 1, "taker_bps": 2.5, "slippage": {"type": "volume_impact", "coef": 0.1}},
 "risk": {"stop_loss_pct": 2, "liquidation": true},
 "execution": {"order_type": {"limit": null}, "limit_offset_pct": -1, "latency_bars": 2},
 "warmup": 3})";

std::string run_request() {
  return std::string(R"({"spec": )") + kSpec +
         R"(, "candles": [[1, 10, 11, 9, 10.5, 100], {"time": -2, "open": 10, "high": 12, "low": 9, "close": 11}],
 "capital": 5e3, "reference": [[1, 1, 1, 1, 1], [2, 2, 2, 2, 2]],
 "derivs": [[0.0001, 50, 50, 50, 1, 1, 1, 1, 1, 0, 0, 7], [0, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0]],
 "books": [{"bids": [[99, 1]], "asks": [[101, 2]]}, [[[98.5, 1]], [[101.5, 1]]]],
 "trades": [[], [{"price": 10, "size": 1, "side": "buy", "timestamp": 3}, [10, 2, {"sell": null}]]],
 "sections": [{"members": [[0.5, 1000], {"change": -1, "volume": 2, "new_high": true}]}, [[[1, 1]], 4]]})";
}

const char* const kStep =
    R"({"candle": [5, 1, 1, 1, 1], "feeds": {"reference": 101.5, "orderbook": {"bids": [[1, 1]], "asks": [[2, 1]]},
 "trades": [[1, 1, "buy"]], "cross_section": null, "deriv": [0, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0]}})";

// Reads `text` as each document kind; true when every outcome is sound.
void expect_sound(const std::string& text) {
  {
    json::Reader r(text);
    RunRequest request;
    if (!json::read_run_request(r, request) || !r.finish()) {
      ASSERT_TRUE(r.error().offset.has_value()) << r.error().message << "\n" << text;
      ASSERT_LE(*r.error().offset, text.size());
      ASSERT_FALSE(r.error().message.empty());
    }
  }
  {
    json::Reader r(text);
    StepRequest step;
    if (!json::read_step_request(r, step) || !r.finish()) {
      ASSERT_TRUE(r.error().offset.has_value()) << r.error().message << "\n" << text;
    }
  }
}

TEST(JsonRobustness, TheSeedDocumentsRead) {
  auto run = read_run_request_document(run_request());
  ASSERT_TRUE(run) << run.error().render();
  EXPECT_EQ(run->capital, 5000.0);
  EXPECT_EQ(run->spec.symbol, "BTC\xc3\xa9");
  auto step = read_step_request_document(kStep);
  ASSERT_TRUE(step) << step.error();
}

TEST(JsonRobustness, TruncatedAndMutatedDocumentsGiveValuesOrPositionedErrors) {
  std::mt19937_64 rng(20261211);
  const std::string seeds[] = {run_request(), kStep};
  const std::string alphabet = "{}[]\",:.-+eE0123456789 \n\\utfnrlasx\x01\xff\xc3";
  int variants = 0;
  for (const std::string& seed : seeds) {
    for (size_t n = 0; n <= seed.size(); n += 3, ++variants) expect_sound(seed.substr(0, n));
    for (int k = 0; k < 1500; ++k, ++variants) {
      std::string text = seed;
      int edits = 1 + static_cast<int>(rng() % 4);
      for (int e = 0; e < edits; ++e) {
        size_t at = rng() % text.size();
        char byte = alphabet[rng() % alphabet.size()];
        switch (rng() % 3) {
          case 0: text[at] = byte; break;
          case 1: text.insert(text.begin() + static_cast<long>(at), byte); break;
          default: text.erase(at, 1 + rng() % 8); break;
        }
        if (text.empty()) text = "x";
      }
      expect_sound(text);
      if (HasFatalFailure()) return;
    }
  }
  EXPECT_GT(variants, 3000);
}

TEST(JsonRobustness, DeepNestingStopsAtTheLimit) {
  for (const char* open : {"[", "{\"a\":", "{\"candle\":"}) {
    std::string text;
    for (int i = 0; i < 100000; ++i) text += open;
    expect_sound(text);
    json::Reader r(text);
    StepRequest step;
    EXPECT_FALSE(json::read_step_request(r, step));
  }
}

}  // namespace
}  // namespace ostrel
