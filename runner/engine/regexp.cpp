#include "runner/engine/regexp.h"

#include "runner/engine/casefold.h"
#include "runner/engine/compiledpattern.h"
#include "runner/engine/replacement.h"
#include "runner/engine/syntaxtree.h"

#include <algorithm>
#include <limits>

namespace engine {
namespace {

std::string toAscii(const std::u16string &text)
{
    std::string out;
    out.reserve(text.size());
    for (char16_t c : text)
        out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

void checkLength(std::u16string_view source)
{
    if (source.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max() - 1))
        throw RegExpError(errors::EngineFailure, u"The text is too long for the engine.", -1);
}

} // namespace

// ---- RegExpError

RegExpError::RegExpError(int number, int position)
    : RegExpError(number, descriptionFor(number), position)
{}

RegExpError::RegExpError(int number, std::u16string description, int position)
    : m_number(number)
    , m_description(std::move(description))
    , m_position(position)
    , m_what(toAscii(m_description))
{}

std::u16string RegExpError::descriptionFor(int number)
{
    switch (number) {
    case errors::SyntaxError:
        return u"Syntax error in regular expression";
    case errors::UnexpectedQuantifier:
        return u"Unexpected quantifier";
    case errors::ExpectedBracket:
        return u"Expected ']' in regular expression";
    case errors::ExpectedParen:
        return u"Expected ')' in regular expression";
    case errors::InvalidRange:
        return u"Invalid range in character set";
    case errors::TooMuchBacktracking:
        return u"The pattern needs too much backtracking for this text.";
    case errors::RunTooLong:
        return u"The run took too long and was stopped.";
    case errors::ResultTooLarge:
        return u"The result is too large.";
    case errors::Cancelled:
        return u"The run was cancelled.";
    default:
        return {};
    }
}

// ---- SubMatches, Match, MatchCollection

std::u16string_view SubMatches::Item(int i) const
{
    const std::int32_t *b = m_data->at(m_match) + 2 * (i + 1);
    if (b[0] < 0)
        return {};
    return std::u16string_view(*m_data->source)
        .substr(static_cast<std::size_t>(b[0]), static_cast<std::size_t>(b[1] - b[0]));
}

bool SubMatches::Participated(int i) const
{
    return m_data->at(m_match)[2 * (i + 1)] >= 0;
}

std::u16string_view Match::Value() const
{
    return std::u16string_view(*m_data->source)
        .substr(static_cast<std::size_t>(FirstIndex()), static_cast<std::size_t>(Length()));
}

int Match::FirstIndex() const
{
    return m_data->at(m_match)[0];
}

int Match::Length() const
{
    const std::int32_t *b = m_data->at(m_match);
    return b[1] - b[0];
}

engine::SubMatches Match::SubMatches() const
{
    return engine::SubMatches(m_data, m_match);
}

MatchCollection::MatchCollection()
    : m_data(std::make_shared<detail::MatchData>())
{}

MatchCollection::MatchCollection(std::shared_ptr<const detail::MatchData> data)
    : m_data(std::move(data))
{}

// ---- RegExp

RegExp::RegExp() = default;
RegExp::~RegExp() = default;

void RegExp::setGlobal(bool on)
{
    m_global = on; // the loop, not the compilation, depends on Global
}

void RegExp::setIgnoreCase(bool on)
{
    if (on != m_ignoreCase) {
        m_ignoreCase = on;
        invalidate();
    }
}

void RegExp::setMultiline(bool on)
{
    if (on != m_multiline) {
        m_multiline = on;
        invalidate();
    }
}

void RegExp::setPattern(std::u16string_view pattern)
{
    if (pattern != m_pattern) {
        m_pattern = pattern;
        invalidate();
    }
}

void RegExp::invalidate()
{
    m_cache[0].reset();
    m_cache[1].reset();
    m_tree.reset();
}

CompiledPattern &RegExp::compiled(std::u16string_view source)
{
    if (!m_tree)
        m_tree = std::make_unique<detail::SyntaxTree>(detail::parsePattern(m_pattern));
    const detail::SyntaxTree &tree = *m_tree;

    const detail::LineMode lineMode = detail::lineModeFor(tree, m_multiline, source);
    const std::size_t slot = lineMode == detail::LineMode::Lookaround ? 1 : 0;
    if (!m_cache[slot])
        m_cache[slot] = std::make_unique<CompiledPattern>(
            tree, detail::caseModeFor(tree, m_ignoreCase), lineMode);
    m_cache[slot]->beginRun(m_control);
    return *m_cache[slot];
}

namespace {

// The text the compiled pattern searches: the source itself, or its canonical forms.
class SearchText
{
public:
    SearchText(const CompiledPattern &pattern, std::u16string_view source)
        : m_view(source)
    {
        if (pattern.matchesCanonicalText()) {
            m_folded.resize(source.size());
            detail::foldText(source.data(), source.size(), m_folded.data());
            m_view = m_folded;
        }
    }
    std::u16string_view view() const { return m_view; }

private:
    std::u16string m_folded;
    std::u16string_view m_view;
};

} // namespace

std::uint64_t RegExp::StepsAt(std::u16string_view source, std::size_t at, std::uint32_t limit)
{
    CompiledPattern &pattern = compiled(source);
    const SearchText text(pattern, source);
    return pattern.stepsAt(text.view(), at, limit);
}

MatchCollection RegExp::Execute(std::u16string_view source)
{
    return Execute(std::make_shared<const std::u16string>(source));
}

MatchCollection RegExp::Execute(std::shared_ptr<const std::u16string> source)
{
    checkLength(*source);
    CompiledPattern &pattern = compiled(*source);
    const SearchText text(pattern, *source);
    auto data = std::make_shared<detail::MatchData>();
    data->source = std::move(source);
    data->groupCount = pattern.groupCount();
    const std::size_t pairs = 2 * static_cast<std::size_t>(data->groupCount + 1);
    std::vector<std::int32_t> bounds(pairs);
    std::vector<std::int32_t> &offsets = data->offsets;
    pattern.forEachMatch(text.view(), m_global, bounds.data(), [&](const std::int32_t *b) {
        // One by one: a range insert calls memmove for every match.
        for (std::size_t i = 0; i < pairs; ++i)
            offsets.push_back(b[i]);
    });
    data->offsets.shrink_to_fit();
    return MatchCollection(std::move(data));
}

bool RegExp::Test(std::u16string_view source)
{
    checkLength(source);
    CompiledPattern &pattern = compiled(source);
    const SearchText text(pattern, source);
    std::vector<std::int32_t> bounds(2 * static_cast<std::size_t>(pattern.groupCount() + 1));
    return pattern.search(text.view(), 0, bounds.data());
}

std::u16string RegExp::Replace(std::u16string_view source, std::u16string_view replacement)
{
    checkLength(source);
    CompiledPattern &pattern = compiled(source);
    const SearchText text(pattern, source);
    const detail::Replacement expansion(replacement, pattern.groupCount());
    std::vector<std::int32_t> bounds(2 * static_cast<std::size_t>(pattern.groupCount() + 1));
    std::u16string out;
    // Grows geometrically but never past the bound, which is refused before anything of a
    // match is appended.
    const std::size_t limit = m_control ? m_control->resultLimit() : limits::MaxResultLength;
    const auto makeRoom = [&out, limit](std::size_t more) {
        const std::size_t needed = out.size() + more;
        if (needed > limit)
            throw RegExpError(errors::ResultTooLarge, -1);
        if (needed > out.capacity())
            out.reserve(std::min(std::max(needed, 2 * out.capacity()), limit));
    };
    makeRoom(source.size());
    std::size_t kept = 0; // source copied up to here
    pattern.forEachMatch(text.view(), m_global, bounds.data(), [&](const std::int32_t *b) {
        const auto start = static_cast<std::size_t>(b[0]);
        makeRoom(start - kept + expansion.length(source, b));
        out.append(source.substr(kept, start - kept));
        expansion.expand(out, source, b);
        kept = static_cast<std::size_t>(b[1]);
    });
    makeRoom(source.size() - kept);
    out.append(source.substr(kept));
    return out;
}

} // namespace engine
