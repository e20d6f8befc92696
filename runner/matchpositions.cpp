#include "runner/matchpositions.h"

MatchPositions::MatchPositions(const engine::MatchCollection &matches)
    : m_groupCount(matches.GroupCount())
    , m_offsets(matches.Offsets().begin(), matches.Offsets().end())
{
    const std::size_t stride = 2 * (static_cast<std::size_t>(m_groupCount) + 1);
    if (m_groupCount == 0)
        return;
    for (std::size_t m = 0; m < m_offsets.size(); m += stride) {
        const std::int32_t *match = m_offsets.data() + m;
        for (std::size_t g = 2; g < stride; g += 2) {
            if (match[g] < 0)
                continue;
            m_before = std::max(m_before, match[0] - match[g]);
            m_after = std::max(m_after, match[g + 1] - match[1]);
        }
    }
}

int MatchPositions::count() const
{
    return static_cast<int>(m_offsets.size() / (2 * (static_cast<std::size_t>(m_groupCount) + 1)));
}

const std::int32_t *MatchPositions::at(int match) const
{
    return m_offsets.data() + 2 * (static_cast<std::size_t>(m_groupCount) + 1) * match;
}

MatchPositions::Span MatchPositions::span(int match, int group) const
{
    const std::int32_t *pair = at(match) + 2 * group;
    return {pair[0], pair[1]};
}

int MatchPositions::firstReaching(std::int32_t offset) const
{
    // Successive matches never overlap, so their ends ascend: a binary search.
    int low = 0;
    int high = count();
    while (low < high) {
        const int m = low + (high - low) / 2;
        if (std::int64_t(at(m)[1]) + m_after < offset)
            low = m + 1;
        else
            high = m;
    }
    return low;
}

bool MatchPositions::startsAfter(int match, std::int32_t offset) const
{
    return std::int64_t(at(match)[0]) - m_before > offset;
}

void MatchPositions::truncate(int n)
{
    if (n >= count())
        return;
    m_offsets.resize(2 * (static_cast<std::size_t>(m_groupCount) + 1) * n);
    m_offsets.shrink_to_fit();
}
