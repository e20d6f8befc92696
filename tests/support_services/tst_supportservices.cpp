#include "support/errorreporter.h"
#include "support/filedialog.h"
#include "support/messagebox.h"
#include "support/windowplacement.h"
#include "tests/support/filedialogdriver.h"
#include "tests/support/scriptedresponder.h"
#include "tests/support/testenvironment.h"

#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

class tst_SupportServices : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { initTestEnvironment(); }

    void msgBoxStyles_data();
    void msgBoxStyles();
    void errorReport();
    void placement();
    void fileDialog();
    void typedNames_data();
    void typedNames();
    void dialogSize();
};

namespace {
const QString RegExpFilter = u"RegExp files|*.RegExp|All files|*.*"_qs;

// A file without a dot and a pattern file, both empty.
bool addFiles(const QTemporaryDir &dir)
{
    for (const QString &name : {u"passwd"_qs, u"old.RegExp"_qs}) {
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
        QCOMPARE(MsgBox(u"Question?"_qs, style), code);
        QCOMPARE(responder.last().style, style);
        QCOMPARE(responder.last().caption, u"Brackwen - Sievewright"_qs);
        QCOMPARE(responder.last().text, u"Question?"_qs);
    }
}

void tst_SupportServices::errorReport()
{
    // The caller's message, the description, then the number and, for a pattern error, the
    // 1-based position.
    ScriptedResponder responder;
    responder.button(MsgBoxButton::Retry).button(MsgBoxButton::OK);
    QCOMPARE(ErrorReporter::instance().ShowError(AppError(5017, u"Syntax error"_qs, 3), 21, 0,
                                                 u"Failed."_qs, false),
             MsgBoxButton::Retry);
    QCOMPARE(responder.last().text,
             u"Failed.\n\nSyntax error\n\nError 5017 at character 4 of the pattern."_qs);
    QCOMPARE(responder.last().style, 21);
    ErrorReporter::instance().ShowError(AppError(53, u"File not found."_qs), 16, 0, u"Failed."_qs,
                                        false);
    QCOMPARE(responder.last().text, u"Failed.\n\nFile not found.\n\nError 53."_qs);
}

void tst_SupportServices::placement()
{
    // One stored far off every screen is pulled onto one; one never stored is left alone.
    const ApplicationInfo app = ApplicationInfo::current();
    const QString section = u"Window placement"_qs;
    {
        QWidget window;
        window.setObjectName(u"frmFarOff"_qs);
        window.show();
        window.setGeometry(50000, 40000, 300, 200);
        QVERIFY(WindowPlacement().StoreWindow(&window, {}, section, app));
    }
    for (const QString &name : {u"frmFarOff"_qs, u"frmNeverStored"_qs}) {
        QWidget window;
        window.setObjectName(name);
        window.setGeometry(10, 20, 300, 200);
        const bool stored = name == u"frmFarOff";
        QCOMPARE(WindowPlacement().RestoreWindow(&window, {}, section, app, 0, 0, 0), stored);
        if (stored)
            QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().intersects(
                window.frameGeometry()));
        else
            QCOMPARE(window.geometry(), QRect(10, 20, 300, 200));
    }
}

void tst_SupportServices::fileDialog()
{
    QCOMPARE(FileDialog::qtFilter(u"RegExp files|*.RegExp|All files|*.*"_qs),
             u"RegExp files (*.RegExp);;All files (*)"_qs);
    QCOMPARE(FileDialog::qtFilter(u"Texts|*.txt;*.log"_qs), u"Texts (*.txt *.log)"_qs);

    FileDialog dialog;
    dialog.Filter = u"RegExp files|*.RegExp|All files|*.*"_qs;
    dialog.DefaultExt = u"RegExp"_qs;
    dialog.InitDir = u"/tmp"_qs;
    dialog.FilePath = u"/tmp/old.RegExp"_qs;
    ScriptedResponder responder;
    responder.chooseFile(u"/tmp/sub/../new.RegExp"_qs).cancelDialog();
    QVERIFY(dialog.ShowSave());
    QCOMPARE(dialog.FilePath, u"/tmp/new.RegExp"_qs);
    QCOMPARE(responder.last().kind, ModalKind::SaveFile);
    QCOMPARE(responder.last().text, u"/tmp/old.RegExp"_qs);
    QCOMPARE(responder.last().initialDir, u"/tmp"_qs);
    QVERIFY(!dialog.ShowOpen());
    QCOMPARE(dialog.FilePath, u"/tmp/new.RegExp"_qs);
}

void tst_SupportServices::typedNames_data()
{
    QTest::addColumn<bool>("save");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<bool>("typedFirst");

    const QString regexp = u"RegExp files (*.RegExp)"_qs;
    const QString all = u"All files (*)"_qs;
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
    FileDialog dialog;
    dialog.Filter = RegExpFilter;
    dialog.DefaultExt = u"RegExp"_qs;
    dialog.InitDir = dir.path();
    bool listed = false;
    FileDialogDriver::whenShown([&](QWidget *shown) {
        if (typedFirst)
            FileDialogDriver::typeName(shown, typed);
        FileDialogDriver::chooseFilter(shown, filter);
        // The file without a dot is listed under All files.
        if (filter.startsWith(u"All"))
            listed = FileDialogDriver::lists(shown, dir.filePath(u"passwd"_qs));
        if (!typedFirst)
            FileDialogDriver::typeName(shown, typed);
        FileDialogDriver::confirm(shown);
    });
    QVERIFY(save ? dialog.ShowSave() : dialog.ShowOpen());
    QCOMPARE(dialog.FilePath, dir.filePath(chosen));
    QCOMPARE(listed, filter.startsWith(u"All"));
}

void tst_SupportServices::dialogSize()
{
    clearTestSettings();
    QTemporaryDir dir;
    QVERIFY(addFiles(dir));
    FileDialog dialog;
    dialog.Filter = RegExpFilter;
    dialog.InitDir = dir.path();

    // The first opening shows the four columns whole; then the user resizes it.
    const QSize bigger(790, 560);
    bool whole = false;
    bool resized = false;
    FileDialogDriver::whenShown([&](QWidget *shown) {
        whole = FileDialogDriver::showsColumnsWhole(shown, dir.filePath(u"old.RegExp"_qs));
        shown->resize(bigger);
        resized = QTest::qWaitFor([&] { return shown->size() == bigger; });
        shown->close();
    });
    QVERIFY(!dialog.ShowOpen());
    QVERIFY(whole);
    QVERIFY(resized);

    // It opens at that size again; the Save dialog keeps a size of its own.
    QSize reopened, saveSize;
    FileDialogDriver::whenShown([&](QWidget *shown) {
        reopened = shown->size();
        shown->close();
    });
    QVERIFY(!dialog.ShowOpen());
    FileDialogDriver::whenShown([&](QWidget *shown) {
        saveSize = shown->size();
        shown->close();
    });
    QVERIFY(!dialog.ShowSave());
    QCOMPARE(reopened, bigger);
    QVERIFY(saveSize != bigger);
}

QTEST_MAIN(tst_SupportServices)
#include "tst_supportservices.moc"
