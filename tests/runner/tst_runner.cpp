#include "runner/modregexp.h"
#include "runner/resulttext.h"
#include "runner/u16text.h"
#include "support/backgroundrun.h"
#include "support/messagebox.h"
#include "tests/support/plainresultstree.h"
#include "tests/support/scriptedresponder.h"
#include "tests/support/testenvironment.h"

#include <QApplication>
#include <QMainWindow>
#include <QProgressDialog>
#include <QTest>
#include <QTimer>

#include <latch>

namespace {

struct ResultBox : ResultText
{
    QString text = QStringLiteral("old result");
    int sets = 0;
    void SetText(const QString &value) override
    {
        text = value;
        ++sets;
    }
};

QStringList rootTexts(const PlainResultsTree &tree)
{
    QStringList texts;
    for (ResultsTree::Node node : tree.roots())
        texts.append(tree.item(node).text);
    return texts;
}

void execute(PlainResultsTree &tree, const QString &pattern, const QString &source,
             bool global = true, bool ignoreCase = false, bool multiline = false)
{
    ScriptedResponder noDialogs;
    RunRegExp(noDialogs, tree, pattern, source, {global, ignoreCase, multiline},
              RunCommand::Execute);
}

} // namespace

class tst_Runner : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { initTestEnvironment(); }

    void matchCounts_data();
    void matchCounts();
    void labels_data();
    void labels();
    void commands_data();
    void commands();
    void resultAsData_data();
    void resultAsData();
    void nodesSayWhatTheyAre();
    void positions_data();
    void positions();
    void outcomeOfFailures();
    void cancelledRunChangesNothing_data();
    void cancelledRunChangesNothing();
    void onlyLongRunsGreyTheWindow_data();
    void onlyLongRunsGreyTheWindow();
};

void tst_Runner::matchCounts_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("skipText");

    for (int count : {0, 10, 100})
        QTest::addRow("%d matches, no skip node", count) << count << QString();
    QTest::newRow("150 matches skip 50") << 150 << "50 element(s) of 150 were skipped";
    QTest::newRow("grouped digits in totals and skip")
        << 1500 << "1,400 element(s) of 1,500 were skipped";
}

void tst_Runner::matchCounts()
{
    QFETCH(int, count);
    QFETCH(QString, skipText);

    PlainResultsTree tree;
    tree.AddRoot("stale", "IDI_INFO", {});
    execute(tree, "x", QString(count, u'x'));

    const int shown = qMin(count, MaxMatchNodes);
    const QList<ResultsTree::Node> &roots = tree.roots();
    QCOMPARE(roots.size(), 1 + shown + (skipText.isEmpty() ? 0 : 1));
    const QString total = count == 1500 ? QStringLiteral("1,500") : QString::number(count);
    QCOMPARE(tree.item(roots.first()).text, u"Total " + total + u" element(s) found");
    QCOMPARE(tree.item(roots.first()).iconKey, QStringLiteral("IDI_INFO"));
    QVERIFY(!tree.item(roots.first()).expanded);
    for (int k = 1; k <= shown; ++k) {
        const auto &item = tree.item(roots.at(k));
        QCOMPARE(item.iconKey,
                 k <= 9 ? u"IDI_MATCH_" + QString::number(k) : QStringLiteral("IDI_MATCH"));
        QCOMPARE(item.text, u"x [" + QString::number(k) + u":1]");
        QVERIFY(item.expanded);
        QVERIFY(item.children.isEmpty());
    }
    if (!skipText.isEmpty()) {
        QCOMPARE(tree.item(roots.last()).text, skipText);
        QCOMPARE(tree.item(roots.last()).iconKey, QStringLiteral("IDI_WARNING"));
        QVERIFY(!tree.item(roots.last()).expanded);
    }
}

