// The cascaded and fixed-weight averages (Trima, Hma, Ehma, Dema, Tema,
// GeneralizedDema, T3, Zlema, Alma, SineWeightedMa, MaEnvelope, Alligator)
// against plain recomputations of their definitions, plus the edge cases that
// matter.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include "indicator_testing.hpp"

namespace ostrel::testing {
namespace {

using History = std::vector<double>;

// Runs a stage over the present, finite entries of a series, in order; the
// stage sees every such value so far. Absent or non-finite entries stay absent
// and are never shown to the stage.
Series stage(const Series& in, const std::function<std::optional<double>(const History&)>& f) {
  Series out;
  History seen;
  for (const auto& v : in) {
    if (!v || !std::isfinite(*v)) {
      out.push_back(std::nullopt);
      continue;
    }
    seen.push_back(*v);
    out.push_back(f(seen));
  }
  return out;
}

Series as_series(const std::vector<double>& x) { return Series(x.begin(), x.end()); }

// Σ w(k)·(k-th of the last w.size() values, oldest first), or none.
std::optional<double> weighted_last(const History& h, const std::vector<double>& w) {
  if (h.size() < w.size()) return std::nullopt;
  double sum = 0.0;
  for (size_t k = 0; k < w.size(); ++k) sum += w[k] * h[h.size() - w.size() + k];
  return sum;
}

Series sma(const Series& in, size_t n) {
  return stage(in, [n](const History& h) -> std::optional<double> {
    auto s = weighted_last(h, std::vector<double>(n, 1.0));
    if (!s) return std::nullopt;
    return *s / static_cast<double>(n);
  });
}

Series wma(const Series& in, size_t n) {
  std::vector<double> w;
  for (size_t k = 1; k <= n; ++k) w.push_back(static_cast<double>(k));
  const double divisor = static_cast<double>(n) * static_cast<double>(n + 1) / 2.0;
  return stage(in, [w, divisor](const History& h) -> std::optional<double> {
    auto s = weighted_last(h, w);
    if (!s) return std::nullopt;
    return *s / divisor;
  });
}

// Seeded by the mean of the first n values, then value = next(value, x).
Series seeded(const Series& in, size_t n, std::function<double(double, double)> next) {
  return stage(in, [n, next, value = 0.0](const History& h) mutable -> std::optional<double> {
    if (h.size() < n) return std::nullopt;
    if (h.size() == n) {
      double sum = 0.0;
      for (double v : h) sum += v;
      value = sum / static_cast<double>(n);
    } else {
      value = next(value, h.back());
    }
    return value;
  });
}

Series ema(const Series& in, size_t n) {
  const double alpha = 2.0 / (static_cast<double>(n) + 1.0);
  // The update is one fused multiply-add by definition.
  return seeded(in, n,
                [alpha](double v, double x) { return std::fma(alpha, x, (1.0 - alpha) * v); });
}

Series smma(const Series& in, size_t n) {
  const double nd = static_cast<double>(n);
  return seeded(in, n, [nd](double v, double x) { return (x + v * (nd - 1.0)) / nd; });
}

// f of the entries of several series, where all are present.
Series combine(const std::vector<Series>& parts, const std::function<double(const History&)>& f) {
  Series out;
  for (size_t i = 0; i < parts[0].size(); ++i) {
    History at;
    for (const Series& p : parts) {
      if (p[i]) at.push_back(*p[i]);
    }
    out.push_back(at.size() == parts.size() ? std::optional<double>(f(at)) : std::nullopt);
  }
  return out;
}

size_t hull_half(size_t n) { return n > 3 ? n / 2 : 1; }
size_t hull_smooth(size_t n) { return std::max<size_t>(1, std::lround(std::sqrt(double(n)))); }

Series hull(const Series& x, size_t n, Series (*average)(const Series&, size_t)) {
  const Series raw = combine({average(x, hull_half(n)), average(x, n)},
                             [](const History& e) { return 2.0 * e[0] - e[1]; });
  return average(raw, hull_smooth(n));
}

// Ema(n) applied `depth` times; entry k is the k-th stage (0 the first).
std::vector<Series> ema_chain(const Series& x, size_t n, size_t depth) {
  std::vector<Series> chain{ema(x, n)};
  while (chain.size() < depth) chain.push_back(ema(chain.back(), n));
  return chain;
}

Series zlema(const std::vector<double>& x, size_t n) {
  const size_t lag = (n - 1) / 2;
  Series ahead;
  for (size_t i = 0; i < x.size(); ++i) {
    ahead.push_back(i < lag ? std::nullopt : std::optional<double>(2.0 * x[i] - x[i - lag]));
  }
  return ema(ahead, n);
}

std::vector<double> alma_weights(size_t n, double offset, double sigma) {
  const double m = offset * static_cast<double>(n - 1);
  const double s = static_cast<double>(n) / sigma;
  std::vector<double> w;
  double sum = 0.0;
  for (size_t i = 0; i < n; ++i) {
    w.push_back(std::exp(-std::pow(static_cast<double>(i) - m, 2) / (2.0 * s * s)));
    sum += w.back();
  }
  for (double& v : w) v /= sum;
  return w;
}

Series weighted(const std::vector<double>& x, const std::vector<double>& w, double divisor) {
  return stage(as_series(x), [w, divisor](const History& h) -> std::optional<double> {
    auto s = weighted_last(h, w);
    if (!s) return std::nullopt;
    return *s / divisor;
  });
}

Series sine_weighted(const std::vector<double>& x, size_t n) {
  std::vector<double> w;
  double sum = 0.0;
  for (size_t i = 0; i < n; ++i) {
    const double angle = static_cast<double>(i + 1) * std::numbers::pi / static_cast<double>(n + 1);
    w.push_back(std::sin(angle));
    sum += w.back();
  }
  return weighted(x, w, sum);
}

TEST(CascadedAverages, MatchPlainRecomputationsOverARandomSeries) {
  const std::vector<double> closes = random_closes(1500);
  const Series x = as_series(closes);
  for (size_t n : {1, 2, 3, 4, 5, 9, 16, 20}) {
    SCOPED_TRACE(n);
    const double nd = static_cast<double>(n);
    const std::vector<Series> e = ema_chain(x, n, 6);
    // Exact where the summation order is the definition's; the running sums
    // of Sma and Wma are compared within a tolerance.
    struct Case {
      std::string type;
      std::vector<double> params;
      Series expected;
      double tolerance = 0.0;
    };
    const double v = 0.7;
    const std::vector<Case> cases = {
        {"Trima", {nd}, sma(sma(x, n - n / 2), n / 2 + 1), 1e-12},
        {"Hma", {nd}, hull(x, n, wma), 1e-12},
        {"Ehma", {nd}, hull(x, n, ema)},
        {"Dema", {nd}, combine({e[0], e[1]}, [](const History& s) { return 2 * s[0] - s[1]; })},
        {"Tema", {nd},
         combine({e[0], e[1], e[2]},
                 [](const History& s) { return 3 * s[0] - 3 * s[1] + s[2]; })},
        {"GeneralizedDema", {nd, v},
         combine({e[0], e[1]}, [v](const History& s) { return s[0] * (1 + v) - s[1] * v; })},
        {"T3", {nd, v},
         combine({e[2], e[3], e[4], e[5]},
                 [v](const History& s) {
                   const double v2 = v * v, v3 = v * v * v;
                   return -v3 * s[3] + (3 * v2 + 3 * v3) * s[2] +
                          (-6 * v2 - 3 * v - 3 * v3) * s[1] + (1 + 3 * v + v3 + 3 * v2) * s[0];
                 })},
        {"Zlema", {nd}, zlema(closes, n)},
        {"Alma", {nd, 0.85, 6}, weighted(closes, alma_weights(n, 0.85, 6), 1.0)},
        {"Alma", {nd, 0, 0.5}, weighted(closes, alma_weights(n, 0, 0.5), 1.0)},
        {"SineWeightedMa", {nd}, sine_weighted(closes, n)},
        {"MaEnvelope", {nd, 0.05},
         combine({sma(x, n)}, [](const History& s) { return s[0] * 1.05; }), 1e-12},
    };
    for (const Case& c : cases) {
      SCOPED_TRACE(c.type);
      expect_series_near(run_closes(*make(c.type, c.params), closes), c.expected, c.tolerance);
    }
  }
}

// Every produced value with the components published beside it.
struct Produced {
  double value;
  std::vector<NamedOutput> components;
};

std::vector<std::optional<Produced>> run_with_outputs(Indicator& ind,
                                                      const std::vector<Candle>& candles) {
  std::vector<std::optional<Produced>> out;
  for (const Candle& c : candles) {
    auto v = update(ind, c);
    if (!v) {
      out.push_back(std::nullopt);
      continue;
    }
    auto view = ind.outputs();
    out.push_back(Produced{*v, {view.begin(), view.end()}});
  }
  return out;
}

Series returned(const std::vector<std::optional<Produced>>& produced) {
  Series out;
  for (const auto& p : produced) out.push_back(p ? std::optional(p->value) : std::nullopt);
  return out;
}

// The k-th component of each produced value.
Series component(const std::vector<std::optional<Produced>>& produced, size_t k) {
  Series out;
  for (const auto& p : produced) {
    out.push_back(p && k < p->components.size() ? std::optional(p->components[k].value)
                                                : std::nullopt);
  }
  return out;
}

TEST(CascadedAverages, AlligatorSmoothsTheMidpointOfHighAndLow) {
  std::vector<Candle> candles = random_candles(600);
  candles.insert(candles.begin() + 40, candle(10, 9, 11, 10));  // high below low: skipped
  Series mid;
  for (const Candle& c : candles) {
    mid.push_back(c.high < c.low ? std::nullopt : std::optional<double>((c.high + c.low) * 0.5));
  }
  // The lines appear together, once the longest has seeded.
  const std::vector<Series> lines = {smma(mid, 13), smma(mid, 8), smma(mid, 5)};
  auto line = [&](size_t k) { return combine(lines, [k](const History& v) { return v[k]; }); };
  const Series jaw = line(0), teeth = line(1), lips = line(2);
  auto ind = make("Alligator", {13, 8, 5});
  EXPECT_EQ(ind->warmup_period(), 13u);
  const auto produced = run_with_outputs(*ind, candles);
  for (const auto& p : produced) {
    if (!p) continue;
    ASSERT_EQ(p->components.size(), 3u);
    EXPECT_EQ(p->components[0].name, "jaw");
    EXPECT_EQ(p->components[1].name, "teeth");
    EXPECT_EQ(p->components[2].name, "lips");
  }
  expect_series_near(returned(produced), jaw, 0.0);
  expect_series_near(component(produced, 0), jaw, 0.0);
  expect_series_near(component(produced, 1), teeth, 0.0);
  expect_series_near(component(produced, 2), lips, 0.0);
  // The longest period need not come first.
  EXPECT_EQ(make("Alligator", {5, 21, 8})->warmup_period(), 21u);
}

TEST(CascadedAverages, MaEnvelopePublishesBandsAroundTheSma) {
  const std::vector<double> closes = random_closes(300);
  const Series middle = sma(as_series(closes), 10);
  std::vector<Candle> candles;
  for (double c : closes) candles.push_back(close_only(c));
  const auto produced = run_with_outputs(*make("MaEnvelope", {10, 0.025}), candles);
  for (size_t i = 0; i < produced.size(); ++i) {
    ASSERT_EQ(produced[i].has_value(), middle[i].has_value()) << "bar " << i;
    if (!produced[i]) continue;
    const auto& comps = produced[i]->components;
    ASSERT_EQ(comps.size(), 3u);
    EXPECT_EQ(comps[0].name, "upper");
    EXPECT_EQ(comps[1].name, "middle");
    EXPECT_EQ(comps[2].name, "lower");
    EXPECT_NEAR(comps[1].value, *middle[i], 1e-12 * *middle[i]);
    EXPECT_EQ(comps[0].value, comps[1].value * (1 + 0.025));
    EXPECT_EQ(comps[2].value, comps[1].value * (1 - 0.025));
    EXPECT_EQ(produced[i]->value, comps[0].value);
  }
}

TEST(CascadedAverages, FirstValueArrivesAtTheWarmUp) {
  struct Case {
    std::string type;
    std::vector<double> params;
    uint64_t warmup;
  };
  // n = 10: Hull half 5, smoothing round(√10) = 3; n = 12: √12 = 3.46 gives 3;
  // n = 7: √7 = 2.65 gives 3; Zlema lag (n − 1)/2.
  const std::vector<Case> cases = {
      {"Trima", {10}, 10},         {"Trima", {7}, 7},           {"Hma", {10}, 12},
      {"Hma", {7}, 9},             {"Hma", {2}, 2},             {"Hma", {1}, 1},
      {"Ehma", {12}, 14},          {"Ehma", {3}, 4},            {"Dema", {3}, 5},
      {"Dema", {10}, 19},          {"Tema", {10}, 28},          {"Tema", {1}, 1},
      {"GeneralizedDema", {10, 0.5}, 19},                       {"T3", {5, 0.7}, 25},
      {"T3", {1, 0.7}, 1},         {"Zlema", {10}, 14},         {"Zlema", {2}, 2},
      {"Alma", {9, 0.85, 6}, 9},   {"SineWeightedMa", {14}, 14}, {"MaEnvelope", {20, 0.1}, 20},
  };
  const std::vector<double> closes = random_closes(60);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type + " " + std::to_string(c.params[0]));
    auto ind = make(c.type, c.params);
    EXPECT_EQ(ind->warmup_period(), c.warmup);
    const Series out = run_closes(*ind, closes);
    size_t first = 0;
    while (first < out.size() && !out[first]) ++first;
    EXPECT_EQ(first + 1, c.warmup);
    for (size_t i = first; i < out.size(); ++i) EXPECT_TRUE(out[i]) << "bar " << i;
  }
}

