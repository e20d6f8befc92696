#pragma once
// Turns a syntax tree into PCRE2 pattern text with the dialect's semantics.

#include "runner/engine/syntaxtree.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace engine::detail {

// How IgnoreCase is carried out.
enum class CaseMode
{
    Exact,     // IgnoreCase off
    Caseless,  // PCRE2's caseless mode; exact when the pattern folds among ASCII only
    Canonical, // the text is matched in its canonical forms (see foldText)
};

// How Multiline ^ and $ are carried out.
enum class LineMode
{
    TextEdges, // Multiline off: ^ at the start, $ at the end only
    Native,    // PCRE2's multiline mode: exact for texts without CR
    Lookaround,
};

// A callout placed in a loop whose iteration may match the empty text. An iteration that matches
// nothing is rejected once the minimum count is met; the guards tell a loop's first pass (all of
// the minimum) from its later ones by the PCRE2 group closed last before them.
struct IterationCheck
{
    enum class Kind : std::uint8_t
    {
        RejectEmpty, // fails when the iteration that began at mark `group` matched nothing
        First,       // passes only when `group` (the mark before the loop) was closed last
        Later,       // passes only when it was not
        Exit,        // passes only when `group` (the mark ending the first pass) was closed last
    };
    Kind kind;
    int group;

    // True when the check fails the match at position, given PCRE2's capture state there.
    bool rejects(const std::size_t *ovector, std::uint32_t captureTop, std::uint32_t captureLast,
                 std::size_t position) const;
};

struct Translation
{
    std::u16string pattern;
    std::vector<int> groupNumbers; // PCRE2 group number of dialect group i + 1, 0 if never run
    int pcreGroupCount = 0;
    std::vector<IterationCheck> checks;
};

Translation translate(const SyntaxTree &tree, CaseMode caseMode, LineMode lineMode);

} // namespace engine::detail
