#include "runner/engine/compiledpattern.h"

#include "runner/engine/regexp.h"

#include <pcre2.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <new>

namespace engine {
namespace {

// Start positions tried by the first call of a search, and at most by one call (powers of two).
constexpr std::size_t FirstSpan = 4096;
constexpr std::size_t MaxSpan = std::size_t(1) << 21;
static_assert(std::has_single_bit(FirstSpan) && std::has_single_bit(MaxSpan));
// Backtracking steps one call may take over all its start positions: a longer span gets fewer
// steps at each, so that no call runs long between two looks at the run. Text where a start
// position needs more brings the span back to FirstSpan.
constexpr std::uint64_t StepsPerCall = std::uint64_t(FirstSpan) * limits::WatchAfterSteps;
static_assert(StepsPerCall / MaxSpan >= 16);
// A start position that runs out of its share of steps is tried alone with more.
static_assert(limits::WatchAfterSteps < limits::MatchLimit);

std::u16string pcreMessage(int code)
{
    PCRE2_UCHAR16 buffer[256];
    const int n = pcre2_get_error_message(code, buffer, 256);
    return n > 0 ? std::u16string(reinterpret_cast<const char16_t *>(buffer),
                                  static_cast<std::size_t>(n))
                 : std::u16string(u"unknown error");
}

// The translator marks each empty-iteration check with the string callout "(?C{id})", id the
// check's decimal index; anything else is no check of ours.
int calloutEntry(pcre2_callout_block_16 *block, void *data)
{
    const auto *pattern = static_cast<const CompiledPattern *>(data);
    if (!block->callout_string)
        return 0;
    int id = 0;
    const auto *s = block->callout_string;
    for (PCRE2_SIZE i = 0; i < block->callout_string_length; ++i)
        id = id * 10 + (s[i] - u'0');
    return pattern->checkIteration(id, block->offset_vector, block->capture_top,
                                   block->capture_last, block->current_position);
}

} // namespace

namespace detail {
void Pcre2Free::operator()(pcre2_real_code_16 *code) const
{
    pcre2_code_free_16(code);
}
void Pcre2Free::operator()(pcre2_real_compile_context_16 *context) const
{
    pcre2_compile_context_free_16(context);
}
void Pcre2Free::operator()(pcre2_real_match_data_16 *matchData) const
{
    pcre2_match_data_free_16(matchData);
}
void Pcre2Free::operator()(pcre2_real_match_context_16 *context) const
{
    pcre2_match_context_free_16(context);
}
void Pcre2Free::operator()(pcre2_real_jit_stack_16 *stack) const
{
    pcre2_jit_stack_free_16(stack);
}
} // namespace detail

CompiledPattern::CompiledPattern(const detail::SyntaxTree &tree, detail::CaseMode caseMode,
                                 detail::LineMode lineMode)
    : m_translation(detail::translate(tree, caseMode, lineMode))
    , m_caseMode(caseMode)
{
    std::uint32_t options = PCRE2_NEVER_UTF | PCRE2_NEVER_UCP | PCRE2_NEVER_BACKSLASH_C |
                            PCRE2_MATCH_UNSET_BACKREF | PCRE2_DOLLAR_ENDONLY |
                            PCRE2_USE_OFFSET_LIMIT;
    if (caseMode == detail::CaseMode::Caseless)
        options |= PCRE2_CASELESS;
    if (lineMode == detail::LineMode::Native)
        options |= PCRE2_MULTILINE | PCRE2_ALT_CIRCUMFLEX;

    const detail::Pcre2Ptr<pcre2_compile_context_16> cc(pcre2_compile_context_create_16(nullptr));
    if (!cc)
        throw std::bad_alloc();
    pcre2_set_newline_16(cc.get(), PCRE2_NEWLINE_LF);
    pcre2_set_parens_nest_limit_16(cc.get(), limits::ParensNestLimit);
    int error = 0;
    PCRE2_SIZE offset = 0;
    const auto *text = reinterpret_cast<PCRE2_SPTR16>(m_translation.pattern.data());
    m_options = options;
    m_code.reset(
        pcre2_compile_16(text, m_translation.pattern.size(), options, &error, &offset, cc.get()));
    if (!m_code) {
        if (error == PCRE2_ERROR_HEAP_FAILED)
            throw std::bad_alloc();
        throw RegExpError(errors::EngineFailure,
                          u"The pattern cannot be compiled: " + pcreMessage(error) + u".", -1);
    }
    m_jit = pcre2_jit_compile_16(m_code.get(), PCRE2_JIT_COMPLETE) == 0;

    m_matchData.reset(pcre2_match_data_create_from_pattern_16(m_code.get(), nullptr));
    m_context.reset(pcre2_match_context_create_16(nullptr));
    if (!m_matchData || !m_context)
        throw std::bad_alloc();
    setMatchLimit(limits::WatchAfterSteps);
    pcre2_set_depth_limit_16(m_context.get(), limits::DepthLimit);
    pcre2_set_heap_limit_16(m_context.get(), limits::HeapLimitKiB);
    if (!m_translation.checks.empty())
        pcre2_set_callout_16(m_context.get(), calloutEntry, this);
    if (m_jit) {
        m_jitStack.reset(
            pcre2_jit_stack_create_16(limits::JitStackStart, limits::JitStackMax, nullptr));
        if (m_jitStack)
            pcre2_jit_stack_assign_16(m_context.get(), nullptr, m_jitStack.get());
    }
}

int CompiledPattern::checkIteration(int id, const std::size_t *ovector, std::uint32_t captureTop,
                                    std::uint32_t captureLast, std::size_t position) const
{
    if (id < 0 || static_cast<std::size_t>(id) >= m_translation.checks.size())
        return 0;
    const detail::IterationCheck &check = m_translation.checks[static_cast<std::size_t>(id)];
    const auto group = static_cast<std::uint32_t>(check.group);
    switch (check.kind) {
    case detail::IterationCheck::Kind::RejectEmpty:
        return group < captureTop && ovector[2 * group] == position ? 1 : 0;
    case detail::IterationCheck::Kind::First:
    case detail::IterationCheck::Kind::Exit:
        return captureLast == group ? 0 : 1;
    case detail::IterationCheck::Kind::Later:
        return captureLast == group ? 1 : 0;
    }
    return 0;
}

void CompiledPattern::beginRun(const RunControl *control)
{
    m_control = control;
    m_deadline =
        std::chrono::steady_clock::now() + (control ? control->timeLimit() : limits::MaxRunTime);
}

void CompiledPattern::stop(bool cancelled)
{
    throw RegExpError(cancelled ? errors::Cancelled : errors::RunTooLong, -1);
}

void CompiledPattern::setMatchLimit(std::uint32_t steps)
{
    if (steps != m_matchLimit) {
        pcre2_set_match_limit_16(m_context.get(), steps);
        m_matchLimit = steps;
    }
}

// On every search: kept inline.
[[gnu::always_inline]] inline int CompiledPattern::match(std::u16string_view text,
                                                         std::size_t start, std::size_t lastStart)
{
    // The last span needs no offset limit, and the JIT's search for a first code unit is
    // quicker without one.
    const std::size_t offsetLimit = lastStart >= text.size() ? PCRE2_UNSET : lastStart;
    if (offsetLimit != m_offsetLimit) {
        pcre2_set_offset_limit_16(m_context.get(), offsetLimit);
        m_offsetLimit = offsetLimit;
    }
    const auto *subject = reinterpret_cast<PCRE2_SPTR16>(text.data());
    int rc = m_jit ? pcre2_jit_match_16(m_code.get(), subject, text.size(), start, 0,
                                        m_matchData.get(), m_context.get())
                   : pcre2_match_16(m_code.get(), subject, text.size(), start, 0, m_matchData.get(),
                                    m_context.get());
    if (rc == PCRE2_ERROR_JIT_STACKLIMIT) // deep backtracking: the interpreter keeps it on the heap
        rc = pcre2_match_16(m_code.get(), subject, text.size(), start, PCRE2_NO_JIT,
                            m_matchData.get(), m_context.get());
    return rc;
}

int CompiledPattern::searchAlone(std::u16string_view text, std::size_t start, std::size_t lastStart)
{
    int rc = PCRE2_ERROR_NOMATCH;
    for (std::size_t at = start; at <= lastStart; ++at) {
        std::uint64_t steps = limits::WatchAfterSteps;
        for (;;) {
            setMatchLimit(static_cast<std::uint32_t>(steps));
            rc = match(text, at, at);
            if (rc != PCRE2_ERROR_MATCHLIMIT || steps >= limits::MatchLimit)
                break;
            checkStop(true);
            steps = std::min<std::uint64_t>(steps * 10, limits::MatchLimit);
        }
        if (rc != PCRE2_ERROR_NOMATCH)
            break;
        checkStop((at - start) % 64 == 63);
    }
    return rc;
}

bool CompiledPattern::search(std::u16string_view text, std::size_t start, std::int32_t *bounds)
{
    // The start positions are tried in spans, so that a long search without a match looks at
    // the run's cancellation and time between spans. A span grows while it is quick.
    using Clock = std::chrono::steady_clock;
    std::size_t span = FirstSpan;
    int rc = 0;
    for (Clock::time_point began{};;) {
        // Spans end on multiples of their length (a power of two), so that searches in one
        // span share its offset limit.
        const std::size_t spanEnd = (start | (span - 1)) + 1;
        const std::size_t lastStart = std::min(spanEnd, text.size());
        setMatchLimit(static_cast<std::uint32_t>(StepsPerCall / span));
        rc = match(text, start, lastStart);
        if (rc == PCRE2_ERROR_MATCHLIMIT && span > FirstSpan) {
            span = FirstSpan; // the same start positions again, with all their steps
            began = {};
            continue;
        }
        if (rc == PCRE2_ERROR_MATCHLIMIT)
            rc = searchAlone(text, start, lastStart);
        if (rc != PCRE2_ERROR_NOMATCH || lastStart >= text.size())
            break;
        const Clock::time_point now = Clock::now();
        if (began != Clock::time_point{}) {
            const auto took = now - began;
            if (took < std::chrono::milliseconds(2))
                span = std::min(span * 4, MaxSpan);
            else if (took > std::chrono::milliseconds(20))
                span = std::max(span / 4, FirstSpan / 16);
        }
        checkStop(false);
        if (now > m_deadline)
            throw RegExpError(errors::RunTooLong, -1);
        began = now;
        start = lastStart + 1;
    }
    if (rc == PCRE2_ERROR_NOMATCH)
        return false;
    if (rc < 0) {
        switch (rc) {
        case PCRE2_ERROR_MATCHLIMIT:
        case PCRE2_ERROR_DEPTHLIMIT:
        case PCRE2_ERROR_HEAPLIMIT:
        case PCRE2_ERROR_JIT_STACKLIMIT:
            throw RegExpError(errors::TooMuchBacktracking, -1);
        case PCRE2_ERROR_NOMEMORY:
            throw std::bad_alloc();
        default:
            throw RegExpError(errors::EngineFailure,
                              u"The engine failed: " + pcreMessage(rc) + u".", -1);
        }
    }
    const PCRE2_SIZE *ov = pcre2_get_ovector_pointer_16(m_matchData.get());
    const std::uint32_t top = static_cast<std::uint32_t>(rc); // groups set, + 1
    bounds[0] = static_cast<std::int32_t>(ov[0]);
    bounds[1] = static_cast<std::int32_t>(ov[1]);
    const std::vector<int> &numbers = m_translation.groupNumbers;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        const auto g = static_cast<std::uint32_t>(numbers[i]);
        const bool set = g != 0 && g < top && ov[2 * g] != PCRE2_UNSET;
        bounds[2 * i + 2] = set ? static_cast<std::int32_t>(ov[2 * g]) : -1;
        bounds[2 * i + 3] = set ? static_cast<std::int32_t>(ov[2 * g + 1]) : -1;
    }
    return true;
}

