// Reading a run request of 1,000,000 candles in array form.
//   ./build/bench/bench_json_read

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "documents.hpp"

namespace {

std::string make_request(size_t n) {
  std::string text =
      R"({"spec": {"symbol": "X", "timeframe": "1m", "indicators": {}, "entry": {"gt": [{"price": "close"}, 1]},
 "exit": {"lt": [{"price": "close"}, 1]}, "sizing": {"type": "fixed_fraction", "fraction": 1}}, "candles": [)";
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> step(-0.5, 0.5);
  double price = 100.0;
  char buf[256];
  for (size_t i = 0; i < n; ++i) {
    double open = price;
    price += step(rng);
    double close = price;
    double high = std::max(open, close) + 0.25;
    double low = std::min(open, close) - 0.25;
    int len = std::snprintf(buf, sizeof buf, "%s[%zu,%.2f,%.2f,%.2f,%.2f,%.1f]", i ? "," : "",
                            1700000000000 + i * 60000, open, high, low, close, 1000.0 + i % 97);
    text.append(buf, static_cast<size_t>(len));
  }
  text += "]}";
  return text;
}

}  // namespace

int main() {
  const size_t n = 1000000;
  const std::string text = make_request(n);
  const double mb = static_cast<double>(text.size()) / 1e6;
  std::printf("request: %zu candles, %.1f MB\n", n, mb);
  std::vector<double> rates;
  for (int run = 0; run < 5; ++run) {
    auto t0 = std::chrono::steady_clock::now();
    auto request = ostrel::read_run_request_document(text);
    auto t1 = std::chrono::steady_clock::now();
    if (!request || request->candles.size() != n) {
      std::printf("read failed\n");
      return 1;
    }
    double s = std::chrono::duration<double>(t1 - t0).count();
    std::printf("%s read: %.1f ms, %.0f MB/s\n", run == 0 ? "first " : "repeat", s * 1e3, mb / s);
    rates.push_back(mb / s);
  }
  // The run_all.py lines: the first read and the median of the repeats.
  std::printf("RESULT json_read.first %.1f MB/s\n", rates.front());
  std::vector<double> repeats(rates.begin() + 1, rates.end());
  std::sort(repeats.begin(), repeats.end());
  std::printf("RESULT json_read.steady %.1f MB/s\n", repeats[repeats.size() / 2]);
  return 0;
}