TEST(CascadedAverages, SmallExamples) {
  // Sma(2) of 1..5 is 1.5, 2.5, 3.5, 4.5; Sma(2) of that is 2, 3, 4.
  EXPECT_EQ(run_closes(*make("Trima", {3}), {1, 2, 3, 4, 5}), (Series{{}, {}, 2.0, 3.0, 4.0}));
  // Ema(3) gives 4 then 6; Ema(3) of 4, 6, 8 ... gives its seed 6 on the 5th close.
  EXPECT_EQ(run_closes(*make("Dema", {3}), {2, 4, 6, 8, 10}),
            (Series{{}, {}, {}, {}, 2 * 8.0 - 6}));
  // Lengths of 1 pass the close through every stage.
  for (const char* type : {"Hma", "Ehma", "Dema", "Tema", "Zlema", "SineWeightedMa"}) {
    SCOPED_TRACE(type);
    EXPECT_EQ(run_closes(*make(type, {1}), {3.25, 7.5}), (Series{3.25, 7.5}));
  }
  EXPECT_EQ(run_closes(*make("Alma", {1, 0.85, 6}), {3.25, 7.5}), (Series{3.25, 7.5}));
  EXPECT_NEAR(*run_closes(*make("T3", {1, 0.7}), {3.25})[0], 3.25, 1e-14);
  // v = 0 reduces GeneralizedDema to e1 and T3 to e3, once their last stage
  // has a value.
  const std::vector<double> x = random_closes(100);
  const std::vector<Series> e = ema_chain(as_series(x), 4, 6);
  auto first = [](const History& v) { return v[0]; };
  expect_series_near(run_closes(*make("GeneralizedDema", {4, 0}), x), combine({e[0], e[1]}, first),
                     0.0);
  expect_series_near(run_closes(*make("T3", {4, 0}), x), combine({e[2], e[5]}, first), 0.0);
}

