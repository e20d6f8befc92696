#pragma once
// One translated pattern compiled by PCRE2 (JIT where available), with its match state and
// limits, and the dialect's search loop. A search tries its start positions in spans and
// looks at the run's RunControl and time cap between them. A span grows while it is quick, with
// fewer steps for each start position, so that every call takes about as long as the first
// (FirstSpan positions at limits::WatchAfterSteps each). A start position that needs more than
// that is tried again alone with a step limit growing to the full one, looking at the run
// between the tries. A pattern whose every match begins at a line start under Multiline, on a
// text with CR, is compiled anchored and tried only at the start of the text and after each CR
// and LF. One whose every match begins at a word start with an item that may begin with any
// letter is tried at the start of the text, and elsewhere searched from one position earlier in
// a form that consumes the non-word character before the start, which PCRE2 finds faster than it
// rules out the positions inside words (see searchAfterNonWord). One whose first run decides a
// try goes on at the end of the run after a failed try (see firstRunDecides).

#include "runner/engine/regexp.h"
#include "runner/engine/translator.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

struct pcre2_real_code_16;
struct pcre2_real_compile_context_16;
struct pcre2_real_match_data_16;
struct pcre2_real_match_context_16;
struct pcre2_real_jit_stack_16;

namespace engine {
namespace detail {
// Frees a PCRE2 handle with its library function; a null handle is left alone.
struct Pcre2Free
{
    void operator()(pcre2_real_code_16 *code) const;
    void operator()(pcre2_real_compile_context_16 *context) const;
    void operator()(pcre2_real_match_data_16 *matchData) const;
    void operator()(pcre2_real_match_context_16 *context) const;
    void operator()(pcre2_real_jit_stack_16 *stack) const;
};
template<class Handle>
using Pcre2Ptr = std::unique_ptr<Handle, Pcre2Free>;

// Compiles a translation for PCRE2 with the options its modes need and moreOptions. Throws
// RegExpError when PCRE2 refuses it.
Pcre2Ptr<pcre2_real_code_16> compileTranslation(const Translation &translation, CaseMode caseMode,
                                                LineMode lineMode, std::uint32_t moreOptions);

// Throws what a failed PCRE2 match (rc < 0, not "no match") means for a run.
[[noreturn]] void throwMatchFailure(int rc);
} // namespace detail

class RunControl;

class CompiledPattern
{
public:
    // Throws RegExpError when PCRE2 refuses the translation (a pattern too large, say).
    CompiledPattern(const detail::SyntaxTree &tree, detail::CaseMode caseMode,
                    detail::LineMode lineMode);
    CompiledPattern(const CompiledPattern &) = delete;
    CompiledPattern &operator=(const CompiledPattern &) = delete;

    int groupCount() const { return static_cast<int>(m_translation.groupNumbers.size()); }
    // True when the text must be searched in its canonical forms (see detail::foldText).
    bool matchesCanonicalText() const { return m_caseMode == detail::CaseMode::Canonical; }

    // Starts a run: its time cap counts from now, and control (may be null) can cancel it.
    void beginRun(const RunControl *control);

    // Searches text from offset start. On a match returns true and fills bounds with
    // groupCount() + 1 pairs [start, end) in dialect group order (-1, -1 for a group that took
    // no part). Throws RegExpError on a limit or an engine failure.
    bool search(std::u16string_view text, std::size_t start, std::int32_t *bounds);

    // Calls onMatch(bounds) for every match of the dialect's Global loop (or the first only).
    // Each search has its own backtracking limit; the run's cancellation is looked at before
    // every search and its time cap before every 64th (and inside long searches).
    template<class OnMatch>
    void forEachMatch(std::u16string_view text, bool global, std::int32_t *bounds, OnMatch onMatch)
    {
        std::size_t start = 0;
        for (unsigned searches = 1; start <= text.size(); ++searches) {
            checkStop(searches % 64 == 0);
            if (!search(text, start, bounds))
                return;
            onMatch(static_cast<const std::int32_t *>(bounds));
            if (!global)
                return;
            const auto end = static_cast<std::size_t>(bounds[1]);
            start = end == static_cast<std::size_t>(bounds[0]) ? end + 1 : end;
        }
    }

