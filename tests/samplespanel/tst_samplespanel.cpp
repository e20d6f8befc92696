// The Samples panel on its own: rows and verdicts, undoable edits, a paste of several lines,
// Enter on a row.

#include "runner/engine/regexp.h"
#include "runner/samplecheck.h"
#include "samples/sampleset.h"
#include "support/messagebox.h"
#include "tests/support/openwindow.h"
#include "tests/support/scriptedresponder.h"
#include "tests/support/testenvironment.h"
#include "ui/main/frmmain.h"
#include "ui/main/livejob.h"
#include "ui/main/panelhost.h"
#include "ui/main/statusline.h"
#include "ui/main/textbox.h"
#include "ui/samples/sampledelegate.h"
#include "ui/samples/sampledetail.h"
#include "ui/samples/samplesmodel.h"
#include "ui/samples/samplespanel.h"
#include "ui/samples/samplesrecheck.h"

#include <QAction>
#include <QDockWidget>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <QUndoStack>

namespace {

Sample sample(const QString &text, Expectation expect = Expectation::Match)
{
    Sample s;
    s.text = text;
    s.expect = expect;
    return s;
}

QString cell(const SamplesPanel &panel, int row, int column, int role = Qt::DisplayRole)
{
    return panel.model().index(row, column).data(role).toString();
}

struct Bench
{
    ScriptedResponder responder;
    SampleSet samples;
    SamplesPanel panel{samples, responder};
    QSignalSpy edits{&samples, &SampleSet::edited};

    std::vector<SampleVerdict> check(const QString &pattern)
    {
        const engine::RunControl control;
        return CheckSamples({pattern, {}, {true}}, samples.samples(), control);
    }
};

} // namespace

class tst_SamplesPanel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { initTestEnvironment(); }
    void rowsAndVerdicts();
    void editsUndoAndRedo();
    void pasteOfSeveralLines_data();
    void pasteOfSeveralLines();
    void enterUsesTheText();
    void liveRecheck();
    void windowChecksAsYouType();
    void lineBreaksKeptWhenEdited_data();
    void lineBreaksKeptWhenEdited();
};

void tst_SamplesPanel::rowsAndVerdicts()
{
    Bench b;
    QCOMPARE(b.panel.summary(), QString("No samples"));
    b.samples.reset({sample("a1\r\nb\t"), sample("xyz", Expectation::NoMatch),
                     sample("q", Expectation::Whole)});
    QCOMPARE(b.panel.model().rowCount(), 3);
    // One line with marks; the editor gets the text in full.
    QCOMPARE(cell(b.panel, 0, SamplesModel::TextColumn), QStringLiteral("a1\u21B5b\u2192"));
    QCOMPARE(cell(b.panel, 0, SamplesModel::TextColumn, Qt::EditRole), QString("a1\r\nb\t"));
    QCOMPARE(cell(b.panel, 0, SamplesModel::VerdictColumn), QString());
    QCOMPARE(b.panel.summary(), QString());

    QSignalSpy summaries(&b.panel, &SamplesPanel::summaryChanged);
    b.panel.setVerdicts(b.check("\\d"));
    QCOMPARE(b.panel.summary(), QString("2 passed, 1 failed"));
    QCOMPARE(b.panel.lblSummary->text(), b.panel.summary());
    QCOMPARE(summaries.size(), 1);
    // A word and an icon, not colour alone.
    QCOMPARE(cell(b.panel, 0, SamplesModel::VerdictColumn), QString("passed"));
    QCOMPARE(cell(b.panel, 2, SamplesModel::VerdictColumn), QString("failed"));
    QVERIFY(
        !b.panel.model().index(2, SamplesModel::VerdictColumn).data(Qt::DecorationRole).isNull());

    // The failed row: expected beside got, its text with the matches marked.
    b.panel.tblSamples->setCurrentIndex(b.panel.model().index(0, 0));
    QCOMPARE(b.panel.detail->lblExpected->text(), QString("Expected: match"));
    QCOMPARE(b.panel.detail->lblGot->text(), QString("Got: match"));
    const auto marks = b.panel.detail->txtSampleText->extraSelections();
    QCOMPARE(marks.size(), 1);
    QCOMPARE(marks.at(0).cursor.selectedText(), QString("1"));
    b.panel.tblSamples->setCurrentIndex(b.panel.model().index(2, 0));
    QCOMPARE(b.panel.detail->lblGot->text(), QString("Got: no match"));

    // An edit forgets the verdicts until the next check; verdicts for another list are ignored.
    b.samples.replace(1, sample("x1", Expectation::NoMatch));
    QCOMPARE(cell(b.panel, 1, SamplesModel::VerdictColumn), QString());
    b.panel.setVerdicts({});
    QCOMPARE(b.panel.summary(), QString());
}

