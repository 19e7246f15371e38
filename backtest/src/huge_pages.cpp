#include "huge_pages.hpp"

#include <sys/mman.h>

#include <cstdint>

namespace ostrel {

void advise_huge_pages(void* data, size_t bytes) {
  constexpr uintptr_t kHugePage = uintptr_t{2} << 20;
  const auto begin = reinterpret_cast<uintptr_t>(data);
  const uintptr_t first = (begin + kHugePage - 1) & ~(kHugePage - 1);
  const uintptr_t last = (begin + bytes) & ~(kHugePage - 1);
  if (last <= first) return;
  madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

}  // namespace ostrel
