#include "metrics.hpp"

#include "numeric.hpp"

#include <cmath>
#include <limits>

namespace ostrel {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// The simple return from bar k to bar k + 1; 0 (still counted) when the
// earlier equity is too close to zero to divide by.
double bar_return(std::span<const EquityPoint> equity, size_t k) {
  const double from = equity[k].equity;
  if (std::fabs(from) < kEpsilon) return 0.0;
  return equity[k + 1].equity / from - 1.0;
}

// Mean return per bar over its population deviation, and over its downside
// deviation (measured from 0 across all returns). Both 0 without returns or
// when the deviation is below ε.
struct ReturnRatios {
  double sharpe = 0.0;
  double sortino = 0.0;
};

ReturnRatios return_ratios(std::span<const EquityPoint> equity) {
  if (equity.size() < 2) return {};
  const size_t m = equity.size() - 1;
  const double count = static_cast<double>(m);

  double sum = 0.0;
  for (size_t k = 0; k < m; ++k) sum += bar_return(equity, k);
  const double mean = sum / count;

  double squares = 0.0;
  double downside_squares = 0.0;
  for (size_t k = 0; k < m; ++k) {
    const double r = bar_return(equity, k);
    const double deviation = r - mean;
    const double downside = std::fmin(r, 0.0);
    squares += deviation * deviation;
    downside_squares += downside * downside;
  }
  const double sd = std::sqrt(squares / count);
  const double downside = std::sqrt(downside_squares / count);

  ReturnRatios ratios;
  if (sd >= kEpsilon) ratios.sharpe = mean / sd;
  if (downside >= kEpsilon) ratios.sortino = mean / downside;
  return ratios;
}

// Largest fall from the running peak in percent of that peak; only points
// reached while the peak is positive count.
double max_drawdown(std::span<const EquityPoint> equity) {
  double peak = -kInfinity;
  double result = 0.0;
  for (const EquityPoint& point : equity) {
    peak = std::fmax(peak, point.equity);
    if (peak > 0.0) result = std::fmax(result, (peak - point.equity) / peak * 100.0);
  }
  return result;
}

// A ratio whose denominator is below ε: +∞ for a positive numerator, else 0.
double ratio_or_bound(double numerator, double denominator) {
  if (denominator >= kEpsilon) return numerator / denominator;
  return numerator > 0.0 ? kInfinity : 0.0;
}

struct TradeFigures {
  double win_rate = 0.0;
  double profit_factor = 0.0;
};

TradeFigures trade_figures(std::span<const Trade> trades) {
  uint64_t wins = 0;
  double gross_profit = 0.0;
  double gross_loss = 0.0;
  for (const Trade& trade : trades) {
    if (trade.pnl > 0.0) {
      ++wins;
      gross_profit += trade.pnl;
    } else if (trade.pnl < 0.0) {
      gross_loss += -trade.pnl;
    }
  }
  TradeFigures figures;
  if (!trades.empty()) {
    figures.win_rate = static_cast<double>(wins) / static_cast<double>(trades.size()) * 100.0;
  }
  figures.profit_factor = ratio_or_bound(gross_profit, gross_loss);
  return figures;
}

}  // namespace

Metrics compute_metrics(std::span<const EquityPoint> equity, std::span<const Trade> trades,
                        double initial_capital) {
  const double final_equity = equity.empty() ? initial_capital : equity.back().equity;
  Metrics m;
  m.pnl = final_equity - initial_capital;
  if (std::fabs(initial_capital) >= kEpsilon) {
    m.return_pct = (final_equity - initial_capital) / initial_capital * 100.0;
  }
  const ReturnRatios ratios = return_ratios(equity);
  m.sharpe = ratios.sharpe;
  m.sortino = ratios.sortino;
  m.max_drawdown = max_drawdown(equity);
  m.calmar = ratio_or_bound(m.return_pct, m.max_drawdown);
  const TradeFigures figures = trade_figures(trades);
  m.win_rate = figures.win_rate;
  m.profit_factor = figures.profit_factor;
  m.num_trades = trades.size();
  return m;
}

}  // namespace ostrel
