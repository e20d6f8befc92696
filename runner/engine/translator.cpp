#include "runner/engine/translator.h"

#include "runner/engine/casefold.h"
#include "runner/engine/invariant.h"
#include "runner/engine/regexp.h"
#include "runner/engine/wordstart.h"

#include <algorithm>
#include <optional>

namespace engine::detail {
namespace {

class Translator
{
public:
    // The search shortcuts a translation may take at the start of the pattern.
    enum class Lead : std::uint8_t
    {
        Plain,
        AfterNonWord,     // see translateAfterNonWord
        SkipAfterFirstRun // see translateSkippingFailedRuns
    };

    Translator(const SyntaxTree &tree, CaseMode caseMode, LineMode lineMode, bool withSpans,
               Lead lead = Lead::Plain)
        : m_tree(tree)
        , m_caseMode(caseMode)
        , m_lineMode(lineMode)
        , m_withSpans(withSpans)
        , m_afterNonWord(lead == Lead::AfterNonWord)
        , m_skipAfterFirstRun(lead == Lead::SkipAfterFirstRun)
    {
        m_out.groupNumbers.assign(static_cast<std::size_t>(tree.groupCount), 0);
    }

    Translation run()
    {
        const Node &root = node(m_tree.root);
        m_closer = {root.start + root.length, 0};
        emit(m_tree.root);
        mapTo(m_closer);
        return std::move(m_out);
    }

private:
    const Node &node(int index) const { return m_tree.nodes[static_cast<std::size_t>(index)]; }

    void text(std::u16string_view s) { m_out.pattern += s; }

    // A part of the pattern: start and length.
    struct Part
    {
        int start;
        int length;
    };
    static Part partOf(const Node &n) { return {n.start, n.length}; }
    // The quantifier of a Repeat node.
    Part quantifierOf(const Node &n) const
    {
        const Node &child = node(n.children.front());
        const int end = child.start + child.length;
        return {end, n.start + n.length - end};
    }

    // The text from here on stands for part of the pattern.
    void mapTo(Part part)
    {
        if (!m_withSpans)
            return;
        const auto offset = static_cast<std::uint32_t>(m_out.pattern.size());
        if (!m_out.spans.empty() && m_out.spans.back().offset == offset)
            m_out.spans.pop_back();
        m_out.spans.push_back({offset, part.start, part.length});
    }

    void number(long long v)
    {
        for (char c : std::to_string(v))
            m_out.pattern += static_cast<char16_t>(c);
    }

