#pragma once
// The checks Lint runs, each adding its warnings to the context's list.

#include "runner/engine/lint.h"
#include "runner/engine/patternmap.h"

#include <string>
#include <string_view>
#include <vector>

namespace engine::detail {

struct LintContext
{
    const PatternMap &map;
    std::u16string_view pattern;
    ReadOptions options;
    std::vector<Warning> &out;

    std::u16string_view text(const TextSpan &s) const
    {
        return pattern.substr(static_cast<std::size_t>(s.start),
                              static_cast<std::size_t>(s.length));
    }
    Warning &warn(const char *code, TextSpan span, std::u16string text);
};

// Checks of the spans as read: escapes and brackets of other dialects, decimal escapes, and
// the construct an error stopped at.
void checkSpans(LintContext &context);
// Checks of the syntax tree of a valid pattern: surprises of this dialect.
void checkTree(LintContext &context);
// Backtracking that grows faster than the text, confirmed by running the engine.
void checkBacktracking(LintContext &context, const RunControl *control);

std::u16string decimal(long long n);

} // namespace engine::detail
