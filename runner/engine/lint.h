#pragma once
// Warnings about a pattern: constructs of other dialects that read differently here, surprises
// of this dialect, and backtracking that grows faster than the text. Plain C++20, no Qt.
//
// Use: Lint(pattern, options) on any pattern, valid or not. Warnings never stop a run. A
// backtracking warning is given only when running the engine on its attack text at three
// growing lengths shows the steps growing faster than the length; it carries the attack and the
// steps measured. Offsets and lengths in UTF-16 code units.

#include "runner/engine/readoptions.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

class RunControl;

// A text that makes the pattern backtrack: prefix, then pump repeated, then suffix.
struct Attack
{
    std::u16string prefix;
    std::u16string pump;
    std::u16string suffix;
    std::u16string text(int repeats) const;
};

struct Warning
{
    std::string code; // "foreign-escape", "backtracking", ... (see lint.cpp)
    int start = 0;
    int length = 0;
    std::u16string text; // one line
    // The text that does what was most likely meant, to put in place of the span.
    std::optional<std::u16string> replacement;
    std::optional<Attack> attack; // backtracking only
    // Backtracking only: the pump's repeats and the steps measured at each (0: over the limit).
    std::vector<int> repeats;
    std::vector<std::uint64_t> steps;
    bool exponential = false;
};

struct LintResult
{
    std::vector<Warning> warnings; // by start, then by code
    int errorNumber = 0;           // the run's error for an invalid pattern, else 0
    std::u16string errorDescription;
    int errorPosition = -1;
};

// Lints pattern; control (may be null) cancels the backtracking runs, which then end early
// with the warnings found so far. Throws only std::bad_alloc.
LintResult Lint(std::u16string_view pattern, const ReadOptions &options = {},
                const RunControl *control = nullptr);

} // namespace engine
