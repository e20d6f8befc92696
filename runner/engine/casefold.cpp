#include "runner/engine/casefold.h"

#include <algorithm>
#include <map>
#include <vector>

namespace engine::detail {
namespace {

struct Tables
{
    std::vector<char16_t> canon;                   // 65,536 entries
    std::vector<char16_t> members;                 // groups, back to back
    std::vector<std::span<const char16_t>> groups; // views into members
    std::vector<int> groupOf;                      // 65,536 entries, -1 for a single unit
    Tables()
        : canon(0x10000)
        , groupOf(0x10000, -1)
    {
        for (unsigned c = 0; c < 0x10000; ++c)
            canon[c] = static_cast<char16_t>(c);
        for (std::size_t i = 0; i < caseFoldTableSize; ++i)
            canon[caseFoldTable[i].from] = caseFoldTable[i].to;
        std::map<char16_t, std::vector<char16_t>> byCanon;
        for (std::size_t i = 0; i < caseFoldTableSize; ++i)
            byCanon[caseFoldTable[i].to];
        for (unsigned c = 0; c < 0x10000; ++c) {
            auto it = byCanon.find(canon[c]);
            if (it != byCanon.end())
                it->second.push_back(static_cast<char16_t>(c));
        }
        std::size_t total = 0;
        for (auto &[k, v] : byCanon)
            total += v.size();
        members.reserve(total);
        std::vector<std::pair<std::size_t, std::size_t>> spans;
        for (auto &[k, v] : byCanon) {
            spans.emplace_back(members.size(), v.size());
            members.insert(members.end(), v.begin(), v.end());
        }
        for (auto [start, size] : spans) {
            groups.emplace_back(members.data() + start, size);
            for (char16_t m : groups.back())
                groupOf[m] = static_cast<int>(groups.size() - 1);
        }
    }
};

const Tables &tables()
{
    static const Tables t;
    return t;
}

} // namespace

char16_t canonical(char16_t c)
{
    return tables().canon[c];
}

void foldText(const char16_t *in, std::size_t n, char16_t *out)
{
    const char16_t *canon = tables().canon.data();
    for (std::size_t i = 0; i < n; ++i)
        out[i] = canon[in[i]];
}

std::span<const char16_t> caseVariants(char16_t c)
{
    const Tables &t = tables();
    int g = t.groupOf[c];
    if (g < 0)
        return {&t.canon[c], 1}; // canon[c] == c for a unit without variants
    return t.groups[static_cast<std::size_t>(g)];
}

std::span<const std::span<const char16_t>> caseGroups()
{
    return tables().groups;
}

} // namespace engine::detail
