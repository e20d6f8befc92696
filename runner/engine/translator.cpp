#include "runner/engine/translator.h"

#include "runner/engine/casefold.h"

namespace engine::detail {
namespace {

class Translator
{
public:
    Translator(const SyntaxTree &tree, CaseMode caseMode, LineMode lineMode)
        : m_tree(tree)
        , m_caseMode(caseMode)
        , m_lineMode(lineMode)
    {
        m_out.groupNumbers.assign(static_cast<std::size_t>(tree.groupCount), 0);
    }

    Translation run()
    {
        emit(m_tree.root);
        return std::move(m_out);
    }

private:
    const Node &node(int index) const { return m_tree.nodes[static_cast<std::size_t>(index)]; }

    void text(std::u16string_view s) { m_out.pattern += s; }

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
        const Node &n = node(index);
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
        case Node::Kind::BackReference:
            text(u"\\g{");
            number(m_out.groupNumbers[static_cast<std::size_t>(n.value - 1)]);
            text(u"}");
            break;
        case Node::Kind::Group:
            m_out.groupNumbers[static_cast<std::size_t>(n.value - 1)] = newGroup();
            text(u"(");
            emit(n.children.front());
            text(u")");
            break;
        case Node::Kind::NonCapturing:
            bracket(u"(?:", n.children.front());
            break;
        case Node::Kind::LookAhead:
            bracket(u"(?=", n.children.front());
            break;
        case Node::Kind::NegativeLookAhead:
            bracket(u"(?!", n.children.front());
            break;
        case Node::Kind::Alternation:
            for (std::size_t i = 0; i < n.children.size(); ++i) {
                if (i)
                    text(u"|");
                emit(n.children[i]);
            }
            break;
        case Node::Kind::Sequence:
            for (int child : n.children)
                emit(child);
            break;
        case Node::Kind::Repeat:
            repeat(n);
            break;
        }
    }

    void bracket(std::u16string_view open, int child)
    {
        text(open);
        emit(child);
        text(u")");
    }

    void repeat(const Node &n)
    {
        const int child = n.children.front();
        const bool canGrow = n.max < 0 || n.max > n.min;
        if (canGrow && m_tree.nullable(child)) {
            EmptyIterationCheck check{0, -1};
            if (n.min > 0) {
                check.loopStartGroup = newGroup();
                text(u"()");
            }
            text(u"(?:");
            check.iterationGroup = newGroup();
            text(u"(");
            emit(child);
            text(u")");
            const std::size_t id = m_out.checks.size();
            m_out.checks.push_back(check);
            if (id < 255) {
                text(u"(?C");
                number(static_cast<long long>(id) + 1);
                text(u")");
            } else {
                text(u"(?C{");
                number(static_cast<long long>(id));
                text(u"})");
            }
            text(u")");
        } else {
            switch (node(child).kind) {
            case Node::Kind::Char:
            case Node::Kind::Set:
            case Node::Kind::Dot:
            case Node::Kind::Group:
            case Node::Kind::NonCapturing:
            case Node::Kind::BackReference:
                emit(child);
                break;
            default:
                bracket(u"(?:", child);
            }
        }
        if (n.min == 0 && n.max < 0) {
            text(u"*");
        } else if (n.min == 1 && n.max < 0) {
            text(u"+");
        } else if (n.min == 0 && n.max == 1) {
            text(u"?");
        } else {
            text(u"{");
            number(n.min);
            if (n.max != n.min) {
                text(u",");
                if (n.max >= 0)
                    number(n.max);
            }
            text(u"}");
        }
        if (n.lazy)
            text(u"?");
    }

    const SyntaxTree &m_tree;
    CaseMode m_caseMode;
    LineMode m_lineMode;
    Translation m_out;
};

} // namespace

Translation translate(const SyntaxTree &tree, CaseMode caseMode, LineMode lineMode)
{
    return Translator(tree, caseMode, lineMode).run();
}

} // namespace engine::detail
