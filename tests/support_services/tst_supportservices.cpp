#include "support/appservices.h"
#include "support/commandlineargs.h"
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
#include <QGuiApplication>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QWidget>

class tst_SupportServices : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { initTestEnvironment(); }

    void msgBoxStyles_data();
    void msgBoxStyles();
    void errorReportText_data();
    void errorReportText();
    void parseCommandLine_data();
    void parseCommandLine();
    void placementKeepsWindowsApart();
    void placementPulledOntoScreen();
    void placementMissingLeavesWindow();
    void fileNameParts_data();
    void fileNameParts();
    void formatLongGroupsDigits();
    void fileDialogFilter();
    void fileDialogThroughResponder();
    void iconsLoadCrisply();
    void menuJustifyPutsHelpRight();
    void pushButtonRunsClick();
    void highlightSelectsAll();
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
        QCOMPARE(MsgBox(QStringLiteral("Question?"), style), code);
        QCOMPARE(responder.last().style, style);
        QCOMPARE(responder.last().caption, QStringLiteral("Brackwen - Sievewright"));
        QCOMPARE(responder.last().text, QStringLiteral("Question?"));
    }
    ScriptedResponder own;
    own.button(buttons.first());
    MsgBox(QStringLiteral("x"), style, QStringLiteral("Own caption"));
    QCOMPARE(own.last().caption, QStringLiteral("Own caption"));
}

void tst_SupportServices::errorReportText_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("description");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("text");

    QTest::newRow("pattern error shows 1-based position")
        << 5017 << "Syntax error in regular expression" << 3
        << "RegExp.Execute has failed.\n\nSyntax error in regular expression\n\n"
           "Error 5017 at character 4 of the pattern.";
    QTest::newRow("no position for file errors")
        << 53 << "File not found." << -1
        << "RegExp.Execute has failed.\n\nFile not found.\n\nError 53.";
}

void tst_SupportServices::errorReportText()
{
    QFETCH(int, number);
    QFETCH(QString, description);
    QFETCH(int, position);
    QFETCH(QString, text);

    const AppError error(number, description, position);
    ScriptedResponder responder;
    responder.button(MsgBoxButton::OK);
    QCOMPARE(ErrorReporter::instance().ShowError(error, 16, 0, "RegExp.Execute has failed.", false),
             MsgBoxButton::OK);
    QCOMPARE(responder.last().text, text);
    QCOMPARE(responder.last().style, 16);

    ScriptedResponder retry;
    retry.button(MsgBoxButton::Retry);
    QCOMPARE(ErrorReporter::instance().ShowError(error, 21, 0, "m", false), MsgBoxButton::Retry);
}

void tst_SupportServices::parseCommandLine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("items");

    QTest::newRow("empty") << "" << QStringList{};
    QTest::newRow("blanks only") << "  \t " << QStringList{};
    QTest::newRow("two words") << "a.RegExp  b" << QStringList{"a.RegExp", "b"};
    QTest::newRow("quoted blank") << "\"My Files/a.RegExp\"" << QStringList{"My Files/a.RegExp"};
    QTest::newRow("quote in the middle") << "a\"b c\"d" << QStringList{"ab cd"};
    QTest::newRow("escaped quote") << "a\\\"b" << QStringList{"a\"b"};
    QTest::newRow("backslashes kept") << "C:\\dir\\x" << QStringList{"C:\\dir\\x"};
    QTest::newRow("two backslashes then quote") << "\"a\\\\\" b" << QStringList{"a\\", "b"};
    QTest::newRow("empty quoted argument") << "\"\" x" << QStringList{"", "x"};
}

void tst_SupportServices::parseCommandLine()
{
    QFETCH(QString, text);
    QFETCH(QStringList, items);

    CommandLineArgs args;
    args.Parse(text, true);
    QCOMPARE(args.Count(), items.size());
    for (int i = 0; i < items.size(); ++i)
        QCOMPARE(args.Item(i), items.at(i));
    QCOMPARE(args.Item(items.size()), QString());
}

