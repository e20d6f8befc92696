// Explain and Lint of a 300-character and a 10,000-character pattern: median times of a few
// runs each, printed as a table. The patterns mix every kind of span and hold loops that Lint
// suspects, so the backtracking check runs the engine on its attacks.

#include "runner/engine/explain.h"
#include "runner/engine/lint.h"

#include <algorithm>
#include <chrono>
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

template<class Work>
double medianMs(int runs, Work work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        work();
        const auto t1 = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    }
    std::nth_element(times.begin(), times.begin() + runs / 2, times.end());
    return times[static_cast<std::size_t>(runs / 2)];
}

} // namespace

int main()
{
    std::printf("| pattern | work | median ms | budget ms | outcome |\n|---|---|---|---|---|\n");
    for (std::size_t length : {std::size_t(300), std::size_t(10'000)}) {
        const std::u16string pattern = patternOf(length);
        std::size_t nodes = 0;
        const double explainMs =
            medianMs(7, [&] { nodes = engine::Explain(pattern).nodes.size(); });
        engine::LintResult lint;
        const double lintMs = medianMs(7, [&] { lint = engine::Lint(pattern); });
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
