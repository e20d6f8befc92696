#include "runner/engine/explain.h"

#include "runner/engine/asciiclass.h"
#include "runner/engine/foreignsyntax.h"
#include "runner/engine/patternmap.h"

#include <algorithm>
#include <array>
#include <string>

namespace engine {
namespace {

using detail::isDigit;
using detail::isLetter;

using detail::Node;
using detail::PatternMap;
using detail::TextSpan;

std::u16string number(long long n)
{
    const std::string digits = std::to_string(n);
    return std::u16string(digits.begin(), digits.end());
}

// The line for a class escape, \d .. \S.
std::u16string classEscapeText(char16_t letter)
{
    switch (letter) {
    case u'd':
        return u"a digit 0-9 (ASCII digits only)";
    case u'D':
        return u"any character but a digit 0-9";
    case u'w':
        return u"a word character: A-Z, a-z, 0-9 or _ (ASCII only: not \u00E9)";
    case u'W':
        return u"any character but A-Z, a-z, 0-9 and _ (\u00E9 is one)";
    case u's':
        return u"one of six characters: space, tab, LF, CR, VT, FF (not U+00A0)";
    case u'S':
        return u"any character but space, tab, LF, CR, VT, FF";
    default:
        return {};
    }
}

std::u16string controlName(char16_t c)
{
    switch (c) {
    case u'\n':
        return u"a line feed (LF)";
    case u'\r':
        return u"a carriage return (CR)";
    case u'\t':
        return u"a tab";
    case u'\f':
        return u"a form feed (U+000C)";
    case u'\v':
        return u"a vertical tab (U+000B)";
    case u'\b':
        return u"a backspace (U+0008)";
    case 0:
        return u"the NUL character (U+0000)";
    default:
        return u"the character " + detail::shownChar(c) +
               (c >= 0x20 && c != 0x7F ? u" (" + detail::codeName(c) + u")" : u"");
    }
}

std::u16string quantifierText(const Node &n)
{
    std::u16string text;
    if (n.min == 0 && n.max == -1)
        text = u"any number of times";
    else if (n.min == 1 && n.max == -1)
        text = u"one or more times";
    else if (n.min == 0 && n.max == 1)
        text = u"optional";
    else if (n.max == -1)
        text = number(n.min) + u" or more times";
    else if (n.min == n.max)
        text = u"exactly " + number(n.min) + (n.min == 1 ? u" time" : u" times");
    else
        text = number(n.min) + u" to " + number(n.max) + u" times";
    if (n.min != n.max)
        text += n.lazy ? u", as few as possible" : u", as many as possible";
    return text;
}

class Builder
{
public:
    Builder(const PatternMap &map, std::u16string_view pattern, const ReadOptions &options)
        : m_map(map)
        , m_p(pattern)
        , m_options(options)
    {}

    // A node's items: a sequence's children, with adjacent plain characters as one literal.
    void items(int index, std::vector<ExplainNode> &out)
    {
        const Node &n = m_map.node(index);
        if (n.kind != Node::Kind::Sequence) {
            out.push_back(build(index));
            return;
        }
        for (int child : n.children) {
            const TextSpan &s = m_map.span(child);
            const bool plain = m_map.node(child).kind == Node::Kind::Char && text(s)[0] != u'\\';
            if (plain && !out.empty() && out.back().kind == ExplainKind::Literal &&
                out.back().start + out.back().length == s.start) {
                out.back().length += s.length;
                out.back().text = literalText(out.back());
                continue;
            }
            out.push_back(build(child));
        }
    }

private:
    std::u16string_view text(const TextSpan &s) const
    {
        return m_p.substr(static_cast<std::size_t>(s.start), static_cast<std::size_t>(s.length));
    }

    ExplainNode make(ExplainKind kind, const TextSpan &s, std::u16string line)
    {
        ExplainNode e;
        e.kind = kind;
        e.start = s.start;
        e.length = s.length;
        e.text = std::move(line);
        return e;
    }

    std::u16string literalText(const ExplainNode &e) const
    {
        const std::u16string_view t = text(TextSpan{e.start, e.length});
        std::u16string line = t.size() == 1 ? u"the character " + detail::shownChar(t[0])
                                            : u"the text \"" + std::u16string(t) + u"\"";
        if (m_options.ignoreCase && std::any_of(t.begin(), t.end(), isLetter))
            line += u", in either case";
        return line;
    }

