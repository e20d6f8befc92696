#pragma once
// A run for the live results: Execute, and Replace where asked, of the work as it stood when the
// request was taken, with no dialog. Meant for a worker thread: it reads nothing but its request
// and stops when its RunControl is cancelled or its time cap passes.

#include "runner/engine/regexp.h"
#include "runner/matchpositions.h"
#include "runner/runoptions.h"

#include <QString>

#include <chrono>
#include <memory>
#include <optional>

struct LiveRequest
{
    QString pattern; // as typed: options.ignoreLineBreaks applies PreparePattern
    QString source;
    QString replacement;
    RunOptions options;
    bool replace = false; // also run Replace
};

struct LiveAnswer
{
    enum class Outcome
    {
        Done,
        Failed,    // error holds the engine's error
        Stopped,   // the time cap passed
        Cancelled, // the control was cancelled
    };
    Outcome outcome = Outcome::Done;
    std::shared_ptr<const engine::MatchCollection> matches; // Done
    // Where they lie (built beside the run, so that the window only takes it over).
    std::shared_ptr<MatchPositions> positions; // Done
    std::optional<QString> replaced;                        // Done with replace asked for
    std::optional<engine::RegExpError> error;               // Failed
    std::chrono::nanoseconds engineTime{0};                 // Execute's (and Replace's) time
};

// Runs request under control, capped at timeCap (the control's own limit is replaced). The
// request's source is let go of as soon as the run has its own copy, so that the text box it
// came from can change its text in place again.
LiveAnswer RunLive(LiveRequest request, engine::RunControl &control,
                   std::chrono::milliseconds timeCap);
