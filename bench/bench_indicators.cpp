// Nanoseconds per update through the Indicator interface for every registered
// type at its usual parameters, over a million updates: one table. The bars
// cycle through 8192 synthetic candles, which stay in cache as the engine's
// single per-bar context does, so the figure is the indicator's own cost and
// not the memory traffic of a million contexts. The best of three passes is
// reported, each on a freshly built instance.

#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "number_text.hpp"
#include "registry.hpp"
#include "synthetic_market.hpp"

namespace {

using namespace ostrel;
using Clock = std::chrono::steady_clock;

constexpr size_t kUpdates = 1'000'000;
constexpr size_t kDistinctBars = 8192;
constexpr int kPasses = 3;

// The parameters each type is usually run with. A registered type missing
// here is reported, so that new families add their row.
const std::map<std::string, std::vector<double>, std::less<>> kUsualParams = {
    {"Alligator", {13, 8, 5}},  {"Alma", {9, 0.85, 6}},       {"Dema", {20}},
    {"Ehma", {20}},             {"Ema", {20}},                {"Evwma", {20}},
    {"Fama", {0.5, 0.05}},      {"Frama", {16}},              {"GeneralizedDema", {20, 0.7}},
    {"GeometricMa", {20}},      {"Hma", {20}},                {"HoltWinters", {0.3, 0.1}},
    {"Jma", {14, 0, 2}},        {"Kama", {10, 2, 30}},        {"MaEnvelope", {20, 0.025}},
    {"Mama", {0.5, 0.05}},      {"McGinleyDynamic", {14}},    {"MedianMa", {20}},
    {"SineWeightedMa", {20}},   {"Sma", {20}},                {"Smma", {14}},
    {"T3", {5, 0.7}},           {"Tema", {20}},               {"Trima", {20}},
    {"Vidya", {9, 12}},         {"Vwma", {20}},               {"Wma", {20}},
    {"Zlema", {20}},
};

std::vector<UpdateContext> synthetic_bars(size_t n) {
  std::vector<UpdateContext> bars(n);
  const std::vector<Candle> candles = bench::random_walk(n);
  for (size_t i = 0; i < n; ++i) bars[i].candle = candles[i];
  return bars;
}

// Best ns per update over the passes; negative when the type cannot be built.
double time_type(const TypeRow& row, const std::vector<double>& params,
                 const std::vector<UpdateContext>& bars, double& checksum) {
  double best = -1.0;
  for (int pass = 0; pass < kPasses; ++pass) {
    auto built = row.build->make(params);
    if (!built) return -1.0;
    Indicator& indicator = *built.value();
    const auto start = Clock::now();
    for (size_t i = 0; i < kUpdates; ++i) {
      if (auto v = indicator.update(bars[i % kDistinctBars])) checksum += *v;
    }
    const double ns =
        static_cast<double>(
            std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - start).count()) /
        static_cast<double>(kUpdates);
    if (best < 0.0 || ns < best) best = ns;
  }
  return best;
}

}  // namespace

int main() {
  const std::vector<UpdateContext> bars = synthetic_bars(kDistinctBars);
  double checksum = 0.0;
  int failures = 0;
  std::string results;
  std::printf("%-26s %-18s %10s\n", "type", "parameters", "ns/update");
  for (const TypeRow& row : known_indicator_types()) {
    if (!row.build) continue;
    auto usual = kUsualParams.find(row.name);
    if (usual == kUsualParams.end()) {
      std::printf("%-26.*s no usual parameters listed\n", static_cast<int>(row.name.size()),
                  row.name.data());
      results += "FAILED indicator." + std::string(row.name) + " no usual parameters listed\n";
      ++failures;
      continue;
    }
    std::string shown;
    for (double p : usual->second) {
      if (!shown.empty()) shown += ',';
      append_plain_number(shown, p);
    }
    const double ns = time_type(row, usual->second, bars, checksum);
    if (ns < 0.0) {
      std::printf("%-26.*s build failed\n", static_cast<int>(row.name.size()), row.name.data());
      results += "FAILED indicator." + std::string(row.name) + " build failed\n";
      ++failures;
      continue;
    }
    std::printf("%-26.*s %-18s %10.2f\n", static_cast<int>(row.name.size()), row.name.data(),
                shown.c_str(), ns);
    char line[160];
    std::snprintf(line, sizeof line, "RESULT indicator.%.*s %.2f ns/update %s\n",
                  static_cast<int>(row.name.size()), row.name.data(), ns, shown.c_str());
    results += line;
  }
  std::printf("(checksum %g)\n", checksum);
  std::fputs(results.c_str(), stdout);  // the run_all.py lines, after the table
  return failures == 0 ? 0 : 1;
}
