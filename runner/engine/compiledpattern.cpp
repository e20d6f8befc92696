#include "runner/engine/compiledpattern.h"

#include "runner/engine/invariant.h"
#include "runner/engine/regexp.h"
#include "runner/engine/wordstart.h"

#include <pcre2.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
void throwMatchFailure(int rc)
{
    switch (rc) {
    case PCRE2_ERROR_MATCHLIMIT:
    case PCRE2_ERROR_DEPTHLIMIT:
    case PCRE2_ERROR_HEAPLIMIT:
    case PCRE2_ERROR_JIT_STACKLIMIT:
        throw RegExpError(errors::TooMuchBacktracking, -1);
    case PCRE2_ERROR_NOMEMORY:
        throw std::bad_alloc();
    default:
        throw RegExpError(errors::EngineFailure, u"The engine failed: " + pcreMessage(rc) + u".",
                          -1);
    }
}

Pcre2Ptr<pcre2_code_16> compileTranslation(const Translation &translation, CaseMode caseMode,
                                           LineMode lineMode, std::uint32_t moreOptions)
{
    std::uint32_t options = moreOptions | PCRE2_NEVER_UTF | PCRE2_NEVER_UCP |
                            PCRE2_NEVER_BACKSLASH_C | PCRE2_MATCH_UNSET_BACKREF |
                            PCRE2_DOLLAR_ENDONLY | PCRE2_USE_OFFSET_LIMIT;
    if (caseMode == CaseMode::Caseless)
        options |= PCRE2_CASELESS;
    if (lineMode == LineMode::Native)
        options |= PCRE2_MULTILINE | PCRE2_ALT_CIRCUMFLEX;

    const Pcre2Ptr<pcre2_compile_context_16> cc(pcre2_compile_context_create_16(nullptr));
    if (!cc)
        throw std::bad_alloc();
    pcre2_set_newline_16(cc.get(), PCRE2_NEWLINE_LF);
    pcre2_set_parens_nest_limit_16(cc.get(), limits::ParensNestLimit);
    int error = 0;
    PCRE2_SIZE offset = 0;
    const auto *text = reinterpret_cast<PCRE2_SPTR16>(translation.pattern.data());
    Pcre2Ptr<pcre2_code_16> code(
        pcre2_compile_16(text, translation.pattern.size(), options, &error, &offset, cc.get()));
    if (!code) {
        if (error == PCRE2_ERROR_HEAP_FAILED)
            throw std::bad_alloc();
        throw RegExpError(errors::EngineFailure,
                          u"The pattern cannot be compiled: " + pcreMessage(error) + u".", -1);
    }
    return code;
}

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

CompiledPattern::Code CompiledPattern::compile(const detail::Translation &translation,
                                               detail::CaseMode caseMode, detail::LineMode lineMode,
                                               std::uint32_t moreOptions)
{
    Code out;
    out.code = detail::compileTranslation(translation, caseMode, lineMode, moreOptions);
    out.jit = pcre2_jit_compile_16(out.code.get(), PCRE2_JIT_COMPLETE) == 0;
    return out;
}

