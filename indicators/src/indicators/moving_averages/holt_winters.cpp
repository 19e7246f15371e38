#include "indicators/moving_averages/holt_winters.hpp"

#include "kernels/window_length.hpp"

namespace ostrel {

Result<HoltWinters, IndicatorError> HoltWinters::create(double alpha, double beta) {
  const bool alpha_valid = alpha > 0.0 && alpha <= 1.0;
  if (auto error = require(alpha_valid, "HoltWinters alpha must be in (0.0, 1.0]")) return *error;
  const bool beta_valid = beta > 0.0 && beta <= 1.0;
  if (auto error = require(beta_valid, "HoltWinters beta must be in (0.0, 1.0]")) return *error;
  return HoltWinters(alpha, beta);
}

std::optional<double> HoltWinters::push(double close) {
  if (closes_ == 0) {
    first_ = close;
    closes_ = 1;
    return std::nullopt;
  }
  if (closes_ == 1) {
    level_ = close;
    trend_ = close - first_;
    closes_ = 2;
    return level_ + trend_;
  }
  const double level = alpha_ * close + (1.0 - alpha_) * (level_ + trend_);
  trend_ = beta_ * (level - level_) + (1.0 - beta_) * trend_;
  level_ = level;
  return level_ + trend_;
}

uint64_t HoltWinters::warmup_period() const { return 2; }

}  // namespace ostrel