void tst_SupportServices::placementKeepsWindowsApart()
{
    QWidget first;
    first.setObjectName("frmFirst");
    QWidget second;
    second.setObjectName("frmSecond");
    first.setGeometry(100, 120, 400, 300);
    second.setGeometry(300, 200, 250, 150);
    first.show();
    second.show();
    const QRect firstRect = first.geometry();
    const QRect secondRect = second.geometry();
    const ApplicationInfo app = ApplicationInfo::current();
    QVERIFY(WindowPlacement().StoreWindow(&first, {}, "Window placement", app));
    QVERIFY(WindowPlacement().StoreWindow(&second, {}, "Window placement", app));

    QWidget firstAgain;
    firstAgain.setObjectName("frmFirst");
    QWidget secondAgain;
    secondAgain.setObjectName("frmSecond");
    QVERIFY(WindowPlacement().RestoreWindow(&firstAgain, {}, "Window placement", app, 0, 0, 0));
    QVERIFY(WindowPlacement().RestoreWindow(&secondAgain, {}, "Window placement", app, 0, 0, 0));
    QCOMPARE(firstAgain.geometry().size(), firstRect.size());
    QCOMPARE(secondAgain.geometry().size(), secondRect.size());
    QCOMPARE(firstAgain.geometry().topLeft(), firstRect.topLeft());
    QCOMPARE(secondAgain.geometry().topLeft(), secondRect.topLeft());
}

void tst_SupportServices::placementPulledOntoScreen()
{
    QWidget window;
    window.setObjectName("frmFaraway");
    window.setGeometry(100, 100, 300, 200);
    window.show();
    window.move(50000, 40000);
    QVERIFY(
        WindowPlacement().StoreWindow(&window, {}, "Window placement", ApplicationInfo::current()));
    QWidget again;
    again.setObjectName("frmFaraway");
    QVERIFY(WindowPlacement().RestoreWindow(&again, {}, "Window placement",
                                            ApplicationInfo::current()));
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY2(screen.intersects(again.frameGeometry()), "restored window is off every screen");
}

void tst_SupportServices::placementMissingLeavesWindow()
{
    QWidget window;
    window.setObjectName("frmNeverStored");
    window.setGeometry(10, 20, 300, 200);
    QVERIFY(!WindowPlacement().RestoreWindow(&window, {}, "Window placement",
                                             ApplicationInfo::current()));
    QCOMPARE(window.geometry(), QRect(10, 20, 300, 200));
}

void tst_SupportServices::fileNameParts_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("folder");

    QTest::newRow("full path") << "/work/Sample.RegExp"
                               << "Sample.RegExp"
                               << "/work";
    QTest::newRow("root file") << "/a.RegExp"
                               << "a.RegExp"
                               << "/";
    QTest::newRow("bare name") << "Untitled"
                               << "Untitled"
                               << "";
    QTest::newRow("empty") << ""
                           << ""
                           << "";
}

void tst_SupportServices::fileNameParts()
{
    QFETCH(QString, path);
    QFETCH(QString, name);
    QFETCH(QString, folder);

    QCOMPARE(suGetFileName(path), name);
    QCOMPARE(suGetFilePath(path), folder);
}

void tst_SupportServices::formatLongGroupsDigits()
{
    QCOMPARE(suFormatLong(0), QStringLiteral("0"));
    QCOMPARE(suFormatLong(999), QStringLiteral("999"));
    QCOMPARE(suFormatLong(1000000), QStringLiteral("1,000,000"));
    QCOMPARE(suFormatLong(-1234), QStringLiteral("-1,234"));
    QCOMPARE(suGetFullFileName("x/../y.RegExp"), QDir::currentPath() + "/y.RegExp");
    QCOMPARE(suGetFullFileName("/abs/z.RegExp"), QStringLiteral("/abs/z.RegExp"));
}

