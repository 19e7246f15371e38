#include "metrics.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace ostrel {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::vector<EquityPoint> curve(std::initializer_list<double> values) {
  std::vector<EquityPoint> points;
  int64_t time = 1'700'000'000'000;
  for (double v : values) points.push_back({time++, v});
  return points;
}

std::vector<Trade> trades_with_pnl(std::initializer_list<double> pnls) {
  std::vector<Trade> trades;
  for (double pnl : pnls) {
    Trade trade;
    trade.pnl = pnl;
    trades.push_back(trade);
  }
  return trades;
}

// Figures of the equity curve alone. The ratios are compared within 1e-12
// (returns carry rounding) and skipped where none is given.
struct CurveCase {
  std::string name;
  std::vector<EquityPoint> equity;
  double capital;
  double pnl, return_pct, max_drawdown, calmar;
  std::optional<double> sharpe, sortino;
};

TEST(Metrics, FiguresOfTheEquityCurve) {
  const double drop = (110.0 - 99.0) / 110.0 * 100.0;
  const std::vector<CurveCase> cases = {
      {"no bars", {}, 10000.0, 0, 0, 0, 0, 0, 0},
      {"one bar", curve({10500.0}), 10000.0, 500, 5, 0, kInf, 0, 0},
      {"up then down", curve({100, 110, 99}), 100.0, -1, -1, drop, -1.0 / drop, 0, 0},
      // Two equal returns: the deviation is below epsilon, so sharpe is 0.
      {"steady growth", curve({100, 110, 121}), 100.0, 21, (121.0 - 100.0) / 100.0 * 100.0, 0, kInf,
       0, 0},
      {"zero capital", curve({0, 5}), 0.0, 5, 0, 0, 0, 0, 0},
      {"flat", curve({100, 100, 100}), 100.0, 0, 0, 0, 0, 0, 0},
      // Equity 0 gives a return of 0 that still counts: returns -1 and 0,
      // population deviation 0.5.
      {"through zero", curve({100, 0, 50}), 100.0, -50, -50, 100, -0.5, -1.0, -0.5 * std::sqrt(2.0)},
      // Points reached before the peak turns positive do not count.
      {"negative then recovering", curve({-50, -20, 10, 5, 20}), 10.0, 10, 100, 50, 2, {}, {}},
      // A NaN point never becomes the peak nor the drawdown.
      {"NaN point", curve({100, kNaN, 80}), 100.0, -20, -20, 20, -1, {}, {}},
  };
  for (const CurveCase& c : cases) {
    const Metrics m = compute_metrics(c.equity, {}, c.capital);
    EXPECT_EQ(m.pnl, c.pnl) << c.name;
    EXPECT_EQ(m.return_pct, c.return_pct) << c.name;
    EXPECT_EQ(m.max_drawdown, c.max_drawdown) << c.name;
    EXPECT_EQ(m.calmar, c.calmar) << c.name;
    if (c.sharpe) {
      EXPECT_NEAR(m.sharpe, *c.sharpe, 1e-12) << c.name;
    }
    if (c.sortino) {
      EXPECT_NEAR(m.sortino, *c.sortino, 1e-12) << c.name;
    }
  }
}

// Returns 0.02, -0.01, 0.02, -0.01: the downside deviation is measured from 0
// over all four returns, so sortino is 1 / sqrt(2); sharpe uses the population
// deviation 0.015.
TEST(Metrics, SortinoDividesByAllReturns) {
  std::vector<double> values = {100.0};
  for (double r : {0.02, -0.01, 0.02, -0.01}) values.push_back(values.back() * (1.0 + r));
  std::vector<EquityPoint> equity;
  for (double v : values) equity.push_back({0, v});
  const Metrics m = compute_metrics(equity, {}, 100.0);
  EXPECT_NEAR(m.sortino, 1.0 / std::sqrt(2.0), 1e-12);
  EXPECT_NEAR(m.sharpe, 0.005 / 0.015, 1e-12);
}

struct TradeCase {
  std::string name;
  std::vector<Trade> trades;
  double win_rate;
  double profit_factor;
};

TEST(Metrics, FiguresOfTheTrades) {
  const std::vector<TradeCase> cases = {
      {"none", {}, 0, 0},
      {"a win and a loss", trades_with_pnl({50, -25}), 50, 2},
      {"only wins", trades_with_pnl({10, 20}), 100, kInf},
      {"only zero pnl", trades_with_pnl({0, 0}), 0, 0},
      {"only a loss", trades_with_pnl({-5}), 0, 0},
      {"a third", trades_with_pnl({3, -1, -1}), 1.0 / 3.0 * 100.0, 1.5},
  };
  for (const TradeCase& c : cases) {
    const Metrics m = compute_metrics(curve({100, 101}), c.trades, 100.0);
    EXPECT_EQ(m.num_trades, c.trades.size()) << c.name;
    EXPECT_EQ(m.win_rate, c.win_rate) << c.name;
    EXPECT_EQ(m.profit_factor, c.profit_factor) << c.name;
  }
}

}  // namespace
}  // namespace ostrel
