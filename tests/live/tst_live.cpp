// The live bench, driven with real keys: results that follow the typing without F5 and without
// dialogs, results marked out of date, Replace output that never overwrites typed text, the
// status line's texts, and the caret after New and Open.

#include "support/appservices.h"
#include "support/backgroundrun.h"
#include "support/messagebox.h"
#include "support/preferences.h"
#include "tests/support/openwindow.h"
#include "tests/support/scriptedresponder.h"
#include "tests/support/testenvironment.h"
#include "tests/support/testservices.h"
#include "ui/main/frmmain.h"
#include "ui/main/liveresults.h"
#include "ui/main/resultstreewidget.h"
#include "ui/main/sourcetextbox.h"
#include "ui/main/statusline.h"
#include "ui/main/statustexts.h"
#include "ui/main/textbox.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

constexpr int Wait = 5000; // ms; far more than a live run needs

QStringList topLevelTexts(const QTreeWidget *tree)
{
    QStringList texts;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        texts.append(tree->topLevelItem(i)->text(0));
    return texts;
}

QString status(const frmMain &window, StatusLine::Slot slot = StatusLine::Slot::Run)
{
    return window.statusLine()->text(slot);
}

// Replaces the text of box by typing: select all, then the keys.
void type(TextBox *box, const QString &text)
{
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(box, Qt::Key_Delete);
    else
        QTest::keyClicks(box, text);
}

bool settle(frmMain &window)
{
    return window.liveResults().waitForIdle(std::chrono::milliseconds(Wait));
}

// A window with live results on or off, Global set, and the given source.
Window liveWindow(ModalHost &modal, bool live, const QString &source)
{
    Window window = openWindow(testServices(modal));
    window->liveResults().setOn(live);
    window->chkGlobal->setChecked(true);
    window->txtSourceString->SetText(source);
    settle(*window);
    return window;
}

} // namespace

class tst_Live : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        initTestEnvironment();
        AppServices::instance().CommandLine().SetArguments({});
    }

    void resultsFollowTheTyping();
    void invalidPatternGivesNoDialogLive();
    void keepsTheSelectedNode();
    void longLiveRunStops();
    void outOfDateWhileLiveIsOff_data();
    void outOfDateWhileLiveIsOff();
    void replaceOutputFollowsUntilTyped();
    void statusLineTexts();
    void cancelledRunSaysSoInTheStatusLine();
    void optionRememberedAndOnForANewUser();
    void caretInThePatternAfterNewAndOpen();
};

