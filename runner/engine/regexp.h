#pragma once
// The VBScript 5.5 regular-expression objects over PCRE2: RegExp, MatchCollection, Match and
// SubMatches. Plain C++20, no Qt. Everything counts in UTF-16 code units (char16_t); a surrogate
// pair is two characters. Failures are thrown as engine::RegExpError.
//
// Use: set Global / IgnoreCase / Multiline / Pattern, then call Execute, Test or Replace. The
// pattern is checked (and compiled, then cached until a property changes) by those calls;
// setting Pattern never fails. To show how a pattern is read, span by span, and its first
// error without running it, see Scan in scanner.h.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

// Error numbers and limits, all in one place.
namespace errors {
inline constexpr int SyntaxError = 5017;          // "Syntax error in regular expression"
inline constexpr int UnexpectedQuantifier = 5018; // "Unexpected quantifier"
inline constexpr int ExpectedBracket = 5019;      // "Expected ']' in regular expression"
inline constexpr int ExpectedParen = 5020;        // "Expected ')' in regular expression"
inline constexpr int InvalidRange = 5021;         // "Invalid range in character set"
// A run hit the match or heap limit: "The pattern needs too much backtracking for this text."
inline constexpr int TooMuchBacktracking = 5030;
// Any other failure of the underlying library (should not happen; carries its message).
inline constexpr int EngineFailure = 5031;
// A run went on longer than limits::MaxRunTime: "The run took too long and was stopped."
inline constexpr int RunTooLong = 5032;
// Replace would give more than limits::MaxResultLength characters: "The result is too large."
inline constexpr int ResultTooLarge = 5033;
// RunControl::cancel stopped the run: "The run was cancelled."
inline constexpr int Cancelled = 5034;
} // namespace errors

namespace limits {
// PCRE2 match limit (backtracking steps per match attempt) and heap limit (KiB).
inline constexpr std::uint32_t MatchLimit = 10'000'000;
inline constexpr std::uint32_t DepthLimit = 1'000'000;
inline constexpr std::uint32_t HeapLimitKiB = 256 * 1024;
// The JIT's stack: its first and its largest size in bytes. A search that outgrows it goes on
// in the interpreter, under the limits above.
inline constexpr std::size_t JitStackStart = 64 * 1024;
inline constexpr std::size_t JitStackMax = 16 * 1024 * 1024;
// Largest count accepted in {n}, {n,}, {n,m}; above it the pattern is error 5017.
inline constexpr std::uint32_t MaxRepeatCount = 65535;
// Deepest nesting of groups the parser accepts; deeper is refused before it can exhaust the
// stack.
inline constexpr int MaxNesting = 500;
// PCRE2's nesting limit for the translation, which may nest up to two groups per group of the
// pattern.
inline constexpr std::uint32_t ParensNestLimit = 1200;
// Longest translation handed to PCRE2, in code units: nested loops whose iterations may be empty
// copy their bodies, and past this PCRE2 would refuse the pattern anyway.
inline constexpr std::size_t MaxTranslatedLength = 1 << 20;
// Backtracking steps at one start position before the search looks at RunControl and the
// run's time; then again after ten times as many, and so on up to MatchLimit.
inline constexpr std::uint32_t WatchAfterSteps = 10'000;
// Longest run of Execute, Test or Replace.
inline constexpr std::chrono::milliseconds MaxRunTime{20'000};
// Longest result of Replace, in UTF-16 code units (256 MiB).
inline constexpr std::size_t MaxResultLength = std::size_t(128) * 1024 * 1024;
} // namespace limits

// Lets another thread stop a run of Execute, Test or Replace, which then throws
// errors::Cancelled within a few milliseconds. One object per run.
class RunControl
{
public:
    void cancel() noexcept { m_cancelled.store(true, std::memory_order_relaxed); }
    bool cancelled() const noexcept { return m_cancelled.load(std::memory_order_relaxed); }
    // The run's time cap (limits::MaxRunTime unless set lower, for tests).
    std::chrono::milliseconds timeLimit() const noexcept { return m_timeLimit; }
    void setTimeLimit(std::chrono::milliseconds limit) noexcept { m_timeLimit = limit; }
    // The longest result of Replace (limits::MaxResultLength unless set lower).
    std::size_t resultLimit() const noexcept { return m_resultLimit; }
    void setResultLimit(std::size_t limit) noexcept
    {
        m_resultLimit = std::min(limit, limits::MaxResultLength);
    }

private:
    std::atomic<bool> m_cancelled{false};
    std::chrono::milliseconds m_timeLimit = limits::MaxRunTime;
    std::size_t m_resultLimit = limits::MaxResultLength;
};

// An engine failure: number (see errors), English description, and the offset in the pattern
// (UTF-16 code units) where a pattern error was found, or -1 where none applies.
class RegExpError : public std::exception
{
public:
    RegExpError(int number, int position);
    RegExpError(int number, std::u16string description, int position);
    int number() const noexcept { return m_number; }
    const std::u16string &description() const noexcept { return m_description; }
    int position() const noexcept { return m_position; }
    // The description as UTF-8 (ASCII for the engine's own texts).
    const char *what() const noexcept override { return m_what.c_str(); }

