#pragma once
// The bounded bar history: the newest records, oldest first, each a candle
// and one value per output slot (NaN where the key has no value that bar).
//
// Storage grows as bars arrive up to the capacity, then the ring overwrites
// its oldest record; nothing is preallocated from the capacity.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <vector>

#include "records.hpp"
#include "rules.hpp"

namespace ostrel {

class History {
 public:
  History(uint64_t capacity, uint32_t slots) : capacity_(capacity), slots_(slots) {}

  size_t size() const { return size_; }
  uint64_t capacity() const { return capacity_; }
  uint32_t slots() const { return slots_; }

  // Position p counts from the oldest record (0) to the newest (size() - 1).
  const Candle& candle(size_t p) const { return candles_[physical(p)]; }
  double value(size_t p, uint32_t slot) const {
    if (slot == kNoSlot) return std::numeric_limits<double>::quiet_NaN();
    return values_[physical(p) * slots_ + slot];
  }

  // Appends a record, dropping the oldest when the history is full.
  void push(const Candle& candle, std::span<const double> values);

 private:
  size_t physical(size_t p) const {
    size_t i = start_ + p;
    return i >= candles_.size() ? i - candles_.size() : i;
  }

  uint64_t capacity_;
  uint32_t slots_;
  std::vector<Candle> candles_;
  std::vector<double> values_;
  size_t start_ = 0;  // physical index of the oldest record
  size_t size_ = 0;
};

}  // namespace ostrel
