#pragma once
// Advice for large fresh buffers: first touches of small pages cost far more
// than the writes themselves on this platform, huge pages far less.

#include <algorithm>
#include <cstddef>
#include <vector>

namespace ostrel {

// Asks the kernel to back the whole 2 MiB pages inside [data, data + bytes)
// with huge pages. Call before the buffer is first written; harmless when
// the request is declined.
void advise_huge_pages(void* data, size_t bytes);

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
