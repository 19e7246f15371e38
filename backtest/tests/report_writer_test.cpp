#include "report_writer.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace ostrel {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

Trade trade(ExitReason reason, int64_t entry_time, int64_t exit_time, double entry_price,
            double exit_price, double qty, double pnl, double return_pct) {
  Trade t;
  t.reason = reason;
  t.entry_time = entry_time;
  t.exit_time = exit_time;
  t.entry_price = entry_price;
  t.exit_price = exit_price;
  t.qty = qty;
  t.pnl = pnl;
  t.return_pct = return_pct;
  return t;
}

TEST(ReportWriter, WritesEveryMemberInOrder) {
  const Report report{
      .symbol = "BTCUSDT",
      .timeframe = "1h",
      .metrics = {12.5, 0.125, 1e-7, -0.0, kInf, 0.00001, 50.0, kNaN, 2},
      .trades = {trade(ExitReason::Signal, -60000, 0, 100.0, 110.5, -0.5, -5.25, -10.5),
                 trade(ExitReason::End, 0, 60000, 110.5, 123456.789, 2.0, 1.0, 1e16)},
      .equity = {{-60000, 10000.0}, {0, 1e15}},
      .fees_paid = 1.25,
      .initial_capital = 10000.0,
  };

  EXPECT_EQ(write_report(report),
            R"({"schema_version":1,"symbol":"BTCUSDT","timeframe":"1h",)"
            R"("metrics":{"pnl":12.5,"return_pct":0.125,"sharpe":1e-7,"sortino":-0.0,)"
            R"("calmar":null,"max_drawdown":0.00001,"win_rate":50.0,"profit_factor":null,)"
            R"("num_trades":2},)"
            R"("trades":[{"entry_time":-60000,"exit_time":0,"entry_price":100.0,)"
            R"("exit_price":110.5,"qty":-0.5,"pnl":-5.25,"return_pct":-10.5,"reason":"signal"},)"
            R"({"entry_time":0,"exit_time":60000,"entry_price":110.5,"exit_price":123456.789,)"
            R"("qty":2.0,"pnl":1.0,"return_pct":1e+16,"reason":"end"}],)"
            R"("equity":[{"time":-60000,"equity":10000.0},{"time":0,"equity":1000000000000000.0}],)"
            R"("fees_paid":1.25,"initial_capital":10000.0})");
}

TEST(ReportWriter, EmptyRunKeepsEveryMember) {
  Report report;
  report.initial_capital = 10000.0;
  EXPECT_EQ(write_report(report),
            R"({"schema_version":1,"symbol":"","timeframe":"",)"
            R"("metrics":{"pnl":0.0,"return_pct":0.0,"sharpe":0.0,"sortino":0.0,"calmar":0.0,)"
            R"("max_drawdown":0.0,"win_rate":0.0,"profit_factor":0.0,"num_trades":0},)"
            R"("trades":[],"equity":[],"fees_paid":0.0,"initial_capital":10000.0})");
}

TEST(ReportWriter, EscapesStrings) {
  struct Case {
    std::string text;
    std::string written;
  };
  const Case cases[] = {
      {"a\"b", R"("a\"b")"},
      {"back\\slash", R"("back\\slash")"},
      {"\b\t\n\f\r", R"("\b\t\n\f\r")"},
      {std::string("\x00\x01\x1f", 3), R"("\u0000\u0001\u001f")"},
      {"\x7f/\xc3\xa9\xe2\x82\xac", "\"\x7f/\xc3\xa9\xe2\x82\xac\""},
  };
  for (const Case& c : cases) {
    Report report;
    report.symbol = c.text;
    report.timeframe = c.text;
    const std::string head = R"({"schema_version":1,"symbol":)" + c.written +
                             R"(,"timeframe":)" + c.written + R"(,"metrics":)";
    EXPECT_EQ(write_report(report).substr(0, head.size()), head) << c.written;
  }
}

TEST(ReportWriter, WritesTheSameTextIntoACallersBufferWithinItsBound) {
  // Widest values: longest numbers, escapes in the labels, every exit reason.
  Report report{.symbol = std::string("\x01\"\\") + "BTC\n",
                .timeframe = "\x7f" "1h",
                .metrics = {-1.2345678901234567e-300, kNaN, -kInf, 1e308, -0.0, 5e-324,
                            -2.2250738585072014e-308, 1.7976931348623157e308,
                            std::numeric_limits<uint64_t>::max()},
                .trades = {},
                .equity = {},
                .fees_paid = -1.2345678901234567e-300,
                .initial_capital = -1.7976931348623157e308};
  for (int r = 0; r <= static_cast<int>(ExitReason::End); ++r) {
    report.trades.push_back(trade(static_cast<ExitReason>(r), std::numeric_limits<int64_t>::min(),
                                  std::numeric_limits<int64_t>::max(), -1.2345678901234567e-300,
                                  kNaN, -4.9406564584124654e-324, -1e308, -0.1));
  }
  for (int64_t k = 0; k < 3000; ++k) {
    report.equity.push_back({std::numeric_limits<int64_t>::min() + k, -1.2345678901234567e-300});
  }
  const std::string text = write_report(report);
  const size_t bound = max_report_chars(report);
  std::vector<char> buffer(bound);
  char* end = write_report_to(buffer.data(), report);
  ASSERT_LE(static_cast<size_t>(end - buffer.data()), bound);
  EXPECT_EQ(std::string(buffer.data(), end), text);
}

TEST(EquityWriter, PointsAndEmptyCurve) {
  EXPECT_EQ(write_equity({}), "[]");
  EXPECT_EQ(write_equity_point({1700000000, 10000.0}), R"({"time":1700000000,"equity":10000.0})");
  EXPECT_EQ(write_equity_point({std::numeric_limits<int64_t>::min(), kNaN}),
            R"({"time":-9223372036854775808,"equity":null})");
  const std::vector<EquityPoint> points = {{1, 0.5}, {2, -kInf}};
  EXPECT_EQ(write_equity(points), R"([{"time":1,"equity":0.5},{"time":2,"equity":null}])");
}

// A curve long enough to span many write blocks and a huge-page-advised
// buffer reads the same as its points written one by one, in both documents.
TEST(EquityWriter, LongCurveMatchesItsPoints) {
  std::vector<EquityPoint> points;
  std::string expected = "[";
  for (int64_t k = 0; k < 100000; ++k) {
    points.push_back({k * 60000 - 3000000, 10000.0 + static_cast<double>(k) / 7.0});
    if (k != 0) expected += ',';
    expected += write_equity_point(points.back());
  }
  expected += ']';
  EXPECT_EQ(write_equity(points), expected);

  Report report;
  report.equity = points;
  report.initial_capital = 10000.0;
  const std::string text = write_report(report);
  const std::string tail = R"(,"equity":)" + expected + R"(,"fees_paid":0.0,"initial_capital":10000.0})";
  ASSERT_GE(text.size(), tail.size());
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}

}  // namespace
}  // namespace ostrel
