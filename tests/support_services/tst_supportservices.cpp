#include "support/errorreporter.h"
#include "support/filedialog.h"
#include "support/messagebox.h"
#include "support/messageboxfit.h"
#include "support/modalhost.h"
#include "support/windowplacement.h"
#include "support/workerthread.h"
#include "tests/support/filedialogdriver.h"
#include "tests/support/scriptedresponder.h"
#include "tests/support/testenvironment.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QScreen>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <thread>
#include <vector>

class tst_SupportServices : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { initTestEnvironment(); }

    void msgBoxStyles_data();
    void msgBoxStyles();
    void messageBoxFits_data();
    void messageBoxFits();
    void errorReport();
    void placement();
    void fileDialog();
    void typedNames_data();
    void typedNames();
    void dialogSize();
    void workerThread();
};

namespace {
const QString RegExpFilter = QStringLiteral("RegExp files|*.RegExp|All files|*.*");

// A file without a dot and a pattern file, both empty.
bool addFiles(const QTemporaryDir &dir)
{
    for (const QString &name : {QStringLiteral("passwd"), QStringLiteral("old.RegExp")}) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly))
            return false;
    }
    return true;
}
} // namespace

void tst_SupportServices::msgBoxStyles_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QList<int>>("buttons");

    QTest::newRow("16 critical OK") << 16 << QList<int>{1};
    QTest::newRow("21 retry cancel") << 21 << QList<int>{4, 2};
    QTest::newRow("35 yes no cancel") << 35 << QList<int>{6, 7, 2};
    QTest::newRow("65 OK cancel") << 65 << QList<int>{1, 2};
    QTest::newRow("default button bits ignored") << 35 + 256 << QList<int>{6, 7, 2};
}

void tst_SupportServices::msgBoxStyles()
{
    QFETCH(int, style);
    QFETCH(QList<int>, buttons);

    QCOMPARE(msgBoxButtons(style), buttons);
    for (int code : buttons) {
        ScriptedResponder responder;
        responder.button(code);
        QCOMPARE(MsgBox(responder, QStringLiteral("Question?"), style), code);
        QCOMPARE(responder.last().style, style);
        QCOMPARE(responder.last().caption, QStringLiteral("Brackwen - Sievewright"));
        QCOMPARE(responder.last().text, QStringLiteral("Question?"));
    }
    // A script may press only what the box offers: any other button fails the test, and the
    // box gets the answer of its close button instead.
    const int closing = buttons.contains(MsgBoxButton::Cancel) ? MsgBoxButton::Cancel : buttons[0];
    for (int code = MsgBoxButton::OK; code <= MsgBoxButton::No; ++code) {
        if (buttons.contains(code))
            continue;
        ScriptedResponder responder;
        responder.button(code);
        QEXPECT_FAIL("", "a button the box does not offer", Continue);
        const int pressed = MsgBox(responder, QStringLiteral("Question?"), style);
        QCOMPARE(pressed, closing);
        QVERIFY(pressed != code); // fails too when the button went through unrefused
    }
}

void tst_SupportServices::messageBoxFits_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("scrolls");

    QString snippet = QStringLiteral("Copy generated code?\r\n\r\n");
    for (int i = 1; i <= 120; ++i)
        snippet +=
            QStringLiteral("    .Pattern = .Pattern & \"line %1 of the pattern\"\r\n").arg(i);
    QTest::newRow("short verdict shows its whole caption")
        << QStringLiteral("Brackwen - Sievewright") << QStringLiteral("Match.") << false;
    QTest::newRow("About box shows its whole caption")
        << QStringLiteral("About Brackwen - Sievewright")
        << QStringLiteral("Brackwen - Sievewright\nVersion 1") << false;
    QTest::newRow("120-line snippet scrolls inside a box on the screen")
        << QStringLiteral("Brackwen - Sievewright") << snippet << true;
}

void tst_SupportServices::messageBoxFits()
{
    QFETCH(QString, caption);
    QFETCH(QString, text);
    QFETCH(bool, scrolls);

    const std::unique_ptr<QDialog> window = msgBoxWindow(text, 65, caption);
    QDialog &box = *window;
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));

    const QRect screen = box.screen()->availableGeometry();
    QVERIFY2(box.width() >= captionWidth(caption), qPrintable(QString::number(box.width())));
    QVERIFY(captionWidth(caption) > box.fontMetrics().horizontalAdvance(caption));
    QVERIFY2(box.frameGeometry().height() <= screen.height(),
             qPrintable(QString::number(box.frameGeometry().height())));
    auto *area = box.findChild<QScrollArea *>(QStringLiteral("textArea"));
    QCOMPARE(area != nullptr, scrolls);
    const QList<QAbstractButton *> buttons = box.findChildren<QAbstractButton *>();
    QCOMPARE(buttons.size(), 2);
    for (QAbstractButton *button : buttons) {
        QVERIFY(button->isVisible());
        QVERIFY(box.rect().contains(QRect(button->mapTo(&box, QPoint()), button->size())));
    }
    if (scrolls) {
        QVERIFY(area->height() > screen.height() / 2);
        QVERIFY(area->widget()->height() > area->viewport()->height());
    }
}

