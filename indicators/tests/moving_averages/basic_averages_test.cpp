// Sma, Ema, Smma, Wma and Kama against plain recomputations of their
// definitions, plus the edge cases that matter.

#include <gtest/gtest.h>

#include <cmath>

#include "indicator_testing.hpp"

namespace ostrel::testing {
namespace {

// f(x, first, n) on every bar that has n inputs; none before.
template <class F>
Series reference_window(const std::vector<double>& x, size_t n, F f) {
  Series out;
  for (size_t i = 0; i < x.size(); ++i) {
    if (i + 1 < n) out.push_back(std::nullopt);
    else out.push_back(f(x, i + 1 - n, n));
  }
  return out;
}

double plain_mean(const std::vector<double>& x, size_t first, size_t n) {
  double sum = 0.0;
  for (size_t k = first; k < first + n; ++k) sum += x[k];
  return sum / static_cast<double>(n);
}

double weighted_mean(const std::vector<double>& x, size_t first, size_t n) {
  double sum = 0.0;
  for (size_t k = 0; k < n; ++k) sum += static_cast<double>(k + 1) * x[first + k];
  return sum / (static_cast<double>(n) * static_cast<double>(n + 1) / 2.0);
}

// Seeded by the mean of the first n inputs, then next(value, x).
template <class Next>
Series reference_seeded(const std::vector<double>& x, size_t n, Next next) {
  Series out;
  double value = 0.0;
  for (size_t i = 0; i < x.size(); ++i) {
    if (i + 1 < n) {
      out.push_back(std::nullopt);
      continue;
    }
    if (i + 1 == n) {
      double sum = 0.0;
      for (size_t k = 0; k < n; ++k) sum += x[k];
      value = sum / static_cast<double>(n);
    } else {
      value = next(value, x[i]);
    }
    out.push_back(value);
  }
  return out;
}

Series reference_kama(const std::vector<double>& x, size_t e, double f, double s) {
  const double fast = 2.0 / (f + 1.0), slow = 2.0 / (s + 1.0);
  Series out;
  std::optional<double> value;
  for (size_t i = 0; i < x.size(); ++i) {
    if (i < e) {
      out.push_back(std::nullopt);
      continue;
    }
    double volatility = 0.0;
    for (size_t k = i - e + 1; k <= i; ++k) volatility += std::fabs(x[k] - x[k - 1]);
    const double er = volatility == 0.0 ? 0.0 : std::fabs(x[i] - x[i - e]) / volatility;
    const double sc = std::pow(slow + er * (fast - slow), 2);
    const double previous = value.value_or(x[i - e]);
    value = previous + sc * (x[i] - previous);
    out.push_back(value);
  }
  return out;
}

TEST(BasicAverages, MatchPlainRecomputationsOverARandomSeries) {
  const std::vector<double> x = random_closes(3000);
  for (size_t n : {1, 2, 7, 20}) {
    SCOPED_TRACE(n);
    const double nd = static_cast<double>(n);
    const double alpha = 2.0 / (nd + 1.0);
    expect_series_near(run_closes(*make("Sma", {nd}), x), reference_window(x, n, plain_mean), 1e-12);
    expect_series_near(run_closes(*make("Wma", {nd}), x), reference_window(x, n, weighted_mean), 1e-12);
    expect_series_near(run_closes(*make("Ema", {nd}), x),
                       reference_seeded(x, n, [&](double v, double c) {
                         return alpha * c + (1.0 - alpha) * v;
                       }),
                       1e-12);
    expect_series_near(run_closes(*make("Smma", {nd}), x),
                       reference_seeded(x, n, [&](double v, double c) {
                         return (c + v * (nd - 1.0)) / nd;
                       }),
                       1e-12);
    expect_series_near(run_closes(*make("Kama", {nd, 2, 30}), x), reference_kama(x, n, 2, 30),
                       1e-12);
  }
}

TEST(BasicAverages, SmallExamples) {
  EXPECT_EQ(run_closes(*make("Sma", {3}), {1, 2, 3, 4}), (Series{{}, {}, 2.0, 3.0}));
  EXPECT_EQ(run_closes(*make("Ema", {3}), {2, 4, 6, 8}), (Series{{}, {}, 4.0, 6.0}));
  EXPECT_EQ(run_closes(*make("Smma", {3}), {2, 4, 6, 8}), (Series{{}, {}, 4.0, (8.0 + 4.0 * 2) / 3}));
  EXPECT_EQ(run_closes(*make("Wma", {3}), {1, 2, 3, 4}), (Series{{}, {}, 14.0 / 6, 20.0 / 6}));
  // Volatility 0 gives ER 0, and the first previous value is the oldest close.
  EXPECT_EQ(run_closes(*make("Kama", {2, 2, 30}), {10, 10, 10}), (Series{{}, {}, 10.0}));
}

TEST(BasicAverages, SkippedClosesLeaveNoTrace) {
  const std::vector<double> clean = random_closes(200);
  std::vector<double> holed;
  for (size_t i = 0; i < clean.size(); ++i) {
    holed.push_back(clean[i]);
    if (i % 17 == 3) holed.push_back(i % 2 ? NAN : INFINITY);
  }
  for (const char* type : {"Sma", "Ema", "Smma", "Wma", "Kama"}) {
    SCOPED_TRACE(type);
    const std::vector<double> params =
        std::string_view(type) == "Kama" ? std::vector<double>{10, 2, 30} : std::vector<double>{9};
    Series with_holes = run_closes(*make(type, params), holed);
    Series kept;
    for (size_t i = 0; i < holed.size(); ++i) {
      if (std::isfinite(holed[i])) kept.push_back(with_holes[i]);
      else EXPECT_FALSE(with_holes[i]) << "bar " << i;
    }
    expect_series_near(kept, run_closes(*make(type, params), clean), 0.0);
  }
}

TEST(BasicAverages, IncrementalSumsStayExactAfterLongRuns) {
  // A wide range of magnitudes makes incremental sums drift; the periodic
  // exact recompute every 16 passes (80 pushes) brings them back to the direct
  // sum.
  std::vector<double> x;
  for (int i = 0; i < 400; ++i) x.push_back(i % 5 == 0 ? 1e12 : 0.1 * i);
  for (int i = 0; i < 80; ++i) x.push_back(1.0);  // 480 pushes: 6 recomputes of n = 5
  const Series sma = run_closes(*make("Sma", {5}), x);
  const Series wma = run_closes(*make("Wma", {5}), x);
  EXPECT_EQ(*sma.back(), 1.0);
  EXPECT_EQ(*wma.back(), 1.0);
}

TEST(BasicAverages, ValidationAndWarmUp) {
  EXPECT_EQ(build_error("Kama", {30, 30, 30}),
            "invalid parameters for indicator Kama: invalid period: KAMA fast period must be "
            "strictly less than slow");
  EXPECT_EQ(build_error("Kama", {10, 0, 30}),
            "invalid parameters for indicator Kama: parameter #1 must be a positive integer, got 0");
  EXPECT_EQ(make("Kama", {10, 2, 30})->warmup_period(), 11u);
  EXPECT_EQ(make("Sma", {20})->warmup_period(), 20u);
  EXPECT_EQ(make("Smma", {14})->warmup_period(), 14u);
  for (const char* type : {"Sma", "Ema", "Smma", "Wma"}) {
    EXPECT_EQ(build_error(type, {16777217}),
              std::string("invalid parameters for indicator ") + type +
                  ": invalid period: period exceeds the maximum supported window length (see "
                  "MAX_PERIOD)");
  }
}

}  // namespace
}  // namespace ostrel::testing