TEST(CascadedAverages, AlmaWithAVanishingSpreadWeighsTheNearestClose) {
  // A sigma this large makes every Gaussian weight underflow (or 0/0 at the
  // centre); the weights become their limit instead of NaN.
  const std::vector<double> x = random_closes(30);
  const Series nine = run_closes(*make("Alma", {9, 0.85, 10000}), x);  // m = 6.8: position 7
  const Series three = run_closes(*make("Alma", {3, 0.5, 1e300}), x);  // m = 1 exactly
  const Series two = run_closes(*make("Alma", {2, 0.5, 1e300}), x);    // m = 0.5: a tie
  for (size_t i = 8; i < x.size(); ++i) {
    ASSERT_EQ(nine[i], x[i - 1]) << "bar " << i;
    ASSERT_EQ(three[i], x[i - 1]) << "bar " << i;
    ASSERT_EQ(two[i], 0.5 * x[i - 1] + 0.5 * x[i]) << "bar " << i;
  }
}

TEST(CascadedAverages, NonFiniteIntermediatesAreNotPassedOn) {
  // An Ema seed that overflows would make every later stage NaN: the bars
  // stay absent instead.
  const std::vector<double> huge = {1.5e308, 1.5e308, 1, 2, 3, 4, 5, 6, 7, 8};
  for (const char* type : {"Dema", "Tema"}) {
    SCOPED_TRACE(type);
    for (const auto& v : run_closes(*make(type, {2}), huge)) EXPECT_FALSE(v);
  }
  for (const auto& v : run_closes(*make("T3", {2, 0.7}), huge)) EXPECT_FALSE(v);
  for (const auto& v : run_closes(*make("GeneralizedDema", {2, 0.7}), huge)) EXPECT_FALSE(v);

  // Ehma of 3 (stages 1, 3 and 2): 2·1.7e308 overflows on the 4th close; that
  // difference is skipped and the smoothing stage carries on with the next.
  const std::vector<double> x = {-0.5e308, -0.5e308, -0.5e308, 1.7e308, 1, 2, 3, 4, 5};
  const Series ehma = run_closes(*make("Ehma", {3}), x);
  EXPECT_FALSE(ehma[3]);
  expect_series_near(ehma, hull(as_series(x), 3, ema), 0.0);
  EXPECT_TRUE(ehma.back());

  // Hma of 4: the Wma sums overflow on the leading huge closes; what they give
  // is never smoothed, the value is never non-finite, and once the huge closes
  // are long gone the value is the plain recomputation's again.
  std::vector<double> h(4, 1e308);
  for (double c : random_closes(200)) h.push_back(c);
  const Series hma = run_closes(*make("Hma", {4}), h);
  for (const auto& v : hma) EXPECT_TRUE(!v || std::isfinite(*v));
  const Series plain = hull(as_series(h), 4, wma);
  expect_series_near(Series(hma.begin() + 100, hma.end()), Series(plain.begin() + 100, plain.end()),
                     1e-12);

  // Zlema of 3 (lag 1): 2·1e308 − (−1e308) overflows on the 2nd close; the
  // Ema seeds from the next three instead. 2·1e308 − 1e308 needs the fused
  // multiply-add to stay finite.
  const std::vector<double> z = {-1e308, 1e308, 1e308, 1, 1, 1, 1};
  const Series zlema = run_closes(*make("Zlema", {3}), z);
  const Series expected = ema(Series{{}, {}, 1e308, 2.0 - 1e308, 1, 1, 1}, 3);
  expect_series_near(zlema, expected, 0.0);
  EXPECT_TRUE(zlema.back());
}

