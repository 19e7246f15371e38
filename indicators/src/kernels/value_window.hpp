#pragma once
// A first-in-first-out window of the last n items, allocated once.

#include <cstddef>
#include <vector>

namespace ostrel {

template <class T>
class ValueWindow {
 public:
  explicit ValueWindow(size_t capacity) : slots_(capacity), capacity_(capacity) {}

  size_t capacity() const { return capacity_; }
  size_t size() const { return count_; }
  bool full() const { return count_ == capacity_; }

  // Appends x, overwriting the oldest item when full. Returns true when the
  // write position completes a pass around the storage.
  bool push(const T& x) {
    slots_[next_] = x;
    count_ += count_ < capacity_;
    if (++next_ < capacity_) return false;
    next_ = 0;
    return true;
  }

  // The i-th item counted from the oldest (0) to the newest (size() - 1).
  const T& operator[](size_t i) const {
    size_t at = oldest_index() + i;
    if (at >= capacity_) at -= capacity_;
    return slots_[at];
  }
  const T& oldest() const { return slots_[oldest_index()]; }
  const T& newest() const { return slots_[next_ == 0 ? capacity_ - 1 : next_ - 1]; }
  // The item k pushes before the newest (0 is the newest); k < size().
  const T& ago(size_t k) const { return (*this)[count_ - 1 - k]; }

  // Calls f on every item, oldest first.
  template <class F>
  void for_each(F&& f) const {
    const size_t start = oldest_index();
    for (size_t i = start; i < count_; ++i) f(slots_[i]);
    for (size_t i = 0; i < start; ++i) f(slots_[i]);
  }

 private:
  size_t oldest_index() const { return count_ < capacity_ ? 0 : next_; }

  std::vector<T> slots_;
  size_t capacity_;
  size_t next_ = 0;
  size_t count_ = 0;
};

}  // namespace ostrel