    // A character written in the pattern (a plain one, or an escape).
    ExplainNode character(ExplainKind plainKind, const TextSpan &s, char16_t c)
    {
        const std::u16string_view t = text(s);
        if (t[0] != u'\\') {
            ExplainNode e = make(plainKind, s, {});
            e.text = plainKind == ExplainKind::Literal ? literalText(e)
                                                       : u"the character " + detail::shownChar(c);
            return e;
        }
        return make(ExplainKind::Escape, s, escapeText(s, c));
    }

    std::u16string escapeText(const TextSpan &s, char16_t c) const
    {
        const std::u16string_view t = text(s);
        const char16_t after = t[1];
        if (t.size() == 2 && after == c) {
            if (auto f = detail::foreignEscape(m_p, s.start, m_options))
                return f->here + u"; elsewhere " + std::u16string(text(f->span)) + u" is " +
                       f->elsewhere + u": " + f->advice;
            if (isLetter(c) || isDigit(c))
                return u"the " + std::u16string(isLetter(c) ? u"letter " : u"digit ") + c +
                       u" (the backslash changes nothing)";
            return u"the character " + detail::shownChar(c);
        }
        std::u16string line = controlName(c);
        if (after >= u'1' && after <= u'7')
            line +=
                u", an octal code (no group " + std::u16string(1, after) + u" opens to its left)";
        return line;
    }

    ExplainNode classNode(int index)
    {
        const Node &n = m_map.node(index);
        const TextSpan &s = m_map.span(index);
        const std::u16string_view t = text(s);
        if (t[0] == u'\\')
            return make(ExplainKind::ClassEscape, s, classEscapeText(t[1]));
        const bool none = m_map.tree.sets[static_cast<std::size_t>(n.value)].empty();
        ExplainNode e = make(ExplainKind::Class, s,
                             none       ? (n.negate ? u"any character, LF included"
                                                    : u"nothing: an empty class never matches")
                             : n.negate ? u"one character not listed here"
                                        : u"one character listed here");
        for (const detail::ClassMember *m : m_map.membersOf(index))
            e.children.push_back(member(*m));
        return e;
    }

    ExplainNode member(const detail::ClassMember &m)
    {
        const std::u16string_view t = text(m.span);
        if (t.size() == 2 && t[0] == u'\\' && !classEscapeText(t[1]).empty())
            return make(ExplainKind::ClassEscape, m.span, classEscapeText(t[1]));
        const auto &ranges = m.members.ranges();
        if (ranges.size() == 1 && ranges[0].first != ranges[0].last) {
            const char16_t a = ranges[0].first;
            const char16_t b = ranges[0].last;
            std::u16string line =
                u"a character from " + detail::shownChar(a) + u" to " + detail::shownChar(b);
            if (a <= u'Z' && b >= u'a' && isLetter(a) && isLetter(b))
                line += u", also [ \\ ] ^ _ ` between Z and a";
            return make(ExplainKind::Range, m.span, line);
        }
        const char16_t c = ranges.empty() ? char16_t(0) : ranges[0].first;
        if (t[0] == u'\\' && t.size() == 2 && t[1] == u'b')
            return make(ExplainKind::Escape, m.span, controlName(u'\b'));
        return character(ExplainKind::Member, m.span, c);
    }

    std::u16string lineText(bool end) const
    {
        if (!m_options.multiline)
            return end ? u"the end of the text (not before a final line break)"
                       : u"the start of the text";
        return end ? u"the end of the text or of a line: before a CR or LF, also between the CR "
                     u"and LF of a pair"
                   : u"the start of the text or of a line: after a CR or LF";
    }

    bool insideGroup(int number) const
    {
        return std::find(m_open.begin(), m_open.end(), number) != m_open.end();
    }

    ExplainNode backReference(const Node &n, const TextSpan &s)
    {
        ExplainNode e = make(ExplainKind::BackReference, s, {});
        e.group = n.value;
        const std::u16string g = number(n.value);
        if (insideGroup(n.value)) {
            e.text = u"always empty here: it refers to group " + g + u", which encloses it";
            return e;
        }
        e.text = u"the text group " + g + u" captured (empty while it has taken no part)";
        const auto end = static_cast<std::size_t>(s.end());
        if (s.length == 2 && end < m_p.size() && isDigit(m_p[end]))
            e.text += u"; the " + std::u16string(1, m_p[end]) +
                      u" after it is a digit, as fewer than " +
                      number(n.value * 10 + m_p[end] - u'0') + u" groups open to its left";
        return e;
    }