std::uint64_t CompiledPattern::stepsAt(std::u16string_view text, std::size_t at,
                                       std::uint32_t limit)
{
    // Counted in the interpreter, on a compilation whose repeats all leave backtracking
    // points: the JIT skips steps inside a repeated character, and a repeat made possessive
    // scans its characters without counting them.
    if (!m_counted) {
        const auto *pattern = reinterpret_cast<PCRE2_SPTR16>(m_translation.pattern.data());
        int error = 0;
        PCRE2_SIZE offset = 0;
        m_counted.reset(pcre2_compile_16(pattern, m_translation.pattern.size(),
                                         m_options | PCRE2_NO_AUTO_POSSESS, &error, &offset,
                                         nullptr));
        if (!m_counted)
            throw RegExpError(errors::EngineFailure,
                              u"The pattern cannot be compiled: " + pcreMessage(error) + u".", -1);
    }
    const detail::Pcre2Ptr<pcre2_match_data_16> data(
        pcre2_match_data_create_from_pattern_16(m_counted.get(), nullptr));
    if (!data)
        throw std::bad_alloc();
    const auto *subject = reinterpret_cast<PCRE2_SPTR16>(text.data());
    const auto endsWithin = [&](std::uint64_t steps) {
        setMatchLimit(static_cast<std::uint32_t>(steps));
        return pcre2_match_16(m_counted.get(), subject, text.size(), at,
                              PCRE2_ANCHORED | PCRE2_NO_JIT, data.get(),
                              m_context.get()) != PCRE2_ERROR_MATCHLIMIT;
    };
    std::uint64_t high = 4;
    while (!endsWithin(high)) {
        if (high >= limit)
            return 0;
        high = std::min<std::uint64_t>(high * 4, limit);
    }
    std::uint64_t low = high / 4;
    while (high - low > std::max<std::uint64_t>(high / 8, 1)) {
        const std::uint64_t mid = low + (high - low) / 2;
        endsWithin(mid) ? high = mid : low = mid;
    }
    return high;
}

} // namespace engine
