// Random pattern, source and replacement text through Replace, checked against a plain
// reading of the replacement rules applied to Execute's matches.

#include "runner/engine/regexp.h"

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

constexpr char16_t Alphabet[] = u"$&`'0123456789ab()|*?x";

std::u16string expectedReplace(engine::RegExp &re, const std::u16string &source,
                               const std::u16string &replacement)
{
    const engine::MatchCollection matches = re.Execute(source);
    std::u16string out;
    std::size_t kept = 0;
    for (const engine::Match &m : matches) {
        const auto start = static_cast<std::size_t>(m.FirstIndex());
        const auto end = start + static_cast<std::size_t>(m.Length());
        out += source.substr(kept, start - kept);
        const engine::SubMatches subs = m.SubMatches();
        const int groups = subs.Count();
        for (std::size_t i = 0; i < replacement.size(); ++i) {
            const char16_t c = replacement[i];
            const char16_t d = i + 1 < replacement.size() ? replacement[i + 1] : u'\0';
            if (c != u'$' || d == u'\0') {
                out += c;
            } else if (d == u'$') {
                out += u'$';
                ++i;
            } else if (d == u'&') {
                out += m.Value();
                ++i;
            } else if (d == u'`') {
                out += source.substr(0, start);
                ++i;
            } else if (d == u'\'') {
                out += source.substr(end);
                ++i;
            } else if (d >= u'0' && d <= u'9') {
                const char16_t e = i + 2 < replacement.size() ? replacement[i + 2] : u'\0';
                const int one = d - u'0';
                const int two = (e >= u'0' && e <= u'9') ? one * 10 + (e - u'0') : -1;
                if (two >= 1 && two <= groups) {
                    out += subs.Item(two - 1);
                    i += 2;
                } else if (one >= 1 && one <= groups) {
                    out += subs.Item(one - 1);
                    ++i;
                } else {
                    out += c;
                }
            } else {
                out += c;
            }
        }
        kept = end;
    }
    out += source.substr(kept);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 3)
        return 0;
    const std::size_t alphabet = sizeof(Alphabet) / sizeof(char16_t) - 1;
    const bool global = data[0] & 1;
    std::u16string parts[3];
    int part = 0;
    for (std::size_t i = 1; i < size && part < 3; ++i) {
        if (data[i] == 0xFF) {
            ++part;
            continue;
        }
        parts[part] += data[i] >= 0xE0 ? static_cast<char16_t>(0x100 + data[i] * 131)
                                       : Alphabet[data[i] % alphabet];
    }
    engine::RegExp re;
    static engine::RunControl shortRuns; // runs stop after a second, inside libFuzzer's timeout
    shortRuns.setTimeLimit(std::chrono::seconds(1));
    re.setRunControl(&shortRuns);
    re.setPattern(parts[0]);
    re.setGlobal(global);
    try {
        const std::u16string actual = re.Replace(parts[1], parts[2]);
        if (actual != expectedReplace(re, parts[1], parts[2]))
            std::abort();
    } catch (const engine::RegExpError &) {
    }
    return 0;
}
