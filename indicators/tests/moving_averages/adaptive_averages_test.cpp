// Frama, Jma, Vidya, McGinleyDynamic, GeometricMa, MedianMa, Evwma, Vwma,
// HoltWinters, Mama and Fama against plain recomputations of their
// definitions, plus the edge cases that matter.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include "indicator_testing.hpp"

namespace ostrel::testing {
namespace {

// Every output from bar n - 1 on is f(i), bar i being the newest; none before.
Series windowed(size_t bars, size_t n, const std::function<double(size_t)>& f) {
  Series out;
  for (size_t i = 0; i < bars; ++i) out.push_back(i + 1 < n ? std::nullopt : std::optional(f(i)));
  return out;
}

double range_of(const std::vector<double>& x, size_t from, size_t to) {  // [from, to]
  const auto [lo, hi] = std::minmax_element(x.begin() + from, x.begin() + to + 1);
  return *hi - *lo;
}

Series reference_frama(const std::vector<double>& x, size_t n) {
  const size_t h = n / 2;
  std::optional<double> value;
  return windowed(x.size(), n, [&](size_t i) {
    const double n1 = range_of(x, i + 1 - n, i - h) / static_cast<double>(h);
    const double n2 = range_of(x, i + 1 - h, i) / static_cast<double>(h);
    const double n3 = range_of(x, i + 1 - n, i) / static_cast<double>(n);
    double alpha = 0.01;
    if (n1 > 0 && n2 > 0 && n3 > 0) {
      const double d = (std::log(n1 + n2) - std::log(n3)) / std::log(2.0);
      alpha = std::clamp(std::exp(-4.6 * (d - 1.0)), 0.01, 1.0);
    }
    const double previous = value.value_or(x[i]);
    value = alpha * x[i] + (1.0 - alpha) * previous;
    return *value;
  });
}

Series reference_jma(const std::vector<double>& x, double n, double phase, int power) {
  const double beta = 0.45 * (n - 1) / (0.45 * (n - 1) + 2);
  const double alpha = std::pow(beta, power);
  const double r = std::clamp(phase / 100 + 1.5, 0.5, 2.5);
  double e0 = x[0], e1 = 0, e2 = 0, value = x[0];
  Series out{value};
  for (size_t i = 1; i < x.size(); ++i) {
    e0 = (1 - alpha) * x[i] + alpha * e0;
    e1 = (x[i] - e0) * (1 - beta) + beta * e1;
    e2 = alpha * alpha * e2 + (1 - alpha) * (1 - alpha) * (e0 + r * e1 - value);
    value += e2;
    out.push_back(value);
  }
  return out;
}

Series reference_vidya(const std::vector<double>& x, double p, size_t m) {
  std::optional<double> value;
  return windowed(x.size(), m + 1, [&](size_t i) {
    double gains = 0, losses = 0;
    for (size_t k = i + 1 - m; k <= i; ++k) {
      gains += std::max(x[k] - x[k - 1], 0.0);
      losses += std::max(x[k - 1] - x[k], 0.0);
    }
    const double cmo = gains + losses == 0 ? 0 : (gains - losses) * 100 / (gains + losses);
    const double k = std::fabs(cmo) / 100 * (2 / (p + 1));
    value = k * x[i] + (1 - k) * value.value_or(x[i]);
    return *value;
  });
}

Series reference_mcginley(const std::vector<double>& x, size_t n) {
  double md = 0;
  return windowed(x.size(), n, [&](size_t i) {
    if (i + 1 == n) {
      double sum = 0;
      for (size_t k = 0; k < n; ++k) sum += x[k];
      md = sum / static_cast<double>(n);
    } else if (x[i] > 0 && md > 0) {
      md += (x[i] - md) / (0.6 * static_cast<double>(n) * std::pow(x[i] / md, 4));
    }
    return md;
  });
}

Series reference_geometric(const std::vector<double>& x, size_t n) {
  return windowed(x.size(), n, [&](size_t i) {
    double logs = 0;
    for (size_t k = i + 1 - n; k <= i; ++k) logs += std::log(x[k]);
    return std::exp(logs / static_cast<double>(n));
  });
}

Series reference_median(const std::vector<double>& x, size_t n) {
  return windowed(x.size(), n, [&](size_t i) {
    std::vector<double> w(x.begin() + (i + 1 - n), x.begin() + (i + 1));
    std::sort(w.begin(), w.end());
    return n % 2 ? w[n / 2] : (w[n / 2 - 1] + w[n / 2]) / 2;
  });
}

double window_volume(const std::vector<Candle>& c, size_t i, size_t n) {
  double v = 0;
  for (size_t k = i + 1 - n; k <= i; ++k) v += c[k].volume;
  return v;
}

Series reference_evwma(const std::vector<Candle>& c, size_t n) {
  std::optional<double> value;
  return windowed(c.size(), n, [&](size_t i) {
    const double v = window_volume(c, i, n);
    const double previous = value.value_or(c[i].close);
    value = v > 0 ? (c[i].close * c[i].volume + (v - c[i].volume) * previous) / v : previous;
    return *value;
  });
}

Series reference_vwma(const std::vector<Candle>& c, size_t n) {
  return windowed(c.size(), n, [&](size_t i) {
    double weighted = 0, closes = 0;
    for (size_t k = i + 1 - n; k <= i; ++k) {
      weighted += c[k].close * c[k].volume;
      closes += c[k].close;
    }
    const double v = window_volume(c, i, n);
    return v > 0 ? weighted / v : closes / static_cast<double>(n);
  });
}

Series reference_holt_winters(const std::vector<double>& x, double alpha, double beta) {
  double level = x[1], trend = x[1] - x[0];
  return windowed(x.size(), 2, [&](size_t i) {
    if (i > 1) {
      const double next = alpha * x[i] + (1 - alpha) * (level + trend);
      trend = beta * (next - level) + (1 - beta) * trend;
      level = next;
    }
    return level + trend;
  });
}

// The MESA adaptive averages computed over whole histories (newest last).
struct MamaReference {
  Series mama, fama;
};

MamaReference reference_mama(const std::vector<double>& x, double fast, double slow) {
  const auto h = [](const std::vector<double>& r) {
    const size_t k = r.size() - 1;
    return 0.0962 * r[k] + 0.5769 * r[k - 2] - 0.5769 * r[k - 4] - 0.0962 * r[k - 6];
  };
  const auto limit = [](double p) { return std::min(std::max(p, 6.0), 50.0); };
  std::vector<double> smooth, detrender, q1, i1;
  double i2 = 0, q2 = 0, re = 0, im = 0, period = 0, phase = 0, mama = 0, fama = 0;
  MamaReference out;
  for (size_t t = 0; t < x.size(); ++t) {
    if (t >= 3) {
      smooth.push_back((4 * x[t] + 3 * x[t - 1] + 2 * x[t - 2] + x[t - 3]) / 10);
      if (smooth.size() < 7) {
        mama = fama = smooth.back();
      } else {
        const double adj = 0.075 * limit(period) + 0.54;
        detrender.push_back(h(smooth) * adj);
        if (detrender.size() >= 7) {
          q1.push_back(h(detrender) * adj);
          i1.push_back(detrender[detrender.size() - 4]);
        }
        if (q1.size() >= 7) {
          const double ji = h(i1) * adj, jq = h(q1) * adj;
          const double i2p = i2, q2p = q2;
          i2 = 0.2 * (i1.back() - jq) + 0.8 * i2p;
          q2 = 0.2 * (q1.back() + ji) + 0.8 * q2p;
          re = 0.2 * (i2 * i2p + q2 * q2p) + 0.8 * re;
          im = 0.2 * (i2 * q2p - q2 * i2p) + 0.8 * im;
          double q = period;
          if (std::fabs(im) > 2.220446049250313e-16 && std::fabs(re) > 2.220446049250313e-16) {
            q = 2 * std::numbers::pi / std::atan2(im, re);
          }
          q = std::min(q, 1.5 * period);
          q = std::max(q, 0.67 * period);
          period = 0.2 * limit(q) + 0.8 * period;

          const double previous_phase = phase;
          if (std::fabs(i1.back()) > 2.220446049250313e-16) {
            phase = std::atan(q1.back() / i1.back()) * 180 / std::numbers::pi;
          }
          const double alpha = std::max(fast / std::max(previous_phase - phase, 1.0), slow);
          mama = alpha * x[t] + (1 - alpha) * mama;
          fama = 0.5 * alpha * mama + (1 - 0.5 * alpha) * fama;
        }
      }
    }
    const bool published = t + 1 >= 33;
    out.mama.push_back(published ? std::optional(mama) : std::nullopt);
    out.fama.push_back(published ? std::optional(fama) : std::nullopt);
  }
  return out;
}

TEST(AdaptiveAverages, CloseTypesMatchPlainRecomputations) {
  const std::vector<double> x = random_closes(3000);
  struct Case {
    std::string type;
    std::vector<double> params;
    Series expected;
  };
  std::vector<Case> cases;
  for (size_t n : {1, 2, 7, 20}) {
    const double nd = static_cast<double>(n);
    if (n % 2 == 0) cases.push_back({"Frama", {nd}, reference_frama(x, n)});
    cases.push_back({"Vidya", {9, nd}, reference_vidya(x, 9, n)});
    cases.push_back({"McGinleyDynamic", {nd}, reference_mcginley(x, n)});
    cases.push_back({"GeometricMa", {nd}, reference_geometric(x, n)});
    cases.push_back({"MedianMa", {nd}, reference_median(x, n)});
  }
  for (int power = 1; power <= 4; ++power) {
    cases.push_back({"Jma", {7, 50, double(power)}, reference_jma(x, 7, 50, power)});
  }
  cases.push_back({"Jma", {1, -300, 2}, reference_jma(x, 1, -300, 2)});
  cases.push_back({"Jma", {30, 300, 1}, reference_jma(x, 30, 300, 1)});
  cases.push_back({"HoltWinters", {0.3, 0.1}, reference_holt_winters(x, 0.3, 0.1)});
  cases.push_back({"HoltWinters", {1, 1}, reference_holt_winters(x, 1, 1)});
  const MamaReference mama = reference_mama(x, 0.5, 0.05);
  cases.push_back({"Mama", {0.5, 0.05}, mama.mama});
  cases.push_back({"Fama", {0.5, 0.05}, mama.fama});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type + " " + std::to_string(c.params[0]));
    expect_series_near(run_closes(*make(c.type, c.params), x), c.expected, 1e-12);
  }
}

