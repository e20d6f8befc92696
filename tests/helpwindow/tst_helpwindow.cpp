#include "support/appinfo.h"
#include "support/windowplacement.h"
#include "tests/support/testenvironment.h"
#include "ui/help/frmpatternhelp.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QFile>
#include <QFontInfo>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

namespace {

QString helpText()
{
    QFile file(QStringLiteral(":/texts/TXT_REGEXP_HELP.txt"));
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
}

// A help window shown at its designed size.
struct Shown
{
    frmPatternHelp help;
    QPlainTextEdit *box = help.txtPatternHelp;
    Shown()
    {
        help.show();
        QVERIFY(QTest::qWaitForWindowExposed(&help));
    }
    bool anyLineWraps() const
    {
        auto *layout = qobject_cast<QPlainTextDocumentLayout *>(box->document()->documentLayout());
        for (QTextBlock block = box->document()->begin(); block.isValid(); block = block.next()) {
            layout->ensureBlockLayout(block);
            if (block.layout()->lineCount() > 1)
                return true;
        }
        return false;
    }
};

} // namespace

class tst_HelpWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { initTestEnvironment(); }
    void opensCentredAsDesigned(); // runs first: nothing is stored yet
    void text();
    void keys_data();
    void keys();
    void opensModallyAndFreshWhereItWasClosed();
};

void tst_HelpWindow::opensCentredAsDesigned()
{
    Shown shown;
    QCOMPARE(shown.help.windowTitle(), QStringLiteral("Regular expression help"));
    // The frame is known only once shown; its few pixels may shift the centre.
    const QPoint offset =
        shown.help.geometry().center() - shown.help.screen()->availableGeometry().center();
    QVERIFY2(qAbs(offset.x()) <= 3 && qAbs(offset.y()) <= 3,
             qPrintable(QStringLiteral("off centre by %1, %2").arg(offset.x()).arg(offset.y())));
    QCOMPARE(shown.help.size(), QSize(542, 333));
    QCOMPARE(shown.box->geometry(), QRect(4, 4, 534, 325));
    QCOMPARE(shown.box->font().family(), QStringLiteral("Courier New"));
    QCOMPARE(shown.box->font().pointSize(), 9);
    const QFontMetrics metrics(shown.box->font());
    QVERIFY2(metrics.horizontalAdvance(QStringLiteral("iiii")) ==
                 metrics.horizontalAdvance(QStringLiteral("WWWW")),
             qPrintable(u"not monospaced: " + QFontInfo(shown.box->font()).family()));
    QCOMPARE(shown.box->toPlainText(),
             helpText().replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    QCOMPARE(QApplication::focusWidget(), shown.box);
    QVERIFY(!shown.anyLineWraps()); // the designed box shows every line whole
    // Narrower, it wraps the long lines instead of scrolling sideways.
    shown.help.resize(300, 333);
    QTRY_COMPARE(shown.box->width(), 292);
    QVERIFY(shown.anyLineWraps());
    QVERIFY(!shown.box->horizontalScrollBar()->isVisible());
    // Too small for the margins, the box stays as it was.
    shown.help.resize(7, 100);
    QTRY_COMPARE(shown.help.size(), QSize(7, 100));
    QCOMPARE(shown.box->geometry(), QRect(4, 4, 292, 325));
}

void tst_HelpWindow::text()
{
    // Three sections of CR LF lines, each a blank and at most 71 printable ASCII characters.
    const QStringList sections = helpText().split(QStringLiteral("\r\n \r\n \r\n"));
    QCOMPARE(sections.size(), 3);
    const QStringList titles{" Pattern help", " Replace help", " Flags help"};
    const QRegularExpression printable(QStringLiteral("^ [ -~]{0,71}\\z"));
    for (qsizetype i = 0; i < sections.size(); ++i) {
        const QStringList lines = sections.at(i).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.first(), titles.at(i));
        QCOMPARE(lines.at(1), u' ' + QString(69, u'='));
        for (const QString &line : lines)
            QVERIFY2(printable.match(line).hasMatch(), qPrintable(line));
    }
}

void tst_HelpWindow::keys_data()
{
    QTest::addColumn<QKeySequence>("key");
    QTest::addColumn<bool>("closes");

    QTest::newRow("Esc closes") << QKeySequence(QStringLiteral("Esc")) << true;
    QTest::newRow("F1 closes") << QKeySequence(QStringLiteral("F1")) << true;
    QTest::newRow("Shift+F1 does not close") << QKeySequence(QStringLiteral("Shift+F1")) << false;
}

void tst_HelpWindow::keys()
{
    QFETCH(QKeySequence, key);
    QFETCH(bool, closes);
    Shown shown;
    const QString text = shown.box->toPlainText(); // read-only
    QTest::keySequence(shown.box, key);
    QCOMPARE(shown.help.isVisible(), !closes);
    QCOMPARE(shown.box->toPlainText(), text);
}

void tst_HelpWindow::opensModallyAndFreshWhereItWasClosed()
{
    // The main window, whose stored placement the help window must leave alone.
    QWidget owner;
    owner.setObjectName(QStringLiteral("frmMain"));
    owner.setGeometry(50, 60, 400, 300);
    const ApplicationInfo app = ApplicationInfo::current();
    const QString section = AppInfo::PlacementSection.toString();
    QVERIFY(WindowPlacement().StoreWindow(&owner, QString(), section, app));
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));

    QTimer guard; // never leaves the test hanging on the modal window
    guard.callOnTimeout([] { QApplication::activeModalWidget()->close(); });
    for (int opening = 0; opening < 2; ++opening) {
        bool checked = false;
        QTimer::singleShot(0, &owner, [&] {
            auto *help = qobject_cast<frmPatternHelp *>(QApplication::activeModalWidget());
            QVERIFY(help && help->parentWidget() == &owner);
            checked = true;
            // A fresh window at the top of the text, placed where the last one was closed.
            QCOMPARE(help->txtPatternHelp->textCursor().position(), 0);
            if (opening == 1) {
                QCOMPARE(help->geometry(), QRect(37, 41, 420, 260));
                QCOMPARE(help->txtPatternHelp->geometry(), QRect(4, 4, 412, 252));
            }
            help->setGeometry(37, 41, 420, 260);
            help->txtPatternHelp->moveCursor(QTextCursor::End);
            QTest::keyClick(help->txtPatternHelp, Qt::Key_F1);
        });
        guard.start(5000);
        ShowPatternHelp(&owner);
        QVERIFY(checked && guard.isActive());
        QVERIFY(owner.findChildren<frmPatternHelp *>().isEmpty());
    }
    owner.setGeometry(0, 0, 100, 100);
    QVERIFY(WindowPlacement().RestoreWindow(&owner, QString(), section, app));
    QCOMPARE(owner.geometry(), QRect(50, 60, 400, 300));
}

QTEST_MAIN(tst_HelpWindow)
#include "tst_helpwindow.moc"