CompiledPattern::CompiledPattern(const detail::SyntaxTree &tree, detail::CaseMode caseMode,
                                 detail::LineMode lineMode)
    : m_translation(detail::translate(tree, caseMode, lineMode))
    , m_caseMode(caseMode)
    , m_lineMode(lineMode)
{
    // Without CR, PCRE2's own search for line starts (after LF) is as quick.
    m_lineStarts = lineMode == detail::LineMode::Lookaround && tree.startsAtLineStart();
    if (detail::firstRunDecides(tree, caseMode)) {
        const detail::Translation skipping =
            detail::translateSkippingFailedRuns(tree, caseMode, lineMode);
        ENGINE_INVARIANT(skipping.groupNumbers == m_translation.groupNumbers);
        ENGINE_INVARIANT(skipping.checks.size() == m_translation.checks.size());
        m_code = compile(skipping, caseMode, lineMode, 0);
    } else {
        m_code = compile(m_translation, caseMode, lineMode, m_lineStarts ? PCRE2_ANCHORED : 0);
    }
    if (detail::searchAfterNonWord(tree, caseMode)) {
        m_afterNonWordTranslation = detail::translateAfterNonWord(tree, caseMode, lineMode);
        ENGINE_INVARIANT(m_afterNonWordTranslation.groupNumbers == m_translation.groupNumbers);
        ENGINE_INVARIANT(m_afterNonWordTranslation.checks.size() == m_translation.checks.size());
    }

    m_matchData.reset(pcre2_match_data_create_from_pattern_16(m_code.code.get(), nullptr));
    m_context.reset(pcre2_match_context_create_16(nullptr));
    if (!m_matchData || !m_context)
        throw std::bad_alloc();
    m_ovector = pcre2_get_ovector_pointer_16(m_matchData.get());
    setMatchLimit(limits::WatchAfterSteps);
    pcre2_set_depth_limit_16(m_context.get(), limits::DepthLimit);
    pcre2_set_heap_limit_16(m_context.get(), limits::HeapLimitKiB);
    if (!m_translation.checks.empty())
        pcre2_set_callout_16(m_context.get(), calloutEntry, this);
    if (m_code.jit) {
        m_jitStack.reset(
            pcre2_jit_stack_create_16(limits::JitStackStart, limits::JitStackMax, nullptr));
        if (m_jitStack)
            pcre2_jit_stack_assign_16(m_context.get(), nullptr, m_jitStack.get());
    }
}

int CompiledPattern::checkIteration(int id, const std::size_t *ovector, std::uint32_t captureTop,
                                    std::uint32_t captureLast, std::size_t position) const
{
    return detail::checkIteration(m_translation.checks, id, ovector, captureTop, captureLast,
                                  position);
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
[[gnu::always_inline]] inline int CompiledPattern::match(const Code &code, std::u16string_view text,
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
    int rc = code.jit ? pcre2_jit_match_16(code.code.get(), subject, text.size(), start, 0,
                                           m_matchData.get(), m_context.get())
                      : pcre2_match_16(code.code.get(), subject, text.size(), start, 0,
                                       m_matchData.get(), m_context.get());
    if (rc == PCRE2_ERROR_JIT_STACKLIMIT) // deep backtracking: the interpreter keeps it on the heap
        rc = pcre2_match_16(code.code.get(), subject, text.size(), start, PCRE2_NO_JIT,
                            m_matchData.get(), m_context.get());
    return rc;
}

int CompiledPattern::matchAt(const Code &code, std::u16string_view text, std::size_t at,
                             std::size_t lastStart)
{
    std::uint64_t steps = limits::WatchAfterSteps;
    for (;;) {
        setMatchLimit(static_cast<std::uint32_t>(steps));
        const int rc = match(code, text, at, lastStart);
        if (rc != PCRE2_ERROR_MATCHLIMIT || steps >= limits::MatchLimit)
            return rc;
        checkStop(true);
        steps = std::min<std::uint64_t>(steps * 10, limits::MatchLimit);
    }
}

int CompiledPattern::searchAlone(const Code &code, std::u16string_view text, std::size_t start,
                                 std::size_t lastStart)
{
    int rc = PCRE2_ERROR_NOMATCH;
    for (std::size_t at = start; at <= lastStart; ++at) {
        rc = matchAt(code, text, at, at);
        if (rc != PCRE2_ERROR_NOMATCH)
            break;
        checkStop((at - start) % 64 == 63);
    }
    return rc;
}

namespace {

// The first CR or LF in text from from on; text.size() when there is none.
std::size_t findBreak(std::u16string_view text, std::size_t from)
{
    const char16_t *const data = text.data();
    std::size_t i = from;
#if defined(__SSE2__)
    // Eight code units at a time.
    const __m128i cr = _mm_set1_epi16(u'\r');
    const __m128i lf = _mm_set1_epi16(u'\n');
    for (; i + 8 <= text.size(); i += 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + i));
        const int found =
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi16(units, cr), _mm_cmpeq_epi16(units, lf)));
        if (found)
            return i + static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(found)) / 2);
    }