void tst_SamplesPanel::editsUndoAndRedo()
{
    Bench b;
    b.samples.reset({sample("a"), sample("b")});
    QVERIFY(b.edits.isEmpty());
    QVERIFY(!b.panel.undoStack().canUndo());

    QAbstractItemModel &model = b.panel.model();
    QVERIFY(model.setData(model.index(0, SamplesModel::ExpectColumn), "count", Qt::EditRole));
    QVERIFY(model.setData(model.index(0, SamplesModel::ValueColumn), 3, Qt::EditRole));
    QVERIFY(!model.setData(model.index(0, SamplesModel::ValueColumn), -1, Qt::EditRole));
    QVERIFY(!model.setData(model.index(0, SamplesModel::ExpectColumn), "maybe", Qt::EditRole));
    // Cells that do not apply to what the sample must give cannot be edited.
    QVERIFY(!(model.flags(model.index(1, SamplesModel::ValueColumn)) & Qt::ItemIsEditable));
    QCOMPARE(b.samples.at(0).expect, Expectation::Count);
    QCOMPARE(b.samples.at(0).count, 3);

    b.panel.tblSamples->selectRow(1);
    b.panel.removeSelected();
    b.panel.addSample(sample("c"));
    QCOMPARE(b.samples.count(), 2);
    QCOMPARE(b.edits.size(), 4);

    QUndoStack &undo = b.panel.undoStack();
    undo.undo();
    undo.undo();
    QCOMPARE(b.samples.samples(), (QList<Sample>{b.samples.at(0), sample("b")}));
    undo.undo();
    undo.undo();
    QCOMPARE(b.samples.samples(), (QList<Sample>{sample("a"), sample("b")}));
    undo.redo();
    QCOMPARE(b.samples.at(0).expect, Expectation::Count);
    // A load forgets the steps.
    b.samples.reset({});
    QVERIFY(!undo.canUndo() && !undo.canRedo());
}

void tst_SamplesPanel::pasteOfSeveralLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("answer"); // 0: no question expected
    QTest::addColumn<QStringList>("rows");

    QTest::newRow("one line, no question") << "abc" << 0 << QStringList{"abc"};
    QTest::newRow("final line break starts no line") << "abc\n" << 0 << QStringList{"abc\n"};
    QTest::newRow("Yes: one sample a line") << "a\r\nb\rc\nd\n"
                                            << MsgBoxButton::Yes << QStringList{"a", "b", "c", "d"};
    QTest::newRow("No: one sample of it all")
        << "a\r\nb" << MsgBoxButton::No << QStringList{"a\r\nb"};
    QTest::newRow("Cancel: nothing") << "a\nb" << MsgBoxButton::Cancel << QStringList{};
}

void tst_SamplesPanel::pasteOfSeveralLines()
{
    QFETCH(QString, text);
    QFETCH(int, answer);
    QFETCH(QStringList, rows);
    Bench b;
    if (answer)
        b.responder.button(answer);
    b.panel.pasteText(text);
    QCOMPARE(b.responder.shown().size(), answer ? 1 : 0);
    QStringList got;
    for (const Sample &s : b.samples.samples())
        got.append(s.text);
    QCOMPARE(got, rows);
    if (!rows.isEmpty()) {
        QCOMPARE(b.edits.size(), 1);
        b.panel.undoStack().undo();
        QCOMPARE(b.samples.count(), 0);
    }
}

void tst_SamplesPanel::enterUsesTheText()
{
    Bench b;
    b.panel.show();
    b.samples.reset({sample("first"), sample("two\r\nlines")});
    QSignalSpy used(&b.panel, &SamplesPanel::useText);
    b.panel.tblSamples->setCurrentIndex(b.panel.model().index(1, 0));
    QTest::keyClick(b.panel.tblSamples, Qt::Key_Return);
    QCOMPARE(used.size(), 1);
    QCOMPARE(used.at(0).at(0).toString(), QString("two\r\nlines"));
}

