#pragma once
// A replacement text split once into its pieces: literal text, $&, $`, $' and $n / $nn.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace engine::detail {

// Where a piece of the replacement stands in its text (offsets in UTF-16 code units).
struct ReplacementSpan
{
    enum class Kind : std::uint8_t
    {
        Text,   // plain text, also a "$" that stays as written
        Dollar, // $$
        Match,  // $&
        Before, // $`
        After,  // $'
        Group,  // $n, $nn
    };
    Kind kind;
    int start;
    int length;
    int group; // Group: the group's number
};

class Replacement
{
public:
    // spans, if given, gets each piece's place in text, in order.
    Replacement(std::u16string_view text, int groupCount,
                std::vector<ReplacementSpan> *spans = nullptr);

    // Appends the expansion for one match; bounds as CompiledPattern::search gives them.
    void expand(std::u16string &out, std::u16string_view source, const std::int32_t *bounds) const;
    // The length of what expand appends for these bounds.
    std::size_t length(std::u16string_view source, const std::int32_t *bounds) const;

private:
    enum class Kind : std::uint8_t
    {
        Literal,
        Match,
        Before,
        After,
        Group
    };
    struct Piece
    {
        Kind kind;
        int group;        // Group: dialect group number
        std::size_t from; // Literal: offset and length in m_text
        std::size_t length;
    };
    void literal(std::size_t from, std::size_t length);

    std::u16string m_text;
    std::vector<Piece> m_pieces;
};

} // namespace engine::detail