    ExplainNode build(int index)
    {
        const Node &n = m_map.node(index);
        const TextSpan &s = m_map.span(index);
        switch (n.kind) {
        case Node::Kind::Empty:
            return make(ExplainKind::Empty, s, u"nothing: matches the empty text");
        case Node::Kind::Char:
            return character(ExplainKind::Literal, s, n.ch);
        case Node::Kind::Set:
            return classNode(index);
        case Node::Kind::Dot:
            return make(ExplainKind::Any, s,
                        m_options.multiline
                            ? u"any character but LF; a CR matches, so .*$ keeps the CR of a CR "
                              u"LF line"
                            : u"any character but LF (a CR matches)");
        case Node::Kind::LineStart:
            return make(ExplainKind::LineStart, s, lineText(false));
        case Node::Kind::LineEnd:
            return make(ExplainKind::LineEnd, s, lineText(true));
        case Node::Kind::WordBoundary:
            return make(ExplainKind::WordBoundary, s,
                        u"a word boundary: between A-Z, a-z, 0-9 or _ and anything else (ASCII "
                        u"only)");
        case Node::Kind::NotWordBoundary:
            return make(ExplainKind::NotWordBoundary, s, u"not a word boundary");
        case Node::Kind::BackReference:
            return backReference(n, s);
        case Node::Kind::Group: {
            ExplainNode e = make(ExplainKind::Group, s, u"group " + number(n.value));
            e.group = n.value;
            m_open.push_back(n.value);
            items(n.children.front(), e.children);
            m_open.pop_back();
            return e;
        }
        case Node::Kind::NonCapturing:
        case Node::Kind::LookAhead:
        case Node::Kind::NegativeLookAhead: {
            static constexpr std::array<ExplainKind, 3> Kinds{
                ExplainKind::NonCapturing, ExplainKind::LookAhead, ExplainKind::NegativeLookAhead};
            static constexpr std::array<const char16_t *, 3> Lines{
                u"a group that captures nothing",
                u"only if followed by this (which is not consumed)",
                u"only if not followed by this"};
            const auto at = static_cast<std::size_t>(n.kind) -
                            static_cast<std::size_t>(Node::Kind::NonCapturing);
            ExplainNode e = make(Kinds[at], s, Lines[at]);
            items(n.children.front(), e.children);
            return e;
        }
        case Node::Kind::Alternation: {
            ExplainNode e = make(ExplainKind::Alternation, s,
                                 u"one of " + number(static_cast<long long>(n.children.size())) +
                                     u" alternatives, tried from the left");
            for (int child : n.children) {
                if (m_map.node(child).kind == Node::Kind::Sequence)
                    e.children.push_back(build(child));
                else
                    items(child, e.children);
            }
            return e;
        }
        case Node::Kind::Sequence: {
            ExplainNode e = make(ExplainKind::Alternative, m_map.span(index), u"in turn:");
            items(index, e.children);
            return e;
        }
        case Node::Kind::Repeat: {
            ExplainNode e = make(ExplainKind::Quantifier, s, quantifierText(n));
            e.min = n.min;
            e.max = n.max;
            e.lazy = n.lazy;
            e.children.push_back(build(n.children.front()));
            return e;
        }
        }
        return make(ExplainKind::Empty, s, {});
    }

    const PatternMap &m_map;
    std::u16string_view m_p;
    ReadOptions m_options;
    std::vector<int> m_open; // numbers of the groups around the node being built
};

} // namespace

Explanation Explain(std::u16string_view pattern, const ReadOptions &options)
{
    const PatternMap map = detail::mapPattern(pattern);
    Explanation result;
    result.errorNumber = map.errorNumber;
    result.errorDescription = map.errorDescription;
    result.errorPosition = map.errorPosition;
    if (map.valid())
        Builder(map, pattern, options).items(map.tree.root, result.nodes);
    return result;
}

const char *kindName(ExplainKind kind)
{
    static constexpr std::array<const char *, 20> Names{"alternation",   "alternative",
                                                        "empty",         "literal",
                                                        "escape",        "any",
                                                        "class-escape",  "class",
                                                        "member",        "range",
                                                        "line-start",    "line-end",
                                                        "word-boundary", "not-word-boundary",
                                                        "group",         "non-capturing",
                                                        "lookahead",     "negative-lookahead",
                                                        "quantifier",    "back-reference"};
    return Names[static_cast<std::size_t>(kind)];
}

} // namespace engine
