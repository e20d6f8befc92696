// The main window as a user drives it: keys, menus and buttons reach the runner and the
// document, closing asks to save, the placement carries over, Ctrl+A selects all.

#include "document/cdocument.h"
#include "runner/codegenerator.h"
#include "support/appinfo.h"
#include "support/appservices.h"
#include "support/clipboardtext.h"
#include "support/messagebox.h"
#include "support/textfile.h"
#include "tests/support/openwindow.h"
#include "tests/support/recordingopener.h"
#include "tests/support/scriptedresponder.h"
#include "tests/support/testenvironment.h"
#include "ui/help/frmreadme.h"
#include "ui/main/frmmain.h"
#include "ui/main/resultstreewidget.h"
#include "ui/main/textbox.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include <memory>

namespace {

QStringList topLevelTexts(const QTreeWidget *tree)
{
    QStringList texts;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        texts << tree->topLevelItem(i)->text(0);
    return texts;
}

void typeLines(QWidget *box, const QStringList &lines)
{
    box->setFocus();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClicks(box, lines.at(i));
    }
}

QString writePatternFile(const QString &name, const QStringList &fields)
{
    const QString path = QDir(testScratchDir()).filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(TextFile::encode(fields.join(QChar(0))));
    return path;
}

bool dirty(const frmMain &window)
{
    return window.windowTitle().startsWith(u"* ");
}

} // namespace

class tst_Lifecycle : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { initTestEnvironment(); }
    void init();

    void placement();
    void runKeys();
    void ignoreLineBreaks();
    void closing_data();
    void closing();
    void startWithFile();
    void optionsToggle();
    void selectAll_data();
    void selectAll();
    void helpMenu();
    void generateCode();
    void emptyBoxesSayWhatTheyAreFor();
    void nodesShowTheirWholeLabel();
    void droppedFileOpens_data();
    void droppedFileOpens();
};

void tst_Lifecycle::init()
{
    AppServices::instance().CommandLine().SetArguments({});
}

void tst_Lifecycle::placement()
{
    clearTestSettings();
    QRect placed;
    {
        Window window = openWindow();
        const QRect available = window->screen()->availableGeometry();
        const QPoint offset = window->frameGeometry().center() - available.center();
        // A first start is centred before it is shown, when the frame is not known yet: a few
        // pixels' leeway.
        QVERIFY(qAbs(offset.x()) <= 4 && qAbs(offset.y()) <= 4);
        window->setGeometry(window->geometry().translated(-37, -23).adjusted(0, 0, 40, 30));
        placed = window->geometry();
        QVERIFY(window->close());
    }
    ScriptedResponder responder;
    Window again = openWindow(testServices(responder));
    QCOMPARE(again->geometry(), placed);

    // A close that is cancelled stores nothing.
    again->controls().txtPattern->SetText(QStringLiteral("x"));
    again->move(again->pos() + QPoint(5, 5));
    responder.button(MsgBoxButton::Cancel);
    QVERIFY(!again->close());
    QCOMPARE(openWindow()->geometry(), placed);
}

void tst_Lifecycle::runKeys()
{
    ScriptedResponder responder;
    RecordingOpener opener(false);
    Window window = openWindow({testServices().files, opener, responder});
    typeLines(window->controls().txtPattern, {QStringLiteral("(\\w)(\\d)")});
    typeLines(window->controls().txtSourceString, {QStringLiteral("a1 b2 c")});
    typeLines(window->controls().txtReplaceVar, {QStringLiteral("$2$1")});
    QVERIFY(dirty(*window));

    QTest::keyClick(window->controls().txtSourceString, Qt::Key_F5);
    QCOMPARE(topLevelTexts(window->controls().tvResults),
             (QStringList{"Total 2 element(s) found", "a1 [1:2]", "b2 [4:2]"}));
    QCOMPARE(window->controls().tvResults->topLevelItem(1)->childCount(), 2);
    QCOMPARE(window->controls().tvResults->topLevelItem(2)->child(1)->text(0),
             QStringLiteral("2 [1]"));

    const QString title = window->windowTitle();
    QTest::keyClick(window->controls().txtPattern, Qt::Key_F6);
    QCOMPARE(window->controls().txtResult->Text(), QStringLiteral("1a 2b c"));
    QCOMPARE(window->windowTitle(), title);

    responder.button(MsgBoxButton::OK);
    QTest::keyClick(window->controls().txtPattern, Qt::Key_F7);
    QCOMPARE(responder.last().text, QStringLiteral("Match."));
    QCOMPARE(window->controls().tvResults->topLevelItemCount(), 3);
    // Ctrl+F5 without a spreadsheet program: the tree, the message that says where the
    // workbook was saved.
    responder.clear();
    responder.button(MsgBoxButton::Cancel);
    window->controls().txtSourceString->SetText(QStringLiteral("b2 a1"));
    QTest::keyClick(window->controls().txtPattern, Qt::Key_F5, Qt::ControlModifier);
    QCOMPARE(topLevelTexts(window->controls().tvResults),
             (QStringList{"Total 2 element(s) found", "b2 [1:2]", "a1 [4:2]"}));
    QCOMPARE(responder.shown().size(), 1);
    QVERIFY(responder.last().text.startsWith(u"The matches were saved to"));
    QCOMPARE(opener.opened().size(), 1);
    QVERIFY(opener.opened().first().path.endsWith(u".xlsx"));
    QVERIFY(responder.last().text.contains(QDir::toNativeSeparators(opener.opened().first().path)));
}

