#include "kernels/hilbert_cycle.hpp"

#include <cmath>
#include <numbers>

#include "numeric.hpp"

namespace ostrel {
namespace {

template <size_t N>
double hilbert(const NewestFirst<N>& r) {
  return 0.0962 * r[0] + 0.5769 * r[2] - 0.5769 * r[4] - 0.0962 * r[6];
}

// Limited to [6, 50]; a NaN never wins, so a period that overflowed becomes 6.
double limit_period(double p) { return std::fmin(std::fmax(p, 6.0), 50.0); }

}  // namespace

HilbertCycle::Stage HilbertCycle::push(double close) {
  ++closes_;
  close_.push(close);
  if (!close_.full()) return Stage::Closes;

  smooth_.push((4.0 * close_[0] + 3.0 * close_[1] + 2.0 * close_[2] + close_[3]) / 10.0);
  if (!smooth_.full()) return Stage::Smoothing;

  const double adj = 0.075 * limit_period(period_) + 0.54;
  detrender_.push(hilbert(smooth_) * adj);
  if (!detrender_.full()) return Stage::Detrending;

  q1_.push(hilbert(detrender_) * adj);
  i1_.push(detrender_[3]);
  if (!q1_.full() || !i1_.full()) return Stage::Quadrature;

  const double ji = hilbert(i1_) * adj;
  const double jq = hilbert(q1_) * adj;
  const double i2_prev = i2_;
  const double q2_prev = q2_;
  i2_ = 0.2 * (i1_[0] - jq) + 0.8 * i2_prev;
  q2_ = 0.2 * (q1_[0] + ji) + 0.8 * q2_prev;

  re_ = 0.2 * (i2_ * i2_prev + q2_ * q2_prev) + 0.8 * re_;
  im_ = 0.2 * (i2_ * q2_prev - q2_ * i2_prev) + 0.8 * im_;

  const double period_prev = period_;
  double q = period_prev;
  if (std::fabs(im_) > kEpsilon && std::fabs(re_) > kEpsilon) {
    q = 2.0 * std::numbers::pi / std::atan2(im_, re_);
  }
  if (q > 1.5 * period_prev) q = 1.5 * period_prev;
  if (q < 0.67 * period_prev) q = 0.67 * period_prev;
  q = limit_period(q);
  period_ = 0.2 * q + 0.8 * period_prev;

  smooth_period_ = 0.33 * period_ + 0.67 * smooth_period_;
  return Stage::Complete;
}

}  // namespace ostrel