    void literal(char16_t c)
    {
        if (m_caseMode == CaseMode::Canonical)
            c = canonical(c);
        if ((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z')) {
            m_out.pattern += c;
            return;
        }
        static constexpr char digits[] = "0123456789abcdef";
        text(u"\\x{");
        m_out.pattern += static_cast<char16_t>(digits[(c >> 12) & 0xF]);
        m_out.pattern += static_cast<char16_t>(digits[(c >> 8) & 0xF]);
        m_out.pattern += static_cast<char16_t>(digits[(c >> 4) & 0xF]);
        m_out.pattern += static_cast<char16_t>(digits[c & 0xF]);
        m_out.pattern += u'}';
    }

    void set(const Node &n)
    {
        const CharSet &s = m_tree.sets[static_cast<std::size_t>(n.value)];
        if (m_caseMode == CaseMode::Canonical)
            text(s.withCanonicalForms().pcreText(n.negate));
        else
            text(s.pcreText(n.negate));
    }

    int newGroup() { return ++m_out.pcreGroupCount; }

    void emit(int index)
    {
        if (m_out.pattern.size() > limits::MaxTranslatedLength)
            throw RegExpError(errors::EngineFailure,
                              u"The pattern cannot be compiled: regular expression is too large.",
                              -1);
        const Node &n = node(index);
        if (n.kind < Node::Kind::Group) // a single item
            mapTo(partOf(n));
        switch (n.kind) {
        case Node::Kind::Empty:
            break;
        case Node::Kind::Char:
            literal(n.ch);
            break;
        case Node::Kind::Set:
            set(n);
            break;
        case Node::Kind::Dot:
            text(u".");
            break;
        case Node::Kind::LineStart:
            text(m_lineMode == LineMode::Lookaround ? u"(?<![^\\n\\r])" : u"^");
            break;
        case Node::Kind::LineEnd:
            text(m_lineMode == LineMode::Lookaround ? u"(?![^\\n\\r])" : u"$");
            break;
        case Node::Kind::WordBoundary:
            text(u"\\b");
            break;
        case Node::Kind::NotWordBoundary:
            text(u"\\B");
            break;
        case Node::Kind::BackReference: {
            const int group = m_out.groupNumbers[static_cast<std::size_t>(n.value - 1)];
            if (group == 0)
                break; // its group is under {0}: never set, so the reference matches empty
            text(u"\\g{");
            number(group);
            text(u"}");
            break;
        }
        case Node::Kind::Group:
            m_out.groupNumbers[static_cast<std::size_t>(n.value - 1)] = newGroup();
            group(u"(", n);
            break;
        case Node::Kind::NonCapturing:
            group(u"(?:", n);
            break;
        case Node::Kind::LookAhead:
            group(u"(?=", n);
            break;
        case Node::Kind::NegativeLookAhead:
            group(u"(?!", n);
            break;
        case Node::Kind::Alternation:
            for (std::size_t i = 0; i < n.children.size(); ++i) {
                if (i) {
                    mapTo(m_closer); // the end of an alternative
                    text(u"|");
                }
                emit(n.children[i]);
            }
            break;
        case Node::Kind::Sequence:
            for (std::size_t i = 0; i < n.children.size(); ++i) {
                if (i + 1 < n.children.size() && wordStart(n.children[i], n.children[i + 1]))
                    continue;
                emit(n.children[i]);
                // A try that fails after the first run of the word goes on at the run's end.
                if (i == 1 && m_skipAfterFirstRun && index == m_tree.root)
                    text(u"(*SKIP)");
            }
            break;
        case Node::Kind::Repeat:
            repeat(n);
            break;
        }
    }

    // Emits \b before an item that begins with a word character as the lookbehind it then
    // amounts to, which PCRE2 tries faster; false (nothing emitted) otherwise.
    bool wordStart(int boundary, int next)
    {
        if (!boundaryBeforeWordChar(m_tree, boundary, next, m_caseMode))
            return false;
        mapTo(partOf(node(boundary)));
        if (m_afterNonWord && opensAlternative(boundary)) {
            text(CharSet::wordChars().pcreText(true));
            text(u"\\K");
            return true;
        }
        text(u"(?<!");
        text(CharSet::wordChars().pcreText());
        text(u")");
        return true;
    }

    // True when the node is the first item of a top-level alternative.
    bool opensAlternative(int item) const
    {
        const auto opens = [&](int sequence) {
            const Node &n = node(sequence);
            return n.kind == Node::Kind::Sequence && !n.children.empty() &&
                   n.children.front() == item;
        };
        const Node &root = node(m_tree.root);
        if (root.kind != Node::Kind::Alternation)
            return opens(m_tree.root);
        return std::any_of(root.children.begin(), root.children.end(), opens);
    }

    // A group of the pattern: its ")" closes each alternative inside.
    void group(std::u16string_view open, const Node &n)
    {
        mapTo({n.start, static_cast<int>(open.size())});
        text(open);
        const Part outer = m_closer;
        m_closer = {n.start + n.length - 1, 1};
        emit(n.children.front());
        mapTo(m_closer);
        text(u")");
        m_closer = outer;
    }

    void bracket(std::u16string_view open, int child)
    {
        mapTo(partOf(node(child)));
        text(open);
        emit(child);
        text(u")");
    }

    // The child of a quantifier, bracketed unless it is a single item. A back-reference is
    // bracketed too: PCRE2 10.42's JIT fails a counted repeat of a reference to an unset group.
    void atom(int child)
    {
        switch (node(child).kind) {
        case Node::Kind::Char:
        case Node::Kind::Set:
        case Node::Kind::Dot:
        case Node::Kind::Group:
        case Node::Kind::NonCapturing:
            emit(child);
            break;
        default:
            bracket(u"(?:", child);
        }
    }

    // ownPart: the quantifier's text stands for the loop's quantifier (else for the item before).
    void quantifier(int min, int max, bool lazy, bool ownPart = true)
    {
        if (ownPart)
            mapTo(m_loop);
        if (min == 0 && max < 0) {
            text(u"*");
        } else if (min == 1 && max < 0) {
            text(u"+");
        } else if (min == 0 && max == 1) {
            text(u"?");
        } else if (min == 1 && max == 1) {
            return;
        } else {
            text(u"{");
            number(min);
            if (max != min) {
                text(u",");
                if (max >= 0)
                    number(max);
            }
            text(u"}");
        }
        if (lazy)
            text(u"?");
    }

    void callout(IterationCheck::Kind kind, int group)
    {
        mapTo(m_loop);
        const std::size_t id = m_out.checks.size();
        m_out.checks.push_back({kind, group});
        // The check's index as a string callout (see CompiledPattern's callout entry).
        text(u"(?C{");
        number(static_cast<long long>(id));
        text(u"})");
    }

    // An empty group whose start marks where the match stood.
    int mark()
    {
        mapTo(m_loop);
        text(u"()");
        return newGroup();
    }

    void repeat(const Node &n)
    {
        if (n.max == 0)
            return; // matches the empty text; the groups inside take no part
        const Part outer = m_loop;
        m_loop = quantifierOf(n);
        loop(n);
        m_loop = outer;
    }

    // The text of a loop: its own parts stand for the quantifier.
    void loop(const Node &n)
    {
        const int child = n.children.front();
        const bool canGrow = n.max < 0 || n.max > n.min;
        if (!canGrow || !m_tree.nullable(child)) {
            atom(child);
            // PCRE2 reads a single item and its quantifier as one item.
            const Node::Kind kind = node(child).kind;
            const bool oneItem =
                kind == Node::Kind::Char || kind == Node::Kind::Set || kind == Node::Kind::Dot;
            if (oneItem && m_withSpans)
                m_out.spans.back() = {m_out.spans.back().offset, n.start, n.length};
            quantifier(n.min, n.max, n.lazy, !oneItem);
            return;
        }
        // Iterations below the minimum may match nothing; any later one must consume text.
        const int extra = n.max < 0 ? -1 : n.max - n.min;
        if (n.min == 0) {
            optionalIterations(child, extra, n.lazy);
        } else if (!node(child).holdsGroup) {
            atom(child);
            quantifier(n.min, n.min, false);
            optionalIterations(child, extra, n.lazy);
        } else {
            sharedGroupsLoop(child, n.min, extra, n.lazy);
        }
    }

    // Up to max iterations (-1: no limit), none of them empty.
    void optionalIterations(int child, int max, bool lazy)
    {
        mapTo(m_loop);
        text(u"(?:");
        const int start = mark();
        emit(child);
        callout(IterationCheck::Kind::RejectEmpty, start);
        text(u")");
        quantifier(0, max, lazy);
    }

    // Where a loop's body stands in one alternative of its branch-reset group: its groups are
    // numbered after `first` up to `last`, and `end` is the mark that closes a first pass.
    struct BodyNumbers
    {
        int first;
        int last;
        int end;
        bool operator==(const BodyNumbers &) const = default;
    };

    // A branch-reset group "(?|...)" of the given alternatives, in order. Each numbers its groups
    // from the count before the group, and those that hold the loop's body number it alike;
    // afterwards the count is the largest one an alternative reached.
    template<class... Alternatives>
    void branchReset(const Alternatives &...alternatives)
    {
        text(u"(?|");
        const int base = m_out.pcreGroupCount;
        int top = base;
        std::optional<BodyNumbers> numbered;
        bool first = true;
        const auto add = [&](const auto &alternative) {
            if (!first)
                text(u"|");
            first = false;
            m_out.pcreGroupCount = base;
            if (const std::optional<BodyNumbers> numbers = alternative()) {
                ENGINE_INVARIANT(!numbered || *numbered == *numbers);
                numbered = numbers;
            }
            top = std::max(top, m_out.pcreGroupCount);
        };
        (add(alternatives), ...);
        text(u")");
        m_out.pcreGroupCount = top;
    }

    // The minimum and the further iterations as one PCRE2 loop over a branch-reset group, so
    // that the groups inside have one number each: the first pass takes the whole minimum, the
    // later ones a single non-empty iteration each, or leave at once. The loop has a minimum of
    // two so that PCRE2 does not end it after a first pass that matched nothing.
    void sharedGroupsLoop(int child, int min, int extra, bool lazy)
    {
        const int before = mark();
        int firstEnd = 0;
        const auto firstPass = [&]() -> std::optional<BodyNumbers> {
            callout(IterationCheck::Kind::First, before);
            mark(); // where a later pass marks its start
            const int first = m_out.pcreGroupCount;
            atom(child);
            quantifier(min, min, false);
            const int last = m_out.pcreGroupCount;
            firstEnd = mark();
            return BodyNumbers{first, last, firstEnd};
        };
        const auto laterPass = [&]() -> std::optional<BodyNumbers> {
            callout(IterationCheck::Kind::Later, before);
            const int start = mark();
            const int first = m_out.pcreGroupCount;
            emit(child);
            const int last = m_out.pcreGroupCount;
            callout(IterationCheck::Kind::RejectEmpty, start);
            const int end = mark();
            mark(); // closed last, so that Exit tells the first pass from a later one
            return BodyNumbers{first, last, end};
        };
        const auto leave = [&]() -> std::optional<BodyNumbers> {
            callout(IterationCheck::Kind::Exit, firstEnd);
            return std::nullopt;
        };
        text(u"(?:");
        if (lazy)
            branchReset(firstPass, leave, laterPass);
        else
            branchReset(firstPass, laterPass, leave);
        text(u")");
        quantifier(2, extra < 0 ? -1 : extra + 1, lazy);
    }

    const SyntaxTree &m_tree;
    CaseMode m_caseMode;
    LineMode m_lineMode;
    bool m_withSpans;
    bool m_afterNonWord;      // the leading \b of each alternative as a non-word character and \K
    bool m_skipAfterFirstRun; // see firstRunDecides
    Translation m_out;
    Part m_closer{0, 0}; // what ends the alternatives being emitted
    Part m_loop{0, 0};   // the quantifier of the loop being emitted
};

} // namespace

// The verdicts of the checks that optionalIterations and sharedGroupsLoop place.
bool IterationCheck::rejects(const std::size_t *ovector, std::uint32_t captureTop,
                             std::uint32_t captureLast, std::size_t position) const
{
    const auto mark = static_cast<std::uint32_t>(group);
    switch (kind) {
    case Kind::RejectEmpty:
        return mark < captureTop && ovector[2 * mark] == position;
    case Kind::First:
    case Kind::Exit:
        return captureLast != mark;
    case Kind::Later:
        return captureLast == mark;
    }
    return false;
}

Translation translate(const SyntaxTree &tree, CaseMode caseMode, LineMode lineMode, bool withSpans)
{
    return Translator(tree, caseMode, lineMode, withSpans).run();
}

Translation translateAfterNonWord(const SyntaxTree &tree, CaseMode caseMode, LineMode lineMode)
{
    ENGINE_INVARIANT(searchAfterNonWord(tree, caseMode));
    return Translator(tree, caseMode, lineMode, false, Translator::Lead::AfterNonWord).run();
}

Translation translateSkippingFailedRuns(const SyntaxTree &tree, CaseMode caseMode,
                                        LineMode lineMode)
{
    ENGINE_INVARIANT(firstRunDecides(tree, caseMode));
    return Translator(tree, caseMode, lineMode, false, Translator::Lead::SkipAfterFirstRun).run();
}

CaseMode caseModeFor(const SyntaxTree &tree, bool ignoreCase)
{
    if (!ignoreCase)
        return CaseMode::Exact;
    return !tree.hasBackReference && tree.asciiFoldingSuffices() ? CaseMode::Caseless
                                                                 : CaseMode::Canonical;
}

LineMode lineModeFor(const SyntaxTree &tree, bool multiline, std::u16string_view text)
{
    if (!multiline || !tree.hasLineAnchor)
        return LineMode::TextEdges;
    return text.find(u'\r') != std::u16string_view::npos ? LineMode::Lookaround : LineMode::Native;
}

int checkIteration(const std::vector<IterationCheck> &checks, int id, const std::size_t *ovector,
                   std::uint32_t captureTop, std::uint32_t captureLast, std::size_t position)
{
    if (id < 0 || static_cast<std::size_t>(id) >= checks.size())
        return 0;
    return checks[static_cast<std::size_t>(id)].rejects(ovector, captureTop, captureLast, position)
               ? 1
               : 0;
}

} // namespace engine::detail
