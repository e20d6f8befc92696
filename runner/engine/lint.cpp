#include "runner/engine/lint.h"

#include "runner/engine/lintchecks.h"

#include <algorithm>
#include <string>

namespace engine {

std::u16string Attack::text(int repeats) const
{
    std::u16string out = prefix;
    for (int i = 0; i < repeats; ++i)
        out += pump;
    return out + suffix;
}

namespace detail {

Warning &LintContext::warn(const char *code, TextSpan span, std::u16string line)
{
    Warning w;
    w.code = code;
    w.start = span.start;
    w.length = span.length;
    w.text = std::move(line);
    out.push_back(std::move(w));
    return out.back();
}

std::u16string decimal(long long n)
{
    const std::string digits = std::to_string(n);
    return std::u16string(digits.begin(), digits.end());
}

} // namespace detail

LintResult Lint(std::u16string_view pattern, const ReadOptions &options, const RunControl *control)
{
    const detail::PatternMap map = detail::mapPattern(pattern);
    LintResult result;
    result.errorNumber = map.errorNumber;
    result.errorDescription = map.errorDescription;
    result.errorPosition = map.errorPosition;
    detail::LintContext context{map, pattern, options, result.warnings};
    detail::checkSpans(context);
    if (map.valid()) {
        detail::checkTree(context);
        detail::checkBacktracking(context, control);
    }
    std::stable_sort(result.warnings.begin(), result.warnings.end(),
                     [](const Warning &a, const Warning &b) { return a.start < b.start; });
    return result;
}

} // namespace engine