TEST(AdaptiveAverages, MamaPublishesBothAveragesAndFamaTheSecond) {
  const std::vector<double> x = random_closes(300, 11);
  auto mama = make("Mama", {0.5, 0.05});
  auto fama = make("Fama", {0.5, 0.05});
  for (size_t i = 0; i < x.size(); ++i) {
    const auto m = update(*mama, close_only(x[i]));
    const auto f = update(*fama, close_only(x[i]));
    ASSERT_EQ(m.has_value(), i + 1 >= 33) << "bar " << i;
    ASSERT_EQ(f.has_value(), i + 1 >= 33) << "bar " << i;
    if (!m) continue;
    const auto out = mama->outputs();
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].name, "mama");
    EXPECT_EQ(out[1].name, "fama");
    EXPECT_EQ(out[0].value, *m);
    EXPECT_EQ(out[1].value, *f);
    EXPECT_TRUE(fama->outputs().empty());
  }
}

TEST(AdaptiveAverages, CandleTypesMatchPlainRecomputations) {
  std::vector<Candle> c = random_candles(3000);
  // Stretches without volume exercise the zero-volume fallbacks.
  for (size_t i = 500; i < 540; ++i) c[i].volume = 0;
  for (size_t n : {1, 3, 20}) {
    SCOPED_TRACE(n);
    const double nd = static_cast<double>(n);
    expect_series_near(run_candles(*make("Evwma", {nd}), c), reference_evwma(c, n), 1e-12);
    expect_series_near(run_candles(*make("Vwma", {nd}), c), reference_vwma(c, n), 1e-12);
  }
}

