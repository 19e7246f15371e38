#include "indicators/moving_averages/alma.hpp"

#include <cmath>
#include <vector>

#include "kernels/window_length.hpp"

namespace ostrel {
namespace {

// w(i) = exp(−(i − m)²/(2σ²)), m = offset·(n − 1), σ = n/sigma, normalised to
// sum 1. When the weights cannot be normalised (a large sigma makes every one
// underflow to 0, or 0/0 where σ² underflows), they are their limit for a
// vanishing σ: equal shares of the positions nearest to m.
std::vector<double> alma_weights(uint64_t n, double offset, double sigma) {
  const double m = offset * static_cast<double>(n - 1);
  const double s = static_cast<double>(n) / sigma;
  const double spread = 2.0 * (s * s);
  std::vector<double> w(n);
  double sum = 0.0;
  for (uint64_t i = 0; i < n; ++i) {
    const double d = static_cast<double>(i) - m;
    w[i] = std::exp(-(d * d) / spread);
    sum += w[i];
  }
  if (!(sum > 0.0)) {
    double nearest = INFINITY;
    for (uint64_t i = 0; i < n; ++i) {
      nearest = std::fmin(nearest, std::fabs(static_cast<double>(i) - m));
    }
    sum = 0.0;
    for (uint64_t i = 0; i < n; ++i) {
      w[i] = std::fabs(static_cast<double>(i) - m) == nearest ? 1.0 : 0.0;
      sum += w[i];
    }
  }
  for (double& weight : w) weight /= sum;
  return w;
}

}  // namespace

Result<Alma, IndicatorError> Alma::create(uint64_t n, double offset, double sigma) {
  if (auto error = check_window_length(n)) return *error;
  if (auto error = require(std::isfinite(offset) && offset >= 0.0 && offset <= 1.0,
                           "ALMA offset must be a finite value in [0, 1]")) {
    return *error;
  }
  if (auto error = require(std::isfinite(sigma) && sigma > 0.0,
                           "ALMA sigma must be a finite positive value")) {
    return *error;
  }
  return Alma(n, offset, sigma);
}

Alma::Alma(uint64_t n, double offset, double sigma) : window_(alma_weights(n, offset, sigma)) {}

std::optional<double> Alma::push(double close) { return window_.push(close); }

uint64_t Alma::warmup_period() const { return window_.length(); }

}  // namespace ostrel
