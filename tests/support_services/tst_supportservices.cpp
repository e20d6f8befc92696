#include "support/appservices.h"
#include "support/errorreporter.h"
#include "support/filedialog.h"
#include "support/messagebox.h"
#include "support/sufiles.h"
#include "support/suformat.h"
#include "support/suresources.h"
#include "support/suwindow.h"
#include "support/windowplacement.h"
#include "tests/support/scriptedresponder.h"
#include "tests/support/testenvironment.h"

#include <QApplication>
#include <QDir>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
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
    void fileNames();
    void fileDialog();
    void iconsLoadCrisply();
    void windowServices();
};

void tst_SupportServices::msgBoxStyles_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QList<int>>("buttons");

    QTest::newRow("16 critical OK") << 16 << QList<int>{1};
    QTest::newRow("21 retry cancel") << 21 << QList<int>{4, 2};
    QTest::newRow("35 yes no cancel") << 35 << QList<int>{6, 7, 2};
    QTest::newRow("64 information OK") << 64 << QList<int>{1};
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
    // Two windows keep their own records; one never stored is left where it is; one stored
    // far off every screen is pulled onto one.
    const ApplicationInfo app = ApplicationInfo::current();
    const QString section = u"Window placement"_qs;
    const QList<QRect> places{{100, 120, 400, 300}, {300, 200, 250, 150}, {50000, 40000, 300, 200}};
    for (int i = 0; i < places.size(); ++i) {
        QWidget window;
        window.setObjectName(u"frmWindow%1"_qs.arg(i));
        window.show();
        window.setGeometry(places.at(i));
        QVERIFY(WindowPlacement().StoreWindow(&window, {}, section, app));
    }
    for (int i = 0; i < 4; ++i) {
        QWidget window;
        window.setObjectName(u"frmWindow%1"_qs.arg(i));
        window.setGeometry(10, 20, 300, 200);
        QCOMPARE(WindowPlacement().RestoreWindow(&window, {}, section, app, 0, 0, 0), i < 3);
        if (i < 2)
            QCOMPARE(window.geometry(), places.at(i));
        if (i == 2)
            QVERIFY2(QGuiApplication::primaryScreen()->availableGeometry().intersects(
                         window.frameGeometry()),
                     "restored window is off every screen");
        if (i == 3)
            QCOMPARE(window.geometry(), QRect(10, 20, 300, 200));
    }
}

void tst_SupportServices::fileNames()
{
    const QList<QStringList> parts{{"/work/Sample.RegExp", "Sample.RegExp", "/work"},
                                   {"/a.RegExp", "a.RegExp", "/"},
                                   {"Untitled", "Untitled", ""},
                                   {"", "", ""}};
    for (const QStringList &part : parts) {
        QCOMPARE(suGetFileName(part.at(0)), part.at(1));
        QCOMPARE(suGetFilePath(part.at(0)), part.at(2));
    }
    QCOMPARE(suGetFullFileName(u"x/../y.RegExp"_qs), QDir::currentPath() + u"/y.RegExp");
    QCOMPARE(suGetFullFileName(u"/abs/z.RegExp"_qs), u"/abs/z.RegExp"_qs);
    // Digit grouping of the locale, which the tests pin to English.
    QCOMPARE(suFormatLong(999), u"999"_qs);
    QCOMPARE(suFormatLong(1000000), u"1,000,000"_qs);
    QCOMPARE(suFormatLong(-1234), u"-1,234"_qs);
}

void tst_SupportServices::fileDialog()
{
    QCOMPARE(FileDialog::qtFilter(u"RegExp files|*.RegExp|All files|*.*"_qs),
             u"RegExp files (*.RegExp);;All files (*.*)"_qs);
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

void tst_SupportServices::iconsLoadCrisply()
{
    for (const QString &name : {u"A_MAIN"_qs, u"IDI_ASSOCIATION"_qs}) {
        const QIcon icon = suLoadResIcon(name);
        QVERIFY2(!icon.isNull(), qPrintable(name));
        QCOMPARE(suLoadResIconSmall(name, 1).size(), QSize(16, 16));
        QCOMPARE(suLoadResIconSmall(name, 2).size(), QSize(32, 32));
        QCOMPARE(icon.pixmap(QSize(48, 48), 1).size(), QSize(48, 48));
    }
    QVERIFY(suLoadResIcon(u"NO_SUCH_ICON"_qs).isNull());
    QVERIFY(suSetWindowResIconAll(suGetThunderMainHandle(), u"A_MAIN"_qs));
    QVERIFY(!QApplication::windowIcon().isNull());
}

void tst_SupportServices::windowServices()
{
    // The Help menu at the right of the bar.
    QWidget window;
    auto *bar = new QMenuBar(&window);
    for (const char *title : {"&File", "&Run", "&Options"})
        bar->addMenu(QString::fromLatin1(title));
    QMenu *help = bar->addMenu(u"&Help"_qs);
    window.resize(600, 300);
    window.show();
    QVERIFY(suSetMenuJustify(bar, 3, true));
    QVERIFY(!suSetMenuJustify(bar, 7, true));
    bar->adjustSize();
    bar->resize(600, bar->height());
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY2(bar->actionGeometry(help->menuAction()).right() > 600 - 80,
             qPrintable(QString::number(bar->actionGeometry(help->menuAction()).right())));

    // Highlighting selects a text box's whole text, and refuses other widgets.
    QPlainTextEdit edit(u"one\ntwo"_qs);
    QVERIFY(suHighlightText(&edit));
    QCOMPARE(edit.textCursor().selectedText(), u"one"_qs + QChar(0x2029) + u"two");
    QVERIFY(!suHighlightText(&window));

    // A pushed button runs its click; the About box names the version and the program.
    QPushButton button;
    int clicks = 0;
    connect(&button, &QPushButton::clicked, this, [&] { ++clicks; });
    AppServices::instance().PushButton(&button);
    QCOMPARE(clicks, 1);
    ScriptedResponder responder;
    responder.closeAbout();
    AppServices::instance().ShowAbout(nullptr, ApplicationInfo::current(), {}, {}, u"Brackw"_qs);
    QCOMPARE(responder.last().kind, ModalKind::About);
    QVERIFY(responder.last().text.contains(u"1.06.0049"_qs));
    QVERIFY(responder.last().text.contains(u"tst_supportservices"_qs));
}

QTEST_MAIN(tst_SupportServices)
#include "tst_supportservices.moc"
