// TEMPORARY: stands in for the engine's match objects until runner/engine/regexp.cpp provides
// them; enginestub.cmake leaves this file out as soon as it does. Delete it then.
#include "runner/engine/regexp.h"

namespace engine {

MatchCollection::MatchCollection()
    : m_data(std::make_shared<const detail::MatchData>())
{}

MatchCollection::MatchCollection(std::shared_ptr<const detail::MatchData> data)
    : m_data(std::move(data))
{}

std::u16string_view Match::Value() const
{
    const std::int32_t *o = m_data->at(m_match);
    return std::u16string_view(*m_data->source)
        .substr(static_cast<size_t>(o[0]), static_cast<size_t>(o[1] - o[0]));
}

int Match::FirstIndex() const
{
    return m_data->at(m_match)[0];
}

int Match::Length() const
{
    const std::int32_t *o = m_data->at(m_match);
    return o[1] - o[0];
}

SubMatches Match::SubMatches() const
{
    return engine::SubMatches(m_data, m_match);
}

std::u16string_view SubMatches::Item(int i) const
{
    const std::int32_t *o = m_data->at(m_match) + 2 * (i + 1);
    if (o[0] < 0)
        return {};
    return std::u16string_view(*m_data->source)
        .substr(static_cast<size_t>(o[0]), static_cast<size_t>(o[1] - o[0]));
}

bool SubMatches::Participated(int i) const
{
    return m_data->at(m_match)[2 * (i + 1)] >= 0;
}

} // namespace engine
