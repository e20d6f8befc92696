// The pattern parser: checks the whole pattern and builds its syntax tree.

#include "runner/engine/asciiclass.h"
#include "runner/engine/casefold.h"
#include "runner/engine/regexp.h"
#include "runner/engine/syntaxtree.h"

#include <algorithm>
#include <optional>

namespace engine::detail {
namespace {

int hexValue(char16_t c)
{
    if (isDigit(c))
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

// Sets the facts of a node from its kind and from its children's, already in nodes.
void learnFacts(Node &n, const std::vector<Node> &nodes, const std::vector<CharSet> &sets)
{
    const auto child = [&](std::size_t i) -> const Node & {
        return nodes[static_cast<std::size_t>(n.children[i])];
    };
    n.holdsGroup = n.kind == Node::Kind::Group;
    for (std::size_t i = 0; i < n.children.size(); ++i)
        n.holdsGroup = n.holdsGroup || child(i).holdsGroup;
    switch (n.kind) {
    case Node::Kind::Char:
        n.canMatchEmpty = false;
        n.startsWithWordChar = CharSet::wordChars().contains(n.ch);
        break;
    case Node::Kind::Set:
        n.canMatchEmpty = false;
        n.startsWithWordChar =
            !n.negate && sets[static_cast<std::size_t>(n.value)].within(CharSet::wordChars());
        break;
    case Node::Kind::Dot:
        n.canMatchEmpty = false;
        break;
    case Node::Kind::LineStart:
        n.startsAtLineStart = true;
        break;
    case Node::Kind::Group:
    case Node::Kind::NonCapturing:
        n.canMatchEmpty = child(0).canMatchEmpty;
        n.startsAtLineStart = child(0).startsAtLineStart;
        n.startsWithWordChar = child(0).startsWithWordChar;
        break;
    case Node::Kind::LookAhead:
        n.startsAtLineStart = child(0).startsAtLineStart;
        break;
    case Node::Kind::Repeat:
        n.canMatchEmpty = n.min == 0 || child(0).canMatchEmpty;
        n.startsAtLineStart = n.min > 0 && child(0).startsAtLineStart;
        n.startsWithWordChar = n.min > 0 && child(0).startsWithWordChar;
        break;
    case Node::Kind::Alternation:
        n.canMatchEmpty = false;
        n.startsAtLineStart = true;
        n.startsWithWordChar = true;
        for (std::size_t i = 0; i < n.children.size(); ++i) {
            n.canMatchEmpty = n.canMatchEmpty || child(i).canMatchEmpty;
            n.startsAtLineStart = n.startsAtLineStart && child(i).startsAtLineStart;
            n.startsWithWordChar = n.startsWithWordChar && child(i).startsWithWordChar;
        }
        break;
    case Node::Kind::Sequence:
        for (std::size_t i = 0; i < n.children.size(); ++i)
            n.canMatchEmpty = n.canMatchEmpty && child(i).canMatchEmpty;
        n.startsAtLineStart = !n.children.empty() && child(0).startsAtLineStart;
        n.startsWithWordChar = !n.children.empty() && child(0).startsWithWordChar;
        break;
    default:
        break; // empty, $, \b, \B, negative lookaheads, back-references: may match empty
    }
}

class Parser
{
public:
    Parser(std::u16string_view pattern, ParseSink *sink)
        : m_p(pattern)
        , m_sink(sink)
    {}

    SyntaxTree run()
    {
        m_tree.root = parseDisjunction(0);
        if (m_pos < m_p.size()) // only a ")" without "(" stops the top level early
            fail(errors::SyntaxError, m_pos);
        return std::move(m_tree);
    }

private:
    // A parsed term: its node, and whether a quantifier may follow it.
    struct Term
    {
        int node;
        bool quantifiable;
    };
    struct Quantifier
    {
        int min;
        int max;
        std::size_t length; // code units of the quantifier text, without a lazy "?"
    };

    [[noreturn]] void fail(int number, std::size_t position)
    {
        throw RegExpError(number, static_cast<int>(position));
    }

    bool atEnd() const { return m_pos >= m_p.size(); }
    char16_t peek(std::size_t ahead = 0) const
    {
        return m_pos + ahead < m_p.size() ? m_p[m_pos + ahead] : char16_t(0);
    }
    bool has(std::size_t ahead) const { return m_pos + ahead < m_p.size(); }

    void report(std::size_t start, std::size_t length, TokenKind kind, int group = 0)
    {
        if (m_sink)
            m_sink->span(start, length, kind, group);
    }

    void spanOf(int node, std::size_t start)
    {
        if (m_sink)
            m_sink->node(node, start, m_pos - start);
    }
    void member(std::size_t start, const CharSet &members)
    {
        if (m_sink)
            m_sink->classMember(start, m_pos - start, members);
    }
    void member(std::size_t start, char16_t first, char16_t last)
    {
        if (m_sink)
            m_sink->classMember(start, m_pos - start, CharSet::range(first, last));
    }

    int add(Node node)
    {
        learnFacts(node, m_tree.nodes, m_tree.sets);
        m_tree.nodes.push_back(std::move(node));
        return static_cast<int>(m_tree.nodes.size() - 1);
    }
    int add(Node::Kind kind)
    {
        Node n;
        n.kind = kind;
        return add(std::move(n));
    }
    int addChar(char16_t c)
    {
        Node n;
        n.kind = Node::Kind::Char;
        n.ch = c;
        return add(std::move(n));
    }
    int addSet(CharSet set, bool negate = false)
    {
        m_tree.sets.push_back(std::move(set));
        Node n;
        n.kind = Node::Kind::Set;
        n.value = static_cast<int>(m_tree.sets.size() - 1);
        n.negate = negate;
        return add(std::move(n));
    }

    // Gives the node the pattern text from start to the current position.
    int spanned(std::size_t start, int node)
    {
        Node &n = m_tree.nodes[static_cast<std::size_t>(node)];
        n.start = static_cast<int>(start);
        n.length = static_cast<int>(m_pos - start);
        return node;
    }

    int parseDisjunction(int depth)
    {
        if (depth > limits::MaxNesting)
            throw RegExpError(errors::EngineFailure, u"The pattern is nested too deeply.",
                              static_cast<int>(m_pos));
        const std::size_t first = m_pos;
        std::vector<int> alternatives;
        for (;;) {
            const std::size_t start = m_pos;
            alternatives.push_back(spanned(start, parseAlternative(depth)));
            if (atEnd() || peek() != u'|')
                break;
            report(m_pos, 1, TokenKind::Alternation);
            ++m_pos;
        }
        if (alternatives.size() == 1)
            return alternatives.front();
        Node n;
        n.kind = Node::Kind::Alternation;
        n.children = std::move(alternatives);
        const int node = spanned(first, add(std::move(n)));
        spanOf(node, first);
        return node;
    }

    int parseAlternative(int depth)
    {
        const std::size_t start = m_pos;
        Node seq;
        seq.kind = Node::Kind::Sequence;
        while (!atEnd() && peek() != u'|' && peek() != u')') {
            if (quantifierAt(m_pos))
                fail(errors::UnexpectedQuantifier, m_pos); // nothing to repeat
            const std::size_t termStart = m_pos;
            Term term = parseTerm(depth);
            spanOf(spanned(termStart, term.node), termStart);
            if (auto q = quantifierAt(m_pos)) {
                if (!term.quantifiable)
                    fail(errors::UnexpectedQuantifier, m_pos);
                term.node = spanned(termStart, applyQuantifier(term.node, *q));
                spanOf(term.node, termStart);
            }
            seq.children.push_back(term.node);
        }
        int node = -1;
        if (seq.children.empty())
            node = add(Node::Kind::Empty);
        else if (seq.children.size() == 1)
            node = seq.children.front();
        else
            node = add(std::move(seq));
        spanOf(node, start);
        return node;
    }

    int applyQuantifier(int atom, const Quantifier &q)
    {
        const std::size_t at = m_pos;
        if (q.max >= 0 && q.min > q.max)
            fail(errors::UnexpectedQuantifier, at);
        if (q.min > static_cast<int>(limits::MaxRepeatCount) ||
            q.max > static_cast<int>(limits::MaxRepeatCount))
            fail(errors::SyntaxError, at);
        m_pos += q.length;
        Node n;
        n.kind = Node::Kind::Repeat;
        n.min = q.min;
        n.max = q.max;
        if (!atEnd() && peek() == u'?') {
            n.lazy = true;
            ++m_pos;
        }
        report(at, m_pos - at, n.lazy ? TokenKind::LazyQuantifier : TokenKind::Quantifier);
        if (quantifierAt(m_pos))
            fail(errors::UnexpectedQuantifier, m_pos);
        n.children.push_back(atom);
        return add(std::move(n));
    }

    // The quantifier starting at pos, if any; "{" starts one only as {n}, {n,} or {n,m}.
    std::optional<Quantifier> quantifierAt(std::size_t pos) const
    {
        if (pos >= m_p.size())
            return std::nullopt;
        switch (m_p[pos]) {
        case u'*':
            return Quantifier{0, -1, 1};
        case u'+':
            return Quantifier{1, -1, 1};
        case u'?':
            return Quantifier{0, 1, 1};
        case u'{':
            break;
        default:
            return std::nullopt;
        }
        std::size_t i = pos + 1;
        auto number = [&](int &value) {
            const std::size_t start = i;
            long long v = 0;
            while (i < m_p.size() && isDigit(m_p[i])) {
                v = std::min<long long>(v * 10 + (m_p[i] - u'0'), 1LL << 40);
                ++i;
            }
            value = static_cast<int>(std::min<long long>(v, 0x7FFFFFFF));
            return i > start;
        };
        int min = 0;
        int max = 0;
        if (!number(min))
            return std::nullopt;
        if (i < m_p.size() && m_p[i] == u'}')
            return Quantifier{min, min, i + 1 - pos};
        if (i >= m_p.size() || m_p[i] != u',')
            return std::nullopt;
        ++i;
        if (i < m_p.size() && m_p[i] == u'}')
            return Quantifier{min, -1, i + 1 - pos};
        if (!number(max) || i >= m_p.size() || m_p[i] != u'}')
            return std::nullopt;
        return Quantifier{min, max, i + 1 - pos};
    }

    Term parseTerm(int depth)
    {
        const char16_t c = peek();
        switch (c) {
        case u'^':
            report(m_pos, 1, TokenKind::Anchor);
            ++m_pos;
            m_tree.hasLineAnchor = true;
            return {add(Node::Kind::LineStart), false};
        case u'$':
            report(m_pos, 1, TokenKind::Anchor);
            ++m_pos;
            m_tree.hasLineAnchor = true;
            return {add(Node::Kind::LineEnd), false};
        case u'.':
            report(m_pos, 1, TokenKind::CharClass);
            ++m_pos;
            return {add(Node::Kind::Dot), true};
        case u'(':
            return {parseGroup(depth), true};
        case u'[':
            return {parseClass(), true};
        case u'\\':
            return parseEscape();
        default:
            report(m_pos, 1, TokenKind::Literal);
            ++m_pos;
            return {addChar(c), true};
        }
    }

    int parseGroup(int depth)
    {
        const std::size_t open = m_pos;
        ++m_pos;
        Node n;
        if (peek() == u'?' && has(0)) {
            const char16_t kind = peek(1);
            if (!has(1) || (kind != u':' && kind != u'=' && kind != u'!'))
                fail(errors::SyntaxError, open);
            n.kind = kind == u':'   ? Node::Kind::NonCapturing
                     : kind == u'=' ? Node::Kind::LookAhead
                                    : Node::Kind::NegativeLookAhead;
            m_pos += 2;
        } else {
            n.kind = Node::Kind::Group;
            n.value = ++m_tree.groupCount;
        }
        report(open, m_pos - open, TokenKind::Group, n.value);
        n.children.push_back(parseDisjunction(depth + 1));
        if (atEnd())
            fail(errors::ExpectedParen, m_pos);
        report(m_pos, 1, TokenKind::Group);
        ++m_pos; // ")"
        return add(std::move(n));
    }

    Term parseEscape()
    {
        const std::size_t start = m_pos;
        ++m_pos;
        if (atEnd())
            fail(errors::SyntaxError, start);
        const char16_t c = peek();
        switch (c) {
        case u'b':
            ++m_pos;
            report(start, 2, TokenKind::Anchor);
            return {add(Node::Kind::WordBoundary), false};
        case u'B':
            ++m_pos;
            report(start, 2, TokenKind::Anchor);
            return {add(Node::Kind::NotWordBoundary), false};
        default:
            break;
        }
        if (c >= u'1' && c <= u'9') {
            const int groups = m_tree.groupCount;
            const int first = c - u'0';
            if (has(1) && isDigit(peek(1))) {
                const int two = first * 10 + (peek(1) - u'0');
                if (two <= groups) {
                    m_pos += 2;
                    report(start, 3, TokenKind::BackReference);
                    return {addBackReference(two), true};
                }
            }
            if (first <= groups) {
                ++m_pos;
                report(start, 2, TokenKind::BackReference);
                return {addBackReference(first), true};
            }
        }
        CharSet set;
        if (classEscape(c, set)) {
            ++m_pos;
            report(start, 2, TokenKind::CharClass);
            return {addSet(std::move(set)), true};
        }
        return {addChar(reportedCharacterEscape()), true};
    }

    int addBackReference(int group)
    {
        m_tree.hasBackReference = true;
        Node n;
        n.kind = Node::Kind::BackReference;
        n.value = group;
        return add(std::move(n));
    }

    static bool classEscape(char16_t c, CharSet &set)
    {
        switch (c) {
        case u'd':
            set = CharSet::digits();
            return true;
        case u'D':
            set = CharSet::digits().complement();
            return true;
        case u'w':
            set = CharSet::wordChars();
            return true;
        case u'W':
            set = CharSet::wordChars().complement();
            return true;
        case u's':
            set = CharSet::spaces();
            return true;
        case u'S':
            set = CharSet::spaces().complement();
            return true;
        default:
            return false;
        }
    }

    // characterEscape, reported as a span; one that gives the character after the backslash
    // stands for that character.
    char16_t reportedCharacterEscape()
    {
        const std::size_t start = m_pos - 1;
        const char16_t c = characterEscape();
        const bool identity = m_pos - start == 2 && c == m_p[start + 1];
        report(start, m_pos - start, identity ? TokenKind::IdentityEscape : TokenKind::Escape);
        return c;
    }

    // A character escape after the backslash (m_pos on the character after it): controls,
    // \cX, \xhh, \uhhhh, octal, and identity escapes. Back-references are decided before.
    char16_t characterEscape()
    {
        const char16_t c = peek();
        ++m_pos;
        switch (c) {
        case u'f':
            return u'\f';
        case u'n':
            return u'\n';
        case u'r':
            return u'\r';
        case u't':
            return u'\t';
        case u'v':
            return u'\v';
        case u'c':
            if (!atEnd() && isLetter(peek()))
                return static_cast<char16_t>(m_p[m_pos++] % 32);
            return u'c';
        case u'x':
            if (has(1) && hexValue(peek()) >= 0 && hexValue(peek(1)) >= 0) {
                const int v = hexValue(peek()) * 16 + hexValue(peek(1));
                m_pos += 2;
                return static_cast<char16_t>(v);
            }
            return u'x';
        case u'u':
            if (has(3) && hexValue(peek()) >= 0 && hexValue(peek(1)) >= 0 &&
                hexValue(peek(2)) >= 0 && hexValue(peek(3)) >= 0) {
                int v = 0;
                for (int i = 0; i < 4; ++i)
                    v = v * 16 + hexValue(peek(static_cast<std::size_t>(i)));
                m_pos += 4;
                return static_cast<char16_t>(v);
            }
            return u'u';
        case u'0': {
            int v = 0;
            for (int i = 0; i < 2 && !atEnd() && isOctal(peek()); ++i)
                v = v * 8 + (m_p[m_pos++] - u'0');
            return static_cast<char16_t>(v);
        }
        default:
            break;
        }
        if (c == u'8' || c == u'9' || !isOctal(c))
            return c;
        // Octal: the longest run of up to three digits whose value is at most 0377.
        int v = c - u'0';
        for (int i = 0; i < 2 && !atEnd() && isOctal(peek()); ++i) {
            const int next = v * 8 + (peek() - u'0');
            if (next > 0377)
                break;
            v = next;
            ++m_pos;
        }
        return static_cast<char16_t>(v);
    }

    int parseClass()
    {
        const std::size_t open = m_pos;
        ++m_pos; // "["
        bool negate = false;
        if (!atEnd() && peek() == u'^') {
            negate = true;
            ++m_pos;
        }
        report(open, m_pos - open, TokenKind::CharClass);
        CharSet set;
        while (true) {
            if (atEnd())
                fail(errors::ExpectedBracket, m_pos);
            if (peek() == u']') {
                report(m_pos, 1, TokenKind::CharClass);
                ++m_pos;
                break;
            }
            const std::size_t atomStart = m_pos;
            CharSet escapeSet;
            char16_t first = 0;
            const bool firstIsSet = classAtom(first, escapeSet);
            if (!atEnd() && peek() == u'-' && has(1) && peek(1) != u']') {
                // Next to a class escape, the "-" is a member itself.
                CharSet nextSet;
                const bool dashIsMember =
                    firstIsSet || (peek(1) == u'\\' && has(2) && classEscape(peek(2), nextSet));
                report(m_pos, 1, dashIsMember ? TokenKind::Literal : TokenKind::CharClass);
                ++m_pos; // "-"
                CharSet lastSet;
                char16_t last = 0;
                const std::size_t dash = m_pos - 1;
                const bool lastIsSet = classAtom(last, lastSet);
                if (firstIsSet || lastIsSet) {
                    firstIsSet ? set.add(escapeSet) : set.add(first);
                    set.add(u'-');
                    lastIsSet ? set.add(lastSet) : set.add(last);
                    if (m_sink)
                        reportSplitRange(atomStart, dash, firstIsSet ? escapeSet : range(first),
                                         lastIsSet ? lastSet : range(last));
                } else {
                    if (first > last)
                        fail(errors::InvalidRange, atomStart);
                    set.add(first, last);
                    member(atomStart, first, last);
                }
            } else {
                firstIsSet ? set.add(escapeSet) : set.add(first);
                firstIsSet ? member(atomStart, escapeSet) : member(atomStart, first, first);
            }
        }
        return addSet(std::move(set), negate);
    }

    static CharSet range(char16_t c) { return CharSet::range(c, c); }

    // A "-" between a class escape and a member is a member itself: three members.
    void reportSplitRange(std::size_t start, std::size_t dash, const CharSet &first,
                          const CharSet &last)
    {
        m_sink->classMember(start, dash - start, first);
        m_sink->classMember(dash, 1, range(u'-'));
        m_sink->classMember(dash + 1, m_pos - dash - 1, last);
    }

    // One member of a class: a character (returns false) or a class escape (returns true).
    bool classAtom(char16_t &c, CharSet &set)
    {
        if (atEnd())
            fail(errors::ExpectedBracket, m_pos);
        if (peek() != u'\\') {
            report(m_pos, 1, TokenKind::Literal);
            c = m_p[m_pos++];
            return false;
        }
        ++m_pos;
        if (atEnd())
            fail(errors::ExpectedBracket, m_pos);
        const char16_t e = peek();
        if (classEscape(e, set)) {
            ++m_pos;
            report(m_pos - 2, 2, TokenKind::CharClass);
            return true;
        }
        if (e == u'b') {
            ++m_pos;
            report(m_pos - 2, 2, TokenKind::Escape);
            c = u'\b';
            return false;
        }
        c = reportedCharacterEscape(); // \B is "B"; decimal escapes are octal here
        return false;
    }

    std::u16string_view m_p;
    ParseSink *m_sink;
    std::size_t m_pos = 0;
    SyntaxTree m_tree;
};

} // namespace

SyntaxTree parsePattern(std::u16string_view pattern, ParseSink *sink)
{
    return Parser(pattern, sink).run();
}

bool SyntaxTree::asciiFoldingSuffices() const
{
    for (const Node &n : nodes) {
        if (n.kind == Node::Kind::Char && n.ch >= 0x80 && caseVariants(n.ch).size() > 1)
            return false;
    }
    for (const CharSet &set : sets) {
        if (!set.closedUnderNonAsciiFolding())
            return false;
    }
    return true;
}

} // namespace engine::detail
