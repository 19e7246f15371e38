// Strategies over registry indicators, end to end: creation in byte order,
// warm-up from the indicators, values under their keys, registry errors.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run_driver.hpp"

namespace ostrel {
namespace {

std::string request(const std::string& indicators, const std::string& entry,
                    const std::string& candles) {
  return R"({"spec": {"symbol": "X", "timeframe": "1h", "indicators": )" + indicators +
         R"(, "entry": )" + entry + R"(, "exit": {"lt": [{"price": "close"}, 0]},
         "sizing": {"type": "fixed_qty", "qty": 1}}, "candles": )" +
         candles + "}";
}

std::string candles(const std::vector<double>& closes) {
  std::string out = "[";
  for (size_t i = 0; i < closes.size(); ++i) {
    const std::string c = std::to_string(closes[i]);
    out += (i ? "," : "") + std::string("[") + std::to_string(i + 1) + "," + c + "," + c + "," +
           c + "," + c + "]";
  }
  return out + "]";
}

std::string run(const std::string& text) {
  auto report = run_request_text(text);
  return report ? report.value() : report.error().render();
}

std::string entry_time(const std::string& report) {
  const auto at = report.find(R"("entry_time":)");
  if (at == std::string::npos) return "none";
  return report.substr(at + 13, report.find(',', at) - at - 13);
}

TEST(RegistryIndicators, RulesReadIndicatorValuesAfterTheWarmUp) {
  // Sma(3) of 1,2,3,4,5,6 is 2,3,4,5 from the third bar, and "close > sma +
  // 0.5" holds wherever it has a value; the warm-up of 3 bars holds the rules
  // back until the fourth bar, so the entry fills at the next open, bar 5.
  const std::string text = request(R"({"sma": {"type": "Sma", "params": [3]}})",
                                   R"({"gt": [{"price": "close"}, {"add": ["sma", 0.5]}]})",
                                   candles({1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(entry_time(run(text)), "5");
}

TEST(RegistryIndicators, TheLargestWarmUpGates) {
  const std::string text = request(
      R"({"slow": {"type": "Sma", "params": [5]}, "fast": {"type": "Ema", "params": [2]}})",
      R"({"gt": ["fast", "slow"]})", candles({1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(entry_time(run(text)), "7");  // signal on bar 6
}

TEST(RegistryIndicators, RegistryErrorsStopTheRun) {
  const std::string bars = candles({1, 2, 3});
  const std::string entry = R"({"gt": [{"price": "close"}, 0]})";
  EXPECT_EQ(run(request(R"({"a": {"type": "sma", "params": [3]}})", entry, bars)),
            "unknown indicator type: sma");
  EXPECT_EQ(run(request(R"({"a": {"type": "Sma", "params": [14.5]}})", entry, bars)),
            "invalid parameters for indicator Sma: parameter #0 must be a positive integer, got "
            "14.5");
  // Created in byte order of the names: "B" (0x42) fails before "a" (0x61).
  EXPECT_EQ(run(request(R"({"a": {"type": "Sma", "params": []}, "B": {"type": "Kama", "params": [1, 5, 5]}})",
                        entry, bars)),
            "invalid parameters for indicator Kama: invalid period: KAMA fast period must be "
            "strictly less than slow");
}

}  // namespace
}  // namespace ostrel
