#include "runner/engine/patternmap.h"

#include "runner/engine/regexp.h"

namespace engine::detail {
namespace {

class MapSink : public ParseSink
{
public:
    explicit MapSink(PatternMap &map)
        : m_map(map)
    {}

    void span(std::size_t start, std::size_t length, TokenKind kind, int group) override
    {
        m_map.tokens.push_back(
            Token{static_cast<int>(start), static_cast<int>(length), kind, -1, group});
    }
    void node(int index, std::size_t start, std::size_t length) override
    {
        const auto at = static_cast<std::size_t>(index);
        if (m_map.nodeSpans.size() <= at)
            m_map.nodeSpans.resize(at + 1);
        m_map.nodeSpans[at] = TextSpan{static_cast<int>(start), static_cast<int>(length)};
    }
    void classMember(std::size_t start, std::size_t length, const CharSet &members) override
    {
        m_map.members.push_back(
            ClassMember{TextSpan{static_cast<int>(start), static_cast<int>(length)}, members});
    }

private:
    PatternMap &m_map;
};

} // namespace

std::vector<const ClassMember *> PatternMap::membersOf(int setNode) const
{
    std::vector<const ClassMember *> inside;
    const TextSpan &outer = span(setNode);
    for (const ClassMember &m : members)
        if (outer.contains(m.span))
            inside.push_back(&m);
    return inside;
}

PatternMap mapPattern(std::u16string_view pattern)
{
    PatternMap map;
    MapSink sink(map);
    try {
        map.tree = parsePattern(pattern, &sink);
        map.nodeSpans.resize(map.tree.nodes.size());
    } catch (const RegExpError &error) {
        map.tree = SyntaxTree{};
        map.nodeSpans.clear();
        map.errorNumber = error.number();
        map.errorDescription = error.description();
        map.errorPosition = error.position();
    }
    return map;
}

} // namespace engine::detail
