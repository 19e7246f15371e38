#pragma once
// The Hilbert-transform cycle measurement: smooths the closes, splits the
// detrended series into in-phase and quadrature parts and tracks the dominant
// cycle period.

#include <array>
#include <cstddef>
#include <cstdint>

namespace ostrel {

// The last N values, newest first.
template <size_t N>
class NewestFirst {
 public:
  void push(double x) {
    for (size_t i = N - 1; i > 0; --i) v_[i] = v_[i - 1];
    v_[0] = x;
    if (count_ < N) ++count_;
  }
  bool full() const { return count_ == N; }
  size_t size() const { return count_; }
  double operator[](size_t i) const { return v_[i]; }

 private:
  std::array<double, N> v_{};
  size_t count_ = 0;
};

class HilbertCycle {
 public:
  // How far the last push got through the measurement.
  enum class Stage {
    Closes,       // fewer than 4 closes
    Smoothing,    // fewer than 7 smooth values
    Detrending,   // fewer than 7 detrender values
    Quadrature,   // fewer than 7 in-phase and quadrature values
    Complete,     // period and smooth period updated
  };

  Stage push(double close);

  uint64_t closes() const { return closes_; }
  const NewestFirst<7>& smooth() const { return smooth_; }
  const NewestFirst<7>& detrender() const { return detrender_; }
  double i1() const { return i1_[0]; }
  double q1() const { return q1_[0]; }
  double i2() const { return i2_; }
  double q2() const { return q2_; }
  double period() const { return period_; }
  double smooth_period() const { return smooth_period_; }

 private:
  NewestFirst<4> close_;
  NewestFirst<7> smooth_;
  NewestFirst<7> detrender_;
  NewestFirst<7> q1_;
  NewestFirst<7> i1_;
  double i2_ = 0.0;
  double q2_ = 0.0;
  double re_ = 0.0;
  double im_ = 0.0;
  double period_ = 0.0;
  double smooth_period_ = 0.0;
  uint64_t closes_ = 0;
};

}  // namespace ostrel
