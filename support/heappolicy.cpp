#include "support/heappolicy.h"

#include <cstdint>
#include <cstdlib>

#include <malloc.h>
#include <sys/mman.h>

namespace HeapPolicy {

void apply()
{
#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__)
    mallopt(M_ARENA_MAX, 1);
    mallopt(M_MMAP_THRESHOLD, static_cast<int>(RetainedBytes));
    mallopt(M_TRIM_THRESHOLD, static_cast<int>(RetainedBytes));
    // Grow the heap once, mark the new part for huge pages and give it back to the heap, which
    // keeps it: later blocks come from it and fault in 2 MB at a time. Nothing is touched, so
    // nothing is resident yet.
    constexpr std::size_t HugePage = std::size_t(2) << 20;
    const std::size_t reserve = RetainedBytes / 4 * 3;
    if (void *block = std::malloc(reserve)) {
        const auto begin =
            (reinterpret_cast<std::uintptr_t>(block) + HugePage - 1) & ~(HugePage - 1);
        const auto end = (reinterpret_cast<std::uintptr_t>(block) + reserve) & ~(HugePage - 1);
        if (end > begin)
            ::madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
        std::free(block);
    }
#endif
}

} // namespace HeapPolicy