void tst_Lifecycle::ignoreLineBreaks()
{
    Window window = openWindow();
    window->controls().chkIgnoreLineBreaks->setChecked(true);
    typeLines(window->controls().txtPattern,
              {QStringLiteral("^a"), QStringLiteral("b "), QStringLiteral("c$")});
    window->controls().txtSourceString->SetText(QStringLiteral("x\r\nab c\r\ny"));

    window->controls().cmdExecute->click();
    QCOMPARE(topLevelTexts(window->controls().tvResults),
             (QStringList{"Total 1 element(s) found", "ab c [4:4]"}));
    // Without Multiline the source's line breaks stop the anchors.
    window->controls().chkMultiline->setChecked(false);
    window->menuItem(u"mnuRun", 0)->trigger();
    QCOMPARE(topLevelTexts(window->controls().tvResults),
             (QStringList{"Total 0 element(s) found"}));
}

void tst_Lifecycle::closing_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<bool>("closed");

    const QList<int> none;
    QTest::newRow("Esc, unchanged") << "esc" << false << none << true;
    QTest::newRow("Esc, changed, Cancel")
        << "esc" << true << QList<int>{MsgBoxButton::Cancel} << false;
    QTest::newRow("Esc, changed, No") << "esc" << true << QList<int>{MsgBoxButton::No} << true;
    QTest::newRow("Shift+Esc does nothing") << "shift+esc" << true << none << false;
    QTest::newRow("Alt+Esc does nothing") << "alt+esc" << false << none << false;
    QTest::newRow("File, Exit, Cancel")
        << "exit" << true << QList<int>{MsgBoxButton::Cancel} << false;
    QTest::newRow("close box, unchanged") << "closebox" << false << none << true;
    // Yes on an untitled document opens the save dialog; cancelling it keeps the window.
    QTest::newRow("close box, Yes, dialog cancelled")
        << "closebox" << true << QList<int>{MsgBoxButton::Yes} << false;
}

void tst_Lifecycle::closing()
{
    QFETCH(QString, how);
    QFETCH(bool, changed);
    QFETCH(QList<int>, answers);
    QFETCH(bool, closed);

    ScriptedResponder responder;
    Window window = openWindow(testServices(responder));
    if (changed)
        typeLines(window->controls().txtSourceString, {QStringLiteral("keep me")});
    for (int answer : answers)
        responder.button(answer);
    if (answers == QList<int>{MsgBoxButton::Yes})
        responder.cancelDialog();

    window->controls().txtSourceString->setFocus();
    if (how == u"esc")
        QTest::keyClick(window->controls().txtSourceString, Qt::Key_Escape);
    else if (how == u"shift+esc")
        QTest::keyClick(window->controls().txtSourceString, Qt::Key_Escape, Qt::ShiftModifier);
    else if (how == u"alt+esc")
        QTest::keyClick(window->controls().txtSourceString, Qt::Key_Escape, Qt::AltModifier);
    else if (how == u"exit")
        window->menuItem(u"mnuFile", 99)->trigger();
    else
        window->close();

    QCOMPARE(window->isVisible(), !closed);
    QCOMPARE(responder.pending(), 0);
    QCOMPARE(responder.shown().isEmpty(), answers.isEmpty());
    if (!answers.isEmpty())
        QVERIFY(responder.shown().first().text.startsWith(u"Save changes?"));
    if (!closed && changed)
        QCOMPARE(window->controls().txtSourceString->Text(), QStringLiteral("keep me"));
}