// Each match's label, then its submatches' labels indented.
void tst_Runner::labels_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QStringList>("labels");

    const auto row = [](const char *name, const char16_t *pattern, const char16_t *source,
                        const QStringList &labels) {
        QTest::newRow(name) << QString::fromUtf16(pattern) << QString::fromUtf16(source) << labels;
    };
    row("empty match at offset 4", u"(?=e)", u"abcde", {" [5:0]"});
    row("submatches show their lengths", u"(\\d+)-(\\d*)", u"a 12- b",
        {"12- [3:3]", "  12 [2]", "   [0]"});
    row("surrogate pairs count two code units", u"(.+)", u"\U0001F600\u00E9",
        {QString::fromUtf16(u"\U0001F600\u00E9 [1:3]"),
         QString::fromUtf16(u"  \U0001F600\u00E9 [3]")});
    QStringList twelve;
    for (const QString &letters :
         {QStringLiteral("abcdefghijkm"), QStringLiteral("abcdefghijklm")}) {
        twelve << letters + (twelve.isEmpty() ? u" [1:12]" : u" [14:13]");
        for (QChar c : QStringLiteral("abcdefghijklm"))
            twelve << (letters.contains(c) ? QStringLiteral("  ") + c + u" [1]"
                                           : QStringLiteral("   [0]"));
    }
    row("twelve groups, one unset in the first match", u"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)(l)?(m)",
        u"abcdefghijkm abcdefghijklm", twelve);
}

void tst_Runner::labels()
{
    QFETCH(QString, pattern);
    QFETCH(QString, source);
    QFETCH(QStringList, labels);

    PlainResultsTree tree;
    execute(tree, pattern, source);
    QStringList shown;
    for (ResultsTree::Node match : tree.roots().mid(1)) {
        shown << tree.item(match).text;
        const QList<ResultsTree::Node> &subs = tree.item(match).children;
        for (qsizetype j = 1; j <= subs.size(); ++j) {
            const auto &sub = tree.item(subs.at(j - 1));
            shown << u"  " + sub.text;
            QCOMPARE(sub.iconKey, j <= 9 ? u"IDI_SUBMATCH_" + QString::number(j)
                                         : QStringLiteral("IDI_SUBMATCH"));
            QVERIFY(sub.expanded);
        }
    }
    QCOMPARE(shown, labels);
}

// Test and Replace as the buttons run them, over "foo boo" with IgnoreCase, after an Execute of
// "o": the one box a command may show, the result box and what is left of the tree.
void tst_Runner::commands_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<bool>("global");
    QTest::addColumn<QString>("expected"); // the result box, or the box's text
    QTest::addColumn<int>("style");        // of the box; 0 for none

    const auto row = [](const char *command, const char *pattern, const char *replacement,
                        bool global, const char *expected, int style) {
        QTest::addRow("%s %s, %s", command, pattern, replacement)
            << QString(command) << QString(pattern) << QString(replacement) << global
            << QString(expected) << style;
    };
    row("Execute", "(a", "", true, // empties the tree
        "RegExp.Execute has failed.\n\nExpected ')' in regular expression\n\n"
        "Error 5020 at character 3 of the pattern.",
        16);
    row("Test", "a**", "", true,
        "RegExp.Test has failed.\n\nUnexpected quantifier\n\n"
        "Error 5018 at character 3 of the pattern.",
        16);
    row("Replace", "[a", "x", true, // empties the box
        "RegExp.Replace has failed.\n\nExpected ']' in regular expression\n\n"
        "Error 5019 at character 3 of the pattern.",
        16);
    row("Test", "B", "", false, "Match.", 64);
    row("Replace", "o", "0", false, "f0o boo", 0);
    row("Replace", "(\\w+) (\\w+)", "$2 $1", false, "boo foo", 0);
    row("Replace", "b", "[$&$$]", true, "foo [b$]oo", 0);
    row("Replace", " ", "\r\n", true, "foo\r\nboo", 0);
}

