#pragma once
// The parsed form of a pattern: a pool of nodes, the root last.

#include "runner/engine/charset.h"
#include "runner/engine/scanner.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace engine::detail {

struct Node
{
    enum class Kind : std::uint8_t
    {
        Empty,
        Char,         // ch
        Set,          // value: index into SyntaxTree::sets; negate
        Dot,          // any code unit but LF
        LineStart,    // ^
        LineEnd,      // $
        WordBoundary, // \b
        NotWordBoundary,
        BackReference, // group
        Group,         // capturing; group is its number from 1
        NonCapturing,
        LookAhead,
        NegativeLookAhead,
        Alternation,
        Sequence,
        Repeat, // min, max (-1: no limit), lazy
    };
    Kind kind = Kind::Empty;
    bool lazy = false;   // Repeat: the lazy form
    bool negate = false; // Set: a negated class, [^...]
    char16_t ch = 0;
    int value = 0; // set index or group number
    int min = 0;
    int max = 0;
    // The pattern text the node was read from (terms, quantified terms and alternatives).
    int start = 0;
    int length = 0;
    std::vector<int> children;

    // Worked out once, as the node joins the tree (its children are already there).
    bool canMatchEmpty = true;
    bool holdsGroup = false;         // it or a node inside it is a capturing group
    bool startsAtLineStart = false;  // every match of it begins with ^
    bool startsWithWordChar = false; // every match of it begins with a character of \w
};

struct SyntaxTree
{
    std::vector<Node> nodes;
    std::vector<CharSet> sets;
    int root = -1;
    int groupCount = 0;
    bool hasBackReference = false;
    bool hasLineAnchor = false;

    // True when the node can match the empty text.
    bool nullable(int node) const { return nodes[static_cast<std::size_t>(node)].canMatchEmpty; }
    // True when every match of the whole pattern begins with ^.
    bool startsAtLineStart() const
    {
        return root >= 0 && nodes[static_cast<std::size_t>(root)].startsAtLineStart;
    }
    // True when every literal and class folds among ASCII only under IgnoreCase, so that a
    // caseless ASCII mode gives exactly the dialect's matches.
    bool asciiFoldingSuffices() const;
};

// Parses a pattern; throws RegExpError with the dialect's number and the offset in the pattern.
// A sink, if given, is told each span as it is recognised.
SyntaxTree parsePattern(std::u16string_view pattern, ParseSink *sink = nullptr);

} // namespace engine::detail