TEST(CascadedAverages, SkippedBarsLeaveNoTrace) {
  const std::vector<double> clean = random_closes(200);
  std::vector<double> holed;
  for (size_t i = 0; i < clean.size(); ++i) {
    holed.push_back(clean[i]);
    if (i % 13 == 2) holed.push_back(i % 2 ? NAN : -INFINITY);
  }
  const std::vector<std::pair<const char*, std::vector<double>>> types = {
      {"Trima", {8}},       {"Hma", {9}},  {"Ehma", {9}},           {"Dema", {6}},
      {"Tema", {6}},        {"GeneralizedDema", {6, 0.7}},          {"T3", {4, 0.7}},
      {"Zlema", {9}},       {"Alma", {9, 0.85, 6}},                 {"SineWeightedMa", {9}},
      {"MaEnvelope", {9, 0.1}},
  };
  for (const auto& [type, params] : types) {
    SCOPED_TRACE(type);
    const Series with_holes = run_closes(*make(type, params), holed);
    Series kept;
    for (size_t i = 0; i < holed.size(); ++i) {
      if (std::isfinite(holed[i])) kept.push_back(with_holes[i]);
      else EXPECT_FALSE(with_holes[i]) << "bar " << i;
    }
    expect_series_near(kept, run_closes(*make(type, params), clean), 0.0);
  }
}

