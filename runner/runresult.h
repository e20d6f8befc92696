#pragma once
// What one run hands back, as data: the matches of an Execute with where each match and
// submatch lies, the totals, Test's verdict, or the error that stopped it. The results tree, the
// source box's highlights, the export and the panels are views of it.

#include "runner/engine/regexp.h"
#include "runner/matchpositions.h"

#include <QString>

#include <chrono>
#include <optional>

// Why a run gave no result: the engine's error number and description, and for a pattern error
// its offset in the pattern after PreparePattern.
struct RunError
{
    enum class Stage
    {
        Create, // the engine object could not be made
        Run,    // setting the pattern or running it failed
    };

    Stage stage = Stage::Run;
    qint32 number = 0;
    QString description;
    // -1 where no place in the pattern applies.
    qint32 position = -1;
};

struct RunResult
{
    enum class Outcome
    {
        Done,
        Failed,   // error says why
        Cancelled // stopped on request; nothing to show
    };

    Outcome outcome = Outcome::Done;
    // Execute: every match in source order; Match::SubMatches() gives their texts (empty for a
    // group that took no part).
    std::optional<engine::MatchCollection> matches;
    // Execute: where every match and group lies in the source (start -1 for a group that took
    // no part).
    MatchPositions positions;
    // Test: whether the pattern matches.
    std::optional<bool> verdict;
    std::optional<RunError> error;
    // How long the engine worked (setting the pattern and running it).
    std::chrono::nanoseconds engineTime{0};

    bool done() const { return outcome == Outcome::Done; }
    // The matches found; 0 without an Execute.
    int count() const { return matches ? matches->Count() : 0; }
    // Offset in the pattern of a pattern error; -1 where none applies.
    int errorPosition() const { return error ? error->position : -1; }
};
