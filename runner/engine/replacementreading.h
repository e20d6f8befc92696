#pragma once
// How Replace reads a replacement text, piece by piece, for showing it: $1..$99, $&, $`, $',
// $$ and plain text, with the forms of other dialects ( \1, $0, ${name}, \n, \U ) marked as the
// plain text they are here. Plain C++20, no Qt; offsets in UTF-16 code units.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

struct ReplacementPart
{
    enum class Kind : std::uint8_t
    {
        Text,    // plain text
        Dollar,  // $$: one "$"
        Match,   // $&
        Before,  // $`
        After,   // $'
        Group,   // $n or $nn
        Foreign, // another dialect's form, plain text here
    };
    Kind kind = Kind::Text;
    int start = 0;
    int length = 0;
    int group = 0;       // Group: the group's number
    std::u16string note; // what it is here, and this dialect's form where that differs
};

// The parts of replacement in order, covering it whole, for a pattern of groupCount groups.
std::vector<ReplacementPart> ReadReplacement(std::u16string_view replacement, int groupCount);

} // namespace engine
