#pragma once
// How the process's heap serves large blocks. A run allocates and frees blocks of tens of
// megabytes (the text, its matches, the replaced result), on the worker thread as well as the
// window's. With the allocator's defaults each such block is a fresh mapping whose pages fault
// in one by one, and the worker thread gets a heap of its own, which makes a run over a 10 MB
// text several times slower than its search. Every thread allocates from the one heap instead,
// large blocks come from it and are used again, and up to RetainedBytes of freed memory is kept
// for the next run rather than given back at once.

#include <cstddef>

namespace HeapPolicy {
// Largest block served from the heap (larger ones are mappings of their own), and the free
// memory at the heap's top kept for later.
inline constexpr std::size_t RetainedBytes = std::size_t(256) << 20;

// Call first thing in main(), before any thread starts.
void apply();
} // namespace HeapPolicy
