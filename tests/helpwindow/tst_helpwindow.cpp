#include "support/appinfo.h"
#include "support/clipboardtext.h"
#include "support/windowplacement.h"
#include "tests/support/testenvironment.h"
#include "ui/help/frmpatternhelp.h"
#include "ui/hooks/cstbselectallhook.h"

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
    void sections_data();
    void sections();
    void keys_data();
    void keys();
    void boxIsThePlatformBox();
    void resize_data();
    void resize();
    void opensModallyAndFreshWhereItWasClosed();
};

void tst_HelpWindow::opensCentredAsDesigned()
{
    Shown shown;
    QCOMPARE(shown.help.windowTitle(), u"Regular expression help"_qs);
    // The frame is known only once shown; its few pixels may shift the centre.
    const QPoint offset =
        shown.help.geometry().center() - shown.help.screen()->availableGeometry().center();
    QVERIFY2(qAbs(offset.x()) <= 3 && qAbs(offset.y()) <= 3,
             qPrintable(u"off centre by %1, %2"_qs.arg(offset.x()).arg(offset.y())));
    QCOMPARE(shown.help.size(), QSize(542, 333));
    QCOMPARE(shown.box->geometry(), QRect(4, 4, 534, 325));
    QCOMPARE(shown.box->font().family(), u"Courier New"_qs);
    QCOMPARE(shown.box->font().pointSize(), 9);
    const QFontMetrics metrics(shown.box->font());
    QVERIFY2(metrics.horizontalAdvance(u"iiii"_qs) == metrics.horizontalAdvance(u"WWWW"_qs),
             qPrintable(u"not monospaced: " + QFontInfo(shown.box->font()).family()));
    QCOMPARE(shown.box->toPlainText(), helpText().replace(u"\r\n"_qs, u"\n"_qs));
    QCOMPARE(QApplication::focusWidget(), shown.box);
    QVERIFY(!shown.anyLineWraps()); // the designed box shows every line whole
    // Narrower, it wraps the long lines instead of scrolling sideways.
    shown.help.resize(300, 333);
    QTRY_COMPARE(shown.box->width(), 292);
    QVERIFY(shown.anyLineWraps());
    QVERIFY(!shown.box->horizontalScrollBar()->isVisible());
}

void tst_HelpWindow::sections_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("head"); // the title and the header
    QTest::addColumn<int>("column");       // of the descriptions
    // Each row's first column; the flags' rows have two parts, split by a shorter rule.
    QTest::addColumn<QStringList>("firstColumns");

    QTest::newRow("Pattern help: 32 rows, descriptions at 15")
        << 0 << QStringList{" Pattern help", " Character    Description "} << 15
        << QStringList{"\\",  "^",   "$",    "*",     "+",     "?",      ".",     "(pattern)",
                       "x|y", "{n}", "{n,}", "{n,m}", "[xyz]", "[^xyz]", "[a-z]", "[^m-z]",
                       "\\b", "\\B", "\\d",  "\\D",   "\\f",   "\\n",    "\\r",   "\\s",
                       "\\S", "\\t", "\\v",  "\\w",   "\\W",   "\\num",  "\\n",   "\\xn"};
    QTest::newRow("Replace help: 6 rows, meanings at 16")
        << 1 << QStringList{" Replace help", " Characters    Meaning "} << 16
        << QStringList{"$$", "$&", "$`", "$'", "$n", "$nn"};
    const QString unchecked = QString(15, u' ') + u"Unchecked";
    QTest::newRow("Flags help: 3 rows of two states, meanings at 30")
        << 2 << QStringList{" Flags help", " Flag           State        Meaning "} << 30
        << QStringList{u"Global         Checked"_qs, unchecked,
                       u"Ignore case    Checked"_qs, unchecked,
                       u"Multiline      Checked"_qs, unchecked};
}