TEST(AdaptiveAverages, SmallExamples) {
  EXPECT_EQ(run_closes(*make("Jma", {10, 0, 2}), {42.5}), (Series{42.5}));
  EXPECT_EQ(run_closes(*make("HoltWinters", {0.5, 0.5}), {10, 13}), (Series{{}, 16.0}));
  // A flat window has no range: alpha 0.01 keeps the close.
  EXPECT_EQ(run_closes(*make("Frama", {2}), {5, 5, 5}), (Series{{}, 5.0, 5.0}));
  EXPECT_EQ(run_closes(*make("MedianMa", {4}), {1, 5, 3, 2}), (Series{{}, {}, {}, 2.5}));
  // Flat closes: no gains or losses, CMO 0, the first close is kept.
  EXPECT_EQ(run_closes(*make("Vidya", {5, 2}), {7, 7, 7, 7}), (Series{{}, {}, 7.0, 7.0}));
  // Once the moves have left the window its sums are exactly 0 again, whatever
  // the residue of adding and subtracting them: CMO 0 keeps the value.
  const Series settled =
      run_closes(*make("Vidya", {5, 3}), {1.38, 2.49, 1.12, 2.31, 1.55, 1.55, 1.55, 1.55, 1.55});
  ASSERT_NE(settled[6], 1.55);
  EXPECT_EQ(settled[7], settled[6]);
  EXPECT_EQ(settled[8], settled[6]);
  // A close of 0 or less leaves the McGinley value where it is.
  EXPECT_EQ(run_closes(*make("McGinleyDynamic", {2}), {4, 6, -1, 0}), (Series{{}, 5.0, 5.0, 5.0}));
  // Without volume Vwma is the plain mean and Evwma keeps its first close.
  const std::vector<Candle> dry = {candle(1, 1, 1, 1), candle(2, 2, 2, 2), candle(6, 6, 6, 6)};
  EXPECT_EQ(run_candles(*make("Vwma", {2}), dry), (Series{{}, 1.5, 4.0}));
  EXPECT_EQ(run_candles(*make("Evwma", {2}), dry), (Series{{}, 2.0, 2.0}));
}

