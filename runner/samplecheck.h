#pragma once
// Checks samples against the engine: each sample's text runs with the window's pattern and
// four options (Ignore line breaks through PreparePattern, as for Execute), under the engine's
// limits and the time cap of a single run. An invalid pattern or a stopped run is the sample's
// verdict, with the engine's message; nothing is shown. Safe on a worker thread.

#include "runner/runoptions.h"
#include "samples/sample.h"

#include <QList>
#include <QString>

#include <utility>
#include <vector>

namespace engine {
class RunControl;
}

// What the samples run with: the window's pattern (as typed), replacement and options.
struct SampleRunInputs
{
    QString pattern;
    QString replacement;
    RunOptions options;
};

struct SampleVerdict
{
    bool passed = false;
    // What came out, in the words of describeExpectation ("3 matches"), or the engine's error
    // as "error 5017: Syntax error in regular expression".
    QString got;
    // The run failed: an invalid pattern or a stopped run.
    bool failedToRun = false;
    // Where Execute (under the window's Global) found the matches in the text: [start, end)
    // offsets in UTF-16 code units; empty when the run failed.
    std::vector<std::pair<int, int>> matches;
};

// The verdicts of samples, in order. control (not null) may cancel the check from another
// thread: then this throws engine::RegExpError (errors::Cancelled) and nothing is returned.
std::vector<SampleVerdict> CheckSamples(const SampleRunInputs &inputs, const QList<Sample> &samples,
                                        const engine::RunControl &control);

// text as a sample that expects what the pattern gives on it now: no match, a match covering
// the whole text, or the number of matches; "match" when the run fails.
Sample sampleOfOutcome(const SampleRunInputs &inputs, const QString &text);

struct SampleTotals
{
    qsizetype passed = 0;
    qsizetype failed = 0;
};
SampleTotals countVerdicts(const std::vector<SampleVerdict> &verdicts);
// "12 passed, 1 failed".
QString summaryText(const SampleTotals &totals);
