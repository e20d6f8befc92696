#include "runner/modregexp.h"

#include "runner/enginebridge.h"
#include "runner/resultstree.h"
#include "runner/resulttext.h"
#include "support/backgroundrun.h"
#include "support/errorreporter.h"
#include "support/messagebox.h"
#include "support/suformat.h"

#include <chrono>
#include <memory>
#include <new>

namespace {

QString numberedIconKey(const QString &base, qsizetype k)
{
    return k <= 9 ? base + u'_' + QString::number(k) : base;
}

RunResult cancelled()
{
    RunResult result;
    result.outcome = RunResult::Outcome::Cancelled;
    return result;
}

RunResult failed(RunError::Stage stage, const AppError &error)
{
    RunResult result;
    result.outcome = RunResult::Outcome::Failed;
    result.error = RunError{stage, error.number(), error.description(), error.position()};
    return result;
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

void applyOptions(engine::RegExp &regExp, const QString &pattern, const RunOptions &options)
{
    regExp.setGlobal(options.global);
    regExp.setIgnoreCase(options.ignoreCase);
    regExp.setMultiline(options.multiline);
    regExp.setPattern(u16View(PreparePattern(pattern, options.ignoreLineBreaks)));
}

// Runs step with regExp under control: the result says whether it was done, failed (and why) or
// was cancelled. A null regExp (no memory for it) fails at once.
template<typename Step>
RunResult runChecked(engine::RegExp *regExp, engine::RunControl &control, Step step)
{
    if (!regExp)
        return failed(RunError::Stage::Create, outOfMemoryError());
    RunResult result;
    regExp->setRunControl(&control);
    const auto started = std::chrono::steady_clock::now();
    try {
        step(*regExp, result);
        result.engineTime = std::chrono::steady_clock::now() - started;
        if (control.cancelled())
            result = cancelled();
    } catch (const engine::RegExpError &error) {
        result = error.number() == engine::errors::Cancelled
                     ? cancelled()
                     : failed(RunError::Stage::Run, toAppError(error));
    } catch (const std::bad_alloc &) {
        result = failed(RunError::Stage::Run, outOfMemoryError());
    }
    regExp->setRunControl(nullptr);
    return result;
}

// The run itself: the engine's matches or verdict, without their positions.
RunResult runEngine(engine::RegExp *regExp, engine::RunControl &control, const QString &pattern,
                    const QString &source, const RunOptions &options, RunCommand command)
{
    return runChecked(regExp, control, [&](engine::RegExp &regExp, RunResult &result) {
        applyOptions(regExp, pattern, options);
        if (command == RunCommand::Test)
            result.verdict = regExp.Test(u16View(source));
        else
            result.matches.emplace(regExp.Execute(u16View(source)));
    });
}

// Where the matches of an Execute lie; a result without memory for them fails as out of memory.
void addPositions(RunResult &result)
{
    if (!result.matches)
        return;
    try {
        result.positions = MatchPositions(*result.matches);
    } catch (const std::bad_alloc &) {
        result = failed(RunError::Stage::Run, outOfMemoryError());
    }
}

// Runs work off the user-interface thread with a fresh control; Esc or Cancel stops it.
RunResult runInBackground(const std::function<RunResult(engine::RunControl &)> &work)
{
    engine::RunControl control;
    control.setResultLimit(MaxResultBoxLength);
    RunResult result;
    BackgroundRun::instance().run([&] { result = work(control); },
                                  [&control] { control.cancel(); });
    return result;
}

// The box for a failed run of method ("Execute", ...); false for any other. A cancelled run
// shows none: the window's status line says so.
bool reportStop(ModalHost &modal, const RunResult &result, const QString &method)
{
    if (result.outcome == RunResult::Outcome::Cancelled)
        return true;
    if (!result.error)
        return false;
    const RunError &error = *result.error;
    const QString message = error.stage == RunError::Stage::Create
                                ? QStringLiteral("Can't create RegExp object.")
                                : u"RegExp." + method + u" has failed.";
    ErrorReporter::instance().ShowError(modal,
                                        AppError(error.number, error.description, error.position),
                                        MsgBoxStyle::Critical, message);
    return true;
}

} // namespace

RunResult RunPattern(engine::RunControl &control, const QString &pattern, const QString &source,
                     const RunOptions &options, RunCommand command)
{
    const std::unique_ptr<engine::RegExp> regExp = createRegExp();
    RunResult result = runEngine(regExp.get(), control, pattern, source, options, command);
    addPositions(result);
    return result;
}

RunResult RunRegExp(ModalHost &modal, ResultsTree &tree, const QString &pattern,
                    const QString &source, const RunOptions &options, RunCommand command)
{
    // Only the engine's run works off the user-interface thread, so that a quick run stays
    // within the background run's quiet wait; the object is made and freed here.
    const std::unique_ptr<engine::RegExp> regExp = createRegExp();
    RunResult result = runInBackground([&](engine::RunControl &control) {
        return runEngine(regExp.get(), control, pattern, source, options, command);
    });
    addPositions(result);
    // A cancelled run leaves everything as it was; any other empties the tree (Execute).
    if (command != RunCommand::Test && result.outcome != RunResult::Outcome::Cancelled)
        tree.Clear();
    ReportRun(modal, result, command);
    if (result.matches)
        FillResultsTree(tree, *result.matches);
    return result;
}

void ReportRun(ModalHost &modal, const RunResult &result, RunCommand command)
{
    const bool isTest = command == RunCommand::Test;
    if (reportStop(modal, result, isTest ? QStringLiteral("Test") : QStringLiteral("Execute")))
        return;
    if (result.verdict)
        MsgBox(modal, TestVerdictText(*result.verdict), MsgBoxStyle::Information);
}

QString TestVerdictText(bool matched)
{
    return matched ? QStringLiteral("Match.") : QStringLiteral("Do not match.");
}

void FillResultsTree(ResultsTree &tree, const engine::MatchCollection &matches)
{
    const qint64 count = matches.Count();
    tree.AddRoot(u"Total " + suFormatLong(count) + u" element(s) found", QStringLiteral("IDI_INFO"),
                 {ResultNode::Kind::Totals});
    int shown = 0;
    for (const engine::Match &match : matches) {
        if (shown >= MaxMatchNodes) {
            tree.AddRoot(suFormatLong(count - shown) + u" element(s) of " + suFormatLong(count) +
                             u" were skipped",
                         QStringLiteral("IDI_WARNING"), {ResultNode::Kind::Skip});
            break;
        }
        const QString label = toQString(match.Value()) + u" [" +
                              QString::number(match.FirstIndex() + 1) + u':' +
                              QString::number(match.Length()) + u']';
        const ResultsTree::Node node =
            tree.AddRoot(label, numberedIconKey(QStringLiteral("IDI_MATCH"), shown + 1),
                         {ResultNode::Kind::Match, shown});
        tree.SetExpanded(node, true);
        int group = 1;
        for (const auto &subMatch : match.SubMatches()) {
            const QString text = toQString(subMatch);
            const ResultsTree::Node child =
                tree.AddChild(node, text + u" [" + QString::number(text.size()) + u']',
                              numberedIconKey(QStringLiteral("IDI_SUBMATCH"), group),
                              {ResultNode::Kind::Group, shown, group});
            tree.SetExpanded(child, true);
            ++group;
        }
        ++shown;
    }
}

RunResult ReplaceRegExp(ModalHost &modal, ResultText &resultBox, const QString &pattern,
                        const QString &source, const QString &replacement,
                        const RunOptions &options)
{
    QString text;
    const std::unique_ptr<engine::RegExp> regExp = createRegExp();
    RunResult result = runInBackground([&](engine::RunControl &control) {
        return runChecked(regExp.get(), control, [&](engine::RegExp &regExp, RunResult &) {
            applyOptions(regExp, pattern, options);
            text = toQString(regExp.Replace(u16View(source), u16View(replacement)));
        });
    });
    // A cancelled run leaves the result box as it was; any other empties it first.
    if (result.outcome != RunResult::Outcome::Cancelled) {
        resultBox.SetText(QString());
        if (result.done()) {
            try {
                resultBox.SetText(text);
            } catch (const std::bad_alloc &) {
                resultBox.SetText(QString());
                result = failed(RunError::Stage::Run, outOfMemoryError());
            }
        }
    }
    reportStop(modal, result, QStringLiteral("Replace"));
    return result;
}
