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
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>

namespace {

const QString RuleEq = u' ' + QString(69, u'=');
const QString Rule = u' ' + QString(69, u'-');
const QString StateRule = QString(16, u' ') + QString(54, u'-');
constexpr int LongestLine = 72; // what the designed box shows without wrapping

QByteArray helpBytes()
{
    QFile file(QStringLiteral(":/texts/TXT_REGEXP_HELP.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QStringList helpLines()
{
    return QString::fromLatin1(helpBytes()).split(QStringLiteral("\r\n"));
}

struct Section
{
    QString title;
    QString header;
    QList<QStringList> rows; // each row's lines
};

// Reads the sections by the layout rules; a broken rule is reported in *error.
QList<Section> parseSections(const QStringList &lines, QString *error)
{
    QList<Section> sections;
    qsizetype i = 0;
    auto failAt = [&](const QString &what) {
        *error = what + u" at line " + QString::number(i + 1);
        return sections;
    };
    while (i < lines.size()) {
        if (!sections.isEmpty()) {
            if (i + 1 >= lines.size() || lines.at(i) != u" " || lines.at(i + 1) != u" ")
                return failAt(QStringLiteral("two one-blank lines expected between sections"));
            i += 2;
        }
        if (i + 5 > lines.size())
            return failAt(QStringLiteral("section head cut short"));
        Section section;
        section.title = lines.at(i);
        if (lines.at(i + 1) != RuleEq)
            return failAt(QStringLiteral("rule of 69 '=' expected"));
        if (lines.at(i + 2) != u" ")
            return failAt(QStringLiteral("one-blank line expected"));
        section.header = lines.at(i + 3);
        if (lines.at(i + 4) != Rule)
            return failAt(QStringLiteral("rule of 69 '-' expected"));
        i += 5;
        QStringList row;
        for (; i < lines.size() && lines.at(i) != u" "; ++i) {
            if (lines.at(i) == Rule) {
                if (row.isEmpty())
                    return failAt(QStringLiteral("empty row"));
                section.rows.append(row);
                row.clear();
            } else {
                row.append(lines.at(i));
            }
        }
        if (row.isEmpty())
            return failAt(QStringLiteral("section ends with a rule or no row"));
        section.rows.append(row);
        sections.append(section);
    }
    return sections;
}

// The text starting at column (1-based) has something there and only blanks right before it.
bool startsAtColumn(const QString &line, int column)
{
    const qsizetype at = column - 1;
    return line.size() > at && line.at(at) != u' ' && line.at(at - 1) == u' ';
}

bool blanksBefore(const QString &line, int column)
{
    return line.size() > column - 1 && line.left(column - 1).trimmed().isEmpty() &&
           line.at(column - 1) != u' ';
}

// The first column's text of a row's first line, for a description at column.
QString firstColumn(const QString &line, int column)
{
    return line.mid(1, column - 2).trimmed();
}

void sendKey(QWidget *target, int key, Qt::KeyboardModifiers modifiers)
{
    QTest::keyClick(target, Qt::Key(key), modifiers);
}

} // namespace

class tst_HelpWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    // Runs first: nothing is stored yet.
    void opensCentredWithNothingStored();
    void captionSizeAndBox();

    void textIsAsciiWithCrLf();
    void layoutOfEveryLine();
    void sections_data();
    void sections();
    void flagsSection();

    void designedBoxShowsWholeLines();
    void keys_data();
    void keys();
    void ctrlAIsThePlatformBoxOwn();
    void textCannotBeChangedButCopies();
    void resize_data();
    void resize();
    void opensModallyAndFreshEachTime();
    void reopensWhereItWasClosed();
};

void tst_HelpWindow::initTestCase()
{
    initTestEnvironment();
    QVERIFY2(!helpBytes().isEmpty(), "help text resource missing");
}

void tst_HelpWindow::opensCentredWithNothingStored()
{
    frmPatternHelp help;
    help.show();
    QVERIFY(QTest::qWaitForWindowExposed(&help));
    const QRect area = help.screen()->availableGeometry();
    // The frame is known only once shown; its few pixels may shift the centre.
    const QPoint offset = help.geometry().center() - area.center();
    QVERIFY2(qAbs(offset.x()) <= 3 && qAbs(offset.y()) <= 3,
             qPrintable(QStringLiteral("off centre by %1, %2").arg(offset.x()).arg(offset.y())));
}

void tst_HelpWindow::captionSizeAndBox()
{
    frmPatternHelp help;
    QCOMPARE(help.windowTitle(), u"Regular expression help"_qs);
    QCOMPARE(help.size(), QSize(542, 333));
    help.show();
    QVERIFY(QTest::qWaitForWindowExposed(&help));
    QCOMPARE(help.size(), QSize(542, 333));

    QPlainTextEdit *box = help.txtPatternHelp;
    QCOMPARE(box->objectName(), u"txtPatternHelp"_qs);
    QCOMPARE(box->geometry(), QRect(4, 4, 534, 325));
    QVERIFY(box->isReadOnly());
    QCOMPARE(box->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QCOMPARE(box->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(box->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(box->font().family(), u"Courier New"_qs);
    QCOMPARE(box->font().pointSize(), 9);
    const QFontMetrics metrics(box->font());
    QVERIFY2(metrics.horizontalAdvance(u"iiii"_qs) == metrics.horizontalAdvance(u"WWWW"_qs),
             qPrintable(u"not monospaced: " + QFontInfo(box->font()).family()));
    QCOMPARE(
        box->toPlainText(),
        QString::fromLatin1(helpBytes()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    QCOMPARE(QApplication::focusWidget(), box);
}

void tst_HelpWindow::textIsAsciiWithCrLf()
{
    const QByteArray bytes = helpBytes();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const uchar byte = uchar(bytes.at(i));
        QVERIFY2(byte < 0x80, qPrintable(u"non-ASCII byte at " + QString::number(i)));
        QVERIFY2(byte >= 0x20 || byte == '\r' || byte == '\n',
                 qPrintable(u"control byte at " + QString::number(i)));
        if (byte == '\r')
            QVERIFY2(i + 1 < bytes.size() && bytes.at(i + 1) == '\n', "CR without LF");
        if (byte == '\n')
            QVERIFY2(i > 0 && bytes.at(i - 1) == '\r', "LF without CR");
    }
    QVERIFY2(!bytes.endsWith('\n'), "no line end after the last line");
}

void tst_HelpWindow::layoutOfEveryLine()
{
    const QStringList lines = helpLines();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString where = u"line " + QString::number(i + 1);
        QVERIFY2(lines.at(i).startsWith(u' '), qPrintable(where + u" does not begin with a blank"));
        QVERIFY2(lines.at(i).size() <= LongestLine, qPrintable(where + u" is too long"));
    }
}

void tst_HelpWindow::sections_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("header");
    QTest::addColumn<int>("column");
    QTest::addColumn<QStringList>("firstColumns");

    QTest::newRow("Pattern help: 32 rows, descriptions at 15")
        << 0 << u" Pattern help"_qs << u" Character    Description "_qs << 15
        << QStringList{u"\\"_qs,     u"^"_qs,     u"$"_qs,         u"*"_qs,      u"+"_qs,
                       u"?"_qs,      u"."_qs,     u"(pattern)"_qs, u"x|y"_qs,    u"{n}"_qs,
                       u"{n,}"_qs,   u"{n,m}"_qs, u"[xyz]"_qs,     u"[^xyz]"_qs, u"[a-z]"_qs,
                       u"[^m-z]"_qs, u"\\b"_qs,   u"\\B"_qs,       u"\\d"_qs,    u"\\D"_qs,
                       u"\\f"_qs,    u"\\n"_qs,   u"\\r"_qs,       u"\\s"_qs,    u"\\S"_qs,
                       u"\\t"_qs,    u"\\v"_qs,   u"\\w"_qs,       u"\\W"_qs,    u"\\num"_qs,
                       u"\\n"_qs,    u"\\xn"_qs};
    QTest::newRow("Replace help: 6 rows, meanings at 16")
        << 1 << u" Replace help"_qs << u" Characters    Meaning "_qs << 16
        << QStringList{u"$$"_qs, u"$&"_qs, u"$`"_qs, u"$'"_qs, u"$n"_qs, u"$nn"_qs};
}

void tst_HelpWindow::sections()
{
    QFETCH(int, index);
    QFETCH(QString, title);
    QFETCH(QString, header);
    QFETCH(int, column);
    QFETCH(QStringList, firstColumns);

    QString error;
    const QList<Section> all = parseSections(helpLines(), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(all.size(), 3);
    const Section &section = all.at(index);
    QCOMPARE(section.title, title);
    QCOMPARE(section.header, header);
    QStringList found;
    for (const QStringList &row : section.rows) {
        found.append(firstColumn(row.first(), column));
        QVERIFY2(startsAtColumn(row.first(), column), qPrintable(row.first()));
        QVERIFY2(row.first().at(1) != u' ', qPrintable(row.first()));
        for (qsizetype k = 1; k < row.size(); ++k)
            QVERIFY2(blanksBefore(row.at(k), column), qPrintable(row.at(k)));
    }
    QCOMPARE(found, firstColumns);
}

void tst_HelpWindow::flagsSection()
{
    QString error;
    const QList<Section> all = parseSections(helpLines(), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(all.size(), 3);
    const Section &flags = all.at(2);
    QCOMPARE(flags.title, u" Flags help"_qs);
    QCOMPARE(flags.header, u" Flag           State        Meaning "_qs);

    QStringList names;
    for (const QStringList &row : flags.rows) {
        const qsizetype split = row.indexOf(StateRule);
        QVERIFY2(split > 0 && row.lastIndexOf(StateRule) == split,
                 qPrintable(u"one state rule in " + row.first()));
        names.append(row.first().mid(1, 15).trimmed());
        const QString checked = row.first();
        const QString unchecked = row.at(split + 1);
        QVERIFY2(checked.at(1) != u' ' && checked.mid(16, 13) == u"Checked      " &&
                     startsAtColumn(checked, 30),
                 qPrintable(checked));
        QVERIFY2(unchecked.left(29) == QString(16, u' ') + u"Unchecked    " &&
                     startsAtColumn(unchecked, 30),
                 qPrintable(unchecked));
        for (qsizetype k = 1; k < row.size(); ++k) {
            if (k != split && k != split + 1)
                QVERIFY2(blanksBefore(row.at(k), 30), qPrintable(row.at(k)));
        }
    }
    QCOMPARE(names, (QStringList{u"Global"_qs, u"Ignore case"_qs, u"Multiline"_qs}));
}

void tst_HelpWindow::designedBoxShowsWholeLines()
{
    frmPatternHelp help;
    help.show();
    QVERIFY(QTest::qWaitForWindowExposed(&help));
    const QTextDocument *document = help.txtPatternHelp->document();
    QCOMPARE(document->blockCount(), helpLines().size());
    auto *layout = qobject_cast<QPlainTextDocumentLayout *>(document->documentLayout());
    QVERIFY(layout);
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        layout->ensureBlockLayout(block);
        QVERIFY2(block.layout()->lineCount() == 1, qPrintable(u"wraps: " + block.text()));
    }

    // Narrowing wraps the long lines instead of scrolling sideways.
    help.resize(300, 333);
    QTRY_COMPARE(help.txtPatternHelp->width(), 292);
    const QTextBlock rule = document->findBlockByNumber(1);
    layout->ensureBlockLayout(rule);
    QVERIFY(rule.layout()->lineCount() > 1);
    QVERIFY(!help.txtPatternHelp->horizontalScrollBar()->isVisible());
}

void tst_HelpWindow::keys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("closes");

    QTest::newRow("Esc closes") << int(Qt::Key_Escape) << 0 << true;
    QTest::newRow("F1 closes") << int(Qt::Key_F1) << 0 << true;
    QTest::newRow("Shift+F1 does not close") << int(Qt::Key_F1) << int(Qt::ShiftModifier) << false;
    QTest::newRow("Ctrl+Esc does not close")
        << int(Qt::Key_Escape) << int(Qt::ControlModifier) << false;
    QTest::newRow("Shift+Esc does not close")
        << int(Qt::Key_Escape) << int(Qt::ShiftModifier) << false;
    QTest::newRow("Alt+F1 does not close") << int(Qt::Key_F1) << int(Qt::AltModifier) << false;
    QTest::newRow("Enter does not close") << int(Qt::Key_Return) << 0 << false;
}

void tst_HelpWindow::keys()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, closes);

    frmPatternHelp help;
    help.show();
    QVERIFY(QTest::qWaitForWindowExposed(&help));
    const QString text = help.txtPatternHelp->toPlainText();
    sendKey(help.txtPatternHelp, key, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(help.isVisible(), !closes);
    QCOMPARE(help.txtPatternHelp->toPlainText(), text);
    if (!closes) {
        // The window itself, without the box's focus, behaves the same.
        sendKey(&help, key, Qt::KeyboardModifiers(modifiers));
        QVERIFY(help.isVisible());
    }
}

void tst_HelpWindow::ctrlAIsThePlatformBoxOwn()
{
    frmPatternHelp help;
    help.show();
    QVERIFY(QTest::qWaitForWindowExposed(&help));
    QVERIFY(help.findChildren<csTBSelectAllHook *>().isEmpty());

    // A plain read-only box of the platform, set up the same way, as the reference.
    QPlainTextEdit reference;
    reference.setPlainText(help.txtPatternHelp->toPlainText());
    reference.setReadOnly(true);
    reference.setTextInteractionFlags(help.txtPatternHelp->textInteractionFlags());
    reference.show();

    for (QPlainTextEdit *box : {help.txtPatternHelp, &reference}) {
        QTextCursor cursor = box->textCursor();
        cursor.setPosition(5);
        box->setTextCursor(cursor);
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    }
    QCOMPARE(help.txtPatternHelp->textCursor().selectionStart(),
             reference.textCursor().selectionStart());
    QCOMPARE(help.txtPatternHelp->textCursor().selectionEnd(),
             reference.textCursor().selectionEnd());
    QCOMPARE(help.txtPatternHelp->toPlainText(), reference.toPlainText());
}

void tst_HelpWindow::textCannotBeChangedButCopies()
{
    frmPatternHelp help;
    help.show();
    QVERIFY(QTest::qWaitForWindowExposed(&help));
    QPlainTextEdit *box = help.txtPatternHelp;
    const QString text = box->toPlainText();

    ClipboardText::instance().SetText(QStringLiteral("pasted"));
    QTest::keyClicks(box, QStringLiteral("typed"));
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClick(box, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(box->toPlainText(), text);

    QTest::keyClick(box, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_End, Qt::ShiftModifier);
    QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(ClipboardText::instance().Text(), u" Pattern help"_qs);
}

void tst_HelpWindow::resize_data()
{
    QTest::addColumn<QSize>("client");
    QTest::addColumn<QRect>("box");

    QTest::newRow("wider and taller keeps 4-pixel margins")
        << QSize(900, 500) << QRect(4, 4, 892, 492);
    QTest::newRow("narrower wraps within the margins") << QSize(200, 150) << QRect(4, 4, 192, 142);
    QTest::newRow("exactly the margins gives an empty box") << QSize(8, 8) << QRect(4, 4, 0, 0);
    QTest::newRow("too small keeps the box as it was") << QSize(7, 100) << QRect(4, 4, 534, 325);
}

void tst_HelpWindow::resize()
{
    QFETCH(QSize, client);
    QFETCH(QRect, box);

    frmPatternHelp help;
    help.show();
    QVERIFY(QTest::qWaitForWindowExposed(&help));
    help.resize(client);
    QTRY_COMPARE(help.size(), client);
    QCOMPARE(help.txtPatternHelp->geometry(), box);
    QCOMPARE(help.txtPatternHelp->horizontalScrollBar()->isVisible(), false);
}

void tst_HelpWindow::opensModallyAndFreshEachTime()
{
    QWidget owner;
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));

    for (int opening = 0; opening < 2; ++opening) {
        bool checked = false;
        QTimer::singleShot(0, &owner, [&] {
            auto *help = qobject_cast<frmPatternHelp *>(QApplication::activeModalWidget());
            QVERIFY(help);
            checked = true;
            QCOMPARE(help->parentWidget(), &owner);
            QVERIFY(help->isModal());
            QVERIFY(help->txtPatternHelp->textCursor().position() == 0);
            // Moves the cursor; a fresh window starts at the top again.
            help->txtPatternHelp->moveCursor(QTextCursor::End);
            QTest::keyClick(help->txtPatternHelp, Qt::Key_F1);
        });
        // Never leaves a test hanging on the modal window.
        QTimer guard;
        guard.setSingleShot(true);
        connect(&guard, &QTimer::timeout, &owner, [] {
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
        });
        guard.start(5000);
        ShowPatternHelp(&owner);
        QVERIFY(checked);
        QVERIFY(guard.isActive());
        QVERIFY(owner.findChildren<frmPatternHelp *>().isEmpty());
    }
}

void tst_HelpWindow::reopensWhereItWasClosed()
{
    // The main window's record, which the help window must leave alone.
    QWidget main;
    main.setObjectName(QStringLiteral("frmMain"));
    main.setGeometry(50, 60, 400, 300);
    const ApplicationInfo app = ApplicationInfo::current();
    const QString section = AppInfo::PlacementSection.toString();
    QVERIFY(WindowPlacement().StoreWindow(&main, QString(), section, app));

    {
        frmPatternHelp help;
        help.show();
        QVERIFY(QTest::qWaitForWindowExposed(&help));
        help.setGeometry(QRect(37, 41, 420, 260));
        QTest::keyClick(help.txtPatternHelp, Qt::Key_Escape);
        QVERIFY(!help.isVisible());
    }
    frmPatternHelp again;
    again.show();
    QVERIFY(QTest::qWaitForWindowExposed(&again));
    QCOMPARE(again.geometry(), QRect(37, 41, 420, 260));
    QCOMPARE(again.txtPatternHelp->geometry(), QRect(4, 4, 412, 252));

    QWidget restored;
    restored.setObjectName(QStringLiteral("frmMain"));
    QVERIFY(WindowPlacement().RestoreWindow(&restored, QString(), section, app));
    QCOMPARE(restored.geometry(), QRect(50, 60, 400, 300));
}

QTEST_MAIN(tst_HelpWindow)
#include "tst_helpwindow.moc"
