#include "runner/engine/replacementreading.h"

#include "runner/engine/asciiclass.h"
#include "runner/engine/replacement.h"

namespace engine {
namespace {

using detail::isDigit;

std::u16string number(int n)
{
    const std::string digits = std::to_string(n);
    return std::u16string(digits.begin(), digits.end());
}

// The form of another dialect starting at text[i], if any: its length and note.
std::size_t foreignAt(std::u16string_view t, std::size_t i, int groupCount, std::u16string &note)
{
    const char16_t c = t[i];
    const char16_t next = i + 1 < t.size() ? t[i + 1] : char16_t(0);
    if (c == u'\\' && next >= u'1' && next <= u'9') {
        note = u"plain text here: write $" + std::u16string(1, next) + u" for group " + next;
        return 2;
    }
    if (c == u'\\' && (next == u'n' || next == u'r' || next == u't')) {
        note = u"plain text here: put the character itself in the replacement";
        return 2;
    }
    if (c == u'\\' &&
        (next == u'U' || next == u'L' || next == u'E' || next == u'u' || next == u'l')) {
        note = u"plain text here: this dialect does not change case in a replacement";
        return 2;
    }
    if (c == u'\\' && next == u'$') {
        note = u"a backslash and a $ here: write $$ for a dollar sign";
        return 2;
    }
    if (c != u'$')
        return 0;
    if (next == u'{') {
        const std::size_t close = t.find(u'}', i + 2);
        if (close == std::u16string_view::npos || close > i + 66)
            return 0;
        note = u"plain text here: groups have numbers only, write $1 and the like";
        return close + 1 - i;
    }
    if (isDigit(next)) {
        std::size_t end = i + 1;
        int value = 0;
        while (end < t.size() && end < i + 3 && isDigit(t[end]))
            value = value * 10 + (t[end++] - u'0');
        note = value == 0 ? u"plain text here: write $& for the whole match"
                          : u"plain text here: the pattern has " + number(groupCount) +
                                (groupCount == 1 ? u" group" : u" groups");
        return end - i;
    }
    if (next == u'_' || next == u'+') {
        note = u"plain text here: this dialect has only $&, $`, $', $$ and $1..$99";
        return 2;
    }
    return 0;
}

void addText(std::vector<ReplacementPart> &out, std::u16string_view t, int from, int to,
             int groupCount)
{
    int plain = from;
    for (int i = from; i < to;) {
        std::u16string note;
        const auto length =
            static_cast<int>(foreignAt(t.substr(0, static_cast<std::size_t>(to)),
                                       static_cast<std::size_t>(i), groupCount, note));
        if (length == 0) {
            ++i;
            continue;
        }
        if (i > plain)
            out.push_back({ReplacementPart::Kind::Text, plain, i - plain, 0, {}});
        out.push_back({ReplacementPart::Kind::Foreign, i, length, 0, std::move(note)});
        i += length;
        plain = i;
    }
    if (to > plain)
        out.push_back({ReplacementPart::Kind::Text, plain, to - plain, 0, {}});
}

} // namespace

std::vector<ReplacementPart> ReadReplacement(std::u16string_view replacement, int groupCount)
{
    std::vector<detail::ReplacementSpan> spans;
    const detail::Replacement read(replacement, groupCount, &spans);
    std::vector<ReplacementPart> out;
    using Span = detail::ReplacementSpan::Kind;
    for (std::size_t k = 0; k < spans.size(); ++k) {
        const detail::ReplacementSpan &s = spans[k];
        if (s.kind == Span::Text) {
            int end = s.start + s.length;
            while (k + 1 < spans.size() && spans[k + 1].kind == Span::Text) {
                ++k;
                end = spans[k].start + spans[k].length;
            }
            addText(out, replacement, s.start, end, groupCount);
            continue;
        }
        ReplacementPart part{
            static_cast<ReplacementPart::Kind>(s.kind), s.start, s.length, s.group, {}};
        if (s.kind == Span::Group) {
            part.note = u"the text of group " + number(s.group);
            const auto end = static_cast<std::size_t>(s.start + s.length);
            if (s.length == 2 && end < replacement.size() && isDigit(replacement[end]))
                part.note += u"; the " + std::u16string(1, replacement[end]) +
                             u" after it is text, as the pattern has fewer than " +
                             number(s.group * 10 + replacement[end] - u'0') + u" groups";
        }
        static constexpr const char16_t *Notes[] = {u"", u"one $", u"the whole match",
                                                    u"the text before the match",
                                                    u"the text after the match"};
        if (s.kind != Span::Group)
            part.note = Notes[static_cast<std::size_t>(s.kind)];
        out.push_back(std::move(part));
    }
    return out;
}

} // namespace engine
