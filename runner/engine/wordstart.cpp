#include "runner/engine/wordstart.h"

namespace engine::detail {
namespace {

const Node &at(const SyntaxTree &tree, int index)
{
    return tree.nodes[static_cast<std::size_t>(index)];
}

bool opensWithWordStart(const SyntaxTree &tree, int index, CaseMode caseMode)
{
    const Node &n = at(tree, index);
    return n.kind == Node::Kind::Sequence && n.children.size() >= 2 &&
           boundaryBeforeWordChar(tree, n.children[0], n.children[1], caseMode);
}

// The characters a Char or Set node matches; false for other nodes.
bool charactersOf(const SyntaxTree &tree, const Node &n, CharSet &out)
{
    if (n.kind == Node::Kind::Char) {
        out = CharSet::range(n.ch, n.ch);
        return true;
    }
    if (n.kind != Node::Kind::Set)
        return false;
    const CharSet &set = tree.sets[static_cast<std::size_t>(n.value)];
    out = n.negate ? set.complement() : set;
    return true;
}

// The characters every match of the node can begin with, when the node is a Char or Set, maybe
// repeated at least once or in a group; false for other nodes.
bool firstCharactersOf(const SyntaxTree &tree, const Node &n, CharSet &out)
{
    const bool wraps = n.kind == Node::Kind::Group || n.kind == Node::Kind::NonCapturing ||
                       (n.kind == Node::Kind::Repeat && n.min > 0);
    if (wraps)
        return firstCharactersOf(tree, at(tree, n.children.front()), out);
    return charactersOf(tree, n, out);
}

// The set plus the other ASCII case of its letters, as PCRE2's caseless mode matches it.
CharSet withAsciiCases(const CharSet &set)
{
    CharSet out = set;
    for (const CharSet::Range &r : set.ranges()) {
        for (char16_t lower = u'a'; lower <= u'z'; ++lower) {
            const auto upper = static_cast<char16_t>(lower - u'a' + u'A');
            if ((lower >= r.first && lower <= r.last) || (upper >= r.first && upper <= r.last)) {
                out.add(lower);
                out.add(upper);
            }
        }
    }
    return out;
}

} // namespace

bool boundaryBeforeWordChar(const SyntaxTree &tree, int boundary, int next, CaseMode caseMode)
{
    // Not on folded text, whose classes hold the canonical forms as well.
    return caseMode != CaseMode::Canonical && at(tree, boundary).kind == Node::Kind::WordBoundary &&
           at(tree, next).startsWithWordChar;
}

bool startsAtWordStart(const SyntaxTree &tree, CaseMode caseMode)
{
    if (tree.root < 0)
        return false;
    const Node &root = at(tree, tree.root);
    if (root.kind != Node::Kind::Alternation)
        return opensWithWordStart(tree, tree.root, caseMode);
    for (int alternative : root.children)
        if (!opensWithWordStart(tree, alternative, caseMode))
            return false;
    return true;
}

bool searchAfterNonWord(const SyntaxTree &tree, CaseMode caseMode)
{
    if (!startsAtWordStart(tree, caseMode) || firstRunDecides(tree, caseMode))
        return false;
    const CharSet lowercase = CharSet::range(u'a', u'z');
    const auto broad = [&](int alternative) {
        CharSet first;
        if (!firstCharactersOf(tree, at(tree, at(tree, alternative).children[1]), first))
            return false;
        return lowercase.within(caseMode == CaseMode::Caseless ? withAsciiCases(first) : first);
    };
    const Node &root = at(tree, tree.root);
    if (root.kind != Node::Kind::Alternation)
        return broad(tree.root);
    for (int alternative : root.children)
        if (!broad(alternative))
            return false;
    return true;
}

bool firstRunDecides(const SyntaxTree &tree, CaseMode caseMode)
{
    if (!opensWithWordStart(tree, tree.root, caseMode))
        return false;
    const Node &lead = at(tree, tree.root);
    if (lead.children.size() < 3)
        return false;
    const Node *run = &at(tree, lead.children[1]);
    if (run->kind == Node::Kind::Group)
        run = &at(tree, run->children.front());
    CharSet runChars;
    if (run->kind != Node::Kind::Repeat || run->lazy ||
        !charactersOf(tree, at(tree, run->children.front()), runChars))
        return false;

    const Node *next = &at(tree, lead.children[2]);
    if (next->kind == Node::Kind::WordBoundary)
        return true; // the run holds word characters only
    if (next->kind == Node::Kind::Repeat && next->min > 0)
        next = &at(tree, next->children.front());
    CharSet nextChars;
    if (!charactersOf(tree, *next, nextChars))
        return false;
    if (caseMode == CaseMode::Caseless) {
        runChars = withAsciiCases(runChars);
        nextChars = withAsciiCases(nextChars);
    }
    return runChars.within(nextChars.complement());
}

} // namespace engine::detail