    // The backtracking steps (PCRE2's match limit) one attempt at start position `at` needs,
    // found to within an eighth; 0 when it needs more than limit.
    std::uint64_t stepsAt(std::u16string_view text, std::size_t at, std::uint32_t limit);

    // Called by PCRE2 for each iteration check: 0 to go on, 1 to fail at that point.
    int checkIteration(int id, const std::size_t *ovector, std::uint32_t captureTop,
                       std::uint32_t captureLast, std::size_t position) const;

private:
    // Throws when the run was cancelled or, with clock, has gone past its time cap.
    void checkStop(bool clock)
    {
        if (m_control && m_control->cancelled())
            stop(true);
        if (clock && std::chrono::steady_clock::now() > m_deadline)
            stop(false);
    }
    [[noreturn]] static void stop(bool cancelled);
    // A compiled translation and whether the JIT took it.
    struct Code
    {
        detail::Pcre2Ptr<pcre2_real_code_16> code;
        bool jit = false;
    };
    static Code compile(const detail::Translation &translation, detail::CaseMode caseMode,
                        detail::LineMode lineMode, std::uint32_t moreOptions);

    // Sets the backtracking steps each start position may take (PCRE2's match limit).
    void setMatchLimit(std::uint32_t steps);
    // One PCRE2 call with start positions from start to lastStart.
    int match(const Code &code, std::u16string_view text, std::size_t start, std::size_t lastStart);
    // One start position with a step limit growing tenfold up to the full one, looking at the
    // run between the tries.
    int matchAt(const Code &code, std::u16string_view text, std::size_t at, std::size_t lastStart);
    // The same when a start position took many steps: one position at a time.
    int searchAlone(const Code &code, std::u16string_view text, std::size_t start,
                    std::size_t lastStart);
    // The start positions from start on, in spans.
    int searchSpans(const Code &code, std::u16string_view text, std::size_t start);
    // The search of a pattern compiled anchored: the line starts from start on, one at a time.
    int searchLineStarts(std::u16string_view text, std::size_t start);
    // The search of a pattern whose matches begin at word starts.
    int searchWordStarts(std::u16string_view text, std::size_t start);
    // Turns a PCRE2 outcome into bounds (true), no match (false) or a thrown RegExpError.
    bool answer(int rc, std::int32_t *bounds);

    detail::Translation m_translation; // without shortcuts: m_code may skip failed runs
    detail::CaseMode m_caseMode;
    detail::LineMode m_lineMode;
    Code m_code;
    // For a pattern whose matches begin at word starts, the form that consumes the character
    // before the start (its groups and checks are m_translation's): compiled at its first
    // search. Without it (none, or PCRE2 refused it) the search is the general one.
    detail::Translation m_afterNonWordTranslation;
    bool m_afterNonWordTried = false;
    Code m_afterNonWord;
    detail::Pcre2Ptr<pcre2_real_match_data_16> m_matchData;
    const std::size_t *m_ovector = nullptr; // m_matchData's, fixed for its life
    detail::Pcre2Ptr<pcre2_real_match_context_16> m_context;
    detail::Pcre2Ptr<pcre2_real_jit_stack_16> m_jitStack;
    detail::Pcre2Ptr<pcre2_real_code_16> m_counted; // for stepsAt, made on its first call
    bool m_lineStarts = false;                      // compiled anchored, tried at line starts only
    std::size_t m_offsetLimit = ~std::size_t(0);    // as set in m_context (PCRE2_UNSET at first)
    std::uint32_t m_matchLimit = 0;                 // as set in m_context

    const RunControl *m_control = nullptr;
    std::chrono::steady_clock::time_point m_deadline = std::chrono::steady_clock::time_point::max();
};

} // namespace engine