    // The fixed description for one of the numbers above ("" for an unknown number).
    static std::u16string descriptionFor(int number);

private:
    int m_number;
    std::u16string m_description;
    int m_position;
    std::string m_what;
};

namespace detail {
// Shared store of an Execute result: the source text and, per match, (groups + 1) pairs of
// int32 offsets [start, end); a group that took no part has start = end = -1.
struct MatchData
{
    std::shared_ptr<const std::u16string> source;
    int groupCount = 0;
    std::vector<std::int32_t> offsets;
    int count() const
    {
        return static_cast<int>(offsets.size() / (2 * static_cast<std::size_t>(groupCount + 1)));
    }
    const std::int32_t *at(int match) const
    {
        return offsets.data() + 2 * static_cast<std::size_t>(groupCount + 1) * match;
    }
};

// Random-access iterator over items produced by Owner::Item(int).
template<class Owner, class Item>
class IndexIterator
{
public:
    using value_type = Item;
    using difference_type = std::ptrdiff_t;
    IndexIterator() = default;
    IndexIterator(const Owner *owner, int index)
        : m_owner(owner)
        , m_index(index)
    {}
    Item operator*() const { return m_owner->Item(m_index); }
    IndexIterator &operator++()
    {
        ++m_index;
        return *this;
    }
    IndexIterator operator++(int)
    {
        IndexIterator old = *this;
        ++m_index;
        return old;
    }
    bool operator==(const IndexIterator &other) const { return m_index == other.m_index; }

private:
    const Owner *m_owner = nullptr;
    int m_index = 0;
};
} // namespace detail

// The captures of one match: one item per capturing group of the pattern, item 0 for group 1.
// Views stay valid while any object of the same Execute result is alive.
class SubMatches
{
public:
    SubMatches() = default;
    int Count() const { return m_data ? m_data->groupCount : 0; }
    // Text of group i + 1; empty text for a group that took no part. i must be in [0, Count()).
    std::u16string_view Item(int i) const;
    // False when group i + 1 took no part in the match (VBScript's Empty).
    bool Participated(int i) const;
    using iterator = detail::IndexIterator<SubMatches, std::u16string_view>;
    iterator begin() const { return iterator(this, 0); }
    iterator end() const { return iterator(this, Count()); }

private:
    friend class Match;
    SubMatches(std::shared_ptr<const detail::MatchData> data, int match)
        : m_data(std::move(data))
        , m_match(match)
    {}
    std::shared_ptr<const detail::MatchData> m_data;
    int m_match = 0;
};

// One match: offsets and lengths in UTF-16 code units, FirstIndex 0-based.
class Match
{
public:
    Match() = default;
    std::u16string_view Value() const;
    int FirstIndex() const;
    int Length() const;
    engine::SubMatches SubMatches() const;

private:
    friend class MatchCollection;
    Match(std::shared_ptr<const detail::MatchData> data, int match)
        : m_data(std::move(data))
        , m_match(match)
    {}
    std::shared_ptr<const detail::MatchData> m_data;
    int m_match = 0;
};

// The matches of one Execute, in source order (0-based Item). Keeps the source text and
// 4 bytes per capture boundary; texts are views into the kept source.
class MatchCollection
{
public:
    MatchCollection();
    explicit MatchCollection(std::shared_ptr<const detail::MatchData> data);
    int Count() const { return m_data->count(); }
    // Match i, i in [0, Count()).
    Match Item(int i) const { return Match(m_data, i); }
    using iterator = detail::IndexIterator<MatchCollection, Match>;
    iterator begin() const { return iterator(this, 0); }
    iterator end() const { return iterator(this, Count()); }
    // Bytes held for offsets (for the memory budget).
    std::size_t offsetBytes() const { return m_data->offsets.capacity() * sizeof(std::int32_t); }
    // Capturing groups of the pattern.
    int GroupCount() const { return m_data->groupCount; }
    // Per match, GroupCount() + 1 pairs [start, end) of offsets in the source, the whole match
    // first; -1, -1 for a group that took no part. Valid while the collection lives.
    std::span<const std::int32_t> Offsets() const { return m_data->offsets; }

private:
    std::shared_ptr<const detail::MatchData> m_data;
};

class CompiledPattern;
namespace detail {
struct SyntaxTree;
}

// The VBScript RegExp object. Not thread-safe; use one object per thread.
class RegExp
{
public:
    RegExp();
    ~RegExp();
    RegExp(const RegExp &) = delete;
    RegExp &operator=(const RegExp &) = delete;

