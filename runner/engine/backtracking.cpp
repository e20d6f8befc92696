// Lint's backtracking check: loops that can match the same text in many ways, followed by
// something that can fail. Each suspicion gets an attack text; it becomes a warning only when
// the engine's own steps on that text, at three growing lengths, grow faster than the length.

#include "runner/engine/casefold.h"
#include "runner/engine/foreignsyntax.h"
#include "runner/engine/lintchecks.h"
#include "runner/engine/regexp.h"

#include <algorithm>
#include <cmath>

namespace engine::detail {
namespace {

// Steps one attempt may take while measuring; more counts as "over".
constexpr std::uint32_t StepLimit = 100'000;
// Fewer steps than this at the longest attack say nothing either way.
constexpr std::uint64_t MeaningfulSteps = 1'000;
// The pump's first repeats; tried again four and sixteen times longer while too few steps.
constexpr int FirstRepeats = 8;
constexpr int MaxRepeats = 128;
// Suspicions measured at most per pattern.
constexpr std::size_t MaxSuspects = 8;

struct Suspect
{
    TextSpan span;
    int contextNode; // the node whose surroundings give the prefix and suffix
    int firstItem;   // for adjacent loops: the items of contextNode (a sequence) they span
    int lastItem;
    CharSet loopChars; // what the loops can start with
    std::u16string pump;
};

char16_t sampleChar(const CharSet &set)
{
    for (char16_t c : {u'a', u'0', u'x', u' ', u'A'})
        if (set.contains(c))
            return c;
    return set.ranges().empty() ? u'a' : set.ranges().front().first;
}

class Backtracking
{
public:
    Backtracking(LintContext &context, const RunControl *control)
        : c(context)
        , m_control(control)
        , m_parent(c.map.tree.nodes.size(), -1)
    {
        for (std::size_t i = 0; i < c.map.tree.nodes.size(); ++i)
            for (int child : c.map.tree.nodes[i].children)
                m_parent[static_cast<std::size_t>(child)] = static_cast<int>(i);
    }

    void run()
    {
        findSuspects(c.map.tree.root, false);
        m_engine.setPattern(c.pattern);
        m_engine.setIgnoreCase(c.options.ignoreCase);
        m_engine.setMultiline(c.options.multiline);
        for (std::size_t i = 0; i < m_suspects.size() && i < MaxSuspects; ++i) {
            if (m_control && m_control->cancelled())
                return;
            confirm(m_suspects[i]);
        }
    }

private:
    const Node &node(int index) const { return c.map.node(index); }

    CharSet setOf(int index) const
    {
        const Node &n = node(index);
        CharSet set;
        switch (n.kind) {
        case Node::Kind::Char:
            if (c.options.ignoreCase)
                for (char16_t v : caseVariants(n.ch))
                    set.add(v);
            else
                set.add(n.ch);
            return set;
        case Node::Kind::Set: {
            const CharSet &s = c.map.tree.sets[static_cast<std::size_t>(n.value)];
            return n.negate ? s.complement() : s;
        }
        case Node::Kind::Dot:
            set.add(u'\n');
            return set.complement();
        default:
            return set;
        }
    }

    // What a non-empty match of the node can start with (back-references: nothing known).
    CharSet firstChars(int index) const
    {
        const Node &n = node(index);
        switch (n.kind) {
        case Node::Kind::Char:
        case Node::Kind::Set:
        case Node::Kind::Dot:
            return setOf(index);
        case Node::Kind::Group:
        case Node::Kind::NonCapturing:
            return firstChars(n.children.front());
        case Node::Kind::Repeat:
            return n.max == 0 ? CharSet{} : firstChars(n.children.front());
        case Node::Kind::Alternation: {
            CharSet set;
            for (int child : n.children)
                set.add(firstChars(child));
            return set;
        }
        case Node::Kind::Sequence: {
            CharSet set;
            for (int child : n.children) {
                set.add(firstChars(child));
                if (!c.map.tree.nullable(child))
                    break;
            }
            return set;
        }
        default:
            return {};
        }
    }

    // A short text the node matches; with once, every loop without a limit takes a turn.
    std::u16string sample(int index, bool once = false) const
    {
        const Node &n = node(index);
        switch (n.kind) {
        case Node::Kind::Char:
            return std::u16string(1, n.ch);
        case Node::Kind::Set:
        case Node::Kind::Dot: {
            const CharSet set = setOf(index);
            return set.empty() ? std::u16string() : std::u16string(1, sampleChar(set));
        }
        case Node::Kind::Group:
        case Node::Kind::NonCapturing:
        case Node::Kind::Alternation:
            return sample(n.children.front(), once);
        case Node::Kind::Sequence: {
            std::u16string out;
            for (int child : n.children)
                out += sample(child, once);
            return out;
        }
        case Node::Kind::Repeat: {
            std::u16string out;
            const std::u16string turn = sample(n.children.front(), once);
            const int turns = std::min(std::max(n.min, once && n.max == -1 ? 1 : 0), 64);
            for (int i = 0; i < turns; ++i)
                out += turn;
            return out;
        }
        default:
            return {};
        }
    }

