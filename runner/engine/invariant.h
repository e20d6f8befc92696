#pragma once
// Checks of the engine's own invariants: on in debug builds and in the sanitizer and fuzzing
// builds (SIEVEWRIGHT_INVARIANTS), compiled out otherwise. A broken one aborts with its place.

#include <cstdio>
#include <cstdlib>

namespace engine::detail {
[[noreturn]] inline void invariantBroken(const char *condition, const char *file, int line)
{
    std::fprintf(stderr, "%s:%d: engine invariant broken: %s\n", file, line, condition);
    std::abort();
}
} // namespace engine::detail

#if !defined(NDEBUG) || defined(SIEVEWRIGHT_INVARIANTS)
#define ENGINE_INVARIANT(condition)                                                                \
    ((condition) ? void(0) : ::engine::detail::invariantBroken(#condition, __FILE__, __LINE__))
#else
#define ENGINE_INVARIANT(condition) void(0)
#endif
