#pragma once
// How the process's heap serves large blocks. A run allocates and frees blocks of tens of
// megabytes (the text, its matches, the replaced result), on the worker thread as well as the
// window's. With the allocator's defaults each such block is a fresh mapping whose pages fault
// in one by one, and the worker thread gets a heap of its own: a run over a 10 MB text took
// several times as long as its search, and loading the text most of its time. So every thread
// allocates from the one heap, blocks up to RetainedBytes come from it and are used again, up to
// RetainedBytes of freed memory is kept for the next run, and the heap's first part is marked
// for transparent huge pages (where the system grants them on request), so that it faults in
// 2 MB at a time. Nothing is touched in advance: memory becomes resident only as it is used.

#include <cstddef>

namespace HeapPolicy {
// Largest block served from the heap (larger ones are mappings of their own), and the free
// memory at the heap's top kept for later.
inline constexpr std::size_t RetainedBytes = std::size_t(256) << 20;

// Call first thing in main(), before any thread starts. Does nothing under AddressSanitizer,
// which has its own allocator.
void apply();
} // namespace HeapPolicy
