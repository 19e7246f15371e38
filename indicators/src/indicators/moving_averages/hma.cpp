#include "indicators/moving_averages/hma.hpp"

#include <algorithm>
#include <cmath>

#include "kernels/window_length.hpp"

namespace ostrel {

HullLengths::HullLengths(uint64_t n)
    : half(n > 3 ? n / 2 : 1),
      full(n),
      smooth(std::max<uint64_t>(
          1, static_cast<uint64_t>(std::round(std::sqrt(static_cast<double>(n)))))) {}

Result<Hma, IndicatorError> Hma::create(uint64_t n) {
  if (auto error = check_window_length(n)) return *error;
  return Hma(HullLengths(n));
}

// Every length is at most n, which passed the window-length rule.
Hma::Hma(HullLengths lengths)
    : lengths_(lengths),
      half_(Wma::create(lengths.half).value()),
      full_(Wma::create(lengths.full).value()),
      smooth_(Wma::create(lengths.smooth).value()) {}

std::optional<double> Hma::push(double close) {
  return hull_step(half_.push(close), full_.push(close), smooth_);
}

uint64_t Hma::warmup_period() const { return lengths_.warmup(); }

}  // namespace ostrel
