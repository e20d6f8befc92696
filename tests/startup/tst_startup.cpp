#include "startup/application.h"
#include "startup/modmain.h"
#include "support/appservices.h"
#include "support/messagebox.h"
#include "tests/support/scriptedresponder.h"
#include "tests/support/testenvironment.h"
#include "tests/support/testservices.h"

#include <QApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPointer>
#include <QTest>

class tst_Startup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { initTestEnvironment(); }
    void cleanup();

    void qtOptionsReachTheProgram();
    void commandLine_data();
    void commandLine();
};

void tst_Startup::cleanup()
{
    // Deleting a window deletes its menus, which are top-level widgets of their own.
    QList<QPointer<QWidget>> windows;
    for (QWidget *widget : QApplication::topLevelWidgets())
        windows.append(widget);
    for (const QPointer<QWidget> &widget : windows)
        delete widget.data();
}

// main() below starts this test the way the program starts, with Qt's own options given.
void tst_Startup::qtOptionsReachTheProgram()
{
    const CommandLineArgs &args = AppServices::instance().CommandLine();
    QCOMPARE(args.Count(), 3);
    QCOMPARE(args.Item(0), QStringLiteral("-reverse"));
    QCOMPARE(args.Item(1), QStringLiteral("-style"));
    QCOMPARE(args.Item(2), QStringLiteral("fusion"));
    // Qt acted on none of them, and still takes its platform from the environment.
    QCOMPARE(QGuiApplication::layoutDirection(), Qt::LeftToRight);
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("offscreen"));
}

void tst_Startup::commandLine_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("proceeds");

    QTest::newRow("no argument opens the window") << QStringList{} << true;
    QTest::newRow("/? alone shows usage") << QStringList{"/?"} << false;
    QTest::newRow("/? and a file shows usage") << QStringList{"/?", "a.RegExp"} << false;
    QTest::newRow("two files show usage") << QStringList{"a.RegExp", "b.RegExp"} << false;
    QTest::newRow("/H is a file name") << QStringList{"/H"} << true;
    QTest::newRow("/? compared exactly") << QStringList{"/? "} << true;
    QTest::newRow("-reverse is a file name") << QStringList{"-reverse"} << true;
    QTest::newRow("-style fusion is two arguments") << QStringList{"-style", "fusion"} << false;
}

void tst_Startup::commandLine()
{
    QFETCH(QStringList, args);
    QFETCH(bool, proceeds);

    AppServices::instance().CommandLine().SetArguments(args);
    ScriptedResponder responder;
    if (!proceeds)
        responder.button(MsgBoxButton::OK);
    QCOMPARE(CheckCommandLine(responder), proceeds);
    QCOMPARE(responder.shown().size(), proceeds ? 0 : 1);
    if (!proceeds) {
        QCOMPARE(responder.last().caption, QStringLiteral("Brackwen - Sievewright"));
        QCOMPARE(responder.last().style, 64);
        QCOMPARE(responder.last().text,
                 QStringLiteral("Usage: tst_startup[.EXE] [RegExpFileName]"));
    }

    // Main shows the main window exactly when the check passes; the window then loads the
    // named file by its full path (none of these exists). cleanup() deletes it.
    ScriptedResponder again;
    if (!proceeds)
        again.button(MsgBoxButton::OK);
    else if (!args.isEmpty())
        again.button(MsgBoxButton::Cancel);
    QCOMPARE(Main(testServices(again)), proceeds);
    QCOMPARE(QApplication::topLevelWidgets().size() > 0, proceeds);
    if (proceeds && !args.isEmpty()) {
        QCOMPARE(again.shown().size(), 1);
        QVERIFY(again.last().text.startsWith(QFileInfo(args.first()).absoluteFilePath() + u"\r\n"));
    }
}

int main(int argc, char *argv[])
{
    char reverse[] = "-reverse";
    char style[] = "-style";
    char fusion[] = "fusion";
    char *programArgv[] = {argv[0], reverse, style, fusion, nullptr};
    return runApplication(4, programArgv, [&] {
        tst_Startup test;
        return QTest::qExec(&test, argc, argv);
    });
}

#include "tst_startup.moc"