void tst_Lifecycle::startWithFile()
{
    const QString path = writePatternFile(QStringLiteral("Sample.RegExp"),
                                          {"o+", "foo boo", "0", "1", "0", "1", "0"});
    QDir::setCurrent(testScratchDir());
    AppServices::instance().CommandLine().SetArguments({QStringLiteral("Sample.RegExp")});

    Window window = openWindow();
    QCOMPARE(window->windowTitle(), QStringLiteral("Sievewright - [Sample.RegExp]"));
    QCOMPARE(window->document().FileName(), QFileInfo(path).absoluteFilePath());
    QCOMPARE(window->controls().txtPattern->Text(), QStringLiteral("o+"));
    QCOMPARE(window->controls().txtSourceString->Text(), QStringLiteral("foo boo"));
    QCOMPARE(window->controls().txtReplaceVar->Text(), QStringLiteral("0"));
    const QList<bool> options = {window->controls().chkGlobal->isChecked(),
                                 window->controls().chkIgnoreCase->isChecked(),
                                 window->controls().chkMultiline->isChecked(),
                                 window->controls().chkIgnoreLineBreaks->isChecked()};
    QCOMPARE(options, (QList<bool>{true, false, true, false}));

    // Replace writes only the result box, which is not part of the work.
    QTest::keyClick(window->controls().txtPattern, Qt::Key_F6);
    QCOMPARE(window->controls().txtResult->Text(), QStringLiteral("f0 b0"));
    QVERIFY(!dirty(*window));
    QVERIFY(window->close());
}

void tst_Lifecycle::optionsToggle()
{
    ScriptedResponder responder;
    Window window = openWindow(testServices(responder));
    const std::pair<int, QCheckBox *> items[] = {{0, window->controls().chkGlobal},
                                                 {1, window->controls().chkIgnoreCase},
                                                 {2, window->controls().chkMultiline},
                                                 {10, window->controls().chkIgnoreLineBreaks}};
    for (const auto &[index, check] : items) {
        const bool initially = index != 10;
        QCOMPARE(check->isChecked(), initially);
        window->menuItem(u"mnuOptions", index)->trigger();
        QCOMPARE(check->isChecked(), !initially);
        QVERIFY(!window->menuItem(u"mnuOptions", index)->isChecked());
    }
    QVERIFY(dirty(*window));
    responder.button(MsgBoxButton::No);
    QVERIFY(window->close());
}

void tst_Lifecycle::selectAll_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("selectsAll");
    const QList<std::pair<const char *, Qt::KeyboardModifiers>> keys = {
        {"Ctrl+A", Qt::ControlModifier},
        {"Ctrl+Shift+A", Qt::ControlModifier | Qt::ShiftModifier},
        {"Alt+A", Qt::AltModifier},
        {"Ctrl+Alt+A", Qt::ControlModifier | Qt::AltModifier},
        {"Ctrl+A on the keypad", Qt::ControlModifier | Qt::KeypadModifier},
    };
    for (const char *box : {"txtPattern", "txtSourceString", "txtReplaceVar", "txtResult"}) {
        for (const auto &[name, modifiers] : keys) {
            QTest::addRow("%s, %s", box, name)
                << box << int(modifiers) << !(modifiers & (Qt::ShiftModifier | Qt::AltModifier));
        }
    }
}

