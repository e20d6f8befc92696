#pragma once
// Turns a syntax tree into PCRE2 pattern text with the dialect's semantics.

#include "runner/engine/syntaxtree.h"

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

// A repeated group whose iteration may match the empty text: a callout rejects an empty
// iteration once the minimum is met.
struct EmptyIterationCheck
{
    int iterationGroup; // PCRE2 group around one iteration
    int loopStartGroup; // empty PCRE2 group before the loop, or -1 when the minimum is 0
};

struct Translation
{
    std::u16string pattern;
    std::vector<int> groupNumbers; // PCRE2 group number of dialect group i + 1
    int pcreGroupCount = 0;
    std::vector<EmptyIterationCheck> checks;
};

Translation translate(const SyntaxTree &tree, CaseMode caseMode, LineMode lineMode);

} // namespace engine::detail