void tst_Runner::commands()
{
    QFETCH(QString, command);
    QFETCH(QString, pattern);
    QFETCH(QString, replacement);
    QFETCH(bool, global);
    QFETCH(QString, expected);
    QFETCH(int, style);

    ScriptedResponder responder;
    PlainResultsTree tree;
    execute(tree, "o", "foo boo");
    const QStringList before = rootTexts(tree);
    ResultBox box;
    if (style)
        responder.button(MsgBoxButton::OK);
    if (command == u"Replace")
        ReplaceRegExp(responder, box, pattern, "foo boo", replacement, {global, true, false});
    else
        RunRegExp(responder, tree, pattern, "foo boo", {global, true, false},
                  command == u"Test" ? RunCommand::Test : RunCommand::Execute);

    QCOMPARE(responder.shown().size(), style ? 1 : 0);
    if (style) {
        QCOMPARE(responder.last().text, expected);
        QCOMPARE(responder.last().style, style);
        QCOMPARE(responder.last().caption, QStringLiteral("Brackwen - Sievewright"));
    }
    if (command == u"Replace") {
        QCOMPARE(box.text, style ? QString() : expected);
        QCOMPARE(box.sets, style ? 1 : 2); // emptied first
    } else {
        QCOMPARE(box.text, QStringLiteral("old result"));
    }
    QCOMPARE(rootTexts(tree), command == u"Execute" ? QStringList() : before);
}

// What RunPattern hands back, with no box and no tree: the outcome, the totals, the verdict or
// the error, and which groups took part.
void tst_Runner::resultAsData_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("source");
    QTest::addColumn<bool>("test");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("verdict"); // -1 none, 0 no, 1 yes
    QTest::addColumn<int>("errorNumber");
    QTest::addColumn<int>("errorPosition");
    QTest::addColumn<QString>("taking"); // per match, 1 for a group that took part

    const int done = int(RunResult::Outcome::Done);
    const int failed = int(RunResult::Outcome::Failed);
    QTest::newRow("Execute lists every match")
        << "(a)|(b)"
        << "ab" << false << done << 2 << -1 << 0 << -1 << "10 01";
    QTest::newRow("optional group left out takes no part")
        << "x(y)?"
        << "x xy" << false << done << 2 << -1 << 0 << -1 << "0 1";
    QTest::newRow("empty group takes part") << "x()"
                                            << "x" << false << done << 1 << -1 << 0 << -1 << "1";
    QTest::newRow("no match is a result too") << "q"
                                              << "abc" << false << done << 0 << -1 << 0 << -1 << "";
    QTest::newRow("Test says yes, lists nothing")
        << "b"
        << "abc" << true << done << 0 << 1 << 0 << -1 << "";
    QTest::newRow("Test says no") << "q"
                                  << "abc" << true << done << 0 << 0 << 0 << -1 << "";
    QTest::newRow("pattern error has its number and place")
        << "ab)c"
        << "abc" << false << failed << 0 << -1 << engine::errors::SyntaxError << 2 << "";
    QTest::newRow("pattern error in Test as well")
        << "a{2,1}"
        << "abc" << true << failed << 0 << -1 << engine::errors::UnexpectedQuantifier << 1 << "";
}

void tst_Runner::resultAsData()
{
    QFETCH(QString, pattern);
    QFETCH(QString, source);
    QFETCH(bool, test);
    QFETCH(int, outcome);
    QFETCH(int, count);
    QFETCH(int, verdict);
    QFETCH(int, errorNumber);
    QFETCH(int, errorPosition);
    QFETCH(QString, taking);

    engine::RunControl control;
    const RunResult result =
        RunPattern(control, pattern, source, {true}, test ? RunCommand::Test : RunCommand::Execute);
    QCOMPARE(int(result.outcome), outcome);
    QCOMPARE(result.count(), count);
    QCOMPARE(result.verdict ? int(*result.verdict) : -1, verdict);
    QCOMPARE(result.error ? result.error->number : 0, errorNumber);
    QCOMPARE(result.errorPosition(), errorPosition);
    QCOMPARE(bool(result.matches), !test && !result.error);
    if (result.error)
        QVERIFY(!result.error->description.isEmpty());
    QCOMPARE(result.positions.count(), count);
    QStringList took;
    for (int m = 0; m < result.positions.count(); ++m) {
        QString groups;
        for (int g = 1; g <= result.positions.groupCount(); ++g)
            groups += result.positions.span(m, g).participated() ? u'1' : u'0';
        took << groups;
    }
    QCOMPARE(took.join(u' '), taking);
}

