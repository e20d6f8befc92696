#pragma once
// Where every match and group of one Execute lies in its source, kept by the main window after
// the run so that a node of the results tree selects its own text and the source box can
// highlight every match; nothing searches for text. Offsets in UTF-16 code units of the source
// as the run saw it; 4 bytes per boundary.

#include "runner/engine/regexp.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class MatchPositions
{
public:
    // [start, end); start is -1 for a group that took no part.
    struct Span
    {
        std::int32_t start = -1;
        std::int32_t end = -1;
        bool participated() const { return start >= 0; }
    };

    MatchPositions() = default;
    explicit MatchPositions(const engine::MatchCollection &matches);

    int count() const;
    int groupCount() const { return m_groupCount; }
    // Group g of match m, g 0 being the whole match: m in [0, count()), g in [0, groupCount()].
    Span span(int match, int group) const;

    // The first match that may reach offset: the spans of all matches before it end before
    // offset. count() when there is none.
    int firstReaching(std::int32_t offset) const;
    // True when no span of match m or of any later match starts at offset or before.
    bool startsAfter(int match, std::int32_t offset) const;

    // Keeps the first n matches only, freeing the rest.
    void truncate(int n);
    std::size_t bytes() const { return m_offsets.capacity() * sizeof(std::int32_t); }

private:
    const std::int32_t *at(int match) const;

    int m_groupCount = 0;
    std::vector<std::int32_t> m_offsets;
    // How far a group reaches before the start or past the end of its match (a group in a
    // lookahead ends past it).
    std::int32_t m_before = 0;
    std::int32_t m_after = 0;
};
