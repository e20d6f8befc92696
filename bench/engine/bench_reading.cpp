// Explain and Lint of a 300-character and a 10,000-character pattern: median times of a few
// runs each, printed as a table. The patterns mix every kind of span and hold loops that Lint
// suspects, so the backtracking check runs the engine on its attacks.

#include "bench/support/timing.h"
#include "runner/engine/explain.h"
#include "runner/engine/lint.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// About 100 characters: groups, classes, escapes, quantifiers, a foreign escape and a loop
// inside a loop.
constexpr char16_t Chunk[] =
    u"(?:^(\\w+)@([\\w.-]+)\\z|(\\d{4})-(0[1-9]|1[0-2])|[A-Fa-f\\d]{2,8}?|(x+x+)+y|\\bcolou?r\\b)";

std::u16string patternOf(std::size_t length)
{
    std::u16string p;
    while (p.size() + std::char_traits<char16_t>::length(Chunk) <= length)
        p += Chunk;
    while (p.size() < length)
        p += u'a';
    return p;
}

} // namespace

int main()
{
    std::printf("| pattern | work | median ms | budget ms | outcome |\n|---|---|---|---|---|\n");
    for (std::size_t length : {std::size_t(300), std::size_t(10'000)}) {
        const std::u16string pattern = patternOf(length);
        std::size_t nodes = 0;
        const double explainMs =
            Timings::of(7, [&] { nodes = engine::Explain(pattern).nodes.size(); }).median();
        engine::LintResult lint;
        const double lintMs = Timings::of(7, [&] { lint = engine::Lint(pattern); }).median();
        const auto backtracking =
            std::count_if(lint.warnings.begin(), lint.warnings.end(),
                          [](const engine::Warning &w) { return w.code == "backtracking"; });
        std::printf("| %zu characters | Explain | %.2f | | %zu top-level nodes |\n", length,
                    explainMs, nodes);
        std::printf("| %zu characters | Lint | %.2f | %s | %zu warnings, %ld of backtracking "
                    "confirmed |\n",
                    length, lintMs, length == 300 ? "200" : "", lint.warnings.size(),
                    static_cast<long>(backtracking));
    }
    return 0;
}