void tst_Lifecycle::selectAll()
{
    QFETCH(QString, box);
    QFETCH(int, modifiers);
    QFETCH(bool, selectsAll);

    ScriptedResponder responder;
    Window window = openWindow(testServices(responder));
    auto *edit = window->findChild<TextBox *>(box);
    QVERIFY(edit);
    edit->SetText(QStringLiteral("one\r\ntwo"));
    edit->setFocus();
    edit->moveCursor(QTextCursor::End);

    QTest::keyClick(edit, Qt::Key_A, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(edit->textCursor().hasSelection(), selectsAll);
    if (selectsAll) {
        QCOMPARE(edit->Text(), QStringLiteral("one\r\ntwo"));
        QCOMPARE(edit->textCursor().selectedText().size(), 7);
        // The next A is typed as usual, over the selection.
        QTest::keyClicks(edit, QStringLiteral("a"));
        QCOMPARE(edit->Text(), QStringLiteral("a"));
    }

    if (box != u"txtResult")
        responder.button(MsgBoxButton::No);
    QVERIFY(window->close());
}

void tst_Lifecycle::helpMenu()
{
    ScriptedResponder responder;
    RecordingOpener opener(false);
    Window window = openWindow({testServices().files, opener, responder});

    // No viewer on the desktop (the opener fails): the program's own window shows the read-me,
    // read-only; asking again brings the same window forward.
    window->menuItem(u"mnuHelp", 0)->trigger();
    QCOMPARE(opener.opened().size(), 1);
    QVERIFY(opener.opened().first().path.endsWith(u"README.html"));
    QVERIFY(QFileInfo::exists(opener.opened().first().path));
    auto readMeWindows = [&window] { return window->findChildren<frmReadMe *>(); };
    QCOMPARE(readMeWindows().size(), 1);
    frmReadMe *readMe = readMeWindows().constFirst();
    QVERIFY(readMe->isVisible());
    QVERIFY(readMe->isWindow());
    QVERIFY(readMe->txtReadMe->isReadOnly());
    QVERIFY(readMe->txtReadMe->toPlainText().contains(u"Sievewright is a bench for regular"));
    window->menuItem(u"mnuHelp", 0)->trigger();
    QCOMPARE(opener.opened().size(), 2);
    QCOMPARE(readMeWindows().size(), 1);
    QTest::keyClick(readMe->txtReadMe, Qt::Key_Escape);
    QTRY_COMPARE(readMeWindows().size(), 0);
    // A desktop viewer took it: no window of the program's own.
    opener.setStarts(true);
    window->menuItem(u"mnuHelp", 0)->trigger();
    QCOMPARE(readMeWindows().size(), 0);
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));

    responder.closeAbout();
    QTest::keyClick(window->controls().txtPattern, Qt::Key_F1, Qt::ShiftModifier);
    QCOMPARE(responder.last().kind, ModalKind::About);
    QVERIFY(responder.last().text.contains(u"Version 1.06.0049"));
    QVERIFY(responder.last().text.contains(QCoreApplication::applicationName()) ||
            responder.last().text.contains(u"Program file: "));
    // The last paragraphs say what the program is and under which licence it comes.
    QVERIFY(responder.last().text.endsWith(u"\n\n" + AppInfo::Description + u"\n\n" +
                                           AppInfo::Licence));
    QVERIFY(responder.last().text.contains(u"MIT licence"));

    // F1 opens the help window, modal over the main window.
    QWidget *owner = nullptr;
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [&owner] {
        if (auto *help = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            owner = help->parentWidget();
            help->close();
        }
    });
    closer.start(10);
    QTest::keyClick(window->controls().txtPattern, Qt::Key_F1);
    QCOMPARE(owner, window.get());
}

void tst_Lifecycle::generateCode()
{
    ScriptedResponder responder;
    Window window = openWindow(testServices(responder));
    window->controls().txtPattern->SetText(QStringLiteral("a\r\nb"));
    window->controls().txtReplaceVar->SetText(QStringLiteral("\"x\""));
    window->controls().chkIgnoreLineBreaks->setChecked(true);
    ClipboardText::instance().SetText(QStringLiteral("before"));

    CodeInputs inputs{QStringLiteral("a\r\nb"), QStringLiteral("\"x\""), {true, true, true, true}};
    responder.button(MsgBoxButton::Cancel).button(MsgBoxButton::OK);
    QTest::keyClick(window->controls().txtPattern, Qt::Key_F6, Qt::ShiftModifier);
    QCOMPARE(ClipboardText::instance().Text(), QStringLiteral("before"));
    QTest::keyClick(window->controls().txtPattern, Qt::Key_F6, Qt::ShiftModifier);
    QCOMPARE(ClipboardText::instance().Text(), BuildCodeSnippet(inputs, SnippetKind::Replace));
    QVERIFY(ClipboardText::instance().Text().contains(u"\"ab\""));
    QCOMPARE(responder.last().style, 65);
    QCOMPARE(responder.last().text,
             u"Copy generated code?\r\n\r\n" + ClipboardText::instance().Text());
}

