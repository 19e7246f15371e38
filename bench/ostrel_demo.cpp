// The demo: a momentum strategy with a stop-loss over a built-in series of
// 250 daily candles; prints the report.
//   make run

#include <cmath>
#include <cstdio>
#include <vector>

#include "documents.hpp"
#include "run_driver.hpp"

namespace {

constexpr const char* kSpec = R"({
  "symbol": "DEMO", "timeframe": "1d", "indicators": {},
  "entry": {"cross_above": [{"price": "close"}, {"prev": [{"price": "close"}, 10]}]},
  "exit": {"any": [{"cross_below": [{"price": "close"}, {"prev": [{"price": "close"}, 10]}]},
                   {"bars_since_entry": {"ge": 20}}]},
  "sizing": {"type": "fixed_fraction", "fraction": 0.5},
  "costs": {"taker_bps": 5, "slippage": {"type": "fixed_bps", "bps": 2}},
  "risk": {"stop_loss_pct": 4}
})";

// A deterministic wave with drift: no randomness, the same report every run.
std::vector<ostrel::Candle> demo_candles() {
  std::vector<ostrel::Candle> candles;
  double close = 100.0;
  for (int i = 0; i < 250; ++i) {
    double open = close;
    close = 100.0 + 0.05 * i + 8.0 * std::sin(i / 9.0) + 2.0 * std::sin(i / 2.3);
    double high = std::fmax(open, close) + 0.6;
    double low = std::fmin(open, close) - 0.6;
    candles.push_back({1700000000000 + int64_t{86400000} * i, open, high, low, close, 1000.0 + i});
  }
  return candles;
}

}  // namespace

int main() {
  auto spec = ostrel::read_spec_document(kSpec);
  if (!spec) {
    std::fprintf(stderr, "%s\n", spec.error().render().c_str());
    return 1;
  }
  auto report = ostrel::run_candles(std::move(spec).value(), demo_candles(), 10000.0);
  if (!report) {
    std::fprintf(stderr, "%s\n", report.error().render().c_str());
    return 1;
  }
  std::puts(report.value().c_str());
  return 0;
}
