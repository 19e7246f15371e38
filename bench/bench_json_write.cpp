// Cost of writing a large report: 1,000,000 equity points and a few hundred
// trades. Prints ns per equity point for the first call and for repeated
// calls (each call writes into a fresh string, as a run does).

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "report.hpp"
#include "report_writer.hpp"

namespace {

constexpr size_t kPoints = 1'000'000;
constexpr size_t kTrades = 300;
constexpr int kRepeats = 20;

// Deterministic noise in [-0.5, 0.5).
struct Noise {
  uint64_t state = 0x9E3779B97F4A7C15u;
  double next() {
    state = state * 6364136223846793005u + 1442695040888963407u;
    return static_cast<double>(state >> 11) * 0x1p-53 - 0.5;
  }
};

ostrel::Report sample_report() {
  ostrel::Report report;
  report.symbol = "BTCUSDT";
  report.timeframe = "1m";
  report.initial_capital = 10000.0;
  Noise noise;
  double equity = 10000.0;
  const int64_t start = 1'700'000'000'000;
  report.equity.reserve(kPoints);
  for (size_t k = 0; k < kPoints; ++k) {
    equity *= 1.0 + noise.next() * 0.002;
    report.equity.push_back({start + static_cast<int64_t>(k) * 60'000, equity});
  }
  for (size_t k = 0; k < kTrades; ++k) {
    ostrel::Trade trade;
    trade.reason = k % 7 == 0 ? ostrel::ExitReason::StopLoss : ostrel::ExitReason::Signal;
    trade.entry_time = start + static_cast<int64_t>(k) * 3'000'000;
    trade.exit_time = trade.entry_time + 1'200'000;
    trade.entry_price = 30000.0 + noise.next() * 100.0;
    trade.exit_price = trade.entry_price * (1.0 + noise.next() * 0.01);
    trade.qty = k % 2 == 0 ? 0.25 : -0.25;
    trade.pnl = (trade.exit_price - trade.entry_price) * trade.qty;
    trade.return_pct = trade.pnl / (trade.entry_price * 0.25) * 100.0;
    report.trades.push_back(trade);
  }
  report.metrics.num_trades = kTrades;
  return report;
}

double write_once_ns(const ostrel::Report& report, size_t& bytes) {
  const auto begin = std::chrono::steady_clock::now();
  const std::string text = ostrel::write_report(report);
  const auto end = std::chrono::steady_clock::now();
  bytes = text.size();
  return std::chrono::duration<double, std::nano>(end - begin).count();
}

}  // namespace

int main() {
  const ostrel::Report report = sample_report();
  size_t bytes = 0;
  const double first = write_once_ns(report, bytes);
  std::vector<double> repeated;
  for (int i = 0; i < kRepeats; ++i) repeated.push_back(write_once_ns(report, bytes));
  std::sort(repeated.begin(), repeated.end());
  const double points = static_cast<double>(kPoints);
  std::printf("report: %zu equity points, %zu trades, %zu bytes\n", kPoints, kTrades, bytes);
  std::printf("first call:   %.1f ns per equity point (%.2f ms)\n", first / points, first / 1e6);
  std::printf("steady state: %.1f ns per equity point median, %.1f best, over %d calls\n",
              repeated[repeated.size() / 2] / points, repeated.front() / points, kRepeats);
  std::printf("RESULT json_write.first %.2f ns/point\n", first / points);
  std::printf("RESULT json_write.steady %.2f ns/point\n", repeated[repeated.size() / 2] / points);
  return 0;
}