void tst_Lifecycle::emptyBoxesSayWhatTheyAreFor()
{
    ScriptedResponder responder;
    Window window = openWindow(testServices(responder));
    const std::pair<TextBox *, QString> boxes[] = {
        {window->controls().txtPattern, QStringLiteral("Pattern")},
        {window->controls().txtSourceString, QStringLiteral("Source text")},
        {window->controls().txtReplaceVar, QStringLiteral("Replacement")},
        {window->controls().txtResult, QStringLiteral("Result of Replace")}};
    ClipboardText::instance().SetText(QStringLiteral("before"));
    for (const auto &[box, placeholder] : boxes) {
        QCOMPARE(box->placeholderText(), placeholder);
        // None of it is text: not read, not selected, not copied.
        QCOMPARE(box->Text(), QString());
        box->setFocus();
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
        QVERIFY(!box->textCursor().hasSelection());
        QCOMPARE(ClipboardText::instance().Text(), QStringLiteral("before"));
    }
    QVERIFY(!window->controls().tvResults->emptyHint().isEmpty());
    QVERIFY(!dirty(*window));

    // Nor handed to the engine: an empty pattern replaces at the one empty match.
    window->controls().txtReplaceVar->SetText(QStringLiteral("x"));
    QTest::keyClick(window->controls().txtPattern, Qt::Key_F6);
    QCOMPARE(window->controls().txtResult->Text(), QStringLiteral("x"));

    // Nor saved.
    const QString path = QDir(testScratchDir()).filePath(QStringLiteral("Empty.RegExp"));
    window->controls().txtReplaceVar->SetText(QString());
    responder.chooseFile(path);
    QVERIFY(window->document().SaveAs());
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(TextFile::decode(saved.readAll()).left(3), QString(3, QChar(0)));
}

void tst_Lifecycle::nodesShowTheirWholeLabel()
{
    Window window = openWindow();
    window->controls().txtPattern->SetText(QStringLiteral("(b+)"));
    window->controls().txtSourceString->SetText(u"a" + QString(300, u'b'));
    QTest::keyClick(window->controls().txtPattern, Qt::Key_F5);
    QTreeWidget *tree = window->controls().tvResults;
    QCOMPARE(tree->topLevelItemCount(), 2);
    // The tooltip may break the long run of letters (with zero-width spaces), but says no more.
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        QCOMPARE((*it)->toolTip(0).remove(QChar(0x200B)), (*it)->text(0));
    QVERIFY(tree->topLevelItem(1)->child(0)->text(0).contains(QString(300, u'b')));
    QVERIFY(tree->topLevelItem(1)->toolTip(0).contains(QChar(0x200B)));
}

void tst_Lifecycle::droppedFileOpens_data()
{
    QTest::addColumn<QString>("target"); // where it is dropped
    QTest::addColumn<bool>("changed");   // the work had unsaved changes
    QTest::newRow("on the pattern box") << "txtPattern" << false;
    QTest::newRow("on the result box, after the save prompt") << "txtResult" << true;
    QTest::newRow("on the options strip") << "pnlSetting" << false;
}

void tst_Lifecycle::droppedFileOpens()
{
    QFETCH(QString, target);
    QFETCH(bool, changed);
    ScriptedResponder responder;
    const QString path =
        writePatternFile(QStringLiteral("Dropped.RegExp"), {"d+", "a 12", "", "1", "1", "1", "0"});
    Window window = openWindow(testServices(responder));
    if (changed)
        window->controls().txtSourceString->SetText(QStringLiteral("edited"));
    QCOMPARE(dirty(*window), changed);

    auto *widget = window->findChild<QWidget *>(target);
    QVERIFY(widget);
    if (auto *box = qobject_cast<TextBox *>(widget))
        widget = box->viewport();
    const auto drop = [widget](const QMimeData &data) {
        const QPoint at = widget->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(widget, &enter);
        QDropEvent dropped(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                           Qt::NoModifier);
        QApplication::sendEvent(widget, &dropped);
        return dropped.isAccepted();
    };

    QMimeData file;
    file.setUrls({QUrl::fromLocalFile(path)});
    file.setText(QUrl::fromLocalFile(path).toString());
    if (changed)
        responder.button(MsgBoxButton::No);
    QVERIFY(drop(file));
    QTRY_COMPARE(window->document().FileName(), QFileInfo(path).absoluteFilePath());
    QCOMPARE(responder.shown().size(), changed ? 1 : 0);
    QCOMPARE(window->controls().txtPattern->Text(), QStringLiteral("d+"));
    QCOMPARE(window->controls().txtSourceString->Text(), QStringLiteral("a 12"));
    QVERIFY(!dirty(*window));

    // Text dropped on a box is still text.
    if (target != u"txtPattern")
        return;
    QMimeData text;
    text.setText(QStringLiteral("x"));
    window->controls().txtPattern->moveCursor(QTextCursor::End);
    QVERIFY(drop(text));
    QTest::qWait(10);
    QVERIFY(window->controls().txtPattern->Text().contains(u'x'));
    QVERIFY(dirty(*window));
}

QTEST_MAIN(tst_Lifecycle)
#include "tst_lifecycle.moc"
