#include "kernels/sorted_window.hpp"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

#include "numeric.hpp"

namespace ostrel {
namespace {

// The total order of doubles (-NaN < -inf < ... < -0 < +0 < ... < +inf < +NaN)
// as a signed integer order.
int64_t total_order_key(double x) {
  const int64_t bits = std::bit_cast<int64_t>(x);
  return bits < 0 ? bits ^ INT64_MAX : bits;
}

// First position whose element is not less than x.
std::vector<double>::iterator lower_bound_total(std::vector<double>& v, double x) {
  const int64_t key = total_order_key(x);
  return std::partition_point(v.begin(), v.end(),
                              [key](double e) { return total_order_key(e) < key; });
}

}  // namespace

SortedWindow::SortedWindow(size_t n) : window_(n) { sorted_.reserve(n); }

void SortedWindow::push(double x) {
  if (window_.full()) sorted_.erase(lower_bound_total(sorted_, window_.oldest()));
  window_.push(x);
  sorted_.insert(lower_bound_total(sorted_, x), x);
}

std::optional<double> SortedWindow::median() const {
  if (!window_.full()) return std::nullopt;
  const size_t n = sorted_.size();
  if (n % 2 == 1) return sorted_[n / 2];
  return midpoint(sorted_[n / 2 - 1], sorted_[n / 2]);
}

std::optional<double> SortedWindow::quantile(double q) const {
  if (!window_.full()) return std::nullopt;
  const size_t n = sorted_.size();
  const double p = q * static_cast<double>(n - 1);
  const double lower = std::floor(p);
  if (!(lower < static_cast<double>(n - 1))) return sorted_[n - 1];
  const size_t i = lower > 0.0 ? static_cast<size_t>(lower) : 0;
  return sorted_[i] + (p - lower) * (sorted_[i + 1] - sorted_[i]);
}

}  // namespace ostrel
