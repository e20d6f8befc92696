// The Steps panel: its keys move the marks in the pattern box and the source box, a new trace
// keeps the step, a stopped trace says so, and the heat view's shades stay readable. In the
// main window, the panel's keys move the marks in the window's own boxes.

#include "tests/support/openwindow.h"
#include "tests/support/testenvironment.h"
#include "ui/main/livejob.h"
#include "ui/main/panelhost.h"
#include "ui/main/textbox.h"
#include "ui/steps/heatview.h"
#include "ui/steps/stepsbinding.h"
#include "ui/steps/stepspanel.h"

#include <QAction>
#include <QCheckBox>
#include <QDockWidget>
#include <QSignalSpy>
#include <QTest>

namespace {

// The text a box marks, each mark's text in brackets, in order.
QString marks(const TextBox &box)
{
    QString out;
    for (const QTextEdit::ExtraSelection &s : box.extraSelections())
        out += '[' + s.cursor.selectedText() + ']';
    return out;
}

struct Bench
{
    TextBox pattern;
    TextBox source;
    StepsPanel panel;

    Bench(const QString &patternText, const QString &sourceText)
    {
        pattern.SetText(patternText);
        source.SetText(sourceText);
        panel.setBoxes(&pattern, &source);
    }

    bool traced(const StepsPanel::Request &request)
    {
        panel.trace(request, true);
        return panel.job().waitForIdle(std::chrono::seconds(20)) && panel.result();
    }

    bool traced(std::uint64_t stepLimit = engine::limits::TraceSteps)
    {
        StepsPanel::Request request;
        request.pattern = pattern.Text();
        request.source = source.Text();
        request.stepLimit = stepLimit;
        return traced(request);
    }
};

} // namespace

class tst_StepsPanel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { initTestEnvironment(); }
    void keysMoveTheMarks_data();
    void keysMoveTheMarks();
    void retraceKeepsTheStep();
    void stoppedTraceSaysSo();
    void failureIsShown();
    void heatCountsInTooltips();
    void shadesReadable_data();
    void shadesReadable();
    void bindingFollowsSelectionAndCaret();
    void bindingWaitsWhileHidden();
    void bindingCountsTheRun();
    void windowKeysMoveTheMarks_data();
    void windowKeysMoveTheMarks();
    void windowTracesFromTheCaret();
};

void tst_StepsPanel::keysMoveTheMarks_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("patternMark");
    QTest::addColumn<QString>("sourceMarks");

    // ^(\w+)\s\1$ on "hello hello": steps ^ ( \w+ \s \1 $ end, then the match.
    QTest::newRow("first step: the anchor, nothing matched yet") << ""
                                                                 << "[^]"
                                                                 << "[h]";
    QTest::newRow("forward twice: the loop at the start") << "RR"
                                                          << "[\\w+]"
                                                          << "[h]";
    QTest::newRow("forward to the group's end: the word matched so far") << "RRR"
                                                                         << "[)]"
                                                                         << "[hello][ ]";
    QTest::newRow("forward to \\s") << "RRRR"
                                    << "[\\s]"
                                    << "[hello][ ]";
    QTest::newRow("back from \\s") << "RRRRL"
                                   << "[)]"
                                   << "[hello][ ]";
    QTest::newRow("last: the match, the whole text matched") << "E"
                                                             << "[]"
                                                             << "[hello hello]";
    QTest::newRow("first after last") << "EH"
                                      << "[^]"
                                      << "[h]";
    QTest::newRow("match key") << "M"
                               << "[]"
                               << "[hello hello]";
}

namespace {
void pressKeys(QWidget &target, const QString &keys)
{
    for (QChar key : keys) {
        const Qt::Key code = key == 'R'   ? Qt::Key_Right
                             : key == 'L' ? Qt::Key_Left
                             : key == 'E' ? Qt::Key_End
                             : key == 'H' ? Qt::Key_Home
                                          : Qt::Key_M;
        QTest::keyClick(&target, code);
    }
}
} // namespace

void tst_StepsPanel::keysMoveTheMarks()
{
    QFETCH(QString, keys);
    QFETCH(QString, patternMark);
    QFETCH(QString, sourceMarks);
    Bench bench(QStringLiteral("^(\\w+)\\s\\1$"), QStringLiteral("hello hello"));
    QVERIFY(bench.traced());
    bench.panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bench.panel));
    bench.panel.setFocus();
    pressKeys(bench.panel, keys);
    QCOMPARE(marks(bench.pattern), patternMark);
    QCOMPARE(marks(bench.source), sourceMarks);
}

void tst_StepsPanel::retraceKeepsTheStep()
{
    Bench bench(QStringLiteral("a+b"), QStringLiteral("aaac aab"));
    QVERIFY(bench.traced());
    bench.panel.setStep(5);
    bench.source.SetText(QStringLiteral("aaac aaab"));
    QVERIFY(bench.traced());
    QCOMPARE(bench.panel.step(), 5);
    // A trace with fewer steps keeps the last one.
    bench.source.SetText(QStringLiteral("ab"));
    QVERIFY(bench.traced());
    QCOMPARE(bench.panel.step(), qint64(bench.panel.result()->records.size()) - 1);
}

