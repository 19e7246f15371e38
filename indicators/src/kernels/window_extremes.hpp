#pragma once
// Highest and lowest value over a window: by full scan, or by monotonic queues
// of bar numbers (amortised O(1) per bar).

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <vector>

#include "kernels/value_window.hpp"

namespace ostrel {

// Full scans; a NaN never wins.
inline double window_max(const ValueWindow<double>& w) {
  double m = -std::numeric_limits<double>::infinity();
  w.for_each([&](double v) { m = std::fmax(m, v); });
  return m;
}

inline double window_min(const ValueWindow<double>& w) {
  double m = std::numeric_limits<double>::infinity();
  w.for_each([&](double v) { m = std::fmin(m, v); });
  return m;
}

// The extreme of the last n bars by a monotonic queue. Better(a, b) is true
// when a beats b: std::greater for the maximum, std::less for the minimum.
// Among equal values the newest survives.
template <class Better>
class MonotonicExtreme {
 public:
  explicit MonotonicExtreme(size_t n) : n_(n), ring_(n + 1) {}

  void push(double x) {
    while (size_ > 0 && !Better{}(at_back().value, x)) pop_back();
    push_back({bar_, x});
    while (front().bar + n_ <= bar_) pop_front();
    ++bar_;
  }

  // The extreme of the bars pushed so far, at most the last n.
  double value() const { return front().value; }
  // Bars between the extreme and the newest bar (0 when the newest is it).
  uint64_t age() const { return bar_ - 1 - front().bar; }
  // True once n bars were pushed.
  bool full() const { return bar_ >= n_; }

 private:
  struct Entry {
    uint64_t bar;
    double value;
  };

  const Entry& front() const { return ring_[head_]; }
  const Entry& at_back() const { return ring_[index(size_ - 1)]; }
  void pop_back() { --size_; }
  void pop_front() {
    head_ = head_ + 1 == ring_.size() ? 0 : head_ + 1;
    --size_;
  }
  void push_back(Entry e) {
    ring_[index(size_)] = e;
    ++size_;
  }
  size_t index(size_t i) const {
    size_t at = head_ + i;
    return at >= ring_.size() ? at - ring_.size() : at;
  }

  uint64_t n_;
  std::vector<Entry> ring_;
  size_t head_ = 0;
  size_t size_ = 0;
  uint64_t bar_ = 0;
};

using MonotonicMax = MonotonicExtreme<std::greater<double>>;
using MonotonicMin = MonotonicExtreme<std::less<double>>;

}  // namespace ostrel
