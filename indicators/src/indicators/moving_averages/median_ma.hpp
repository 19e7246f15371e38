#pragma once
// MedianMa: the median of the last n closes.

#include <cstdint>
#include <optional>

#include "input_class.hpp"
#include "kernels/sorted_window.hpp"
#include "result.hpp"

namespace ostrel {

class MedianMa final : public CloseIndicator<MedianMa> {
 public:
  // #0 n: positive integer.
  static Result<MedianMa, IndicatorError> create(uint64_t n);

  std::optional<double> push(double close);
  uint64_t warmup_period() const override;

 private:
  explicit MedianMa(uint64_t n) : window_(n) {}

  SortedWindow window_;
};

}  // namespace ostrel
