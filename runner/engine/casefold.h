#pragma once
// Case folding of the dialect's IgnoreCase: two code units match when their canonical forms
// (simple upper-case mapping, never from non-ASCII to ASCII) are equal.

#include <cstddef>
#include <span>

namespace engine::detail {

struct CaseFoldPair
{
    char16_t from;
    char16_t to;
};
extern const CaseFoldPair caseFoldTable[];
extern const std::size_t caseFoldTableSize;

// The canonical form of c.
char16_t canonical(char16_t c);
// Writes the canonical form of each of n code units to out (out may equal in).
void foldText(const char16_t *in, std::size_t n, char16_t *out);
// Every code unit with the same canonical form as c, c included, ascending.
std::span<const char16_t> caseVariants(char16_t c);
// All groups of code units sharing a canonical form other than their own (for closing classes).
std::span<const std::span<const char16_t>> caseGroups();

} // namespace engine::detail
