#pragma once
// Window of deviation moments around an anchor K, re-anchored at the window's
// mean every n pushes: O(1) per push, and exact 0 variance for a constant
// series.

#include <cstddef>
#include <optional>

#include "kernels/value_window.hpp"

namespace ostrel {

class MomentWindow {
 public:
  explicit MomentWindow(size_t n) : window_(n) {}

  void push(double x);

  bool full() const { return window_.full(); }
  // Mean, population variance (never negative) and standard deviation of a
  // full window; none before.
  std::optional<double> mean() const;
  std::optional<double> variance() const;
  std::optional<double> stddev() const;
  const ValueWindow<double>& window() const { return window_; }

 private:
  void reanchor();

  ValueWindow<double> window_;
  double anchor_ = 0.0;
  double s1_ = 0.0;
  double s2_ = 0.0;
  size_t pushes_ = 0;
  bool anchored_ = false;
};

}  // namespace ostrel
