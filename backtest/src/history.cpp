#include "history.hpp"

#include <algorithm>

namespace ostrel {

void History::push(const Candle& candle, std::span<const double> values) {
  if (size_ < capacity_) {
    candles_.push_back(candle);
    values_.insert(values_.end(), values.begin(), values.end());
    ++size_;
    return;
  }
  // Full: the oldest record's storage becomes the newest.
  candles_[start_] = candle;
  double* record = values_.data() + start_ * slots_;
  for (size_t k = 0; k < values.size(); ++k) record[k] = values[k];
  start_ = start_ + 1 == candles_.size() ? 0 : start_ + 1;
}

}  // namespace ostrel