void tst_Live::resultsFollowTheTyping()
{
    ScriptedResponder responder;
    Window window = liveWindow(responder, true, QStringLiteral("abcdef 2024-11-05"));
    type(window->txtPattern, QStringLiteral("(\\w)(\\w)"));
    QTRY_COMPARE_WITH_TIMEOUT(window->tvResults->topLevelItemCount(), 8, Wait);
    QCOMPARE(window->tvResults->topLevelItem(0)->text(0),
             QStringLiteral("Total 7 element(s) found"));
    QCOMPARE(window->tvResults->topLevelItem(1)->child(1)->text(0), QStringLiteral("b [1]"));
    QVERIFY(status(*window).startsWith(u"7 matches in "));
    // A key in the source: the results follow it too.
    window->txtSourceString->setFocus();
    QTest::keyClick(window->txtSourceString, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(window->txtSourceString, QStringLiteral("xy"));
    QTRY_COMPARE_WITH_TIMEOUT(window->tvResults->topLevelItemCount(), 9, Wait);
    QVERIFY(!window->tvResults->isOutOfDate());
    QCOMPARE(responder.shown().size(), 0);
}

void tst_Live::invalidPatternGivesNoDialogLive()
{
    ScriptedResponder responder;
    Window window = liveWindow(responder, true, QStringLiteral("ab ab"));
    type(window->txtPattern, QStringLiteral("ab"));
    QTRY_COMPARE_WITH_TIMEOUT(window->tvResults->topLevelItemCount(), 3, Wait);
    const QStringList before = topLevelTexts(window->tvResults);

    // The last good results stay, marked out of date; the error goes to the status line.
    QTest::keyClick(window->txtPattern, Qt::Key_ParenLeft);
    QTRY_VERIFY_WITH_TIMEOUT(window->tvResults->isOutOfDate(), Wait);
    QCOMPARE(topLevelTexts(window->tvResults), before);
    QCOMPARE(status(*window), StatusTexts::patternError(
                                  5020, QStringLiteral("Expected ')' in regular expression"), 3));
    QTRY_VERIFY_WITH_TIMEOUT(!status(*window, StatusLine::Slot::Pattern).isEmpty(), Wait);
    QCOMPARE(responder.shown().size(), 0);

    // F5 gives the documented message and the empty tree.
    responder.button(MsgBoxButton::OK);
    QTest::keyClick(window->txtPattern, Qt::Key_F5);
    QCOMPARE(responder.shown().size(), 1);
    QVERIFY(responder.last().text.startsWith(u"RegExp.Execute has failed."));
    QCOMPARE(window->tvResults->topLevelItemCount(), 0);
}

void tst_Live::keepsTheSelectedNode()
{
    ScriptedResponder responder;
    Window window = liveWindow(responder, true, QStringLiteral("a1 b2 c3"));
    type(window->txtPattern, QStringLiteral("\\w(\\d)"));
    QTRY_COMPARE_WITH_TIMEOUT(window->tvResults->topLevelItemCount(), 4, Wait);
    // The submatch of the second match.
    window->tvResults->setFocus();
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(window->tvResults, Qt::Key_Down);
    QCOMPARE(window->tvResults->currentItem()->text(0), QStringLiteral("2 [1]"));

    // A key typed in the source box: the node is selected again, the caret stays where typed.
    window->txtSourceString->setFocus();
    QTest::keyClick(window->txtSourceString, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(window->txtSourceString, QStringLiteral(" d4"));
    const int caret = window->txtSourceString->textCursor().position();
    QTRY_COMPARE_WITH_TIMEOUT(window->tvResults->topLevelItemCount(), 5, Wait);
    QVERIFY(window->tvResults->currentItem());
    QCOMPARE(window->tvResults->currentItem()->text(0), QStringLiteral("2 [1]"));
    QCOMPARE(window->txtSourceString->textCursor().position(), caret);
    QVERIFY(!window->txtSourceString->textCursor().hasSelection());
}

void tst_Live::longLiveRunStops()
{
    ScriptedResponder responder;
    Window window = liveWindow(responder, true, QString(10'000, u'a') + u'b');
    type(window->txtPattern, QStringLiteral("(a|aa){1,20}$"));
    QTRY_COMPARE_WITH_TIMEOUT(status(*window), StatusTexts::Stopped.toString(),
                              int(LiveResults::TimeCap.count()) + Wait);
    QCOMPARE(responder.shown().size(), 0);
}

void tst_Live::outOfDateWhileLiveIsOff_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("nodesSelect"); // a match node still selects its text
    QTest::newRow("a key in the pattern") << "pattern" << true;
    QTest::newRow("an option") << "option" << true;
    QTest::newRow("a key in the source") << "source" << false;
}

void tst_Live::outOfDateWhileLiveIsOff()
{
    QFETCH(QString, change);
    QFETCH(bool, nodesSelect);
    ScriptedResponder responder;
    Window window = liveWindow(responder, false, QStringLiteral("xa1 ya2"));
    type(window->txtPattern, QStringLiteral("a\\d"));
    QTest::keyClick(window->txtPattern, Qt::Key_F5);
    QCOMPARE(window->tvResults->topLevelItemCount(), 3);
    QVERIFY(!window->tvResults->isOutOfDate());

    if (change == u"pattern") {
        QTest::keyClick(window->txtPattern, Qt::Key_X);
    } else if (change == u"option") {
        window->chkIgnoreCase->click();
    } else {
        window->txtSourceString->setFocus();
        QTest::keyClick(window->txtSourceString, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(window->txtSourceString, Qt::Key_Z);
    }
    QVERIFY(window->tvResults->isOutOfDate());
    QCOMPARE(window->tvResults->topLevelItemCount(), 3);
    QCOMPARE(status(*window), StatusTexts::OutOfDate.toString());
    // Nothing runs without F5.
    QTest::qWait(int(LiveResults::Pause.count()) * 3);
    QVERIFY(window->tvResults->isOutOfDate());

    // The first match node.
    window->tvResults->setFocus();
    QTest::keyClick(window->tvResults, Qt::Key_Home);
    QTest::keyClick(window->tvResults, Qt::Key_Down);
    QCOMPARE(window->txtSourceString->textCursor().selectedText(),
             nodesSelect ? QStringLiteral("a1") : QString());

    QTest::keyClick(window->tvResults, Qt::Key_F5);
    QVERIFY(!window->tvResults->isOutOfDate());
    QVERIFY(status(*window).contains(u" in "));
    QCOMPARE(responder.shown().size(), 0);
}

void tst_Live::replaceOutputFollowsUntilTyped()
{
    ScriptedResponder responder;
    Window window = liveWindow(responder, true, QStringLiteral("a1 b2"));
    type(window->txtReplaceVar, QStringLiteral("<$1>"));
    type(window->txtPattern, QStringLiteral("\\w(\\d)"));
    settle(*window);
    // No Replace yet: the result box is not the live runs' to fill.
    QCOMPARE(window->txtResult->Text(), QString());
    QTest::keyClick(window->txtPattern, Qt::Key_F6);
    QCOMPARE(window->txtResult->Text(), QStringLiteral("<1> <2>"));

    // While the output is unedited, it follows the work.
    window->txtSourceString->setFocus();
    QTest::keyClick(window->txtSourceString, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(window->txtSourceString, QStringLiteral(" c3"));
    QTRY_COMPARE_WITH_TIMEOUT(window->txtResult->Text(), QStringLiteral("<1> <2> <3>"), Wait);

    // Once typed in, it is the user's: never overwritten live.
    window->txtResult->setFocus();
    QTest::keyClicks(window->txtResult, QStringLiteral("!"));
    const QString typed = window->txtResult->Text();
    window->txtSourceString->setFocus();
    QTest::keyClicks(window->txtSourceString, QStringLiteral(" d4"));
    QTRY_COMPARE_WITH_TIMEOUT(window->tvResults->topLevelItemCount(), 5, Wait);
    QVERIFY(settle(*window));
    QCOMPARE(window->txtResult->Text(), typed);

    // The next Replace by command makes it the output again.
    QTest::keyClick(window->txtSourceString, Qt::Key_F6);
    QCOMPARE(window->txtResult->Text(), QStringLiteral("<1> <2> <3> <4>"));
    QTest::keyClicks(window->txtSourceString, QStringLiteral(" e5"));
    QTRY_COMPARE_WITH_TIMEOUT(window->txtResult->Text(), QStringLiteral("<1> <2> <3> <4> <5>"),
                              Wait);
    QCOMPARE(responder.shown().size(), 0);
}

void tst_Live::statusLineTexts()
{
    ScriptedResponder responder;
    Window window = liveWindow(responder, false, QStringLiteral("a b a"));
    type(window->txtPattern, QStringLiteral("a"));
    QTest::keyClick(window->txtPattern, Qt::Key_F5);
    QVERIFY2(status(*window).startsWith(u"2 matches in "), qPrintable(status(*window)));
    QVERIFY(status(*window).endsWith(u" ms"));

    // Test: the verdict its box gives, in the line too.
    responder.button(MsgBoxButton::OK);
    QTest::keyClick(window->txtPattern, Qt::Key_F7);
    QCOMPARE(responder.last().text, QStringLiteral("Match."));
    QCOMPARE(status(*window), QStringLiteral("Match."));
    type(window->txtPattern, QStringLiteral("z"));
    responder.button(MsgBoxButton::OK);
    QTest::keyClick(window->txtPattern, Qt::Key_F7);
    QCOMPARE(status(*window), QStringLiteral("Do not match."));
    QTest::keyClick(window->txtPattern, Qt::Key_F5);
    QVERIFY(status(*window).startsWith(u"No match in "));

    // The pattern's first error while typing, with its number and position.
    QTest::keyClicks(window->txtPattern, QStringLiteral("[b"));
    QTRY_COMPARE_WITH_TIMEOUT(status(*window, StatusLine::Slot::Pattern),
                              StatusTexts::patternError(
                                  5019, QStringLiteral("Expected ']' in regular expression"), 3),
                              Wait);
    QTest::keyClick(window->txtPattern, Qt::Key_BracketRight);
    QTRY_COMPARE_WITH_TIMEOUT(status(*window, StatusLine::Slot::Pattern), QString(), Wait);
}

void tst_Live::cancelledRunSaysSoInTheStatusLine()
{
    ScriptedResponder responder;
    Window window = liveWindow(responder, false, QString(10'000, u'a') + u'b');
    type(window->txtPattern, QStringLiteral("(a|aa){1,20}$"));
    QTimer::singleShot(BackgroundRun::ShowAfter * 2, [] { BackgroundRun::instance().cancel(); });
    QTest::keyClick(window->txtPattern, Qt::Key_F5);
    QCOMPARE(status(*window), QStringLiteral("The run was cancelled."));
    QCOMPARE(responder.shown().size(), 0);
}

void tst_Live::optionRememberedAndOnForANewUser()
{
    clearTestSettings();
    {
        Window window = openWindow();
        QVERIFY(window->liveResults().isOn());
        QAction *item = window->mnuOptions.item(20);
        QVERIFY(item && item->isCheckable() && item->isChecked());
        item->trigger();
        QVERIFY(!window->liveResults().isOn());
    }
    Window window = openWindow();
    QVERIFY(!window->liveResults().isOn());
    QVERIFY(!window->mnuOptions.item(20)->isChecked());
    // The documented items keep their places.
    QCOMPARE(window->mnuOptions.item(10)->text(), QStringLiteral("Ignore line breaks"));
}

void tst_Live::caretInThePatternAfterNewAndOpen()
{
    ScriptedResponder responder;
    Window window = liveWindow(responder, false, QStringLiteral("text"));
    const QString file = testScratchDir() + u"/caret.RegExp";
    responder.chooseFile(file);
    QTest::keyClick(window->txtSourceString, Qt::Key_F2);
    QVERIFY(QFile::exists(file));

    window->txtSourceString->setFocus();
    QTest::keyClick(window->txtSourceString, Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(QApplication::focusWidget(), window->txtPattern);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("typed at once"));
    QCOMPARE(window->txtPattern->Text(), QStringLiteral("typed at once"));

    window->txtSourceString->setFocus();
    responder.button(MsgBoxButton::No).chooseFile(file);
    QTest::keyClick(window->txtSourceString, Qt::Key_F3);
    QCOMPARE(window->txtSourceString->Text(), QStringLiteral("text"));
    QCOMPARE(QApplication::focusWidget(), window->txtPattern);
}

QTEST_MAIN(tst_Live)
#include "tst_live.moc"
