#pragma once
// Helpers for indicator tests: building through the registry, feeding series,
// seeded random markets and comparing series.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "registry.hpp"

namespace ostrel::testing {

using Series = std::vector<std::optional<double>>;

// A type built through the registry; fails the test when it cannot be built.
inline std::unique_ptr<Indicator> make(std::string_view type, std::vector<double> params) {
  auto built = build_indicator(type, params);
  if (!built) {
    ADD_FAILURE() << type << ": " << built.error().reason;
    return nullptr;
  }
  return std::move(built).value();
}

// The registry's refusal as the engine renders it.
inline std::string build_error(std::string_view type, std::vector<double> params) {
  auto built = build_indicator(type, params);
  if (built) return "built";
  const RegistryError& e = built.error();
  if (e.kind == RegistryError::Kind::UnknownIndicator) return "unknown indicator type: " + e.type;
  return "invalid parameters for indicator " + e.type + ": " + e.reason;
}

inline Candle candle(double open, double high, double low, double close, double volume = 0.0,
                     int64_t time = 0) {
  return Candle{time, open, high, low, close, volume};
}

inline Candle close_only(double close) { return candle(close, close, close, close); }

inline std::optional<double> update(Indicator& ind, const Candle& c) {
  UpdateContext ctx;
  ctx.candle = c;
  return ind.update(ctx);
}

inline Series run_candles(Indicator& ind, const std::vector<Candle>& candles) {
  Series out;
  for (const Candle& c : candles) out.push_back(update(ind, c));
  return out;
}

inline Series run_closes(Indicator& ind, const std::vector<double>& closes) {
  Series out;
  for (double x : closes) out.push_back(update(ind, close_only(x)));
  return out;
}

// A seeded random walk of positive closes around 100.
inline std::vector<double> random_closes(size_t n, uint64_t seed = 7) {
  std::mt19937_64 gen(seed);
  std::normal_distribution<double> step(0.0, 1.0);
  std::vector<double> closes;
  double x = 100.0;
  for (size_t i = 0; i < n; ++i) {
    x = std::max(1.0, x + step(gen));
    closes.push_back(x);
  }
  return closes;
}

// Valid candles over a seeded random walk, with random wicks and volume.
inline std::vector<Candle> random_candles(size_t n, uint64_t seed = 7) {
  std::mt19937_64 gen(seed ^ 0x9e3779b97f4a7c15ULL);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::vector<Candle> candles;
  double previous = 100.0;
  for (double close : random_closes(n, seed)) {
    const double open = previous;
    const double high = std::max(open, close) + unit(gen);
    const double low = std::min(open, close) - unit(gen);
    candles.push_back(candle(open, high, low, close, 1000.0 * unit(gen),
                             static_cast<int64_t>(candles.size()) * 60000));
    previous = close;
  }
  return candles;
}

// Same presence bar by bar, values within a relative tolerance (0: exact).
inline void expect_series_near(const Series& actual, const Series& expected, double tolerance) {
  ASSERT_EQ(actual.size(), expected.size());
  for (size_t i = 0; i < actual.size(); ++i) {
    ASSERT_EQ(actual[i].has_value(), expected[i].has_value()) << "bar " << i;
    if (!actual[i]) continue;
    if (tolerance == 0.0) {
      ASSERT_EQ(*actual[i], *expected[i]) << "bar " << i;
    } else {
      ASSERT_NEAR(*actual[i], *expected[i], tolerance * std::max(1.0, std::fabs(*expected[i])))
          << "bar " << i;
    }
  }
}

// The values of a series, none as NaN, for compact expectations.
inline std::vector<double> values(const Series& s) {
  std::vector<double> out;
  for (const auto& v : s) out.push_back(v ? *v : NAN);
  return out;
}

}  // namespace ostrel::testing
