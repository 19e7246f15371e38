// The window kernels: the properties the indicator types rely on.

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "kernels/ema_smoother.hpp"
#include "kernels/hilbert_cycle.hpp"
#include "kernels/moment_window.hpp"
#include "kernels/sorted_window.hpp"
#include "kernels/value_window.hpp"
#include "kernels/wilder_smoother.hpp"
#include "kernels/window_extremes.hpp"
#include "kernels/window_length.hpp"
#include "kernels/window_sum.hpp"
#include "indicator_testing.hpp"

namespace ostrel {
namespace {

std::vector<double> window_values(const ValueWindow<double>& w) {
  std::vector<double> v;
  w.for_each([&](double x) { v.push_back(x); });
  return v;
}

TEST(WindowLength, Boundaries) {
  EXPECT_FALSE(check_window_length(1));
  EXPECT_FALSE(check_window_length(kMaxPeriod));
  auto zero = check_window_length(0);
  ASSERT_TRUE(zero);
  EXPECT_EQ(zero->display(), "period must be greater than zero");
  auto above = check_window_length(kMaxPeriod + 1);
  ASSERT_TRUE(above);
  EXPECT_EQ(above->display(),
            "invalid period: period exceeds the maximum supported window length (see MAX_PERIOD)");
}

TEST(ValueWindow, KeepsTheLastNInArrivalOrder) {
  ValueWindow<double> w(3);
  for (double x : {1.0, 2.0}) w.push(x);
  EXPECT_EQ(window_values(w), (std::vector<double>{1, 2}));
  EXPECT_FALSE(w.full());
  for (double x : {3.0, 4.0, 5.0}) w.push(x);
  EXPECT_EQ(window_values(w), (std::vector<double>{3, 4, 5}));
  EXPECT_EQ(w.oldest(), 3);
  EXPECT_EQ(w.newest(), 5);
  EXPECT_EQ(w.ago(1), 4);
  EXPECT_EQ(w[0], 3);
}

TEST(WindowSum, RecomputeEqualsTheExactWindowSum) {
  // Mixed magnitudes make the incremental sum drift; on the 16th pass it is
  // recomputed from the window, oldest to newest, from -0.0.
  const size_t n = 7;
  WindowSum sum(n);
  std::mt19937_64 gen(3);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  for (size_t i = 0; i < 16 * n; ++i) sum.push(u(gen) * (i % 3 == 0 ? 1e10 : 1e-3));
  double exact = -0.0;
  for (double v : window_values(sum.window())) exact += v;
  EXPECT_EQ(sum.sum(), exact);
}

TEST(WindowSum, AWindowOfZerosSumsToExactlyZero) {
  WindowSum sum(3);
  for (double x : {0.1, 0.2, 0.3, 0.0, 0.0, 0.0}) sum.push(x);
  EXPECT_EQ(sum.sum(), 0.0);
  EXPECT_EQ(*sum.mean(), 0.0);
}

TEST(MomentWindow, ConstantSeriesHasVarianceExactlyZero) {
  for (double c : {0.1, 123456.789, -7e9}) {
    MomentWindow m(5);
    for (int i = 0; i < 23; ++i) m.push(c);
    EXPECT_EQ(*m.variance(), 0.0) << c;
    EXPECT_EQ(*m.stddev(), 0.0) << c;
    EXPECT_EQ(*m.mean(), c) << c;
  }
}

TEST(MomentWindow, MatchesTheDirectMoments) {
  const std::vector<double> x = testing::random_closes(500);
  const size_t n = 9;
  MomentWindow m(n);
  for (size_t i = 0; i < x.size(); ++i) {
    m.push(x[i]);
    if (i + 1 < n) {
      EXPECT_FALSE(m.variance());
      continue;
    }
    double mean = 0.0, var = 0.0;
    for (size_t k = i + 1 - n; k <= i; ++k) mean += x[k] / n;
    for (size_t k = i + 1 - n; k <= i; ++k) var += (x[k] - mean) * (x[k] - mean) / n;
    ASSERT_NEAR(*m.mean(), mean, 1e-10);
    ASSERT_NEAR(*m.variance(), var, 1e-9);
  }
}

TEST(SortedWindow, MedianAndQuantiles) {
  SortedWindow four(4);
  for (double x : {1.0, 5.0, 3.0}) four.push(x);
  EXPECT_FALSE(four.median());
  four.push(2.0);
  EXPECT_EQ(*four.median(), 2.5);

  SortedWindow five(5);
  for (double x : {50.0, 10.0, 40.0, 20.0, 30.0}) five.push(x);
  EXPECT_EQ(*five.quantile(0.25), 20.0);
  EXPECT_EQ(*five.quantile(1.0), 50.0);
  EXPECT_EQ(*five.quantile(0.0), 10.0);
  EXPECT_EQ(*five.quantile(0.1), 14.0);
  // Sliding: the oldest value leaves the sorted array too.
  five.push(60.0);
  EXPECT_EQ(five.sorted(), (std::vector<double>{10, 20, 30, 40, 60}));
}

TEST(SortedWindow, HugeNeighboursDoNotOverflowTheMedian) {
  SortedWindow w(2);
  w.push(1.7e308);
  w.push(1.6e308);
  EXPECT_EQ(*w.median(), 1.7e308 * 0.5 + 1.6e308 * 0.5);
}

TEST(WindowExtremes, QueuesAgreeWithFullScans) {
  const std::vector<double> x = testing::random_closes(1000);
  const size_t n = 13;
  ValueWindow<double> w(n);
  MonotonicMax hi(n);
  MonotonicMin lo(n);
  for (double v : x) {
    w.push(v);
    hi.push(v);
    lo.push(v);
    ASSERT_EQ(hi.value(), window_max(w));
    ASSERT_EQ(lo.value(), window_min(w));
  }
}

TEST(WindowExtremes, NewestOfEqualValuesSurvives) {
  MonotonicMax hi(4);
  for (double v : {5.0, 1.0, 5.0, 2.0}) hi.push(v);
  EXPECT_EQ(hi.value(), 5.0);
  EXPECT_EQ(hi.age(), 1u);  // the later 5
}

TEST(Smoothers, EmaAndWilderSequences) {
  EmaSmoother ema(3);
  WilderSmoother wilder(3);
  std::vector<std::optional<double>> e, s;
  for (double x : {2.0, 4.0, 6.0, 8.0, 10.0}) {
    e.push_back(ema.push(x));
    s.push_back(wilder.push(x));
  }
  EXPECT_EQ(e, (std::vector<std::optional<double>>{{}, {}, 4.0, 6.0, std::fma(0.5, 10.0, 0.5 * 6.0)}));
  const double w4 = (8.0 + 4.0 * 2) / 3;
  EXPECT_EQ(s, (std::vector<std::optional<double>>{{}, {}, 4.0, w4, (10.0 + w4 * 2) / 3}));
}

TEST(HilbertCycle, StagesAndPeriodBounds) {
  HilbertCycle h;
  const std::vector<double> x = testing::random_closes(300);
  std::vector<HilbertCycle::Stage> stages;
  for (double v : x) stages.push_back(h.push(v));
  using S = HilbertCycle::Stage;
  // 4 closes, then 6 more smooth values, 6 detrender values, 6 quadrature values.
  EXPECT_EQ(stages[2], S::Closes);
  EXPECT_EQ(stages[3], S::Smoothing);
  EXPECT_EQ(stages[9], S::Detrending);
  EXPECT_EQ(stages[15], S::Quadrature);
  EXPECT_EQ(stages[20], S::Quadrature);
  EXPECT_EQ(stages[21], S::Complete);
  EXPECT_EQ(h.closes(), 300u);
  EXPECT_GE(h.period(), 6.0 * 0.2);
  EXPECT_LE(h.period(), 50.0);
}

}  // namespace
}  // namespace ostrel