// Each node of the tree says what it stands for, in the order the labels come.
void tst_Runner::nodesSayWhatTheyAre()
{
    PlainResultsTree tree;
    execute(tree, "(\\d)(x)?", QString(MaxMatchNodes + 3, u'7'));
    const QList<ResultsTree::Node> &roots = tree.roots();
    QCOMPARE(roots.size(), MaxMatchNodes + 2);
    QCOMPARE(tree.item(roots.first()).what, ResultNode{ResultNode::Kind::Totals});
    QCOMPARE(tree.item(roots.last()).what, ResultNode{ResultNode::Kind::Skip});
    for (int k = 0; k < MaxMatchNodes; ++k) {
        const PlainResultsTree::Item &match = tree.item(roots.at(k + 1));
        QCOMPARE(match.what, (ResultNode{ResultNode::Kind::Match, k}));
        QCOMPARE(match.children.size(), 2);
        for (int g = 1; g <= 2; ++g)
            QCOMPARE(tree.item(match.children.at(g - 1)).what,
                     (ResultNode{ResultNode::Kind::Group, k, g}));
    }
}

void tst_Runner::positions_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("source");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("firstReaching");

    QTest::newRow("matches that end before the offset are passed over") << "\\d"
                                                                        << "1 2 3" << 4 << 2;
    QTest::newRow("a match ending at the offset reaches it") << "\\d"
                                                             << "1 2 3" << 3 << 1;
    QTest::newRow("empty match at the offset") << "x*"
                                               << "ab" << 1 << 1;
    QTest::newRow("group in a lookahead ends past its match") << "a(?=(\\w+))"
                                                              << "ab cd ab" << 2 << 0;
    QTest::newRow("none reaches past the last") << "\\d"
                                                << "1 2" << 10 << 2;
}

void tst_Runner::positions()
{
    QFETCH(QString, pattern);
    QFETCH(QString, source);
    QFETCH(int, offset);
    QFETCH(int, firstReaching);

    ScriptedResponder responder;
    PlainResultsTree tree;
    const RunResult result =
        RunRegExp(responder, tree, pattern, source, {true}, RunCommand::Execute);
    QVERIFY(result.matches);
    const MatchPositions &positions = result.positions;
    QCOMPARE(positions.firstReaching(offset), firstReaching);
    // Every span is where the engine's texts come from.
    engine::RegExp regExp;
    regExp.setGlobal(true);
    regExp.setPattern(u16View(pattern));
    const engine::MatchCollection matches = regExp.Execute(u16View(source));
    QCOMPARE(positions.count(), matches.Count());
    for (int m = 0; m < matches.Count(); ++m) {
        const MatchPositions::Span span = positions.span(m, 0);
        QCOMPARE(source.mid(span.start, span.end - span.start), toQString(matches.Item(m).Value()));
        for (int g = 1; g <= positions.groupCount(); ++g) {
            const MatchPositions::Span group = positions.span(m, g);
            QCOMPARE(source.mid(group.start, group.end - group.start),
                     toQString(matches.Item(m).SubMatches().Item(g - 1)));
        }
    }
}

void tst_Runner::outcomeOfFailures()
{
    ScriptedResponder responder;
    PlainResultsTree tree;
    ResultBox box;
    for (int shown = 0; shown < 4; ++shown)
        responder.button(MsgBoxButton::OK);
    const RunResult failed = RunRegExp(responder, tree, "ab)c", "abc", {true}, RunCommand::Execute);
    QVERIFY(!failed.matches);
    QCOMPARE(failed.errorPosition(), 2);
    QCOMPARE(ReplaceRegExp(responder, box, "a{2,1}", "abc", "x", {true}).errorPosition(), 1);
    // Test keeps no positions; a run that fails without a place in the pattern gives -1.
    QCOMPARE(RunRegExp(responder, tree, "a", "abc", {true}, RunCommand::Test).positions.count(), 0);
    const RunResult backtracking =
        RunRegExp(responder, tree, "(a+)+$", QString(40, u'a') + u'b', {true}, RunCommand::Execute);
    QCOMPARE(backtracking.errorPosition(), -1);

    // Keeping the listed matches only frees the rest.
    PlainResultsTree big;
    MatchPositions many =
        RunRegExp(responder, big, "\\d", QString(150, u'1'), {true}, RunCommand::Execute).positions;
    const std::size_t bytes = many.bytes();
    many.truncate(MaxMatchNodes);
    QCOMPARE(many.count(), MaxMatchNodes);
    QVERIFY(many.bytes() < bytes);
}

