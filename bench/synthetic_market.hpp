#pragma once
// A deterministic random walk of candles around 100, for the benchmarks.

#include <cmath>
#include <cstdint>
#include <vector>

#include "records.hpp"

namespace ostrel::bench {

inline std::vector<Candle> random_walk(size_t n) {
  std::vector<Candle> bars;
  bars.reserve(n);
  uint64_t state = 0x9E3779B97F4A7C15ull;
  auto uniform = [&] {  // xorshift64*, in [0, 1)
    state ^= state >> 12;
    state ^= state << 25;
    state ^= state >> 27;
    return static_cast<double>((state * 0x2545F4914F6CDD1Dull) >> 11) * 0x1.0p-53;
  };
  double close = 100.0;
  for (size_t i = 0; i < n; ++i) {
    const double open = close;
    close = open * (1 + (uniform() - 0.5) * 0.02);
    const double high = std::fmax(open, close) * (1 + uniform() * 0.005);
    const double low = std::fmin(open, close) * (1 - uniform() * 0.005);
    bars.push_back(
        Candle{static_cast<int64_t>(i) * 60000, open, high, low, close, 1000 + uniform() * 100});
  }
  return bars;
}

}  // namespace ostrel::bench