TEST(AdaptiveAverages, SkippedInputsLeaveNoTrace) {
  const std::vector<double> clean = random_closes(200);
  struct Case {
    const char* type;
    std::vector<double> params;
    double bad;  // a close the type skips
  };
  const std::vector<Case> cases = {
      {"Frama", {6}, NAN},          {"Jma", {7, 0, 2}, INFINITY}, {"Vidya", {5, 4}, NAN},
      {"McGinleyDynamic", {5}, NAN}, {"GeometricMa", {5}, 0.0},  {"GeometricMa", {5}, -3.0},
      {"MedianMa", {4}, -INFINITY}, {"HoltWinters", {0.4, 0.2}, NAN}, {"Mama", {0.5, 0.05}, NAN},
      {"Fama", {0.5, 0.05}, NAN},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.type) + " " + std::to_string(c.bad));
    std::vector<double> holed;
    std::vector<bool> skipped;
    for (size_t i = 0; i < clean.size(); ++i) {
      holed.push_back(clean[i]);
      skipped.push_back(false);
      if (i % 17 == 3) {
        holed.push_back(c.bad);
        skipped.push_back(true);
      }
    }
    const Series with_holes = run_closes(*make(c.type, c.params), holed);
    Series kept;
    for (size_t i = 0; i < holed.size(); ++i) {
      if (skipped[i]) EXPECT_FALSE(with_holes[i]) << "bar " << i;
      else kept.push_back(with_holes[i]);
    }
    expect_series_near(kept, run_closes(*make(c.type, c.params), clean), 0.0);
  }
  // A candle with high below low is skipped by the candle types.
  std::vector<Candle> candles = random_candles(100);
  std::vector<Candle> holed_candles;
  for (size_t i = 0; i < candles.size(); ++i) {
    holed_candles.push_back(candles[i]);
    if (i % 9 == 2) holed_candles.push_back(candle(5, 4, 6, 5, 100));
  }
  for (const char* type : {"Evwma", "Vwma"}) {
    SCOPED_TRACE(type);
    const Series with_holes = run_candles(*make(type, {5}), holed_candles);
    Series kept;
    for (size_t i = 0; i < holed_candles.size(); ++i) {
      if (holed_candles[i].high < holed_candles[i].low) EXPECT_FALSE(with_holes[i]);
      else kept.push_back(with_holes[i]);
    }
    expect_series_near(kept, run_candles(*make(type, {5}), candles), 0.0);
  }
}