void tst_SupportServices::fileDialogFilter()
{
    QCOMPARE(FileDialog::qtFilter("RegExp files|*.RegExp|All files|*.*"),
             QStringLiteral("RegExp files (*.RegExp);;All files (*.*)"));
    QCOMPARE(FileDialog::qtFilter("Texts|*.txt;*.log"), QStringLiteral("Texts (*.txt *.log)"));
}

void tst_SupportServices::fileDialogThroughResponder()
{
    FileDialog dialog;
    dialog.Filter = "RegExp files|*.RegExp|All files|*.*";
    dialog.DefaultExt = "RegExp";
    dialog.InitDir = "/tmp";
    dialog.FilePath = "/tmp/old.RegExp";
    ScriptedResponder responder;
    responder.chooseFile("/tmp/sub/../new.RegExp").cancelDialog();
    QVERIFY(dialog.ShowSave());
    QCOMPARE(dialog.FilePath, QStringLiteral("/tmp/new.RegExp"));
    QCOMPARE(responder.last().kind, ModalKind::SaveFile);
    QCOMPARE(responder.last().text, QStringLiteral("/tmp/old.RegExp"));
    QCOMPARE(responder.last().initialDir, QStringLiteral("/tmp"));
    QVERIFY(!dialog.ShowOpen());
    QCOMPARE(dialog.FilePath, QStringLiteral("/tmp/new.RegExp"));
}

void tst_SupportServices::iconsLoadCrisply()
{
    for (const char *name : {"A_MAIN", "IDI_ASSOCIATION"}) {
        const QIcon icon = suLoadResIcon(name);
        QVERIFY2(!icon.isNull(), name);
        QCOMPARE(suLoadResIconSmall(name, 1).size(), QSize(16, 16));
        QCOMPARE(suLoadResIconSmall(name, 2).size(), QSize(32, 32));
        QCOMPARE(icon.pixmap(QSize(48, 48), 1).size(), QSize(48, 48));
    }
    QVERIFY(suLoadResIcon("NO_SUCH_ICON").isNull());
    QVERIFY(suSetWindowResIconAll(suGetThunderMainHandle(), "A_MAIN"));
    QVERIFY(!QApplication::windowIcon().isNull());
}

void tst_SupportServices::menuJustifyPutsHelpRight()
{
    QWidget window;
    auto *bar = new QMenuBar(&window);
    bar->addMenu("&File");
    bar->addMenu("&Run");
    bar->addMenu("&Options");
    QMenu *help = bar->addMenu("&Help");
    window.resize(600, 300);
    bar->setGeometry(0, 0, 600, 24);
    window.show();
    QVERIFY(suSetMenuJustify(bar, 3, true));
    bar->adjustSize();
    bar->resize(600, bar->height());
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QRect helpRect = bar->actionGeometry(help->menuAction());
    QVERIFY2(helpRect.right() > 600 - 80, qPrintable(QString::number(helpRect.right())));
    QVERIFY(!suSetMenuJustify(bar, 7, true));
}

void tst_SupportServices::pushButtonRunsClick()
{
    QPushButton button("Go");
    int clicks = 0;
    connect(&button, &QPushButton::clicked, this, [&] { ++clicks; });
    AppServices::instance().PushButton(&button);
    QCOMPARE(clicks, 1);

    ScriptedResponder responder;
    responder.closeAbout();
    AppServices::instance().ShowAbout(nullptr, ApplicationInfo::current(), {}, {}, "Brackw");
    QCOMPARE(responder.last().kind, ModalKind::About);
    QVERIFY(responder.last().text.contains("1.06.0049"));
    QVERIFY(responder.last().text.contains("tst_supportservices"));
}

void tst_SupportServices::highlightSelectsAll()
{
    QPlainTextEdit edit;
    edit.setPlainText("one\ntwo");
    QVERIFY(suHighlightText(&edit));
    QCOMPARE(edit.textCursor().selectedText(), QString("one") + QChar(0x2029) + "two");
    QWidget plain;
    QVERIFY(!suHighlightText(&plain));
}

QTEST_MAIN(tst_SupportServices)
#include "tst_supportservices.moc"
