#pragma once
// The last n values in arrival order and in ascending order, for order
// statistics: O(log n) search and O(n) shift per push.

#include <cstddef>
#include <optional>
#include <vector>

#include "kernels/value_window.hpp"

namespace ostrel {

class SortedWindow {
 public:
  explicit SortedWindow(size_t n);

  void push(double x);

  bool full() const { return window_.full(); }
  // Order statistics of a full window; none before.
  std::optional<double> median() const;
  // q in [0, 1]: linear interpolation between neighbouring order statistics.
  std::optional<double> quantile(double q) const;
  // The values in ascending order (the total order of doubles).
  const std::vector<double>& sorted() const { return sorted_; }
  const ValueWindow<double>& window() const { return window_; }

 private:
  ValueWindow<double> window_;
  std::vector<double> sorted_;
};

}  // namespace ostrel