void tst_StepsPanel::stoppedTraceSaysSo()
{
    Bench bench(QStringLiteral("(a|aa){1,20}$"), QString(22, 'a') + 'b');
    QVERIFY(bench.traced(100));
    QVERIFY(bench.panel.result()->stopped);
    QVERIFY(bench.panel.stateText().startsWith(QStringLiteral("Stopped at the limit of 100 ")));
    bench.panel.last();
    QCOMPARE(bench.panel.step(), 99);
}

void tst_StepsPanel::failureIsShown()
{
    Bench bench(QStringLiteral("(a"), QStringLiteral("a"));
    StepsPanel::Request request;
    request.pattern = QStringLiteral("(a");
    QVERIFY(!bench.traced(request));
    QCOMPARE(bench.panel.stateText(), QStringLiteral("Expected ')' in regular expression"));
}

void tst_StepsPanel::heatCountsInTooltips()
{
    Bench bench(QStringLiteral("(a|aa)+$"), QStringLiteral("aaab"));
    QVERIFY(bench.traced());
    const HeatView &heat = *bench.panel.heatView();
    const engine::TraceResult &trace = *bench.panel.result();
    // Each character shows its part's count; the end cell the end's.
    const int a = heat.partAt(1);
    QVERIFY(a >= 0);
    QCOMPARE(heat.partTip(a),
             QStringLiteral("\u201C"
                            "a\u201D: %1 steps (%2% of %3)")
                 .arg(trace.parts[static_cast<std::size_t>(a)].steps)
                 .arg(QLocale().toString(
                     100.0 * trace.parts[static_cast<std::size_t>(a)].steps / trace.steps, 'f', 1))
                 .arg(trace.steps));
    QVERIFY(heat.partTip(heat.partAt(8)).startsWith(QStringLiteral("The pattern's end: ")));
    QVERIFY(bench.panel.stateText().endsWith(
        QStringLiteral("Most steps: %1.").arg(heat.partTip(heat.hottestPart()))));
}

void tst_StepsPanel::shadesReadable_data()
{
    QTest::addColumn<QPalette>("palette");
    QPalette light;
    light.setColor(QPalette::Base, Qt::white);
    light.setColor(QPalette::Text, Qt::black);
    light.setColor(QPalette::Highlight, QColor(0x30, 0x8c, 0xc6));
    light.setColor(QPalette::HighlightedText, Qt::white);
    QPalette dark;
    dark.setColor(QPalette::Base, QColor(0x2a, 0x2a, 0x2a));
    dark.setColor(QPalette::Text, Qt::white);
    dark.setColor(QPalette::Highlight, QColor(0x2a, 0x82, 0xda));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    QPalette contrast;
    contrast.setColor(QPalette::Base, Qt::black);
    contrast.setColor(QPalette::Text, Qt::white);
    contrast.setColor(QPalette::Highlight, Qt::cyan);
    contrast.setColor(QPalette::HighlightedText, Qt::black);
    QTest::newRow("light") << light;
    QTest::newRow("dark") << dark;
    QTest::newRow("high contrast") << contrast;
}

void tst_StepsPanel::shadesReadable()
{
    QFETCH(QPalette, palette);
    for (int i = 0; i <= 20; ++i) {
        const HeatView::Shade shade = HeatView::shade(palette, i / 20.0);
        QVERIFY2(HeatView::contrast(shade.text, shade.background) >= 4.5,
                 qPrintable(QString::number(i / 20.0)));
    }
}

namespace {

// A bench whose work is read by a binding, the pattern "ab" over "ab ab ab".
struct BoundBench : Bench
{
    StepsBinding binding;

    BoundBench()
        : Bench(QStringLiteral("ab"), QStringLiteral("ab ab ab"))
        , binding(&panel, [this] {
            StepsBinding::Work work;
            work.pattern = pattern.Text();
            work.source = source.Text();
            work.global = true;
            return work;
        })
    {
        panel.job().setPause(std::chrono::milliseconds(0));
    }

    engine::MatchCollection matches()
    {
        engine::RegExp re;
        re.setPattern(u"ab");
        re.setGlobal(true);
        return re.Execute(source.Text().toStdU16String());
    }

    int tracedMatch()
    {
        if (!panel.job().waitForIdle(std::chrono::seconds(20)) || !panel.result() ||
            !panel.result()->found())
            return -1;
        return panel.result()->bounds[0];
    }
};

} // namespace

void tst_StepsPanel::bindingFollowsSelectionAndCaret()
{
    BoundBench bench;
    bench.panel.show();
    bench.binding.matchSelected(bench.matches(), 2);
    QCOMPARE(bench.binding.from(), 5); // after the match before
    QCOMPARE(bench.tracedMatch(), 6);
    // With a match selected the caret does not move the trace; without one it does.
    bench.binding.caretMoved(1);
    QCOMPARE(bench.binding.from(), 5);
    bench.binding.matchSelected(std::nullopt, -1);
    bench.binding.caretMoved(1);
    QCOMPARE(bench.tracedMatch(), 3);
    // An edit re-traces from the caret.
    bench.source.SetText(QStringLiteral("xab"));
    bench.binding.workChanged();
    QCOMPARE(bench.tracedMatch(), 1);
}

