// Random pattern, options and source through the whole engine: parse, translate, compile,
// Execute, Test and Replace. Failures other than RegExpError are findings, and so is any
// difference between two ways of running the same pattern that must agree (caseless mode
// against canonical text; PCRE2's multiline mode against the lookaround form).
//
// Input: one byte of options, one byte of pattern length, then UTF-16 code units (pattern,
// then source). Pattern bytes are mapped onto a dense alphabet of syntax characters.

#include "runner/engine/casefold.h"
#include "runner/engine/compiledpattern.h"
#include "runner/engine/regexp.h"
#include "runner/engine/scanner.h"
#include "runner/engine/syntaxtree.h"

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Runs stop after a second, well inside libFuzzer's timeout.
const engine::RunControl &shortRuns()
{
    static engine::RunControl control;
    control.setTimeLimit(std::chrono::seconds(1));
    return control;
}

constexpr char16_t Alphabet[] = u"()[]{}|?*+.^$\\-,:=!<>0123456789abcdefxuBbDdSsWwkKAZz \r\n\t";

std::vector<std::int32_t> allMatches(engine::CompiledPattern &compiled, std::u16string_view text,
                                     bool global)
{
    std::vector<std::int32_t> out;
    std::vector<std::int32_t> bounds(2 * static_cast<std::size_t>(compiled.groupCount() + 1));
    compiled.forEachMatch(text, global, bounds.data(), [&](const std::int32_t *b) {
        out.insert(out.end(), b, b + bounds.size());
    });
    return out;
}

std::u16string folded(std::u16string_view s)
{
    std::u16string out(s.size(), u'\0');
    engine::detail::foldText(s.data(), s.size(), out.data());
    return out;
}

void compare(const engine::detail::SyntaxTree &tree, engine::detail::CaseMode a,
             engine::detail::LineMode la, engine::detail::CaseMode b, engine::detail::LineMode lb,
             std::u16string_view source, bool global)
{
    engine::CompiledPattern first(tree, a, la);
    engine::CompiledPattern second(tree, b, lb);
    const std::u16string textA =
        first.matchesCanonicalText() ? folded(source) : std::u16string(source);
    const std::u16string textB =
        second.matchesCanonicalText() ? folded(source) : std::u16string(source);
    std::vector<std::int32_t> x;
    std::vector<std::int32_t> y;
    try {
        first.beginRun(&shortRuns());
        x = allMatches(first, textA, global);
        second.beginRun(&shortRuns());
        y = allMatches(second, textB, global);
    } catch (const engine::RegExpError &) {
        return; // a limit in one of them: nothing to compare
    }
    if (x != y)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    const std::uint8_t options = data[0];
    const std::size_t patternLength = data[1] % 64;
    data += 2;
    size -= 2;
    std::u16string pattern;
    std::size_t i = 0;
    for (; i < size && pattern.size() < patternLength; ++i) {
        const std::uint8_t b = data[i];
        // Mostly syntax characters, sometimes any code unit.
        if (b < 0xF0 || i + 1 >= size)
            pattern += Alphabet[b % (sizeof(Alphabet) / sizeof(char16_t) - 1)];
        else {
            pattern += static_cast<char16_t>(0x80 + (((b & 0x0F) << 8) | data[i + 1]) * 17);
            ++i;
        }
    }
    std::u16string source;
    for (; i < size && source.size() < 64; ++i) {
        const std::uint8_t b = data[i];
        source += b < 0xC0 ? Alphabet[b % (sizeof(Alphabet) / sizeof(char16_t) - 1)]
                           : static_cast<char16_t>(0xC0 + b * 37);
    }
    const bool global = options & 1;
    const bool ignoreCase = options & 2;
    const bool multiline = options & 4;

    // Scan reads the pattern as a run does: a valid pattern is covered by its spans, in order,
    // and an error is the run's error.
    const engine::ScanResult scan = engine::Scan(pattern);
    int covered = 0;
    for (const engine::Token &t : scan.tokens) {
        if (t.start != covered || t.length <= 0 || t.partner >= static_cast<int>(pattern.size()))
            std::abort();
        covered += t.length;
    }
    if (scan.valid() && covered != static_cast<int>(pattern.size()))
        std::abort();

    engine::RegExp re;
    re.setRunControl(&shortRuns());
    re.setPattern(pattern);
    re.setGlobal(global);
    re.setIgnoreCase(ignoreCase);
    re.setMultiline(multiline);
    try {
        const engine::MatchCollection matches = re.Execute(source);
        for (const engine::Match &m : matches) {
            if (m.FirstIndex() < 0 || m.FirstIndex() + m.Length() > static_cast<int>(source.size()))
                std::abort();
            for (std::u16string_view sub : m.SubMatches())
                (void)sub;
        }
        const bool found = re.Test(source);
        if (found != (global ? matches.Count() > 0 : matches.Count() == 1))
            std::abort();
        (void)re.Replace(source, u"<$&|$1|$`|$'|$$|$12>");
    } catch (const engine::RegExpError &e) {
        if (e.description().empty())
            std::abort();
        const bool patternError =
            e.number() >= engine::errors::SyntaxError && e.number() <= engine::errors::InvalidRange;
        if (patternError && (scan.errorNumber != e.number() || scan.errorPosition != e.position()))
            std::abort();
        return 0;
    }
    if (!scan.valid())
        std::abort();

    // Two ways of running the same pattern that must agree.
    const engine::detail::SyntaxTree tree = engine::detail::parsePattern(pattern);
    using engine::detail::CaseMode;
    using engine::detail::LineMode;
    try {
        if (tree.asciiFoldingSuffices() && !tree.hasBackReference)
            compare(tree, CaseMode::Caseless, LineMode::TextEdges, CaseMode::Canonical,
                    LineMode::TextEdges, source, global);
        std::u16string noCR = source;
        for (char16_t &c : noCR)
            if (c == u'\r')
                c = u'\n';
        compare(tree, CaseMode::Exact, LineMode::Native, CaseMode::Exact, LineMode::Lookaround,
                noCR, global);
    } catch (const engine::RegExpError &) {
    }
    return 0;
}
