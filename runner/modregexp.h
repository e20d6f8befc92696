#pragma once
// Execute, Test and Replace: each run makes a fresh engine object, applies the options and the
// pattern, runs it, reports a failure through ErrorReporter and presents the outcome (the
// results tree, the Test verdict box, the result box), handing back what it found as a
// RunResult. Every box shows through the modal host the caller hands in. The engine works off
// the user-interface thread (BackgroundRun); a run cancelled with Esc or Cancel changes nothing
// and shows no box: its result says so, for the window's status line.

#include "runner/runoptions.h"
#include "runner/runresult.h"

#include <QString>

class ModalHost;
class ResultsTree;
class ResultText;

namespace engine {
class RunControl;
}

// At most this many match nodes are shown; a skip node counts the rest.
inline constexpr int MaxMatchNodes = 100;
// The longest Replace result put into the result box (as much as the largest file read gives
// a text box); a longer one is refused as too large.
inline constexpr std::size_t MaxResultBoxLength = std::size_t(32) * 1024 * 1024;

enum class RunCommand
{
    Execute,        // empties and fills the tree
    ExecuteAndOpen, // as Execute; the caller then exports the matches
    Test,           // shows "Match." or "Do not match.", never touches the tree
};

// Runs pattern (as typed: options.ignoreLineBreaks applies PreparePattern) over source on the
// calling thread under control, which may stop it (a Cancelled result). Shows nothing.
RunResult RunPattern(engine::RunControl &control, const QString &pattern, const QString &source,
                     const RunOptions &options, RunCommand command);
// The window's run: RunPattern off the user-interface thread (Esc or Cancel stops it). Unless
// it was cancelled, Execute empties the tree; then the boxes the result calls for show through
// modal (ReportRun) and Execute fills the tree with its matches.
RunResult RunRegExp(ModalHost &modal, ResultsTree &tree, const QString &pattern,
                    const QString &source, const RunOptions &options, RunCommand command);
// Shows what a result says in a box: the error (for Replace as well) or Test's verdict. A
// successful Execute or Replace, and a cancelled run, show none.
void ReportRun(ModalHost &modal, const RunResult &result, RunCommand command);
// Test's verdict as its box and the status line give it: "Match." or "Do not match.".
QString TestVerdictText(bool matched);
// The totals node, up to MaxMatchNodes match nodes with their submatches, and the skip node;
// each node says what it stands for.
void FillResultsTree(ResultsTree &tree, const engine::MatchCollection &matches);
// Empties the result box, then fills it with the source after replacement; the result holds
// neither matches nor a verdict.
RunResult ReplaceRegExp(ModalHost &modal, ResultText &resultBox, const QString &pattern,
                        const QString &source, const QString &replacement,
                        const RunOptions &options);
