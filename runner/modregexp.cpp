#include "runner/modregexp.h"

#include "runner/enginebridge.h"
#include "runner/resultstree.h"
#include "runner/resulttext.h"
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

// Creates the engine object; on failure reports it and gives null.
std::unique_ptr<engine::RegExp> createRegExp()
{
    try {
        return std::make_unique<engine::RegExp>();
    } catch (const std::bad_alloc &) {
        ErrorReporter::instance().ShowError(outOfMemoryError(), MsgBoxStyle::Critical,
                                            QStringLiteral("Can't create RegExp object."));
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

// Runs step under the run's one error check: a failure is reported with message, and the
// place of a pattern error is kept in outcome.
template<typename Step>
bool checked(const QString &message, RunOutcome &outcome, Step step)
{
    try {
        step();
        return true;
    } catch (const engine::RegExpError &error) {
        outcome.errorPosition = error.position();
        ErrorReporter::instance().ShowError(toAppError(error), MsgBoxStyle::Critical, message);
    } catch (const std::bad_alloc &) {
        ErrorReporter::instance().ShowError(outOfMemoryError(), MsgBoxStyle::Critical, message);
    }
    return false;
}

} // namespace

RunOutcome RunRegExp(ResultsTree &tree, const QString &pattern, const QString &source,
                     const RunOptions &options, RunCommand command, const MatchExporter &exporter)
{
    const bool isTest = command == RunCommand::Test;
    RunOutcome outcome;
    if (!isTest)
        tree.Clear();
    const std::unique_ptr<engine::RegExp> regExp = createRegExp();
    if (!regExp)
        return outcome;

    bool verdict = false;
    std::optional<engine::MatchCollection> matches;
    const QString message = u"RegExp." +
                            (isTest ? QStringLiteral("Test") : QStringLiteral("Execute")) +
                            u" has failed.";
    const bool ok = checked(message, outcome, [&] {
        applyOptions(*regExp, pattern, options);
        if (isTest)
            verdict = regExp->Test(u16View(source));
        else
            matches.emplace(regExp->Execute(u16View(source)));
    });
    if (!ok)
        return outcome;

    if (isTest) {
        MsgBox(verdict ? QStringLiteral("Match.") : QStringLiteral("Do not match."),
               MsgBoxStyle::Information);
        return outcome;
    }
    FillResultsTree(tree, *matches);
    outcome.positions.emplace(*matches);
    if (command == RunCommand::ExecuteAndOpen) {
        Q_ASSERT(exporter);
        if (exporter)
            exporter(*matches);
    }
    return outcome;
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

RunOutcome ReplaceRegExp(ResultText &resultBox, const QString &pattern, const QString &source,
                         const QString &replacement, const RunOptions &options)
{
    RunOutcome outcome;
    resultBox.SetText(QString());
    const std::unique_ptr<engine::RegExp> regExp = createRegExp();
    if (!regExp)
        return outcome;
    checked(QStringLiteral("RegExp.Replace has failed."), outcome, [&] {
        applyOptions(*regExp, pattern, options);
        resultBox.SetText(toQString(regExp->Replace(u16View(source), u16View(replacement))));
    });
    return outcome;
}
