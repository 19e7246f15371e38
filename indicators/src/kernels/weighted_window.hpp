#pragma once
// A window of the last n values under fixed weights (oldest first): the
// weighted sum of the full window, added oldest to newest.

#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

#include "kernels/value_window.hpp"

namespace ostrel {

class WeightedWindow {
 public:
  explicit WeightedWindow(std::vector<double> weights)
      : window_(weights.size()), weights_(std::move(weights)) {}

  // The weighted sum once the window is full; none before.
  std::optional<double> push(double x) {
    window_.push(x);
    if (!window_.full()) return std::nullopt;
    double sum = -0.0;
    size_t i = 0;
    window_.for_each([&](double v) { sum += weights_[i++] * v; });
    return sum;
  }

  size_t length() const { return weights_.size(); }
  const std::vector<double>& weights() const { return weights_; }

 private:
  ValueWindow<double> window_;
  std::vector<double> weights_;
};

}  // namespace ostrel