    // The loop inside node (through groups and sequences) that can repeat without limit.
    bool holdsOpenLoop(int index) const
    {
        const Node &n = node(index);
        if (n.kind == Node::Kind::LookAhead || n.kind == Node::Kind::NegativeLookAhead)
            return false;
        if (n.kind == Node::Kind::Repeat && (n.max == -1 || n.max > 8))
            return true;
        return std::any_of(n.children.begin(), n.children.end(),
                           [&](int child) { return holdsOpenLoop(child); });
    }

    // Alternatives that can start with the same character.
    bool holdsOverlappingAlternatives(int index) const
    {
        const Node &n = node(index);
        if (n.kind == Node::Kind::Alternation) {
            CharSet seen;
            for (int child : n.children) {
                const CharSet first = firstChars(child);
                for (const CharSet::Range &r : first.ranges())
                    for (char16_t ch = r.first;; ++ch) {
                        if (seen.contains(ch))
                            return true;
                        if (ch == r.last || ch - r.first > 256)
                            break;
                    }
                seen.add(first);
            }
        }
        if (n.kind == Node::Kind::LookAhead || n.kind == Node::Kind::NegativeLookAhead)
            return false;
        return std::any_of(n.children.begin(), n.children.end(),
                           [&](int child) { return holdsOverlappingAlternatives(child); });
    }

    static bool isOpenLoop(const Node &n) { return n.kind == Node::Kind::Repeat && n.max == -1; }

    // The open loop a sequence item is, through groups; -1 if none.
    int loopOf(int index) const
    {
        const Node &n = node(index);
        if (isOpenLoop(n))
            return index;
        if ((n.kind == Node::Kind::Group || n.kind == Node::Kind::NonCapturing))
            return loopOf(n.children.front());
        return -1;
    }

    void findSuspects(int index, bool underLookAhead)
    {
        const Node &n = node(index);
        const bool look = underLookAhead || n.kind == Node::Kind::LookAhead ||
                          n.kind == Node::Kind::NegativeLookAhead;
        if (!look && n.kind == Node::Kind::Repeat && (n.max == -1 || n.max > 8)) {
            const int body = n.children.front();
            if (holdsOpenLoop(body) || holdsOverlappingAlternatives(body)) {
                const std::u16string pump = sample(body, true);
                if (!pump.empty())
                    m_suspects.push_back(
                        Suspect{c.map.span(index), index, -1, -1, firstChars(body), pump});
            }
        }
        if (!look && n.kind == Node::Kind::Sequence)
            adjacentLoops(index, n);
        for (int child : n.children)
            findSuspects(child, look);
    }

    void adjacentLoops(int index, const Node &n)
    {
        for (std::size_t i = 0; i + 1 < n.children.size(); ++i) {
            const int a = loopOf(n.children[i]);
            if (a < 0)
                continue;
            // The next loop, over optional items between.
            for (std::size_t j = i + 1; j < n.children.size(); ++j) {
                const int b = loopOf(n.children[j]);
                if (b >= 0) {
                    addAdjacent(index, i, j, a, b);
                    break;
                }
                if (!c.map.tree.nullable(n.children[j]))
                    break;
            }
        }
    }

    void addAdjacent(int sequence, std::size_t i, std::size_t j, int a, int b)
    {
        const CharSet first = firstChars(a);
        const CharSet second = firstChars(b);
        CharSet both = first.complement();
        both.add(second.complement());
        both = both.complement();
        if (both.empty())
            return;
        const Node &seq = node(sequence);
        const TextSpan &from = c.map.span(seq.children[i]);
        const TextSpan &to = c.map.span(seq.children[j]);
        CharSet loops = first;
        loops.add(second);
        m_suspects.push_back(Suspect{TextSpan{from.start, to.end() - from.start}, sequence,
                                     static_cast<int>(i), static_cast<int>(j), loops,
                                     std::u16string(1, sampleChar(both))});
    }