void tst_StepsPanel::bindingWaitsWhileHidden()
{
    BoundBench bench;
    bench.binding.workChanged();
    QVERIFY(!bench.panel.job().busy());
    QVERIFY(!bench.panel.result());
    bench.panel.show();
    QCOMPARE(bench.tracedMatch(), 0);
}

void tst_StepsPanel::bindingCountsTheRun()
{
    BoundBench bench;
    bench.panel.show();
    QCOMPARE(bench.tracedMatch(), 0);
    QSignalSpy counted(&bench.binding, &StepsBinding::runCounted);
    QSignalSpy status(&bench.binding, &StepsBinding::statusText);
    bench.binding.runEnded(bench.matches());
    QVERIFY(bench.binding.countJob().waitForIdle(std::chrono::seconds(20)));
    QCOMPARE(counted.size(), 1);
    const auto steps = counted.front().front().value<std::shared_ptr<const engine::RunSteps>>();
    QCOMPARE(steps->perMatch.size(), std::size_t(3));
    // The status line holds the run's total and the trace's; an edit drops the run's.
    QCOMPARE(status.back().front().toString(),
             QStringLiteral("Run: %1 steps \u00B7 Trace: %2 steps")
                 .arg(steps->total)
                 .arg(bench.panel.result()->steps));
    bench.binding.workChanged();
    QVERIFY(status.back().front().toString().startsWith(QStringLiteral("Trace: ")));
}

QTEST_MAIN(tst_StepsPanel)
#include "tst_stepspanel.moc"

// The real window's panel traces the window's work and marks its boxes; with line breaks
// ignored, the marks land on the parts as typed, past the line break.
void tst_StepsPanel::windowKeysMoveTheMarks_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("ignoreLineBreaks");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("patternMark");
    QTest::addColumn<QString>("sourceMarks");

    const QString oneLine = QStringLiteral("^(\\w+)\\s\\1$");
    const QString twoLines = QStringLiteral("^(\\w+)\r\n\\s\\1$");
    QTest::newRow("first step") << oneLine << false << ""
                                << "[^]"
                                << "[h]";
    QTest::newRow("forward to \\s") << oneLine << false << "RRRR"
                                    << "[\\s]"
                                    << "[hello][ ]";
    QTest::newRow("last: the match") << oneLine << false << "E"
                                     << "[]"
                                     << "[hello hello]";
    QTest::newRow("line break ignored: the part after it") << twoLines << true << "RRRR"
                                                           << "[\\s]"
                                                           << "[hello][ ]";
    QTest::newRow("line break ignored: the part before it") << twoLines << true << "RRR"
                                                            << "[)]"
                                                            << "[hello][ ]";
}

void tst_StepsPanel::windowKeysMoveTheMarks()
{
    QFETCH(QString, pattern);
    QFETCH(bool, ignoreLineBreaks);
    QFETCH(QString, keys);
    QFETCH(QString, patternMark);
    QFETCH(QString, sourceMarks);
    clearTestSettings();
    Window w = openWindow();
    const MainControls controls = w->controls();
    controls.chkIgnoreLineBreaks->setChecked(ignoreLineBreaks);
    controls.txtPattern->SetText(pattern);
    controls.txtSourceString->SetText(QStringLiteral("hello hello"));
    controls.txtSourceString->moveCursor(QTextCursor::Start);

    QDockWidget *dock = w->panels().dock(QStringLiteral("pnlSteps"));
    QVERIFY(dock);
    auto *panel = qobject_cast<StepsPanel *>(dock->widget());
    QVERIFY(panel);
    w->panels().viewItem(QStringLiteral("pnlSteps"))->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(panel->result() && !panel->job().busy(), 20000);

    panel->setFocus();
    pressKeys(*panel, keys);
    QCOMPARE(marks(*controls.txtPattern), patternMark);
    QCOMPARE(marks(*controls.txtSourceString), sourceMarks);
}

// The trace starts at the caret as Text() counts, CR LF two code units also where short lines
// share a block; a caret moved while the panel was closed counts when it opens.
void tst_StepsPanel::windowTracesFromTheCaret()
{
    clearTestSettings();
    Window w = openWindow();
    const MainControls controls = w->controls();
    controls.txtPattern->SetText(QStringLiteral("ab"));
    controls.txtSourceString->SetText(QStringLiteral("ab\r\ncd\r\nab"));
    QVERIFY(controls.txtSourceString->groupsLines());
    auto *binding = w->findChild<StepsBinding *>();
    QVERIFY(binding);
    QTextCursor caret = controls.txtSourceString->textCursor();
    caret.setPosition(6); // the third line's start in the document
    controls.txtSourceString->setTextCursor(caret);

    w->panels().viewItem(QStringLiteral("pnlSteps"))->trigger();
    QCOMPARE(binding->from(), 8);
    caret.setPosition(4); // after "cd"'s c
    controls.txtSourceString->setTextCursor(caret);
    QCOMPARE(binding->from(), 5);
}
