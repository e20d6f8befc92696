#include "runner/engine/replacement.h"

#include "runner/engine/asciiclass.h"

namespace engine::detail {

Replacement::Replacement(std::u16string_view text, int groupCount,
                         std::vector<ReplacementSpan> *spans)
    : m_text(text)
{
    using Span = ReplacementSpan::Kind;
    const auto told = [spans](Span kind, std::size_t from, std::size_t length, int group = 0) {
        if (spans && length > 0)
            spans->push_back({kind, static_cast<int>(from), static_cast<int>(length), group});
    };
    std::size_t i = 0;
    const std::size_t n = m_text.size();
    while (i < n) {
        const std::size_t dollar = m_text.find(u'$', i);
        if (dollar == std::u16string::npos || dollar + 1 >= n) {
            literal(i, n - i); // no "$", or a "$" at the end: literal
            told(Span::Text, i, n - i);
            break;
        }
        literal(i, dollar - i);
        told(Span::Text, i, dollar - i);
        const char16_t c = m_text[dollar + 1];
        i = dollar + 2;
        switch (c) {
        case u'$':
            literal(dollar, 1);
            told(Span::Dollar, dollar, 2);
            continue;
        case u'&':
            m_pieces.push_back({Kind::Match, 0, 0, 0});
            told(Span::Match, dollar, 2);
            continue;
        case u'`':
            m_pieces.push_back({Kind::Before, 0, 0, 0});
            told(Span::Before, dollar, 2);
            continue;
        case u'\'':
            m_pieces.push_back({Kind::After, 0, 0, 0});
            told(Span::After, dollar, 2);
            continue;
        default:
            break;
        }
        if (isDigit(c)) {
            const int first = c - u'0';
            if (i < n && isDigit(m_text[i])) {
                const int two = first * 10 + (m_text[i] - u'0');
                if (two >= 1 && two <= groupCount) {
                    m_pieces.push_back({Kind::Group, two, 0, 0});
                    told(Span::Group, dollar, 3, two);
                    ++i;
                    continue;
                }
            }
            if (first >= 1 && first <= groupCount) {
                m_pieces.push_back({Kind::Group, first, 0, 0});
                told(Span::Group, dollar, 2, first);
                continue;
            }
        }
        literal(dollar, 2); // any other "$" stays as written
        told(Span::Text, dollar, 2);
    }
}

void Replacement::literal(std::size_t from, std::size_t length)
{
    if (length == 0)
        return;
    if (!m_pieces.empty() && m_pieces.back().kind == Kind::Literal &&
        m_pieces.back().from + m_pieces.back().length == from) {
        m_pieces.back().length += length;
        return;
    }
    m_pieces.push_back({Kind::Literal, 0, from, length});
}

std::size_t Replacement::length(std::u16string_view source, const std::int32_t *bounds) const
{
    const auto start = static_cast<std::size_t>(bounds[0]);
    const auto end = static_cast<std::size_t>(bounds[1]);
    std::size_t total = 0;
    for (const Piece &p : m_pieces) {
        switch (p.kind) {
        case Kind::Literal:
            total += p.length;
            break;
        case Kind::Match:
            total += end - start;
            break;
        case Kind::Before:
            total += start;
            break;
        case Kind::After:
            total += source.size() - end;
            break;
        case Kind::Group:
            if (bounds[2 * p.group] >= 0)
                total += static_cast<std::size_t>(bounds[2 * p.group + 1] - bounds[2 * p.group]);
            break;
        }
    }
    return total;
}

void Replacement::expand(std::u16string &out, std::u16string_view source,
                         const std::int32_t *bounds) const
{
    const auto start = static_cast<std::size_t>(bounds[0]);
    const auto end = static_cast<std::size_t>(bounds[1]);
    for (const Piece &p : m_pieces) {
        switch (p.kind) {
        case Kind::Literal:
            out.append(m_text, p.from, p.length);
            break;
        case Kind::Match:
            out.append(source.substr(start, end - start));
            break;
        case Kind::Before:
            out.append(source.substr(0, start));
            break;
        case Kind::After:
            out.append(source.substr(end));
            break;
        case Kind::Group: {
            const std::int32_t gs = bounds[2 * p.group];
            const std::int32_t ge = bounds[2 * p.group + 1];
            if (gs >= 0)
                out.append(
                    source.substr(static_cast<std::size_t>(gs), static_cast<std::size_t>(ge - gs)));
            break;
        }
        }
    }
}

} // namespace engine::detail