TEST(AdaptiveAverages, Validation) {
  const std::string max_period =
      "invalid period: period exceeds the maximum supported window length (see MAX_PERIOD)";
  const std::string mama_limits =
      "invalid period: fast_limit, slow_limit must satisfy 0 < slow_limit <= fast_limit <= 1";
  struct Case {
    const char* type;
    std::vector<double> params;
    std::string reason;  // empty: builds
  };
  const std::vector<Case> cases = {
      {"Frama", {1}, "invalid period: FRAMA period must be at least 2"},
      {"Frama", {3}, "invalid period: FRAMA period must be even"},
      {"Frama", {16777218}, max_period},
      {"Jma", {10, 0, 0}, "invalid period: JMA power must be in 1..=4"},
      {"Jma", {10, 0, 5}, "invalid period: JMA power must be in 1..=4"},
      {"Jma", {16777217, 0, 5}, max_period},
      {"Jma", {10, -1e300, 4}, ""},
      // Only the momentum period is a window length.
      {"Vidya", {16777217, 5}, ""},
      {"Vidya", {5, 16777217}, max_period},
      {"McGinleyDynamic", {16777217}, max_period},
      {"GeometricMa", {16777217}, max_period},
      {"MedianMa", {16777217}, max_period},
      {"Evwma", {16777217}, max_period},
      {"Vwma", {16777217}, max_period},
      {"HoltWinters", {0, 0.5}, "invalid period: HoltWinters alpha must be in (0.0, 1.0]"},
      {"HoltWinters", {1.01, 0}, "invalid period: HoltWinters alpha must be in (0.0, 1.0]"},
      {"HoltWinters", {0.5, -0.1}, "invalid period: HoltWinters beta must be in (0.0, 1.0]"},
      {"HoltWinters", {1, 1}, ""},
      {"Mama", {0.05, 0.5}, mama_limits},
      {"Mama", {1.5, 0.5}, mama_limits},
      {"Mama", {0.5, 0}, mama_limits},
      {"Fama", {0.5, -0.1}, mama_limits},
      {"Mama", {1, 1}, ""},
      {"Fama", {0.5, 0.05}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    const std::string prefix = "invalid parameters for indicator " + std::string(c.type) + ": ";
    const std::string expected = c.reason.empty() ? "built" : prefix + c.reason;
    EXPECT_EQ(build_error(c.type, c.params), expected);
  }
}

TEST(AdaptiveAverages, WarmUp) {
  struct Case {
    const char* type;
    std::vector<double> params;
    uint64_t warmup;
  };
  const std::vector<Case> cases = {
      {"Frama", {16}, 16},        {"Jma", {10, 0, 2}, 1},       {"Vidya", {9, 14}, 15},
      {"McGinleyDynamic", {8}, 8}, {"GeometricMa", {8}, 8},     {"MedianMa", {8}, 8},
      {"Evwma", {8}, 8},          {"Vwma", {8}, 8},             {"HoltWinters", {0.5, 0.5}, 2},
      {"Mama", {0.5, 0.05}, 33},  {"Fama", {0.5, 0.05}, 33},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(make(c.type, c.params)->warmup_period(), c.warmup) << c.type;
  }
}

}  // namespace
}  // namespace ostrel::testing