void tst_SamplesPanel::liveRecheck()
{
    Bench b;
    QString pattern = QStringLiteral("\\d");
    SamplesRecheck recheck(b.samples, b.panel, [&] {
        return SampleRunInputs{pattern, {}, {true}};
    });
    LiveJob &job = recheck.job();

    // A load checks the new samples.
    b.samples.reset({sample("a1"), sample("b", Expectation::NoMatch)});
    QVERIFY(job.waitForIdle(std::chrono::seconds(5)));
    QCOMPARE(b.panel.summary(), QString("2 passed, 0 failed"));

    // An edit of a sample checks again.
    b.panel.addSample(sample("c"));
    QCOMPARE(b.panel.summary(), QString());
    QVERIFY(job.waitForIdle(std::chrono::seconds(5)));
    QCOMPARE(b.panel.summary(), QString("2 passed, 1 failed"));

    // The work changed twice before the pause ended: only the newest is shown.
    QSignalSpy summaries(&b.panel, &SamplesPanel::summaryChanged);
    pattern = QStringLiteral("[bc]");
    recheck.request();
    pattern = QStringLiteral("(");
    recheck.request();
    QVERIFY(job.waitForIdle(std::chrono::seconds(5)));
    QCOMPARE(b.panel.summary(), QString("0 passed, 3 failed"));
    QCOMPARE(summaries.size(), 1);
    QCOMPARE(b.panel.model().verdict(0)->got,
             QString("error 5020: Expected ')' in regular expression"));
}

// In the window: keys typed in the pattern box re-check the samples and the summary reaches
// the status line; "Add the source" adds the source with what the pattern gives it.
void tst_SamplesPanel::windowChecksAsYouType()
{
    Window w = openWindow();
    w->panels().viewItem(QStringLiteral("pnlSamples"))->trigger();
    auto *panel = qobject_cast<SamplesPanel *>(w->panels().dock("pnlSamples")->widget());
    QVERIFY(panel);
    auto *recheck = w->findChild<SamplesRecheck *>();
    QVERIFY(recheck);
    w->samples().reset({sample("a1"), sample("b", Expectation::NoMatch)});
    QVERIFY(recheck->job().waitForIdle(std::chrono::seconds(5)));
    QCOMPARE(panel->summary(), QString("1 passed, 1 failed")); // the empty pattern matches

    TextBox *pattern = w->controls().txtPattern;
    pattern->setFocus();
    QTest::keyClicks(pattern, "\\d");
    QVERIFY(recheck->job().waitForIdle(std::chrono::seconds(5)));
    QCOMPARE(panel->summary(), QString("2 passed, 0 failed"));
    QCOMPARE(w->statusLine().text(StatusLine::Slot::Samples), panel->summary());
    QTest::keyClick(pattern, Qt::Key_Backspace);
    QTest::keyClick(pattern, Qt::Key_Backspace);
    QTest::keyClicks(pattern, "b");
    QVERIFY(recheck->job().waitForIdle(std::chrono::seconds(5)));
    QCOMPARE(panel->summary(), QString("0 passed, 2 failed"));

    w->controls().txtSourceString->SetText(QStringLiteral("xbx"));
    panel->findChild<QToolButton *>("cmdAddSource")->click();
    QCOMPARE(w->samples().count(), 3);
    QCOMPARE(w->samples().samples().back().text, QStringLiteral("xbx"));
    QVERIFY(recheck->job().waitForIdle(std::chrono::seconds(5)));
    QCOMPARE(panel->summary(), QString("1 passed, 2 failed"));
}

void tst_SamplesPanel::lineBreaksKeptWhenEdited_data()
{
    QTest::addColumn<QString>("original");
    QTest::addColumn<QString>("edited");
    QTest::addColumn<QString>("kept");
    QTest::newRow("CR LF text keeps CR LF") << "a\r\nb"
                                            << "a\nb\nc"
                                            << "a\r\nb\r\nc";
    QTest::newRow("LF text keeps LF") << "a\nb"
                                      << "a\nc"
                                      << "a\nc";
    QTest::newRow("single line gets LF") << "a"
                                         << "a\nb"
                                         << "a\nb";
}

void tst_SamplesPanel::lineBreaksKeptWhenEdited()
{
    QFETCH(QString, original);
    QFETCH(QString, edited);
    QFETCH(QString, kept);
    QCOMPARE(keepLineBreaks(edited, original), kept);
}

QTEST_MAIN(tst_SamplesPanel)
#include "tst_samplespanel.moc"
