// Engine speed on a moving-average crossover over a million synthetic bars:
// nanoseconds per bar for the bar step alone and for create + steps + finish,
// on the first run and in the steady state of repeated runs, with the page
// faults of each run, and the whole run from candles to report text (first touches of fresh memory dominate on this
// platform).

#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "../backtest/tests/test_specs.hpp"
#include "engine.hpp"
#include "synthetic_market.hpp"
#include "report_writer.hpp"

namespace {

using namespace ostrel;
using namespace ostrel::testing;
using Clock = std::chrono::steady_clock;

constexpr size_t kBars = 1'000'000;
constexpr int kRuns = 5;

StrategySpec crossover_spec() {
  StrategySpec spec =
      base_spec(cross_above(key("fast"), key("slow")), cross_below(key("fast"), key("slow")));
  spec.indicators["fast"] = IndicatorSpec{"Sma", {10}, {}};
  spec.indicators["slow"] = IndicatorSpec{"Sma", {30}, {}};
  spec.sizing = Sizing{SizingKind::FixedFraction, 1.0, 0};
  spec.costs.taker_bps = 5;
  return spec;
}

long page_faults() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_minflt;
}

double ns_per_bar(Clock::duration d) {
  return static_cast<double>(std::chrono::duration_cast<std::chrono::nanoseconds>(d).count()) /
         static_cast<double>(kBars);
}

// The run_all.py lines: the first run and the median of the others.
void print_result(const char* key, std::vector<double> per_run) {
  std::printf("RESULT %s.first %.2f ns/bar\n", key, per_run.front());
  std::vector<double> rest(per_run.begin() + 1, per_run.end());
  std::sort(rest.begin(), rest.end());
  std::printf("RESULT %s.steady %.2f ns/bar\n", key, rest[rest.size() / 2]);
}

}  // namespace

int main() {
  const std::vector<Candle> bars = bench::random_walk(kBars);
  const StrategySpec spec = crossover_spec();
  const BarFeeds no_feeds;
  std::printf("Sma crossover (10/30), %zu bars\n", kBars);
  std::vector<double> step_ns, report_ns;
  for (int run = 0; run < kRuns; ++run) {
    const long faults_before = page_faults();
    const auto start = Clock::now();
    auto made = BacktestEngine::create(spec, 10000.0);
    if (!made) {
      std::printf("create failed: %s\n", made.error().render().c_str());
      return 1;
    }
    BacktestEngine engine = std::move(made).value();
    const auto steps_start = Clock::now();
    for (const Candle& c : bars) {
      if (auto failed = engine.step(c, no_feeds)) {
        std::printf("step failed: %s\n", failed->render().c_str());
        return 1;
      }
    }
    const auto steps_end = Clock::now();
    const Report report = std::move(engine).finish();
    const auto finished = Clock::now();
    const std::string text = write_report(report);
    const auto end = Clock::now();
    std::printf(
        "run %d: step %.1f ns/bar, create+steps+finish %.1f ns/bar, candles to report text %.1f "
        "ns/bar, %ld page faults, %zu trades, %zu bytes\n",
        run + 1, ns_per_bar(steps_end - steps_start), ns_per_bar(finished - start),
        ns_per_bar(end - start), page_faults() - faults_before, report.trades.size(), text.size());
    step_ns.push_back(ns_per_bar(steps_end - steps_start));
    report_ns.push_back(ns_per_bar(end - start));
  }
  print_result("engine.step", step_ns);
  print_result("engine.candles_to_report", report_ns);
  return 0;
}