void tst_HelpWindow::sections()
{
    QFETCH(int, index);
    QFETCH(QStringList, head);
    QFETCH(int, column);
    QFETCH(QStringList, firstColumns);

    // Sections are apart by two one-blank lines; each opens with its title, a rule of 69 "=",
    // a one-blank line, the header and a rule of 69 "-", and its rows are apart by such rules.
    const QString rule = u' ' + QString(69, u'-');
    const QStringList sections = helpText().split(u"\r\n \r\n \r\n"_qs);
    QCOMPARE(sections.size(), 3);
    const QStringList lines = sections.at(index).split(u"\r\n"_qs);
    // Lines end in CR LF, the last without; each is a blank, then at most 71 printable ASCII.
    const QRegularExpression printable(u"^ [ -~]{0,71}\\z"_qs);
    for (const QString &line : lines)
        QVERIFY2(printable.match(line).hasMatch(), qPrintable(line));
    QCOMPARE(lines.mid(0, 5),
             (QStringList{head.at(0), u' ' + QString(69, u'='), " ", head.at(1), rule}));
    // In each row, the first column right after the leading blank and the description at its
    // column, after a blank; every further line of the row lined up with the description.
    const QRegularExpression lead(u"^ (.{%1}(?<= ))\\S"_qs.arg(column - 2));
    const QRegularExpression further(u"^ {%1}\\S"_qs.arg(column - 1));
    QStringList found;
    for (const QString &row : lines.mid(5).join(u'\n').split(u'\n' + rule + u'\n')) {
        for (const QString &part :
             row.split(u'\n' + QString(16, u' ') + QString(54, u'-') + u'\n')) {
            QStringList partLines = part.split(u'\n');
            found.append(lead.match(partLines.takeFirst())
                             .captured(1)
                             .remove(QRegularExpression(u" +$"_qs)));
            for (const QString &line : partLines)
                QVERIFY2(further.match(line).hasMatch(), qPrintable(line));
        }
    }
    QCOMPARE(found, firstColumns);
}

void tst_HelpWindow::keys_data()
{
    QTest::addColumn<QKeySequence>("key");
    QTest::addColumn<bool>("closes");

    QTest::newRow("Esc closes") << QKeySequence(u"Esc"_qs) << true;
    QTest::newRow("F1 closes") << QKeySequence(u"F1"_qs) << true;
    QTest::newRow("Shift+F1 does not close") << QKeySequence(u"Shift+F1"_qs) << false;
    QTest::newRow("Ctrl+Esc does not close") << QKeySequence(u"Ctrl+Esc"_qs) << false;
    QTest::newRow("Alt+F1 does not close") << QKeySequence(u"Alt+F1"_qs) << false;
    QTest::newRow("Enter does not close") << QKeySequence(u"Return"_qs) << false;
}

void tst_HelpWindow::keys()
{
    QFETCH(QKeySequence, key);
    QFETCH(bool, closes);
    Shown shown;
    const QString text = shown.box->toPlainText(); // read-only: Enter adds no line
    QTest::keySequence(shown.box, key);
    QCOMPARE(shown.help.isVisible(), !closes);
    QCOMPARE(shown.box->toPlainText(), text);
}

void tst_HelpWindow::boxIsThePlatformBox()
{
    // Ctrl+A does what it does in a plain read-only box of the platform, set up the same way.
    Shown shown;
    QVERIFY(shown.help.findChildren<csTBSelectAllHook *>().isEmpty());
    QPlainTextEdit reference(shown.box->toPlainText());
    reference.setReadOnly(true);
    reference.setTextInteractionFlags(shown.box->textInteractionFlags());
    reference.show();
    for (QPlainTextEdit *box : {shown.box, &reference}) {
        box->moveCursor(QTextCursor::Down);
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    }
    QCOMPARE(shown.box->textCursor().selectionStart(), reference.textCursor().selectionStart());
    QCOMPARE(shown.box->textCursor().selectionEnd(), reference.textCursor().selectionEnd());

    // A selection made with the keyboard copies.
    QTest::keyClick(shown.box, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(shown.box, Qt::Key_End, Qt::ShiftModifier);
    QTest::keyClick(shown.box, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(ClipboardText::instance().Text(), u" Pattern help"_qs);
}

void tst_HelpWindow::resize_data()
{
    QTest::addColumn<QSize>("client");
    QTest::addColumn<QRect>("box");

    QTest::newRow("larger keeps 4-pixel margins") << QSize(900, 500) << QRect(4, 4, 892, 492);
    QTest::newRow("smaller keeps them too") << QSize(200, 150) << QRect(4, 4, 192, 142);
    QTest::newRow("exactly the margins gives an empty box") << QSize(8, 8) << QRect(4, 4, 0, 0);
    QTest::newRow("too small keeps the box as it was") << QSize(7, 100) << QRect(4, 4, 534, 325);
}

void tst_HelpWindow::resize()
{
    QFETCH(QSize, client);
    QFETCH(QRect, box);
    Shown shown;
    shown.help.resize(client);
    QTRY_COMPARE(shown.help.size(), client);
    QCOMPARE(shown.box->geometry(), box);
}

void tst_HelpWindow::opensModallyAndFreshWhereItWasClosed()
{
    // The main window, whose stored placement the help window must leave alone.
    QWidget owner;
    owner.setObjectName(u"frmMain"_qs);
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