#endif
    for (; i < text.size(); ++i)
        if (data[i] == u'\n' || data[i] == u'\r')
            return i;
    return text.size();
}

// The first line start at or after from: the start of the text, or just after a CR or LF
// (the end of the text included); past the end when there is none.
std::size_t nextLineStart(std::u16string_view text, std::size_t from)
{
    return from == 0 ? 0 : findBreak(text, from - 1) + 1;
}

} // namespace

int CompiledPattern::searchLineStarts(std::u16string_view text, std::size_t start)
{
    for (unsigned tries = 1;; ++tries) {
        const std::size_t at = nextLineStart(text, start);
        if (at > text.size())
            return PCRE2_ERROR_NOMATCH;
        const int rc = matchAt(m_code, text, at, text.size());
        if (rc != PCRE2_ERROR_NOMATCH)
            return rc;
        checkStop(tries % 64 == 0);
        start = at + 1;
    }
}

int CompiledPattern::searchWordStarts(std::u16string_view text, std::size_t start)
{
    if (start == 0) {
        // Nothing stands before the start of the text: the pattern itself, there alone.
        const int rc = matchAt(m_code, text, 0, 0);
        if (rc != PCRE2_ERROR_NOMATCH || text.empty())
            return rc;
        start = 1;
    }
    // A match at p begins after the non-word character at p - 1.
    return searchSpans(m_afterNonWord, text, start - 1);
}

bool CompiledPattern::search(std::u16string_view text, std::size_t start, std::int32_t *bounds)
{
    if (m_lineStarts)
        return answer(searchLineStarts(text, start), bounds);
    if (!m_afterNonWordTranslation.pattern.empty() && !m_afterNonWordTried) {
        m_afterNonWordTried = true;
        try {
            m_afterNonWord = compile(m_afterNonWordTranslation, m_caseMode, m_lineMode, 0);
        } catch (const RegExpError &) {
            // Left to the general search.
        }
    }
    if (m_afterNonWord.code)
        return answer(searchWordStarts(text, start), bounds);
    return answer(searchSpans(m_code, text, start), bounds);
}

int CompiledPattern::searchSpans(const Code &code, std::u16string_view text, std::size_t start)
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
        setMatchLimit(static_cast<std::uint32_t>(StepsPerCall >> std::countr_zero(span)));
        rc = match(code, text, start, lastStart);
        if (rc == PCRE2_ERROR_MATCHLIMIT && span > FirstSpan) {
            span = FirstSpan; // the same start positions again, with all their steps
            began = {};
            continue;
        }
        if (rc == PCRE2_ERROR_MATCHLIMIT)
            rc = searchAlone(code, text, start, lastStart);
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
    return rc;
}

bool CompiledPattern::answer(int rc, std::int32_t *bounds)
{
    if (rc == PCRE2_ERROR_NOMATCH)
        return false;
    if (rc < 0)
        detail::throwMatchFailure(rc);
    detail::readBounds(m_translation, m_ovector, static_cast<std::uint32_t>(rc), bounds);
    return true;
}

std::uint64_t CompiledPattern::stepsAt(std::u16string_view text, std::size_t at,
                                       std::uint32_t limit)
{
    // Counted in the interpreter, on a compilation whose repeats all leave backtracking
    // points: the JIT skips steps inside a repeated character, and a repeat made possessive
    // scans its characters without counting them.
    if (!m_counted)
        m_counted = detail::compileTranslation(m_translation, m_caseMode, m_lineMode,
                                               PCRE2_NO_AUTO_POSSESS);
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
