#include "kernels/moment_window.hpp"

#include <cmath>

namespace ostrel {

void MomentWindow::push(double x) {
  if (window_.full()) {
    const double d = window_.oldest() - anchor_;
    s1_ -= d;
    s2_ -= d * d;
  }
  window_.push(x);
  if (!anchored_) {
    anchor_ = x;
    anchored_ = true;
  }
  const double d = x - anchor_;
  s1_ += d;
  s2_ += d * d;
  if (++pushes_ == window_.capacity()) reanchor();
}

void MomentWindow::reanchor() {
  double sum = -0.0;
  window_.for_each([&](double v) { sum += v; });
  anchor_ = sum / static_cast<double>(window_.size());
  s1_ = 0.0;
  s2_ = 0.0;
  window_.for_each([&](double v) {
    const double d = v - anchor_;
    s1_ += d;
    s2_ += d * d;
  });
  pushes_ = 0;
}

std::optional<double> MomentWindow::mean() const {
  if (!window_.full()) return std::nullopt;
  return anchor_ + s1_ / static_cast<double>(window_.capacity());
}

std::optional<double> MomentWindow::variance() const {
  if (!window_.full()) return std::nullopt;
  const double n = static_cast<double>(window_.capacity());
  const double m1 = s1_ / n;
  const double v = s2_ / n - m1 * m1;
  return v < 0.0 ? 0.0 : v;
}

std::optional<double> MomentWindow::stddev() const {
  std::optional<double> v = variance();
  if (!v) return std::nullopt;
  return std::sqrt(*v);
}

}  // namespace ostrel
