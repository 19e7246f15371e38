#pragma once
// A chain of N exponential smoothers of the same length, each fed the output
// of the one before it.

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>

#include "kernels/ema_smoother.hpp"

namespace ostrel {

template <size_t N>
class EmaCascade {
 public:
  explicit EmaCascade(uint64_t n) : stages_(make_stages(n, std::make_index_sequence<N>{})) {}

  // The outputs of every stage, first to last, once the last stage has one.
  // A stage that has not produced yet, or whose output is not finite, ends the
  // push there: a non-finite value is never passed on, since it would poison
  // every later stage for good.
  std::optional<std::array<double, N>> push(double x) {
    std::array<double, N> out;
    for (size_t i = 0; i < N; ++i) {
      const std::optional<double> value = stages_[i].push(x);
      if (!value || !std::isfinite(*value)) return std::nullopt;
      out[i] = x = *value;
    }
    return out;
  }

 private:
  template <size_t... I>
  static std::array<EmaSmoother, N> make_stages(uint64_t n, std::index_sequence<I...>) {
    return {((void)I, EmaSmoother(n))...};
  }

  std::array<EmaSmoother, N> stages_;
};

}  // namespace ostrel
