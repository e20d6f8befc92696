#include "runner/modregexp.h"

#include "runner/enginebridge.h"
#include "runner/resultstree.h"
#include "runner/resulttext.h"
#include "support/backgroundrun.h"
#include "support/errorreporter.h"
#include "support/messagebox.h"
#include "support/suformat.h"

#include <memory>
#include <new>
#include <optional>

namespace {

QString numberedIconKey(const QString &base, qsizetype k)
{
    return k <= 9 ? base + u'_' + QString::number(k) : base;
}

// Creates the engine object; null when there is no memory for it.
std::unique_ptr<engine::RegExp> createRegExp()
{
    try {
        return std::make_unique<engine::RegExp>();
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}

void report(ModalHost &modal, const AppError &error, const QString &message)
{
    ErrorReporter::instance().ShowError(modal, error, MsgBoxStyle::Critical, message);
}

void reportCantCreate(ModalHost &modal)
{
    report(modal, outOfMemoryError(), QStringLiteral("Can't create RegExp object."));
}

void applyOptions(engine::RegExp &regExp, const QString &pattern, const RunOptions &options)
{
    regExp.setGlobal(options.global);
    regExp.setIgnoreCase(options.ignoreCase);
    regExp.setMultiline(options.multiline);
    regExp.setPattern(u16View(PreparePattern(pattern, options.ignoreLineBreaks)));
}

enum class Outcome
{
    Done,
    Failed,
    Cancelled
};

// Runs step off the user-interface thread (Esc or Cancel stops it) under the run's one error
// check; a failure is left in failure for the caller to report, with the place of a pattern
// error in outcome, and the engine's time there too.
template<typename Step>
Outcome runChecked(engine::RegExp &regExp, std::optional<AppError> &failure, RunOutcome &outcome,
                   Step step)
{
    engine::RunControl control;
    control.setResultLimit(MaxResultBoxLength);
    regExp.setRunControl(&control);
    bool done = false;
    const auto started = std::chrono::steady_clock::now();
    const auto timed = [&] {
        step();
        outcome.engineTime = std::chrono::steady_clock::now() - started;
    };
    try {
        BackgroundRun::instance().run(timed, [&control] { control.cancel(); });
        done = !control.cancelled();
    } catch (const engine::RegExpError &error) {
        if (error.number() != engine::errors::Cancelled) {
            failure = toAppError(error);
            outcome.errorPosition = error.position();
        }
    } catch (const std::bad_alloc &) {
        failure = outOfMemoryError();
    }
    regExp.setRunControl(nullptr);
    if (done)
        return Outcome::Done;
    if (failure)
        return Outcome::Failed;
    outcome.cancelled = true;
    return Outcome::Cancelled;
}

} // namespace

RunOutcome RunRegExp(ModalHost &modal, ResultsTree &tree, const QString &pattern,
                     const QString &source, const RunOptions &options, RunCommand command,
                     const MatchExporter &exporter)
{
    const bool isTest = command == RunCommand::Test;
    RunOutcome outcome;
    const std::unique_ptr<engine::RegExp> regExp = createRegExp();
    if (!regExp) {
        if (!isTest)
            tree.Clear();
        reportCantCreate(modal);
        return outcome;
    }

    bool verdict = false;
    std::optional<engine::MatchCollection> matches;
    std::optional<AppError> failure;
    const Outcome ran = runChecked(*regExp, failure, outcome, [&] {
        applyOptions(*regExp, pattern, options);
        if (isTest)
            verdict = regExp->Test(u16View(source));
        else
            matches.emplace(regExp->Execute(u16View(source)));
    });
    // A cancelled run leaves everything as it was; any other empties the tree (Execute).
    if (ran == Outcome::Cancelled)
        return outcome;
    if (!isTest)
        tree.Clear();
    if (failure) {
        report(modal, *failure,
               u"RegExp." + (isTest ? QStringLiteral("Test") : QStringLiteral("Execute")) +
                   u" has failed.");
        return outcome;
    }

    if (isTest) {
        outcome.verdict = verdict;
        MsgBox(modal, TestVerdictText(verdict), MsgBoxStyle::Information);
        return outcome;
    }
    outcome.matchCount = matches->Count();
    FillResultsTree(tree, *matches);
    outcome.positions.emplace(*matches);
    if (command == RunCommand::ExecuteAndOpen) {
        Q_ASSERT(exporter);
        if (exporter)
            exporter(*matches);
    }
    return outcome;
}

QString TestVerdictText(bool matched)
{
    return matched ? QStringLiteral("Match.") : QStringLiteral("Do not match.");
}

void FillResultsTree(ResultsTree &tree, const engine::MatchCollection &matches)
{
    const qint64 count = matches.Count();
    tree.AddRoot(u"Total " + suFormatLong(count) + u" element(s) found",
                 QStringLiteral("IDI_INFO"));
    qint64 shown = 0;
    for (const engine::Match &match : matches) {
        if (shown >= MaxMatchNodes) {
            tree.AddRoot(suFormatLong(count - shown) + u" element(s) of " + suFormatLong(count) +
                             u" were skipped",
                         QStringLiteral("IDI_WARNING"));
            break;
        }
        const QString label = toQString(match.Value()) + u" [" +
                              QString::number(match.FirstIndex() + 1) + u':' +
                              QString::number(match.Length()) + u']';
        const ResultsTree::Node node =
            tree.AddRoot(label, numberedIconKey(QStringLiteral("IDI_MATCH"), shown + 1));
        tree.SetExpanded(node, true);
        AddSubMatchNodes(tree, node, match.SubMatches());
        ++shown;
    }
}

void AddSubMatchNodes(ResultsTree &tree, qsizetype matchNode, const engine::SubMatches &subMatches)
{
    qsizetype j = 1;
    for (const auto &subMatch : subMatches) {
        const QString text = toQString(subMatch);
        const ResultsTree::Node node =
            tree.AddChild(matchNode, text + u" [" + QString::number(text.size()) + u']',
                          numberedIconKey(QStringLiteral("IDI_SUBMATCH"), j));
        tree.SetExpanded(node, true);
        ++j;
    }
}

RunOutcome ReplaceRegExp(ModalHost &modal, ResultText &resultBox, const QString &pattern,
                         const QString &source, const QString &replacement,
                         const RunOptions &options)
{
    RunOutcome outcome;
    const std::unique_ptr<engine::RegExp> regExp = createRegExp();
    if (!regExp) {
        resultBox.SetText(QString());
        reportCantCreate(modal);
        return outcome;
    }
    QString result;
    std::optional<AppError> failure;
    const Outcome ran = runChecked(*regExp, failure, outcome, [&] {
        applyOptions(*regExp, pattern, options);
        result = toQString(regExp->Replace(u16View(source), u16View(replacement)));
    });
    // A cancelled run leaves the result box as it was; any other empties it first.
    if (ran == Outcome::Cancelled)
        return outcome;
    resultBox.SetText(QString());
    if (!failure) {
        try {
            resultBox.SetText(result);
        } catch (const std::bad_alloc &) {
            resultBox.SetText(QString());
            failure = outOfMemoryError();
        }
    }
    if (failure)
        report(modal, *failure, QStringLiteral("RegExp.Replace has failed."));
    return outcome;
}
