#include "huge_pages.hpp"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace ostrel {

void advise_huge_pages(void* data, size_t bytes) {
  if (bytes < kHugePageAdviceMinBytes) return;
  static const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  const uintptr_t begin = (reinterpret_cast<uintptr_t>(data) + page - 1) & ~(page - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + bytes) & ~(page - 1);
  if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

}  // namespace ostrel