TEST(CascadedAverages, Validation) {
  const std::string max_period =
      "invalid period: period exceeds the maximum supported window length (see MAX_PERIOD)";
  const std::string gd = "invalid period: GD volume factor must be a finite value in [0.0, 1.0]";
  const std::string t3 = "invalid period: T3 volume factor must be a finite value in [0.0, 1.0]";
  const std::string offset = "invalid period: ALMA offset must be a finite value in [0, 1]";
  const std::string sigma = "invalid period: ALMA sigma must be a finite positive value";
  struct Case {
    std::string type;
    std::vector<double> params;
    std::string reason;  // "built" when accepted
  };
  const std::vector<Case> cases = {
      {"GeneralizedDema", {5, 1.5}, gd},
      {"GeneralizedDema", {5, -0.1}, gd},
      {"GeneralizedDema", {16777217, 1.5}, max_period},  // the length rule first
      {"GeneralizedDema", {5, 1}, "built"},
      {"T3", {5, 1.0000001}, t3},
      {"T3", {5, -0.5}, t3},
      {"T3", {16777217, 2}, max_period},
      {"T3", {5, 0}, "built"},
      {"Alma", {9, 1.5, 6}, offset},
      {"Alma", {9, -0.1, 6}, offset},
      {"Alma", {9, 0.85, 0}, sigma},
      {"Alma", {9, 0.85, -1}, sigma},
      {"Alma", {9, 2, 0}, offset},  // offset before sigma
      {"Alma", {16777217, 2, 0}, max_period},
      {"Alma", {9, 1, 1e-300}, "built"},
      {"Alligator", {13, 16777217, 16777218}, max_period},
      {"Alligator", {13, 8, 0}, "parameter #2 must be a positive integer, got 0"},
      {"MaEnvelope", {20, -3}, "built"},
      {"MaEnvelope", {16777217, 0.1}, max_period},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    const std::string prefix = "invalid parameters for indicator " + c.type + ": ";
    EXPECT_EQ(build_error(c.type, c.params), c.reason == "built" ? c.reason : prefix + c.reason);
  }
  for (const char* type : {"Trima", "Hma", "Ehma", "Dema", "Tema", "Zlema", "SineWeightedMa"}) {
    SCOPED_TRACE(type);
    EXPECT_EQ(build_error(type, {16777217}),
              std::string("invalid parameters for indicator ") + type + ": " + max_period);
    EXPECT_EQ(build_error(type, {0}), std::string("invalid parameters for indicator ") + type +
                                          ": parameter #0 must be a positive integer, got 0");
  }
}

}  // namespace
}  // namespace ostrel::testing
