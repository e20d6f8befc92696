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
    return window.statusLine().text(slot);
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
    window->controls().chkGlobal->setChecked(true);
    window->controls().txtSourceString->SetText(source);
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
    type(window->controls().txtPattern, QStringLiteral("(\\w)(\\w)"));
    QTRY_COMPARE_WITH_TIMEOUT(window->controls().tvResults->topLevelItemCount(), 8, Wait);
    QCOMPARE(window->controls().tvResults->topLevelItem(0)->text(0),
             QStringLiteral("Total 7 element(s) found"));
    QCOMPARE(window->controls().tvResults->topLevelItem(1)->child(1)->text(0),
             QStringLiteral("b [1]"));
    QVERIFY(status(*window).startsWith(u"7 matches in "));
    // A key in the source: the results follow it too.
    window->controls().txtSourceString->setFocus();
    QTest::keyClick(window->controls().txtSourceString, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(window->controls().txtSourceString, QStringLiteral("xy"));
    QTRY_COMPARE_WITH_TIMEOUT(window->controls().tvResults->topLevelItemCount(), 9, Wait);
    QVERIFY(!window->controls().tvResults->isOutOfDate());
    QCOMPARE(responder.shown().size(), 0);
}

void tst_Live::invalidPatternGivesNoDialogLive()
{
    ScriptedResponder responder;
    Window window = liveWindow(responder, true, QStringLiteral("ab ab"));
    type(window->controls().txtPattern, QStringLiteral("ab"));
    QTRY_COMPARE_WITH_TIMEOUT(window->controls().tvResults->topLevelItemCount(), 3, Wait);
    const QStringList before = topLevelTexts(window->controls().tvResults);

    // The last good results stay, marked out of date; the error goes to the status line.
    QTest::keyClick(window->controls().txtPattern, Qt::Key_ParenLeft);
    QTRY_VERIFY_WITH_TIMEOUT(window->controls().tvResults->isOutOfDate(), Wait);
    QCOMPARE(topLevelTexts(window->controls().tvResults), before);
    QTRY_COMPARE_WITH_TIMEOUT(
        status(*window, StatusLine::Slot::Pattern),
        StatusTexts::patternError(5020, QStringLiteral("Expected ')' in regular expression"), 3),
        Wait);
    QCOMPARE(status(*window), QString());
    QCOMPARE(responder.shown().size(), 0);

    // F5 gives the documented message and the empty tree.
    responder.button(MsgBoxButton::OK);
    QTest::keyClick(window->controls().txtPattern, Qt::Key_F5);
    QCOMPARE(responder.shown().size(), 1);
    QVERIFY(responder.last().text.startsWith(u"RegExp.Execute has failed."));
    QCOMPARE(window->controls().tvResults->topLevelItemCount(), 0);
}

