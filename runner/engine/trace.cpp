#include "runner/engine/trace.h"

#include "runner/engine/casefold.h"
#include "runner/engine/compiledpattern.h"
#include "runner/engine/syntaxtree.h"
#include "runner/engine/translator.h"

#include <pcre2.h>

#include <algorithm>
#include <limits>
#include <new>

namespace engine {
namespace {

// Steps between two looks at the run's cancellation (a power of two).
constexpr std::uint64_t CancelCheckSteps = 4096;

// One pattern compiled for tracing: PCRE2 calls back before every item of the translation, and
// none of its shortcuts (start-position skipping, possessive loops it would make of greedy ones)
// hides a step. The interpreter runs it: only it tells a step after a backtrack.
class Tracer
{
public:
    Tracer(std::u16string_view pattern, const TraceOptions &options, std::u16string_view source)
        : m_tree(detail::parsePattern(pattern))
        , m_caseMode(detail::caseModeFor(m_tree, options.ignoreCase))
        , m_lineMode(detail::lineModeFor(m_tree, options.multiline, source))
        , m_translation(detail::translate(m_tree, m_caseMode, m_lineMode, true))
        , m_records(options.records)
    {
        m_code = detail::compileTranslation(m_translation, m_caseMode, m_lineMode,
                                            PCRE2_AUTO_CALLOUT | PCRE2_NO_START_OPTIMIZE |
                                                PCRE2_NO_AUTO_POSSESS | PCRE2_NO_DOTSTAR_ANCHOR);
        m_matchData.reset(pcre2_match_data_create_from_pattern_16(m_code.get(), nullptr));
        m_context.reset(pcre2_match_context_create_16(nullptr));
        if (!m_matchData || !m_context)
            throw std::bad_alloc();
        pcre2_set_match_limit_16(m_context.get(), limits::MatchLimit);
        pcre2_set_depth_limit_16(m_context.get(), limits::DepthLimit);
        pcre2_set_heap_limit_16(m_context.get(), limits::HeapLimitKiB);
        pcre2_set_callout_16(m_context.get(), &Tracer::calloutEntry, this);
        mapParts();
        m_text = source;
        if (m_caseMode == detail::CaseMode::Canonical) {
            m_folded.resize(source.size());
            detail::foldText(source.data(), source.size(), m_folded.data());
            m_text = m_folded;
        }
    }

    int groupCount() const { return static_cast<int>(m_translation.groupNumbers.size()); }
    const std::vector<TracePart> &parts() const { return m_out.parts; }

    // Traces one search from `from`; the result holds its steps and match, and the counts of
    // every search so far.
    const TraceResult &search(std::size_t from, std::uint64_t stepLimit, const RunControl *control)
    {
        m_out.steps = 0;
        m_out.stopped = false;
        m_out.bounds.clear();
        m_out.groupCount = groupCount();
        m_limit = stepLimit;
        m_control = control;
        if (from > m_text.size()) {
            noMatch();
            return m_out;
        }
        const auto *subject = reinterpret_cast<PCRE2_SPTR16>(m_text.data());
        const int rc = pcre2_match_16(m_code.get(), subject, m_text.size(), from, PCRE2_NO_JIT,
                                      m_matchData.get(), m_context.get());
        if (rc == PCRE2_ERROR_CALLOUT && m_cancelled)
            throw RegExpError(errors::Cancelled, -1);
        if (rc == PCRE2_ERROR_CALLOUT && m_out.stopped)
            return m_out;
        if (rc == PCRE2_ERROR_NOMATCH) {
            noMatch();
            return m_out;
        }
        if (rc < 0)
            detail::throwMatchFailure(rc);
        m_out.bounds.resize(2 * static_cast<std::size_t>(groupCount() + 1));
        detail::readBounds(m_translation, pcre2_get_ovector_pointer_16(m_matchData.get()),
                           static_cast<std::uint32_t>(rc), m_out.bounds.data());
        return m_out;
    }

    TraceResult take() { return std::move(m_out); }

private:
    // The parts of the pattern the translation's marks stand for, and which part each mark is.
    void mapParts()
    {
        const std::vector<detail::SpanMark> &marks = m_translation.spans;
        std::vector<TracePart> &parts = m_out.parts;
        for (const detail::SpanMark &mark : marks)
            parts.push_back({mark.start, mark.length, 0});
        const auto before = [](const TracePart &a, const TracePart &b) {
            return a.start != b.start ? a.start < b.start : a.length < b.length;
        };
        std::sort(parts.begin(), parts.end(), before);
        parts.erase(std::unique(parts.begin(), parts.end(),
                                [](const TracePart &a, const TracePart &b) {
                                    return a.start == b.start && a.length == b.length;
                                }),
                    parts.end());
        m_partOfMark.reserve(marks.size());
        for (const detail::SpanMark &mark : marks) {
            const TracePart key{mark.start, mark.length, 0};
            m_partOfMark.push_back(static_cast<std::uint32_t>(
                std::lower_bound(parts.begin(), parts.end(), key, before) - parts.begin()));
        }
        m_endPart = m_partOfMark.back(); // the last mark stands for the pattern's end
    }

    std::uint32_t partAt(std::size_t offset) const
    {
        const std::vector<detail::SpanMark> &marks = m_translation.spans;
        auto it = std::upper_bound(
            marks.begin(), marks.end(), offset,
            [](std::size_t value, const detail::SpanMark &mark) { return value < mark.offset; });
        const std::size_t index = it == marks.begin() ? 0 : (it - marks.begin()) - 1;
        return m_partOfMark[index];
    }