void tst_SupportServices::errorReport()
{
    // The caller's message, the description, then the number and, for a pattern error, the
    // 1-based position.
    ScriptedResponder responder;
    responder.button(MsgBoxButton::Retry).button(MsgBoxButton::OK);
    QCOMPARE(ErrorReporter::instance().ShowError(responder,
                                                 AppError(5017, QStringLiteral("Syntax error"), 3),
                                                 21, QStringLiteral("Failed.")),
             MsgBoxButton::Retry);
    QCOMPARE(
        responder.last().text,
        QStringLiteral("Failed.\n\nSyntax error\n\nError 5017 at character 4 of the pattern."));
    QCOMPARE(responder.last().style, 21);
    ErrorReporter::instance().ShowError(responder, AppError(53, QStringLiteral("File not found.")),
                                        16, QStringLiteral("Failed."));
    QCOMPARE(responder.last().text, QStringLiteral("Failed.\n\nFile not found.\n\nError 53."));
}

void tst_SupportServices::placement()
{
    // One stored far off every screen is pulled onto one; one never stored is left alone.
    const ApplicationInfo app = ApplicationInfo::current();
    const QString section = QStringLiteral("Window placement");
    {
        QWidget window;
        window.setObjectName(QStringLiteral("frmFarOff"));
        window.show();
        window.setGeometry(50000, 40000, 300, 200);
        QVERIFY(WindowPlacement().StoreWindow(&window, {}, section, app));
    }
    for (const QString &name : {QStringLiteral("frmFarOff"), QStringLiteral("frmNeverStored")}) {
        QWidget window;
        window.setObjectName(name);
        window.setGeometry(10, 20, 300, 200);
        const bool stored = name == u"frmFarOff";
        QCOMPARE(WindowPlacement().RestoreWindow(&window, {}, section, app), stored);
        if (stored)
            QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().intersects(
                window.frameGeometry()));
        else
            QCOMPARE(window.geometry(), QRect(10, 20, 300, 200));
    }
}

void tst_SupportServices::fileDialog()
{
    QCOMPARE(FileDialog::qtFilter(QStringLiteral("RegExp files|*.RegExp|All files|*.*")),
             QStringLiteral("RegExp files (*.RegExp);;All files (*)"));
    QCOMPARE(FileDialog::qtFilter(QStringLiteral("Texts|*.txt;*.log")),
             QStringLiteral("Texts (*.txt *.log)"));

    FileDialog dialog;
    dialog.Filter = QStringLiteral("RegExp files|*.RegExp|All files|*.*");
    dialog.DefaultExt = QStringLiteral("RegExp");
    dialog.InitDir = QStringLiteral("/tmp");
    dialog.FilePath = QStringLiteral("/tmp/old.RegExp");
    ScriptedResponder responder;
    responder.chooseFile(QStringLiteral("/tmp/sub/../new.RegExp")).cancelDialog();
    QVERIFY(dialog.ShowSave(responder));
    QCOMPARE(dialog.FilePath, QStringLiteral("/tmp/new.RegExp"));
    QCOMPARE(responder.last().kind, ModalKind::SaveFile);
    QCOMPARE(responder.last().text, QStringLiteral("/tmp/old.RegExp"));
    QCOMPARE(responder.last().initialDir, QStringLiteral("/tmp"));
    QVERIFY(!dialog.ShowOpen(responder));
    QCOMPARE(dialog.FilePath, QStringLiteral("/tmp/new.RegExp"));
}

void tst_SupportServices::typedNames_data()
{
    QTest::addColumn<bool>("save");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<bool>("typedFirst");

    const QString regexp = QStringLiteral("RegExp files (*.RegExp)");
    const QString all = QStringLiteral("All files (*)");
    QTest::newRow("save: RegExp adds the extension") << true << regexp << "notes"
                                                     << "notes.RegExp" << false;
    QTest::newRow("save: RegExp keeps one given") << true << regexp << "notes.txt"
                                                  << "notes.txt" << false;
    QTest::newRow("save: All files as typed") << true << all << "notes"
                                              << "notes" << false;
    QTest::newRow("save: typed, then All files") << true << all << "notes"
                                                 << "notes" << true;
    QTest::newRow("open: All files, no dot") << false << all << "passwd"
                                             << "passwd" << false;
    QTest::newRow("open: typed, then All files") << false << all << "passwd"
                                                 << "passwd" << true;
    QTest::newRow("open: RegExp, typed in full") << false << regexp << "old.RegExp"
                                                 << "old.RegExp" << false;
    QTest::newRow("open: RegExp, an existing name without extension as typed")
        << false << regexp << "passwd"
        << "passwd" << false;
    QTest::newRow("open: RegExp, the extension added to a name that doesn't exist")
        << false << regexp << "old"
        << "old.RegExp" << false;
}

