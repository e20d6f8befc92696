// Lint's checks of the syntax tree: what this dialect does that users do not expect.

#include "runner/engine/asciiclass.h"
#include "runner/engine/casefold.h"
#include "runner/engine/foreignsyntax.h"
#include "runner/engine/lintchecks.h"

#include <algorithm>

namespace engine::detail {
namespace {

// A letter outside ASCII: one with case variants.
bool isNonAsciiLetter(char16_t c)
{
    return c >= 0x80 && caseVariants(c).size() > 1;
}

bool covers(const CharSet &outer, const CharSet &inner)
{
    for (const CharSet::Range &r : inner.ranges()) {
        const auto &ranges = outer.ranges();
        const bool inside = std::any_of(ranges.begin(), ranges.end(), [&](const auto &o) {
            return o.first <= r.first && r.last <= o.last;
        });
        if (!inside)
            return false;
    }
    return true;
}

class TreeChecks
{
public:
    explicit TreeChecks(LintContext &context)
        : c(context)
    {}

    void run()
    {
        walk(c.map.tree.root);
        asciiWordNextToLetters();
    }

private:
    void walk(int index)
    {
        const Node &n = c.map.node(index);
        switch (n.kind) {
        case Node::Kind::Char:
            m_nonAscii = m_nonAscii ? m_nonAscii : (isNonAsciiLetter(n.ch) ? n.ch : char16_t(0));
            break;
        case Node::Kind::Set:
            if (c.text(c.map.span(index))[0] == u'[')
                classMembers(index);
            break;
        case Node::Kind::BackReference:
            if (std::find(m_open.begin(), m_open.end(), n.value) != m_open.end())
                c.warn("empty-backreference", c.map.span(index),
                       u"always empty here: group " + decimal(n.value) +
                           u" encloses this back-reference, and it has not closed yet");
            break;
        case Node::Kind::Alternation:
            emptyAlternatives(n);
            break;
        case Node::Kind::Repeat:
            quantifier(index, n);
            break;
        default:
            break;
        }
        if (n.kind == Node::Kind::Group)
            m_open.push_back(n.value);
        for (int child : n.children)
            walk(child);
        if (n.kind == Node::Kind::Group)
            m_open.pop_back();
    }

    void classMembers(int index)
    {
        // A POSIX class's letters are told as one warning already.
        const TextSpan &span = c.map.span(index);
        for (const Warning &w : c.out)
            if (w.code == "posix-class" && TextSpan{w.start, w.length}.contains(span))
                return;
        CharSet seen;
        for (const ClassMember *m : c.map.membersOf(index)) {
            const auto &ranges = m->members.ranges();
            for (const CharSet::Range &r : ranges)
                if (!m_nonAscii && isNonAsciiLetter(r.first))
                    m_nonAscii = r.first;
            if (!seen.empty() && covers(seen, m->members)) {
                Warning &w = c.warn("repeated-member", m->span,
                                    std::u16string(c.text(m->span)) + u" is already in this class");
                w.replacement = u"";
            } else if (ranges.size() == 1 && isUpper(ranges[0].first) && isLower(ranges[0].last)) {
                const char16_t a = ranges[0].first;
                const char16_t z = ranges[0].last;
                std::u16string replacement{a, u'-', u'Z', u'a', u'-', z};
                Warning &w =
                    c.warn("wide-range", m->span,
                           std::u16string(c.text(m->span)) +
                               u" also takes [ \\ ] ^ _ ` between Z and a: write " + replacement);
                w.replacement = replacement;
            }
            seen.add(m->members);
        }
    }

    void emptyAlternatives(const Node &n)
    {
        for (std::size_t i = 0; i < n.children.size(); ++i) {
            if (c.map.node(n.children[i]).kind != Node::Kind::Empty)
                continue;
            const int at = c.map.span(n.children[i]).start;
            c.warn("empty-alternative", TextSpan{i == 0 ? at : at - 1, 1},
                   u"an empty alternative: this part also matches the empty text");
        }
    }

    // True when the node matches no characters whatever happens.
    bool consumesNothing(int index) const
    {
        const Node &n = c.map.node(index);
        switch (n.kind) {
        case Node::Kind::Empty:
        case Node::Kind::LineStart:
        case Node::Kind::LineEnd:
        case Node::Kind::WordBoundary:
        case Node::Kind::NotWordBoundary:
        case Node::Kind::LookAhead:
        case Node::Kind::NegativeLookAhead:
            return true;
        case Node::Kind::Repeat:
            return n.max == 0 || consumesNothing(n.children.front());
        case Node::Kind::Group:
        case Node::Kind::NonCapturing:
        case Node::Kind::Sequence:
        case Node::Kind::Alternation:
            return std::all_of(n.children.begin(), n.children.end(),
                               [&](int child) { return consumesNothing(child); });
        default:
            return false;
        }
    }

    bool holdsGroup(int index) const
    {
        const Node &n = c.map.node(index);
        return n.kind == Node::Kind::Group ||
               std::any_of(n.children.begin(), n.children.end(),
                           [&](int child) { return holdsGroup(child); });
    }

    void quantifier(int index, const Node &n)
    {
        const TextSpan &whole = c.map.span(index);
        const TextSpan &atom = c.map.span(n.children.front());
        const TextSpan q{atom.end(), whole.end() - atom.end()};
        if (n.max == 0) {
            Warning &w = c.warn("useless-quantifier", whole,
                                std::u16string(c.text(q)) +
                                    u" repeats nothing: this part only matches the empty text");
            if (!holdsGroup(index))
                w.replacement = u"";
        } else if (n.min == 1 && n.max == 1) {
            Warning &w = c.warn("useless-quantifier", q,
                                std::u16string(c.text(q)) + u" changes nothing: it repeats once");
            w.replacement = u"";
        } else if (consumesNothing(n.children.front())) {
            Warning &w = c.warn("useless-quantifier", q,
                                std::u16string(c.text(q)) +
                                    u" repeats something that matches no characters");
            if (n.min >= 1)
                w.replacement = u"";
        }
    }

    void asciiWordNextToLetters()
    {
        if (!m_nonAscii)
            return;
        for (const Token &t : c.map.tokens) {
            const TextSpan span{t.start, t.length};
            const std::u16string_view s = c.text(span);
            if (s.size() != 2 || s[0] != u'\\')
                continue;
            const char16_t e = s[1];
            const bool word = e == u'w' || e == u'W';
            const bool boundary = e == u'b' || e == u'B';
            if ((word && t.kind == TokenKind::CharClass) ||
                (boundary && t.kind == TokenKind::Anchor))
                c.warn("ascii-word", span,
                       std::u16string(s) + u" knows ASCII letters only here: " +
                           shownChar(m_nonAscii) + u" in this pattern is not a word character");
        }
    }

    LintContext &c;
    std::vector<int> m_open; // the groups around the node walked
    char16_t m_nonAscii = 0; // the first letter outside ASCII in the pattern
};

} // namespace

void checkTree(LintContext &context)
{
    TreeChecks(context).run();
}

} // namespace engine::detail