    void record(StepKind kind, std::uint32_t part, std::size_t position, bool advanced)
    {
        ++m_out.steps;
        ++m_out.parts[part].steps;
        if (!m_records)
            return;
        if (advanced && !m_out.records.empty())
            m_out.records.back().setMatched();
        m_out.records.emplace_back(kind, part, static_cast<std::uint32_t>(position));
    }

    void noMatch() { record(StepKind::NoMatch, m_endPart, m_text.size(), false); }

    static int calloutEntry(pcre2_callout_block_16 *block, void *data)
    {
        return static_cast<Tracer *>(data)->step(*block);
    }

    int step(const pcre2_callout_block_16 &block)
    {
        if (block.callout_string) { // the translation's own check of an iteration
            int id = 0;
            for (PCRE2_SIZE i = 0; i < block.callout_string_length; ++i)
                id = id * 10 + (block.callout_string[i] - u'0');
            return detail::checkIteration(m_translation.checks, id, block.offset_vector,
                                          block.capture_top, block.capture_last,
                                          block.current_position);
        }
        if (m_out.steps >= m_limit) {
            m_out.stopped = true;
            return PCRE2_ERROR_CALLOUT;
        }
        if (m_out.steps % CancelCheckSteps == 0 && m_control && m_control->cancelled()) {
            m_cancelled = true;
            return PCRE2_ERROR_CALLOUT;
        }
        const bool started = (block.callout_flags & PCRE2_CALLOUT_STARTMATCH) != 0;
        const bool backtracked = (block.callout_flags & PCRE2_CALLOUT_BACKTRACK) != 0;
        StepKind kind = StepKind::Try;
        if (block.pattern_position >= m_translation.pattern.size())
            kind = StepKind::Match;
        else if (started)
            kind = StepKind::Start;
        else if (backtracked)
            kind = StepKind::Backtrack;
        if (started && m_records)
            m_out.attempts.push_back(
                {m_out.steps, static_cast<std::int32_t>(block.current_position)});
        record(kind, partAt(block.pattern_position), block.current_position,
               !started && !backtracked);
        return 0;
    }

    detail::SyntaxTree m_tree;
    detail::CaseMode m_caseMode;
    detail::LineMode m_lineMode;
    detail::Translation m_translation;
    bool m_records;
    detail::Pcre2Ptr<pcre2_real_code_16> m_code;
    detail::Pcre2Ptr<pcre2_real_match_data_16> m_matchData;
    detail::Pcre2Ptr<pcre2_real_match_context_16> m_context;
    std::vector<std::uint32_t> m_partOfMark;
    std::uint32_t m_endPart = 0;
    std::u16string m_folded;
    std::u16string_view m_text;

    TraceResult m_out;
    std::uint64_t m_limit = 0;
    const RunControl *m_control = nullptr;
    bool m_cancelled = false;
};

} // namespace

int TraceResult::attemptStart(std::size_t step) const
{
    auto it = std::upper_bound(
        attempts.begin(), attempts.end(), step,
        [](std::size_t value, const TraceAttempt &attempt) { return value < attempt.step; });
    return it == attempts.begin() ? 0 : std::prev(it)->position;
}

long long TraceResult::nextOf(std::size_t step, StepKind kind) const
{
    for (std::size_t i = step + 1; i < records.size(); ++i)
        if (records[i].kind() == kind)
            return static_cast<long long>(i);
    return -1;
}

long long TraceResult::nextAttempt(std::size_t step) const
{
    auto it = std::upper_bound(
        attempts.begin(), attempts.end(), step,
        [](std::size_t value, const TraceAttempt &attempt) { return value < attempt.step; });
    return it == attempts.end() ? -1 : static_cast<long long>(it->step);
}

TraceResult Trace(std::u16string_view pattern, const TraceOptions &options,
                  std::u16string_view source, std::size_t from, std::uint64_t stepLimit,
                  const RunControl *control)
{
    Tracer tracer(pattern, options, source);
    tracer.search(from, stepLimit, control);
    return tracer.take();
}

std::size_t SearchStartOf(const MatchCollection &matches, int match)
{
    if (match <= 0)
        return 0;
    const Match before = matches.Item(match - 1);
    const auto end = static_cast<std::size_t>(before.FirstIndex() + before.Length());
    return before.Length() == 0 ? end + 1 : end;
}

RunSteps StepsOfRun(std::u16string_view pattern, const TraceOptions &options,
                    std::u16string_view source, bool global, const RunControl *control)
{
    TraceOptions counting = options;
    counting.records = false;
    Tracer tracer(pattern, counting, source);
    RunSteps out;
    constexpr std::uint64_t NoLimit = std::numeric_limits<std::uint64_t>::max();
    for (std::size_t start = 0; start <= source.size();) {
        const TraceResult &result = tracer.search(start, NoLimit, control);
        out.total += result.steps;
        if (!result.found())
            break;
        out.perMatch.push_back(result.steps);
        if (!global)
            break;
        const auto end = static_cast<std::size_t>(result.bounds[1]);
        start = end == static_cast<std::size_t>(result.bounds[0]) ? end + 1 : end;
    }
    return out;
}

} // namespace engine