void tst_SupportServices::typedNames()
{
    QFETCH(bool, save);
    QFETCH(QString, filter);
    QFETCH(QString, typed);
    QFETCH(QString, chosen);
    QFETCH(bool, typedFirst);

    QTemporaryDir dir;
    QVERIFY(addFiles(dir));
    ModalHost realDialogs;
    FileDialog dialog;
    dialog.Filter = RegExpFilter;
    dialog.DefaultExt = QStringLiteral("RegExp");
    dialog.InitDir = dir.path();
    bool listed = false;
    FileDialogDriver::whenShown([&](QWidget *shown) {
        if (typedFirst)
            FileDialogDriver::typeName(shown, typed);
        FileDialogDriver::chooseFilter(shown, filter);
        // The file without a dot is listed under All files.
        if (filter.startsWith(u"All"))
            listed = FileDialogDriver::lists(shown, dir.filePath(QStringLiteral("passwd")));
        if (!typedFirst)
            FileDialogDriver::typeName(shown, typed);
        FileDialogDriver::confirm(shown);
    });
    QVERIFY(save ? dialog.ShowSave(realDialogs) : dialog.ShowOpen(realDialogs));
    QCOMPARE(dialog.FilePath, dir.filePath(chosen));
    QCOMPARE(listed, filter.startsWith(u"All"));
}

void tst_SupportServices::dialogSize()
{
    clearTestSettings();
    QTemporaryDir dir;
    QVERIFY(addFiles(dir));
    ModalHost realDialogs;
    FileDialog dialog;
    dialog.Filter = RegExpFilter;
    dialog.InitDir = dir.path();

    // The first opening shows the four columns whole; then the user resizes it.
    const QSize bigger(790, 560);
    bool whole = false;
    bool resized = false;
    FileDialogDriver::whenShown([&](QWidget *shown) {
        whole =
            FileDialogDriver::showsColumnsWhole(shown, dir.filePath(QStringLiteral("old.RegExp")));
        shown->resize(bigger);
        resized = QTest::qWaitFor([&] { return shown->size() == bigger; });
        shown->close();
    });
    QVERIFY(!dialog.ShowOpen(realDialogs));
    QVERIFY(whole);
    QVERIFY(resized);

    // It opens at that size again; the Save dialog keeps a size of its own.
    QSize reopened, saveSize;
    FileDialogDriver::whenShown([&](QWidget *shown) {
        reopened = shown->size();
        shown->close();
    });
    QVERIFY(!dialog.ShowOpen(realDialogs));
    FileDialogDriver::whenShown([&](QWidget *shown) {
        saveSize = shown->size();
        shown->close();
    });
    QVERIFY(!dialog.ShowSave(realDialogs));
    QCOMPARE(reopened, bigger);
    QVERIFY(saveSize != bigger);
}

void tst_SupportServices::workerThread()
{
    WorkerThread worker(10);
    std::vector<std::thread::id> threads;
    std::vector<int> order; // a job's number, then minus one less for what follows it
    for (int job = 0; job < 3; ++job) {
        worker.start([&, job] {
            threads.push_back(std::this_thread::get_id());
            order.push_back(job);
        });
        worker.whenDone([&order, job] { order.push_back(-job - 1); });
        worker.wait();
    }
    QCOMPARE(order, (std::vector<int>{0, -1, 1, -2, 2, -3}));
    QVERIFY(threads[0] != std::this_thread::get_id());
    QVERIFY(threads[1] == threads[0] && threads[2] == threads[0]);

    // A job still going: the wait gives up, and what follows waits for its end.
    std::atomic<bool> release = false;
    worker.start([&release] {
        while (!release)
            std::this_thread::yield();
    });
    QVERIFY(!worker.waitFor(std::chrono::milliseconds(1)));
    bool followed = false;
    worker.whenDone([&followed] { followed = true; });
    QVERIFY(!followed);
    release = true;
    worker.wait();
    QVERIFY(followed);
}

QTEST_MAIN(tst_SupportServices)
#include "tst_supportservices.moc"
