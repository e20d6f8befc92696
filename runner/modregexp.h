#pragma once
// Execute, Test and Replace: each run makes a fresh engine object, applies the options and the
// pattern, runs it, reports a failure through ErrorReporter and presents the outcome (the
// results tree, the Test verdict box, the result box). Every box shows through the modal host
// the caller hands in. The engine works off the user-interface
// thread (BackgroundRun); a run cancelled with Esc or Cancel changes nothing and shows no box:
// its outcome says so, for the window's status line.

#include "runner/engine/regexp.h"
#include "runner/matchpositions.h"
#include "runner/runoptions.h"

#include <QString>

#include <chrono>
#include <functional>
#include <optional>

class ModalHost;
class ResultsTree;
class ResultText;

// At most this many match nodes are shown; a skip node counts the rest.
inline constexpr int MaxMatchNodes = 100;
// The longest Replace result put into the result box (as much as the largest file read gives
// a text box); a longer one is refused as too large.
inline constexpr std::size_t MaxResultBoxLength = std::size_t(32) * 1024 * 1024;

// Hands a successful Execute's matches to the spreadsheet export.
using MatchExporter = std::function<void(const engine::MatchCollection &)>;

enum class RunCommand
{
    Execute,        // empties and fills the tree
    ExecuteAndOpen, // as Execute, then hands the matches to the exporter
    Test,           // shows "Match." or "Do not match.", never touches the tree
};

// What a run leaves for the window to show beside its own output.
struct RunOutcome
{
    // Where the matches of a successful Execute lie; none after Test or a failure.
    std::optional<MatchPositions> positions;
    // The offset in the pattern, after PreparePattern, of a reported pattern error; -1 where
    // none applies.
    int errorPosition = -1;
    // Esc or Cancel stopped the run; nothing was changed or shown.
    bool cancelled = false;
    // The number of matches of a successful Execute; -1 otherwise.
    qint64 matchCount = -1;
    // Test's verdict, once shown.
    std::optional<bool> verdict;
    // How long the engine worked.
    std::chrono::nanoseconds engineTime{0};
};

// Runs pattern (as typed: options.ignoreLineBreaks applies PreparePattern) over source.
// exporter is the caller's choice of export; ExecuteAndOpen needs one.
RunOutcome RunRegExp(ModalHost &modal, ResultsTree &tree, const QString &pattern,
                     const QString &source, const RunOptions &options, RunCommand command,
                     const MatchExporter &exporter);
// Test's verdict as its box and the status line give it: "Match." or "Do not match.".
QString TestVerdictText(bool matched);
// The totals node, up to MaxMatchNodes match nodes with their submatches, and the skip node.
void FillResultsTree(ResultsTree &tree, const engine::MatchCollection &matches);
void AddSubMatchNodes(ResultsTree &tree, qsizetype matchNode, const engine::SubMatches &subMatches);
// Empties the result box, then fills it with the source after replacement.
RunOutcome ReplaceRegExp(ModalHost &modal, ResultText &resultBox, const QString &pattern,
                         const QString &source, const QString &replacement,
                         const RunOptions &options);
