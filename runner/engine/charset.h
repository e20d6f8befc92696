#pragma once
// A set of UTF-16 code units as sorted, disjoint, non-adjacent closed ranges.

#include <string>
#include <vector>

namespace engine::detail {

class CharSet
{
public:
    struct Range
    {
        char16_t first;
        char16_t last;
        bool operator==(const Range &) const = default;
    };

    static CharSet range(char16_t first, char16_t last);
    static CharSet digits();
    static CharSet wordChars();
    static CharSet spaces();

    void add(char16_t c) { add(c, c); }
    void add(char16_t first, char16_t last);
    void add(const CharSet &other);
    CharSet complement() const;
    bool contains(char16_t c) const;
    // True when every member is also one of other's.
    bool within(const CharSet &other) const;
    bool empty() const { return m_ranges.empty(); }
    bool full() const;
    const std::vector<Range> &ranges() const { return m_ranges; }
    bool operator==(const CharSet &) const = default;

    // The set plus the canonical form of each member (IgnoreCase on folded text).
    CharSet withCanonicalForms() const;
    // True when every case-variant group outside ASCII lies wholly inside or outside the set.
    bool closedUnderNonAsciiFolding() const;

    // PCRE2 class text, e.g. "[\x{61}-\x{7a}]" or "\w"; "(?!)" when empty.
    std::u16string pcreText(bool negate = false) const;

private:
    void normalize();
    std::vector<Range> m_ranges;
};

} // namespace engine::detail