void tst_Live::keepsTheSelectedNode()
{
    ScriptedResponder responder;
    Window window = liveWindow(responder, true, QStringLiteral("a1 b2 c3"));
    type(window->controls().txtPattern, QStringLiteral("\\w(\\d)"));
    QTRY_COMPARE_WITH_TIMEOUT(window->controls().tvResults->topLevelItemCount(), 4, Wait);
    // The submatch of the second match.
    window->controls().tvResults->setFocus();
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(window->controls().tvResults, Qt::Key_Down);
    QCOMPARE(window->controls().tvResults->currentItem()->text(0), QStringLiteral("2 [1]"));

    // A key typed in the source box: the node is selected again, the caret stays where typed.
    window->controls().txtSourceString->setFocus();
    QTest::keyClick(window->controls().txtSourceString, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(window->controls().txtSourceString, QStringLiteral(" d4"));
    const int caret = window->controls().txtSourceString->textCursor().position();
    QTRY_COMPARE_WITH_TIMEOUT(window->controls().tvResults->topLevelItemCount(), 5, Wait);
    QVERIFY(window->controls().tvResults->currentItem());
    QCOMPARE(window->controls().tvResults->currentItem()->text(0), QStringLiteral("2 [1]"));
    QCOMPARE(window->controls().txtSourceString->textCursor().position(), caret);
    QVERIFY(!window->controls().txtSourceString->textCursor().hasSelection());
}

void tst_Live::longLiveRunStops()
{
    ScriptedResponder responder;
    Window window = liveWindow(responder, true, QString(10'000, u'a') + u'b');
    type(window->controls().txtPattern, QStringLiteral("(a|aa){1,20}$"));
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
    type(window->controls().txtPattern, QStringLiteral("a\\d"));
    QTest::keyClick(window->controls().txtPattern, Qt::Key_F5);
    QCOMPARE(window->controls().tvResults->topLevelItemCount(), 3);
    QVERIFY(!window->controls().tvResults->isOutOfDate());

    if (change == u"pattern") {
        QTest::keyClick(window->controls().txtPattern, Qt::Key_X);
    } else if (change == u"option") {
        window->controls().chkIgnoreCase->click();
    } else {
        window->controls().txtSourceString->setFocus();
        QTest::keyClick(window->controls().txtSourceString, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(window->controls().txtSourceString, Qt::Key_Z);
    }
    QVERIFY(window->controls().tvResults->isOutOfDate());
    QCOMPARE(window->controls().tvResults->topLevelItemCount(), 3);
    QCOMPARE(status(*window), StatusTexts::OutOfDate.toString());
    // Nothing runs without F5.
    QTest::qWait(int(LiveResults::Pause.count()) * 3);
    QVERIFY(window->controls().tvResults->isOutOfDate());

    // The first match node.
    window->controls().tvResults->setFocus();
    QTest::keyClick(window->controls().tvResults, Qt::Key_Home);
    QTest::keyClick(window->controls().tvResults, Qt::Key_Down);
    QCOMPARE(window->controls().txtSourceString->textCursor().selectedText(),
             nodesSelect ? QStringLiteral("a1") : QString());

    QTest::keyClick(window->controls().tvResults, Qt::Key_F5);
    QVERIFY(!window->controls().tvResults->isOutOfDate());
    QVERIFY(status(*window).contains(u" in "));
    QCOMPARE(responder.shown().size(), 0);
}

void tst_Live::replaceOutputFollowsUntilTyped()
{
    ScriptedResponder responder;
    Window window = liveWindow(responder, true, QStringLiteral("a1 b2"));
    type(window->controls().txtReplaceVar, QStringLiteral("<$1>"));
    type(window->controls().txtPattern, QStringLiteral("\\w(\\d)"));
    settle(*window);
    // No Replace yet: the result box is not the live runs' to fill.
    QCOMPARE(window->controls().txtResult->Text(), QString());
    QTest::keyClick(window->controls().txtPattern, Qt::Key_F6);
    QCOMPARE(window->controls().txtResult->Text(), QStringLiteral("<1> <2>"));

    // While the output is unedited, it follows the work.
    window->controls().txtSourceString->setFocus();
    QTest::keyClick(window->controls().txtSourceString, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(window->controls().txtSourceString, QStringLiteral(" c3"));
    QTRY_COMPARE_WITH_TIMEOUT(window->controls().txtResult->Text(), QStringLiteral("<1> <2> <3>"),
                              Wait);

    // Once typed in, it is the user's: never overwritten live.
    window->controls().txtResult->setFocus();
    QTest::keyClicks(window->controls().txtResult, QStringLiteral("!"));
    const QString typed = window->controls().txtResult->Text();
    window->controls().txtSourceString->setFocus();
    QTest::keyClicks(window->controls().txtSourceString, QStringLiteral(" d4"));
    QTRY_COMPARE_WITH_TIMEOUT(window->controls().tvResults->topLevelItemCount(), 5, Wait);
    QVERIFY(settle(*window));
    QCOMPARE(window->controls().txtResult->Text(), typed);

    // The next Replace by command makes it the output again.
    QTest::keyClick(window->controls().txtSourceString, Qt::Key_F6);
    QCOMPARE(window->controls().txtResult->Text(), QStringLiteral("<1> <2> <3> <4>"));
    QTest::keyClicks(window->controls().txtSourceString, QStringLiteral(" e5"));
    QTRY_COMPARE_WITH_TIMEOUT(window->controls().txtResult->Text(),
                              QStringLiteral("<1> <2> <3> <4> <5>"), Wait);
    QCOMPARE(responder.shown().size(), 0);
}

void tst_Live::statusLineTexts()
{
    ScriptedResponder responder;
    Window window = liveWindow(responder, false, QStringLiteral("a b a"));
    type(window->controls().txtPattern, QStringLiteral("a"));
    QTest::keyClick(window->controls().txtPattern, Qt::Key_F5);
    QVERIFY2(status(*window).startsWith(u"2 matches in "), qPrintable(status(*window)));
    QVERIFY(status(*window).endsWith(u" ms"));

    // Test: the verdict its box gives, in the line too.
    responder.button(MsgBoxButton::OK);
    QTest::keyClick(window->controls().txtPattern, Qt::Key_F7);
    QCOMPARE(responder.last().text, QStringLiteral("Match."));
    QCOMPARE(status(*window), QStringLiteral("Match."));
    type(window->controls().txtPattern, QStringLiteral("z"));
    responder.button(MsgBoxButton::OK);
    QTest::keyClick(window->controls().txtPattern, Qt::Key_F7);
    QCOMPARE(status(*window), QStringLiteral("Do not match."));
    QTest::keyClick(window->controls().txtPattern, Qt::Key_F5);
    QVERIFY(status(*window).startsWith(u"No match in "));

    // The pattern's first error while typing, with its number and position.
    QTest::keyClicks(window->controls().txtPattern, QStringLiteral("[b"));
    QTRY_COMPARE_WITH_TIMEOUT(
        status(*window, StatusLine::Slot::Pattern),
        StatusTexts::patternError(5019, QStringLiteral("Expected ']' in regular expression"), 3),
        Wait);
    QTest::keyClick(window->controls().txtPattern, Qt::Key_BracketRight);
    QTRY_COMPARE_WITH_TIMEOUT(status(*window, StatusLine::Slot::Pattern), QString(), Wait);
}

void tst_Live::cancelledRunSaysSoInTheStatusLine()
{
    ScriptedResponder responder;
    Window window = liveWindow(responder, false, QString(10'000, u'a') + u'b');
    type(window->controls().txtPattern, QStringLiteral("(a|aa){1,20}$"));
    QTimer::singleShot(BackgroundRun::ShowAfter * 2, [] { BackgroundRun::instance().cancel(); });
    QTest::keyClick(window->controls().txtPattern, Qt::Key_F5);
    QCOMPARE(status(*window), QStringLiteral("The run was cancelled."));
    QCOMPARE(responder.shown().size(), 0);
}

void tst_Live::optionRememberedAndOnForANewUser()
{
    clearTestSettings();
    {
        Window window = openWindow();
        QVERIFY(window->liveResults().isOn());
        QAction *item = window->menuItem(u"mnuOptions", 20);
        QVERIFY(item && item->isCheckable() && item->isChecked());
        item->trigger();
        QVERIFY(!window->liveResults().isOn());
    }
    Window window = openWindow();
    QVERIFY(!window->liveResults().isOn());
    QVERIFY(!window->menuItem(u"mnuOptions", 20)->isChecked());
    // The documented items keep their places.
    QCOMPARE(window->menuItem(u"mnuOptions", 10)->text(), QStringLiteral("Ignore line breaks"));
}

void tst_Live::caretInThePatternAfterNewAndOpen()
{
    ScriptedResponder responder;
    Window window = liveWindow(responder, false, QStringLiteral("text"));
    const QString file = testScratchDir() + u"/caret.RegExp";
    responder.chooseFile(file);
    QTest::keyClick(window->controls().txtSourceString, Qt::Key_F2);
    QVERIFY(QFile::exists(file));

    window->controls().txtSourceString->setFocus();
    QTest::keyClick(window->controls().txtSourceString, Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(QApplication::focusWidget(), window->controls().txtPattern);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("typed at once"));
    QCOMPARE(window->controls().txtPattern->Text(), QStringLiteral("typed at once"));

    window->controls().txtSourceString->setFocus();
    responder.button(MsgBoxButton::No).chooseFile(file);
    QTest::keyClick(window->controls().txtSourceString, Qt::Key_F3);
    QCOMPARE(window->controls().txtSourceString->Text(), QStringLiteral("text"));
    QCOMPARE(QApplication::focusWidget(), window->controls().txtPattern);
}

QTEST_MAIN(tst_Live)
#include "tst_live.moc"