    bool Global() const { return m_global; }
    bool IgnoreCase() const { return m_ignoreCase; }
    bool Multiline() const { return m_multiline; }
    const std::u16string &Pattern() const { return m_pattern; }
    void setGlobal(bool on);
    void setIgnoreCase(bool on);
    void setMultiline(bool on);
    void setPattern(std::u16string_view pattern);
    // Watched by the following runs (null: none); the object must outlive them.
    void setRunControl(const RunControl *control) { m_control = control; }

    // All matches (Global) or the first one. Throws RegExpError for an invalid pattern or a
    // run that hits a limit. The source is copied once into the result.
    MatchCollection Execute(std::u16string_view source);
    // As above, sharing the caller's source text instead of copying it.
    MatchCollection Execute(std::shared_ptr<const std::u16string> source);
    // True when a match exists anywhere (Global is ignored). Throws like Execute.
    bool Test(std::u16string_view source);
    // The source with the first match (or, with Global, every match) replaced by the expanded
    // replacement ($$ $& $` $' $n $nn). Throws like Execute.
    std::u16string Replace(std::u16string_view source, std::u16string_view replacement);

    // The backtracking steps the attempt at offset `at` of source takes (to within an
    // eighth), every repeat counting its backtracking, or 0 when more than limit. Throws
    // RegExpError for an invalid pattern.
    std::uint64_t StepsAt(std::u16string_view source, std::size_t at, std::uint32_t limit);

private:
    // The compiled pattern for source, ready for one run under m_control.
    CompiledPattern &compiled(std::u16string_view source);
    void invalidate();

    bool m_global = false;
    bool m_ignoreCase = false;
    bool m_multiline = false;
    std::u16string m_pattern;
    const RunControl *m_control = nullptr;
    // The checked pattern, kept until a property changes.
    std::unique_ptr<detail::SyntaxTree> m_tree;
    // Up to two cached compilations (one for texts with CR, one without, where they differ).
    std::unique_ptr<CompiledPattern> m_cache[2];
};

} // namespace engine
