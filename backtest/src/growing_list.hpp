#pragma once
// A list that grows with the run (equity points, trades).

#include <algorithm>
#include <cstddef>
#include <vector>

#include "huge_pages.hpp"

namespace ostrel {

// Appends to a list that grows with the run. Each growth quadruples the
// capacity into a fresh buffer advised for huge pages before it is written:
// reserved pages cost nothing until touched, and fewer, larger buffers mean
// fewer pages touched by the copies and more of them huge.
template <class T>
void append_growing(std::vector<T>& list, const T& item) {
  if (list.size() == list.capacity()) {
    std::vector<T> grown;
    grown.reserve(std::max<size_t>(4 * list.capacity(), 16));
    advise_huge_pages(grown.data(), grown.capacity() * sizeof(T));
    grown.insert(grown.end(), list.begin(), list.end());
    list.swap(grown);
  }
  list.push_back(item);
}

}  // namespace ostrel