void tst_Runner::cancelledRunChangesNothing_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("Execute") << QStringLiteral("Execute");
    QTest::newRow("Test") << QStringLiteral("Test");
    QTest::newRow("Replace") << QStringLiteral("Replace");
}

void tst_Runner::cancelledRunChangesNothing()
{
    QFETCH(QString, command);
    ScriptedResponder responder;
    PlainResultsTree tree;
    execute(tree, "o", "foo boo");
    const QStringList before = rootTexts(tree);
    ResultBox box;

    // A run of a minute: the progress window comes up, and Esc in it cancels the run.
    bool progressShown = false;
    QTimer::singleShot(BackgroundRun::ShowAfter * 2, [&] {
        for (QWidget *window : QApplication::topLevelWidgets())
            if (auto *progress = qobject_cast<QProgressDialog *>(window);
                progress && progress->isVisible()) {
                progressShown = true;
                QTest::keyClick(progress, Qt::Key_Escape);
            }
        BackgroundRun::instance().cancel(); // stops the run should the test fail
    });
    const QString source = QString(10'000, u'a') + u'b';
    const RunResult result =
        command == u"Replace"
            ? ReplaceRegExp(responder, box, QStringLiteral("(a|aa){1,20}$"), source,
                            QStringLiteral("x"), {true})
            : RunRegExp(responder, tree, QStringLiteral("(a|aa){1,20}$"), source, {true},
                        command == u"Test" ? RunCommand::Test : RunCommand::Execute);

    // No box: the result says so, for the status line.
    QVERIFY(progressShown);
    QCOMPARE(result.outcome, RunResult::Outcome::Cancelled);
    QCOMPARE(responder.shown().size(), 0);
    QCOMPARE(rootTexts(tree), before);
    QCOMPARE(box.text, QStringLiteral("old result"));
    QCOMPARE(box.sets, 0);
    QVERIFY(!BackgroundRun::instance().isRunning());
}

void tst_Runner::onlyLongRunsGreyTheWindow_data()
{
    // A long run waits on a latch that only the window's event loop opens: it runs once the
    // run has stopped waiting quietly, so the run cannot end first however slow the machine.
    QTest::addColumn<bool>("waits");
    QTest::newRow("a quick run leaves the window alone") << false;
    QTest::newRow("a longer run greys it and gives it back") << true;
}

void tst_Runner::onlyLongRunsGreyTheWindow()
{
    QFETCH(bool, waits);
    QMainWindow window;
    auto *controls = new QWidget;
    window.setCentralWidget(controls);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    struct EnabledChanges : QObject
    {
        int count = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            count += event->type() == QEvent::EnabledChange;
            return false;
        }
    } changes;
    controls->installEventFilter(&changes);
    bool greyed = false;
    bool busyPointer = false;
    // A quick run is quick only if its thread gets a core in time: on a loaded machine a few
    // tries give it the chance. A long one needs one try.
    for (int attempt = 0; attempt < (waits ? 1 : 5); ++attempt) {
        changes.count = 0;
        greyed = busyPointer = false;
        std::latch opened(1);
        QTimer look; // ends with the try, so a quick run's never fires later
        look.setSingleShot(true);
        QObject::connect(&look, &QTimer::timeout, [&] {
            greyed = !controls->isEnabled();
            busyPointer = QGuiApplication::overrideCursor() != nullptr;
            opened.count_down();
        });
        look.start(0);
        BackgroundRun::instance().run(
            [&] {
                if (waits)
                    opened.wait();
            },
            [] {});
        if (changes.count == 0)
            break;
    }
    QCOMPARE(greyed, waits);
    QCOMPARE(busyPointer, waits);
    QCOMPARE(changes.count, waits ? 2 : 0);
    QVERIFY(controls->isEnabled());
    QVERIFY(!QGuiApplication::overrideCursor());
}

QTEST_MAIN(tst_Runner)
#include "tst_runner.moc"
