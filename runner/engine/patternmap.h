#pragma once
// A pattern as the parser read it, with where each piece stands: the syntax tree, the span of
// every node and class member, and the raw spans in order. Explain and Lint both read it, so
// they follow exactly what a run would read. Offsets in UTF-16 code units.

#include "runner/engine/charset.h"
#include "runner/engine/scanner.h"
#include "runner/engine/syntaxtree.h"

#include <string>
#include <string_view>
#include <vector>

namespace engine::detail {

struct TextSpan
{
    int start = 0;
    int length = 0;
    int end() const { return start + length; }
    bool contains(const TextSpan &inner) const
    {
        return inner.start >= start && inner.end() <= end();
    }
};

struct ClassMember
{
    TextSpan span;
    CharSet members;
};

struct PatternMap
{
    SyntaxTree tree;                  // root -1 when the pattern is invalid
    std::vector<TextSpan> nodeSpans;  // by node index
    std::vector<Token> tokens;        // every span the parser told, unmerged, up to an error
    std::vector<ClassMember> members; // in pattern order
    int errorNumber = 0;
    std::u16string errorDescription;
    int errorPosition = -1;

    bool valid() const { return errorNumber == 0; }
    const Node &node(int index) const { return tree.nodes[static_cast<std::size_t>(index)]; }
    const TextSpan &span(int index) const { return nodeSpans[static_cast<std::size_t>(index)]; }
    // The class members inside a class node's span.
    std::vector<const ClassMember *> membersOf(int setNode) const;
};

// Reads pattern; a pattern error is kept in the result (with the spans read before it), never
// thrown.
PatternMap mapPattern(std::u16string_view pattern);

} // namespace engine::detail
