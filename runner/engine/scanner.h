#pragma once
// How the engine reads a pattern, span by span, for showing it: what each part of the pattern
// is (a literal, a group bracket, a quantifier, ...), which brackets pair up, which group each
// capturing "(" opens, and the first error. Plain C++20, no Qt; offsets and lengths in UTF-16
// code units, as everywhere in the engine.
//
// Use: Scan(pattern) runs the same parser that Execute, Test and Replace check a pattern with,
// so every span is read as a run would read it and the error is the one a run would throw. It
// neither compiles nor matches; its cost grows with the pattern's length.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

// What a span of the pattern is.
enum class TokenKind : std::uint8_t
{
    Literal,        // characters that match themselves (a class's members as well)
    Escape,         // a character given by code: \f \n \r \t \v \cX \xhh \uhhhh \0, octal, and
                    // \b in a class
    IdentityEscape, // a backslash and the character it stands for: \z \A \p \x (in \x4), \c
                    // (in \c1)
    CharClass,      // . \d \D \w \W \s \S, a class's "[" (or "[^") and "]", a range's "-"
                    // (a "-" next to a class escape is a Literal member)
    Group,          // "(" "(?:" "(?=" "(?!" and ")"
    Alternation,    // |
    Quantifier,     // * + ? {n} {n,} {n,m}
    LazyQuantifier, // the same followed by ?
    Anchor,         // ^ $ \b \B
    BackReference,  // \1 ... \99 naming a group to its left
};

struct Token
{
    int start = 0;
    int length = 0;
    TokenKind kind = TokenKind::Literal;
    // For a group's or class's opening or closing bracket: the offset of its partner, or -1
    // where the pattern ends before the partner.
    int partner = -1;
    // For a capturing group's "(": its number from 1; else 0.
    int group = 0;
};

struct ScanResult
{
    // In pattern order, without gaps up to the error (to the end of a valid pattern); adjacent
    // literals form one span.
    std::vector<Token> tokens;
    // The error a run would throw for this pattern (number 0: the pattern is valid), with its
    // description and offset.
    int errorNumber = 0;
    std::u16string errorDescription;
    int errorPosition = -1;
    // For error 5019 or 5020: the offset of the "[" or "(" that is not closed; else -1.
    int unclosedBracket = -1;

    bool valid() const { return errorNumber == 0; }
};

// Reads pattern. A pattern error is reported in the result, never thrown; only running out of
// memory throws (std::bad_alloc).
ScanResult Scan(std::u16string_view pattern);

namespace detail {
class CharSet;

// Told by the parser (parsePattern in syntaxtree.h) about each span it recognises, in pattern
// order.
class ParseSink
{
public:
    virtual ~ParseSink() = default;
    // group: the number of a capturing group on its "(", else 0.
    virtual void span(std::size_t start, std::size_t length, TokenKind kind, int group) = 0;
    // The text a node of the syntax tree (its index in SyntaxTree::nodes) was read from; told
    // again when a larger node reuses it with the same span.
    virtual void node(int /*index*/, std::size_t /*start*/, std::size_t /*length*/) {}
    // One member of a class (a character, a range, or a class escape) and what it adds; a range
    // with a class escape at one end is told as its three members.
    virtual void classMember(std::size_t /*start*/, std::size_t /*length*/,
                             const CharSet & /*members*/)
    {}
};
} // namespace detail

} // namespace engine
