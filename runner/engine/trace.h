#pragma once
// Watching the engine work: one search traced step by step, each step told in the pattern the
// user typed (never in its translation) and in the text. Plain C++20, no Qt; offsets in UTF-16
// code units.
//
// A step is the engine trying one part of the pattern (a literal, a class, a group's bracket,
// the end of an alternative, a loop's quantifier, the pattern's end) at one text position. A
// trace runs the search Execute runs from a position, to its first match or to the end, and
// finds the match Execute finds. Tracing costs nothing to Execute, Test and Replace: it compiles
// its own copy of the pattern.

#include "runner/engine/regexp.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace engine {

namespace limits {
// Steps a trace records before it stops, unless asked for another limit.
inline constexpr std::uint64_t TraceSteps = 1'000'000;
} // namespace limits

struct TraceOptions
{
    bool ignoreCase = false;
    bool multiline = false;
    // Keep every step (else only the counts).
    bool records = true;
};

// How a step came about.
enum class StepKind : std::uint8_t
{
    Start,     // the first step at a new start position
    Try,       // the next part, after the one before matched
    Backtrack, // a part tried again after a failure
    Match,     // the pattern's end: the whole pattern matched
    NoMatch,   // the search ended without a match (the last step)
};

// One step in 8 bytes: the part tried (an index into TraceResult::parts), the text position,
// how it came about, and whether the part matched (the step after went on forward).
class TraceStep
{
public:
    TraceStep(StepKind kind, std::uint32_t part, std::uint32_t position)
        : m_position(position)
        , m_bits(part << 4 | static_cast<std::uint32_t>(kind))
    {}
    StepKind kind() const { return static_cast<StepKind>(m_bits & 7); }
    int part() const { return static_cast<int>(m_bits >> 4); }
    int position() const { return static_cast<int>(m_position); }
    bool matched() const { return (m_bits & 8) != 0; }
    void setMatched() { m_bits |= 8; }

private:
    std::uint32_t m_position;
    std::uint32_t m_bits;
};

// A part of the pattern steps can stand for, and the steps spent on it.
struct TracePart
{
    int start = 0;
    int length = 0;
    std::uint64_t steps = 0;
};

// Where the search began again: the first step there and the text position.
struct TraceAttempt
{
    std::uint64_t step;
    std::int32_t position;
};

struct TraceResult
{
    // The match with its groups as Execute gives it: groupCount + 1 pairs [start, end), -1, -1
    // for a group that took no part. Empty when there was none (or the trace stopped).
    std::vector<std::int32_t> bounds;
    int groupCount = 0;
    std::uint64_t steps = 0;
    // The step limit was reached: no outcome, the steps up to it are kept.
    bool stopped = false;
    // In pattern order; the part standing for the pattern's end is last (length 0). Parts the
    // translation drops (a {0} loop) have none. Their steps add up to `steps`.
    std::vector<TracePart> parts;
    // Every step, when asked for; then also the start positions in step order.
    std::vector<TraceStep> records;
    std::vector<TraceAttempt> attempts;

    bool found() const { return !bounds.empty(); }
    // The start position the search was trying at step (a recorded one).
    int attemptStart(std::size_t step) const;
    // The first recorded step after step that came about by kind, or -1.
    long long nextOf(std::size_t step, StepKind kind) const;
    // The first step after step at another start position, or -1.
    long long nextAttempt(std::size_t step) const;
    // Bytes held for the records.
    std::size_t recordBytes() const
    {
        return records.capacity() * sizeof(TraceStep) + attempts.capacity() * sizeof(TraceAttempt);
    }
};

// Traces the search of pattern over source from offset from. Throws RegExpError for an invalid
// pattern, a run that hits the engine's limits, or a cancel through control (may be null).
TraceResult Trace(std::u16string_view pattern, const TraceOptions &options,
                  std::u16string_view source, std::size_t from,
                  std::uint64_t stepLimit = limits::TraceSteps,
                  const RunControl *control = nullptr);

// Where the search that found match (of a Global Execute) began: 0 for the first, else after
// the match before (one further after an empty one). Trace from there retraces its attempt.
std::size_t SearchStartOf(const MatchCollection &matches, int match);

// The steps of each match of a run as Execute (global or not) finds them, without records.
struct RunSteps
{
    std::vector<std::uint64_t> perMatch; // the search that found each match
    std::uint64_t total = 0;             // with the last search, which found none
};
RunSteps StepsOfRun(std::u16string_view pattern, const TraceOptions &options,
                    std::u16string_view source, bool global, const RunControl *control = nullptr);

} // namespace engine
