#include "runner/engine/charset.h"

#include "runner/engine/casefold.h"

#include <algorithm>

namespace engine::detail {
namespace {

void appendHex(std::u16string &out, char16_t c)
{
    if ((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z')) {
        out += c;
        return;
    }
    static constexpr char digits[] = "0123456789abcdef";
    out += u"\\x{";
    bool started = false;
    for (int shift = 12; shift >= 0; shift -= 4) {
        const int d = (c >> shift) & 0xF;
        if (d || started || shift == 0) {
            out += static_cast<char16_t>(digits[d]);
            started = true;
        }
    }
    out += u'}';
}

} // namespace

CharSet CharSet::range(char16_t first, char16_t last)
{
    CharSet s;
    s.m_ranges.push_back({first, last});
    return s;
}

CharSet CharSet::digits()
{
    return range(u'0', u'9');
}

CharSet CharSet::wordChars()
{
    CharSet s = digits();
    s.add(u'A', u'Z');
    s.add(u'_');
    s.add(u'a', u'z');
    return s;
}

CharSet CharSet::spaces()
{
    CharSet s = range(u'\t', u'\r');
    s.add(u' ');
    return s;
}

void CharSet::add(char16_t first, char16_t last)
{
    // Appending in ascending order is the common case and needs no merge.
    if (m_ranges.empty() || first > m_ranges.back().last + 1u) {
        m_ranges.push_back({first, last});
        return;
    }
    m_ranges.push_back({first, last});
    normalize();
}

void CharSet::add(const CharSet &other)
{
    m_ranges.insert(m_ranges.end(), other.m_ranges.begin(), other.m_ranges.end());
    normalize();
}

void CharSet::normalize()
{
    std::sort(m_ranges.begin(), m_ranges.end(),
              [](const Range &a, const Range &b) { return a.first < b.first; });
    std::vector<Range> merged;
    merged.reserve(m_ranges.size());
    for (const Range &r : m_ranges) {
        if (!merged.empty() && r.first <= merged.back().last + 1u)
            merged.back().last = std::max(merged.back().last, r.last);
        else
            merged.push_back(r);
    }
    m_ranges = std::move(merged);
}

CharSet CharSet::complement() const
{
    CharSet out;
    unsigned next = 0;
    for (const Range &r : m_ranges) {
        if (r.first > next)
            out.m_ranges.push_back(
                {static_cast<char16_t>(next), static_cast<char16_t>(r.first - 1)});
        next = r.last + 1u;
    }
    if (next <= 0xFFFF)
        out.m_ranges.push_back({static_cast<char16_t>(next), u'\xFFFF'});
    return out;
}

bool CharSet::contains(char16_t c) const
{
    auto it = std::upper_bound(m_ranges.begin(), m_ranges.end(), c,
                               [](char16_t v, const Range &r) { return v < r.first; });
    return it != m_ranges.begin() && c <= (it - 1)->last;
}

bool CharSet::within(const CharSet &other) const
{
    // The ranges of other are disjoint and not adjacent: each range here lies inside one.
    return std::all_of(m_ranges.begin(), m_ranges.end(), [&other](const Range &r) {
        auto it = std::upper_bound(other.m_ranges.begin(), other.m_ranges.end(), r.first,
                                   [](char16_t v, const Range &o) { return v < o.first; });
        return it != other.m_ranges.begin() && r.last <= (it - 1)->last;
    });
}

bool CharSet::full() const
{
    return m_ranges.size() == 1 && m_ranges[0].first == 0 && m_ranges[0].last == 0xFFFF;
}

CharSet CharSet::withCanonicalForms() const
{
    CharSet out = *this;
    bool changed = false;
    for (std::size_t i = 0; i < caseFoldTableSize; ++i) {
        const CaseFoldPair &p = caseFoldTable[i];
        if (contains(p.from) && !contains(p.to)) {
            out.m_ranges.push_back({p.to, p.to});
            changed = true;
        }
    }
    if (changed)
        out.normalize();
    return out;
}

bool CharSet::closedUnderNonAsciiFolding() const
{
    for (std::span<const char16_t> group : caseGroups()) {
        if (group.front() < 0x80)
            continue;
        const bool first = contains(group.front());
        for (char16_t c : group)
            if (contains(c) != first)
                return false;
    }
    return true;
}

std::u16string CharSet::pcreText(bool negate) const
{
    // PCRE2's own classes without Unicode properties, which it tests faster than a bitmap.
    static const CharSet word = wordChars(), digit = digits(), space = spaces();
    if (*this == word)
        return negate ? u"\\W" : u"\\w";
    if (*this == digit)
        return negate ? u"\\D" : u"\\d";
    if (*this == space)
        return negate ? u"\\S" : u"\\s";
    if (m_ranges.empty())
        return negate ? u"[\\x{0}-\\x{ffff}]" : u"(?!)";
    if (full())
        return negate ? u"(?!)" : u"[\\x{0}-\\x{ffff}]";
    std::u16string out = negate ? u"[^" : u"[";
    for (const Range &r : m_ranges) {
        appendHex(out, r.first);
        if (r.last != r.first) {
            if (r.last != r.first + 1)
                out += u'-';
            appendHex(out, r.last);
        }
    }
    out += u']';
    return out;
}

} // namespace engine::detail