    // The samples of what stands before and after the suspect, out to the whole pattern.
    Attack attackFor(const Suspect &s) const
    {
        Attack attack;
        std::u16string before;
        std::u16string after;
        if (s.firstItem >= 0) {
            const Node &seq = node(s.contextNode);
            for (int k = 0; k < s.firstItem; ++k)
                before += sample(seq.children[static_cast<std::size_t>(k)]);
            for (std::size_t k = static_cast<std::size_t>(s.lastItem) + 1; k < seq.children.size();
                 ++k)
                after += sample(seq.children[k]);
        }
        for (int at = s.contextNode, up = m_parent[static_cast<std::size_t>(at)]; up >= 0;
             at = up, up = m_parent[static_cast<std::size_t>(up)]) {
            const Node &p = node(up);
            if (p.kind != Node::Kind::Sequence)
                continue;
            const auto self = std::find(p.children.begin(), p.children.end(), at);
            std::u16string left;
            for (auto k = p.children.begin(); k != self; ++k)
                left += sample(*k);
            before = left + before;
            for (auto k = self + 1; k != p.children.end(); ++k)
                after += sample(*k);
        }
        char16_t fail = u'!';
        for (char16_t candidate : {u'!', u'\u0001', u'#', u'\n', u'-'}) {
            if (!s.loopChars.contains(candidate)) {
                fail = candidate;
                break;
            }
        }
        attack.prefix = before;
        attack.pump = s.pump;
        attack.suffix = std::u16string(1, fail) + after;
        return attack;
    }

    // Steps of the attempt at the attack's start; StepLimit when over.
    std::uint64_t steps(RegExp &re, const Attack &attack, int repeats) const
    {
        const std::uint64_t n = re.StepsAt(attack.text(repeats), 0, StepLimit);
        return n == 0 ? StepLimit : n;
    }

    void confirm(const Suspect &s)
    {
        for (const Warning &w : c.out)
            if (w.code == std::string("backtracking") &&
                TextSpan{w.start, w.length}.contains(s.span))
                return;
        RegExp &re = m_engine;
        const Attack attack = attackFor(s);
        try {
            const std::uint64_t base = steps(re, attack, 0);
            // Longer while the steps say too little, shorter while the middle length is over.
            int n = FirstRepeats;
            for (int tries = 0; tries < 4; ++tries) {
                if (m_control && m_control->cancelled())
                    return;
                const std::array<std::uint64_t, 3> measured{
                    steps(re, attack, n), steps(re, attack, 2 * n), steps(re, attack, 3 * n)};
                if (measured[1] >= StepLimit && n > 1) {
                    n /= 2;
                    continue;
                }
                if (measured[2] >= MeaningfulSteps + base) {
                    judge(s, attack, base, n, measured);
                    return;
                }
                if (n * 4 > MaxRepeats)
                    return;
                n *= 4;
            }
        } catch (const RegExpError &) {
            // A translation the engine refuses gives no warning.
        }
    }

    void judge(const Suspect &s, const Attack &attack, std::uint64_t base, int n,
               const std::array<std::uint64_t, 3> &measured)
    {
        const auto grown = [&](std::size_t i) {
            return std::max<double>(1.0,
                                    static_cast<double>(measured[i]) - static_cast<double>(base));
        };
        const double slopeFirst = std::log(grown(1) / grown(0)) / std::log(2.0);
        const double slopeLast = std::log(grown(2) / grown(1)) / std::log(1.5);
        const bool over = measured[2] >= StepLimit;
        if (slopeLast < 1.5 && !(over && slopeFirst >= 1.5))
            return;
        const bool exponential =
            (over && slopeFirst >= 3.0) || (slopeLast >= 3.0 && slopeLast > slopeFirst * 1.3);
        Warning &w = c.warn("backtracking", s.span, {});
        w.attack = attack;
        w.exponential = exponential;
        w.repeats = {n, 2 * n, 3 * n};
        std::u16string figures;
        for (std::size_t i = 0; i < 3; ++i) {
            const bool atLimit = measured[i] >= StepLimit;
            w.steps.push_back(atLimit ? 0 : measured[i]);
            figures += (i ? u", " : u"") + std::u16string(atLimit ? u"over " : u"") +
                       decimal(static_cast<long long>(measured[i])) + u" at " +
                       decimal(w.repeats[i]) + u" \u00D7 \"" + attack.pump + u"\"";
        }
        w.text = std::u16string(exponential ? u"backtracking grows exponentially"
                                            : u"backtracking grows polynomially") +
                 u" with the text: steps " + figures;
    }

    LintContext &c;
    const RunControl *m_control;
    std::vector<int> m_parent;
    std::vector<Suspect> m_suspects;
    RegExp m_engine; // compiled once for all the suspects
};

} // namespace

void checkBacktracking(LintContext &context, const RunControl *control)
{
    Backtracking(context, control).run();
}

} // namespace engine::detail
