#pragma once
// What a pattern says, piece by piece, in this dialect's own terms. Plain C++20, no Qt.
//
// Use: Explain(pattern, options) reads the pattern with the parser a run uses and gives a tree
// of nodes in pattern order, each with its span (UTF-16 offsets), its kind and one short line
// of what it does here ("\z: the letter z; elsewhere the end of the text: use $ without
// Multiline"). An invalid pattern gives the run's error and no nodes.

#include "runner/engine/readoptions.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

enum class ExplainKind : std::uint8_t
{
    Alternation,       // a|b: its children are the alternatives
    Alternative,       // one alternative of several items
    Empty,             // an empty alternative or pattern
    Literal,           // plain characters, adjacent ones together
    Escape,            // one character written as an escape (\n, \x41, \z, octal)
    Any,               // .
    ClassEscape,       // \d \D \w \W \s \S, also inside a class
    Class,             // [...]: its children are the members
    Member,            // one character of a class
    Range,             // a-z in a class
    LineStart,         // ^
    LineEnd,           // $
    WordBoundary,      // \b
    NotWordBoundary,   // \B
    Group,             // ( ), capturing
    NonCapturing,      // (?: )
    LookAhead,         // (?= )
    NegativeLookAhead, // (?! )
    Quantifier,        // x* x+ x? x{n,m}: the child is what repeats
    BackReference,     // \1 .. \99
};

struct ExplainNode
{
    ExplainKind kind = ExplainKind::Empty;
    int start = 0;  // UTF-16 offset in the pattern
    int length = 0; // UTF-16 code units
    int group = 0;  // the group's number (Group) or the group referred to (BackReference)
    int min = 0;    // Quantifier: the bounds, max -1 for no limit, and the lazy form
    int max = 0;
    bool lazy = false;
    std::u16string text; // one line
    std::vector<ExplainNode> children;
};

struct Explanation
{
    std::vector<ExplainNode> nodes; // the pattern's top-level items, in order
    int errorNumber = 0;            // as a run would throw, 0 for a valid pattern
    std::u16string errorDescription;
    int errorPosition = -1;
    bool valid() const { return errorNumber == 0; }
};

// Throws only std::bad_alloc.
Explanation Explain(std::u16string_view pattern, const ReadOptions &options = {});

// The kind's name in regexp-run's JSON ("literal", "group", ...).
const char *kindName(ExplainKind kind);

} // namespace engine
