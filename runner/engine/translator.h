#pragma once
// Turns a syntax tree into PCRE2 pattern text with the dialect's semantics.

#include "runner/engine/syntaxtree.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
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

// From offset on in the translation (up to the next mark), the text stands for the part
// [start, start + length) of the pattern.
struct SpanMark
{
    std::uint32_t offset;
    int start;
    int length;
};

struct Translation
{
    std::u16string pattern;
    std::vector<int> groupNumbers; // PCRE2 group number of dialect group i + 1, 0 if never run
    int pcreGroupCount = 0;
    std::vector<IterationCheck> checks;
    // Only when asked for: in offset order, the last one standing for the pattern's end.
    std::vector<SpanMark> spans;
};

// How the options are carried out for a pattern (and, for Multiline, a text).
CaseMode caseModeFor(const SyntaxTree &tree, bool ignoreCase);
LineMode lineModeFor(const SyntaxTree &tree, bool multiline, std::u16string_view text);

// withSpans: also fill Translation::spans.
Translation translate(const SyntaxTree &tree, CaseMode caseMode, LineMode lineMode,
                      bool withSpans = false);

// For a tree to searchAfterNonWord (wordstart.h): the translation searched from one position
// before the start. The \b that opens each alternative becomes a non-word character kept out of
// the match (\K), so that PCRE2 looks for the start among the non-word characters; the groups
// and checks are those of translate's. A match at the start of the text is not found this way.
Translation translateAfterNonWord(const SyntaxTree &tree, CaseMode caseMode, LineMode lineMode);

// For a tree whose firstRunDecides (wordstart.h): translate's, where a try that fails after the
// first run goes on at the run's end (*SKIP) rather than at the next position. For the search
// only: a trace or a count of steps would miss the tries left out.
Translation translateSkippingFailedRuns(const SyntaxTree &tree, CaseMode caseMode,
                                        LineMode lineMode);

// Fills bounds as CompiledPattern::search gives them from PCRE2's offsets of a match (top: the
// groups set, + 1).
inline void readBounds(const Translation &translation, const std::size_t *ovector,
                       std::uint32_t top, std::int32_t *bounds)
{
    constexpr std::size_t Unset = ~std::size_t(0);
    bounds[0] = static_cast<std::int32_t>(ovector[0]);
    bounds[1] = static_cast<std::int32_t>(ovector[1]);
    const std::vector<int> &numbers = translation.groupNumbers;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        const auto g = static_cast<std::uint32_t>(numbers[i]);
        const bool set = g != 0 && g < top && ovector[2 * g] != Unset;
        bounds[2 * i + 2] = set ? static_cast<std::int32_t>(ovector[2 * g]) : -1;
        bounds[2 * i + 3] = set ? static_cast<std::int32_t>(ovector[2 * g + 1]) : -1;
    }
}

// The verdict of check id of the translation at a callout: 0 to go on, 1 to fail there.
int checkIteration(const std::vector<IterationCheck> &checks, int id, const std::size_t *ovector,
                   std::uint32_t captureTop, std::uint32_t captureLast, std::size_t position);

} // namespace engine::detail
