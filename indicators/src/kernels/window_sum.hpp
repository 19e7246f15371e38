#pragma once
// Running window sum: O(1) per push, recomputed exactly from the window every
// 16 passes of the window (by default) so that the incremental drift stays
// bounded. Types whose definition fixes another interval pass it: 1 recomputes
// every n pushes, 0 never.

#include <cstddef>
#include <optional>

#include "kernels/value_window.hpp"

namespace ostrel {

class WindowSum {
 public:
  explicit WindowSum(size_t n, unsigned passes_per_recompute = 16)
      : window_(n), n_(static_cast<double>(n)), passes_per_recompute_(passes_per_recompute) {}

  void push(double x) {
    if (window_.full()) {
      const double leaving = window_.oldest();
      sum_ = x + (sum_ - leaving);
      nonzero_ -= leaving != 0.0;
    } else {
      sum_ = x + sum_;
    }
    nonzero_ += x != 0.0;
    const bool pass = window_.push(x);
    if (pass && passes_per_recompute_ != 0 && ++passes_ == passes_per_recompute_) recompute();
    // A window of exact zeros sums to exactly zero, whatever the residue.
    if (nonzero_ == 0) sum_ = 0.0;
  }

  bool full() const { return window_.full(); }
  double sum() const { return sum_; }
  // The mean of a full window; none before.
  std::optional<double> mean() const {
    if (!window_.full()) return std::nullopt;
    return sum_ / n_;
  }
  const ValueWindow<double>& window() const { return window_; }

 private:
  void recompute() {
    double exact = -0.0;
    window_.for_each([&](double v) { exact += v; });
    sum_ = exact;
    passes_ = 0;
  }

  ValueWindow<double> window_;
  double n_;
  unsigned passes_per_recompute_;
  double sum_ = -0.0;
  size_t nonzero_ = 0;
  unsigned passes_ = 0;
};

}  // namespace ostrel
