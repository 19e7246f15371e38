#pragma once
// Fresh memory is expensive to touch page by page; transparent huge pages cut
// that cost. Advice only: a refusal changes nothing.

#include <cstddef>

namespace ostrel {

// Below this a buffer is not worth advising: it spans at most one huge page.
inline constexpr size_t kHugePageAdviceMinBytes = size_t{4} << 20;

// Advises huge pages on the page-aligned interior of [data, data + bytes).
void advise_huge_pages(void* data, size_t bytes);

}  // namespace ostrel
