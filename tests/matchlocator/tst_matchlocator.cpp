// The results tree, the source box and the pattern box together: nodes select their text in
// the source box, the box highlights the matches of the last Execute, and a pattern error
// selects its character in the pattern box. Driven with real key presses and mouse clicks.

#include "runner/matchpositions.h"
#include "runner/u16text.h"
#include "support/appservices.h"
#include "support/messagebox.h"
#include "tests/support/openwindow.h"
#include "tests/support/scriptedresponder.h"
#include "tests/support/testenvironment.h"
#include "tests/support/textoffset.h"
#include "ui/main/frmmain.h"
#include "ui/main/liveresults.h"
#include "ui/main/matchlocator.h"
#include "ui/main/resultstreewidget.h"
#include "ui/main/shades.h"
#include "ui/main/sourcetextbox.h"
#include "ui/main/textbox.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

#include <memory>

namespace {

// Executes pattern on source with Global set, then puts the focus in the tree (no node
// selected yet).
void execute(frmMain &window, const QString &pattern, const QString &source)
{
    window.controls().txtPattern->SetText(pattern);
    if (window.controls().txtSourceString->Text() != source)
        window.controls().txtSourceString->SetText(source);
    window.controls().chkGlobal->setChecked(true);
    window.controls().txtPattern->setFocus();
    window.controls().cmdExecute->click();
    window.controls().tvResults->setFocus(Qt::TabFocusReason);
}

// The selection of box as start and length in Text() offsets; length -1 when there is none.
std::pair<qsizetype, qsizetype> selection(const TextBox &box)
{
    const QTextCursor cursor = box.textCursor();
    const qsizetype start = textOffset(box, cursor.selectionStart());
    if (!cursor.hasSelection())
        return {start, -1};
    return {start, textOffset(box, cursor.selectionEnd()) - start};
}

void pressKeys(QWidget *widget, const QList<int> &keys)
{
    for (int key : keys)
        QTest::keyClick(widget, Qt::Key(key));
}

const QString Smiley = QString::fromUtf16(u"\U0001F600");

} // namespace

class tst_MatchLocator : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        initTestEnvironment();
        // The test's own arguments are no pattern file.
        AppServices::instance().CommandLine().SetArguments({});
    }

    void locate_data();
    void locate();
    void centred();
    void activate_data();
    void activate();
    void stopsAfterEdit();
    void highlights();
    void matchesAndGroupsApart();
    void nestedGroupsBarRows_data();
    void nestedGroupsBarRows();
    void highlightsInPieces();
    void highlightsInGroupedLines();
    void patternError_data();
    void patternError();
};

void tst_MatchLocator::locate_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<qsizetype>("start");
    QTest::addColumn<qsizetype>("length"); // 0: the caret alone; -1: the selection is cleared

    const QString before = Smiley + u" x\r\nab ";
    const QString source = before + u"12 cd 34";
    const qsizetype at = before.size();
    QTest::newRow("match after a surrogate pair and CR LF")
        << QStringLiteral("(\\d)(\\d)") << source << QList<int>{Qt::Key_Down} << at << qsizetype(2);
    QTest::newRow("first submatch") << QStringLiteral("(\\d)(\\d)") << source
                                    << QList<int>{Qt::Key_Down, Qt::Key_Down} << at << qsizetype(1);
    QTest::newRow("second submatch")
        << QStringLiteral("(\\d)(\\d)") << source
        << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Down} << at + 1 << qsizetype(1);
    QTest::newRow("Left from a submatch selects its match")
        << QStringLiteral("(\\d)(\\d)") << source
        << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Left} << at << qsizetype(2);
    QTest::newRow("submatch by its own place, not its text")
        << QStringLiteral("(a)b(a)") << QStringLiteral("xaba")
        << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Down} << qsizetype(3) << qsizetype(1);
    QTest::newRow("match across CR LF") << QStringLiteral("b\\r\\nc") << QStringLiteral("ab\r\ncd")
                                        << QList<int>{Qt::Key_Down} << qsizetype(1) << qsizetype(4);
    QTest::newRow("CR alone selects the whole line break")
        << QStringLiteral("\\r") << QStringLiteral("ab\r\ncd") << QList<int>{Qt::Key_Down}
        << qsizetype(2) << qsizetype(2);
    QTest::newRow("LF alone of a CR LF selects the whole line break")
        << QStringLiteral("\\n") << QStringLiteral("ab\r\ncd") << QList<int>{Qt::Key_Down}
        << qsizetype(2) << qsizetype(2);
    QTest::newRow("empty match between CR and LF puts the caret before the break")
        << QStringLiteral("(?=\\n)") << QStringLiteral("ab\r\ncd") << QList<int>{Qt::Key_Down}
        << qsizetype(2) << qsizetype(0);
    const QString shortLines = QStringLiteral("ab 1\r\n").repeated(3000);
    QTest::newRow("match after thousands of short CR LF lines")
        << QStringLiteral("\\d\\d") << shortLines + u"x 77" << QList<int>{Qt::Key_Down}
        << shortLines.size() + 2 << qsizetype(2);
    // Lines of 46 code units: the 92nd CR LF ends the first block of the document.
    const QString line = QStringLiteral("ab ") + QString(40, u'x') + u"1\r\n";
    QTest::newRow("match across the CR LF between two blocks of lines")
        << QStringLiteral("1\\r\\na") << line.repeated(200) << QList<int>(92, Qt::Key_Down)
        << qsizetype(91 * 46 + 43) << qsizetype(4);
    QTest::newRow("match of a lone LF")
        << QStringLiteral("\\n") << QStringLiteral("a\r\nb\nc")
        << QList<int>{Qt::Key_Down, Qt::Key_Down} << qsizetype(4) << qsizetype(1);
    QTest::newRow("empty match puts the caret at its place")
        << QStringLiteral("(?=c)") << u"ab\r\n" + Smiley + u"cd" << QList<int>{Qt::Key_Down}
        << qsizetype(6) << qsizetype(0);
    QTest::newRow("group that took no part selects nothing")
        << QStringLiteral("(a)|(b)") << QStringLiteral("b")
        << QList<int>{Qt::Key_Down, Qt::Key_Down} << qsizetype(0) << qsizetype(-1);
    QTest::newRow("totals node selects nothing")
        << QStringLiteral("\\d") << QStringLiteral("a1") << QList<int>{Qt::Key_Down, Qt::Key_Up}
        << qsizetype(1) << qsizetype(-1);
    QTest::newRow("skip node selects nothing")
        << QStringLiteral("\\d") << QStringLiteral("1").repeated(150)
        << QList<int>{Qt::Key_Down, Qt::Key_End} << qsizetype(0) << qsizetype(-1);
    QTest::newRow("100th match, the last listed")
        << QStringLiteral("\\d") << QStringLiteral("1").repeated(150)
        << QList<int>{Qt::Key_End, Qt::Key_Up} << qsizetype(99) << qsizetype(1);
    const QString longLine = QStringLiteral("x\r\n") + QString(20'000, u'a') + u" 12 b";
    QTest::newRow("match in a long line shown in pieces")
        << QStringLiteral("\\d+") << longLine << QList<int>{Qt::Key_Down} << qsizetype(20'004)
        << qsizetype(2);
    QTest::newRow("match after a long line shown in pieces")
        << QStringLiteral("\\d+") << longLine + u"\r\n\r\n7"
        << QList<int>{Qt::Key_Down, Qt::Key_Down} << longLine.size() + 4 << qsizetype(1);
}

void tst_MatchLocator::locate()
{
    QFETCH(QString, pattern);
    QFETCH(QString, source);
    QFETCH(QList<int>, keys);
    QFETCH(qsizetype, start);
    QFETCH(qsizetype, length);

    Window window = openWindow();
    execute(*window, pattern, source);
    QVERIFY(window->controls().txtSourceString->Text() == source);
    pressKeys(window->controls().tvResults, keys);

    TextBox *box = window->controls().txtSourceString;
    QCOMPARE(QApplication::focusWidget(), window->controls().tvResults);
    if (length < 0) {
        QVERIFY(!box->textCursor().hasSelection());
        return;
    }
    QCOMPARE(selection(*box), std::make_pair(start, length > 0 ? length : qsizetype(-1)));
    QCOMPARE(textOffset(*box, box->textCursor().position()), start + length);
    // In view.
    QVERIFY(box->viewport()->rect().contains(box->cursorRect().center()));
}

void tst_MatchLocator::centred()
{
    QString source;
    for (int i = 1; i <= 300; ++i)
        source += QStringLiteral("line ") + QString::number(i) + u"\r\n";
    Window window = openWindow();
    execute(*window, QStringLiteral("line 150\\b"), source);
    pressKeys(window->controls().tvResults, {Qt::Key_Down});
    TextBox *box = window->controls().txtSourceString;
    QCOMPARE(box->textCursor().selectedText(), QStringLiteral("line 150"));
    const QRect caret = box->cursorRect();
    QVERIFY2(qAbs(caret.center().y() - box->viewport()->height() / 2) <= caret.height(),
             qPrintable(QString::number(caret.center().y())));

    // Near the start it cannot be centred; it is shown from the top.
    execute(*window, QStringLiteral("line 2\\b"), source);
    pressKeys(window->controls().tvResults, {Qt::Key_Down});
    QCOMPARE(box->verticalScrollBar()->value(), 0);
}

void tst_MatchLocator::activate_data()
{
    QTest::addColumn<bool>("doubleClick");
    QTest::newRow("Enter") << false;
    QTest::newRow("double-click") << true;
}

void tst_MatchLocator::activate()
{
    QFETCH(bool, doubleClick);
    Window window = openWindow();
    execute(*window, QStringLiteral("(b)(c)"), QStringLiteral("a\r\nbc"));
    ResultsTreeWidget *tree = window->controls().tvResults;
    pressKeys(tree, {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down});
    QTreeWidgetItem *node = tree->currentItem();
    QCOMPARE(node->text(0), QStringLiteral("c [1]"));
    if (doubleClick) {
        // A double-click is a click and then the double-click event.
        const QPoint at = tree->visualItemRect(node).center();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
    } else
        QTest::keyClick(tree, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), window->controls().txtSourceString);
    QCOMPARE(selection(*window->controls().txtSourceString),
             std::make_pair(qsizetype(4), qsizetype(1)));

    // The totals node has no text to go to.
    tree->setFocus();
    pressKeys(tree, {Qt::Key_Home, Qt::Key_Return});
    QCOMPARE(QApplication::focusWidget(), tree);
}

void tst_MatchLocator::stopsAfterEdit()
{
    Window window = openWindow();
    execute(*window, QStringLiteral("\\d"), QStringLiteral("a1 b2 c3"));
    ResultsTreeWidget *tree = window->controls().tvResults;
    pressKeys(tree, {Qt::Key_Down});
    TextBox *box = window->controls().txtSourceString;
    QCOMPARE(selection(*box), std::make_pair(qsizetype(1), qsizetype(1)));

    box->setFocus();
    box->moveCursor(QTextCursor::Start);
    QTest::keyClick(box, Qt::Key_X);
    tree->setFocus();
    pressKeys(tree, {Qt::Key_Down, Qt::Key_Return});
    // The tree is left as it was; the box is not touched.
    QCOMPARE(tree->topLevelItemCount(), 4);
    QCOMPARE(tree->currentItem()->text(0), QStringLiteral("2 [5:1]"));
    QCOMPARE(QApplication::focusWidget(), tree);
    QCOMPARE(selection(*box), std::make_pair(qsizetype(1), qsizetype(-1)));

    // The next Execute locates again.
    window->controls().cmdExecute->click();
    pressKeys(tree, {Qt::Key_Down, Qt::Key_Down});
    QCOMPARE(selection(*box), std::make_pair(qsizetype(2), qsizetype(1)));
}

namespace {

// The colour of the source box at the character cell of position: the middle of its top row
// (the match's fill, above any letter), of its bottom (a group's bar), or the left end of its
// top row (a gap or a frame).
enum class Where
{
    Fill,
    Bar,
    LeftEdge
};

QColor shadeAt(TextBox *box, int position, Where where = Where::Fill)
{
    QTextCursor cursor(box->document());
    cursor.setPosition(position);
    const QRect left = box->cursorRect(cursor);
    cursor.setPosition(position + 1);
    const QRect right = box->cursorRect(cursor);
    const int x = where == Where::LeftEdge ? left.left() : (left.left() + right.left()) / 2;
    const int y = where == Where::Bar ? left.bottom() - 1 : left.top();
    return QColor(box->viewport()->grab().toImage().pixel(x, y));
}

// Whether the left end of the top row of position's cell shows the frame colour.
bool framed(TextBox *box, int position, const QColor &frame)
{
    QTextCursor cursor(box->document());
    cursor.setPosition(position);
    const QRect cell = box->cursorRect(cursor);
    const QImage shown = box->viewport()->grab().toImage();
    for (int dx = -1; dx <= 2; ++dx)
        for (int dy = 0; dy <= 2; ++dy)
            if (QColor(shown.pixel(cell.left() + dx, cell.top() + dy)) == frame)
                return true;
    return false;
}

} // namespace

void tst_MatchLocator::highlights()
{
    ScriptedResponder responder;
    Window window = openWindow(testServices(responder));
    TextBox *box = window->controls().txtSourceString;
    ResultsTreeWidget *tree = window->controls().tvResults;
    const Shades shades(box->palette());
    const QColor base = shades.base();
    execute(*window, QStringLiteral("a(\\d)"), QStringLiteral("xa1\r\nya2"));
    const QString title = window->windowTitle();
    const int undoSteps = box->document()->availableUndoSteps();

    // x a 1 / y a 2: positions 0 1 2, then 4 5 6 in the second block. The matches alternate,
    // the group has its bar.
    QCOMPARE(shadeAt(box, 0), base);
    QCOMPARE(shadeAt(box, 1), shades.match(0));
    QCOMPARE(shadeAt(box, 2), shades.match(0));
    QCOMPARE(shadeAt(box, 1, Where::Bar), base);
    QCOMPARE(shadeAt(box, 2, Where::Bar), shades.group(1));
    QCOMPARE(shadeAt(box, 4), base);
    QCOMPARE(shadeAt(box, 5), shades.match(1));
    QCOMPARE(shadeAt(box, 6, Where::Bar), shades.group(1));

    // The submatch of the second match is framed; the fills stay.
    pressKeys(tree, {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down});
    QCOMPARE(selection(*box), std::make_pair(qsizetype(7), qsizetype(1)));
    QVERIFY(framed(box, 6, shades.current()));
    QCOMPARE(shadeAt(box, 5, Where::Bar), base);
    QCOMPARE(shadeAt(box, 1), shades.match(0));
    QCOMPARE(window->windowTitle(), title);
    QCOMPARE(box->document()->availableUndoSteps(), undoSteps);

    // Without live results, a pattern edit greys them; the listed matches are still located.
    window->liveResults().setOn(false);
    window->controls().txtPattern->setFocus();
    QTest::keyClick(window->controls().txtPattern, Qt::Key_X);
    QCOMPARE(shadeAt(box, 1), shades.staleMatch(0));
    QCOMPARE(shadeAt(box, 5), shades.staleMatch(1));
    tree->setFocus();
    pressKeys(tree, {Qt::Key_Up});
    QCOMPARE(selection(*box), std::make_pair(qsizetype(6), qsizetype(2)));

    // So does a change of the options; Execute shows them in colour again.
    execute(*window, QStringLiteral("a(\\d)"), box->Text());
    QCOMPARE(shadeAt(box, 1), shades.match(0));
    window->controls().chkIgnoreCase->click();
    QCOMPARE(shadeAt(box, 1), shades.staleMatch(0));

    // An edit of the source, or a new document, forgets the positions.
    execute(*window, QStringLiteral("a(\\d)"), box->Text());
    QVERIFY(window->matchLocator().positionBytes() > 0);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Z);
    QCOMPARE(window->matchLocator().positionBytes(), size_t(0));
    execute(*window, QStringLiteral("a(\\d)"), box->Text());
    responder.button(MsgBoxButton::No);
    window->menuItem(u"mnuFile", 0)->trigger();
    QCOMPARE(window->matchLocator().positionBytes(), size_t(0));
}

void tst_MatchLocator::matchesAndGroupsApart()
{
    Window window = openWindow();
    TextBox *box = window->controls().txtSourceString;
    const Shades shades(box->palette());
    execute(*window, QStringLiteral("(\\w)(\\w)"), QStringLiteral("abcdef 2024-11-05"));
    // Consecutive matches ab, cd, ef: fills alternate, groups 1 and 2 have bars of their own,
    // and the background shows where one match ends and the next begins.
    for (int position = 0; position < 6; ++position) {
        QCOMPARE(shadeAt(box, position), shades.match(position / 2));
        QCOMPARE(shadeAt(box, position, Where::Bar), shades.group(1 + position % 2));
    }
    QVERIFY(shades.match(0) != shades.match(1));
    QVERIFY(shades.group(1) != shades.group(2));
    for (int start : {2, 4})
        QCOMPARE(shadeAt(box, start, Where::LeftEdge), shades.base());
    // "20" and "24" are matches too, "-" is not.
    QCOMPARE(shadeAt(box, 7), shades.match(3));
    QCOMPARE(shadeAt(box, 11), shades.base());
}

void tst_MatchLocator::nestedGroupsBarRows_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QList<int>>("depths"); // of groups 1, 2, ... in the first match
    QTest::newRow("siblings share the first row") << "(a)(b)" << QList<int>{0, 0};
    QTest::newRow("a group inside another goes one lower") << "(a(b))" << QList<int>{0, 1};
    QTest::newRow("the same span nested") << "((ab))" << QList<int>{0, 1};
    QTest::newRow("a group that took no part is nothing's parent")
        << "(x)?(a(b))" << QList<int>{0, 0, 1};
}

void tst_MatchLocator::nestedGroupsBarRows()
{
    QFETCH(QString, pattern);
    QFETCH(QList<int>, depths);
    engine::RegExp regExp;
    regExp.setPattern(u16View(pattern));
    const MatchPositions positions(regExp.Execute(u"ab"));
    QCOMPARE(positions.count(), 1);
    for (int g = 1; g <= positions.groupCount(); ++g)
        QCOMPARE(SourceTextBox::groupDepth(positions, 0, g), depths.at(g - 1));
}

void tst_MatchLocator::highlightsInPieces()
{
    Window window = openWindow();
    TextBox *box = window->controls().txtSourceString;
    execute(*window, QStringLiteral("(\\d)2"),
            QStringLiteral("x\r\n") + QString(20'000, u'a') + u" 12 b\r\n3");
    // The submatch "1" is selected; the "2" after it shows the current match.
    pressKeys(window->controls().tvResults, {Qt::Key_Down, Qt::Key_Down});
    QCOMPARE(selection(*box), std::make_pair(qsizetype(20'004), qsizetype(1)));
    const int two = box->textCursor().selectionEnd();
    QVERIFY(box->document()->findBlock(two).blockNumber() > 1);
    QCOMPARE(box->document()->characterAt(two), QChar(u'2'));
    QVERIFY(shadeAt(box, two) != box->palette().color(QPalette::Base));
    QCOMPARE(shadeAt(box, two + 1), box->palette().color(QPalette::Base));
}

void tst_MatchLocator::highlightsInGroupedLines()
{
    Window window = openWindow();
    TextBox *box = window->controls().txtSourceString;
    // Many short lines share each block; a match spans the break inside one.
    execute(*window, QStringLiteral("(\\d)2|c\\r\\nd"),
            QStringLiteral("ab\r\n").repeated(2000) + u"x 12 b\r\nc\r\nd");
    pressKeys(window->controls().tvResults, {Qt::Key_Down, Qt::Key_Down});
    QCOMPARE(selection(*box), std::make_pair(qsizetype(8002), qsizetype(1)));
    const int two = box->textCursor().selectionEnd();
    QCOMPARE(box->document()->characterAt(two), QChar(u'2'));
    const QColor base = box->palette().color(QPalette::Base);
    QVERIFY(shadeAt(box, two) != base);
    QCOMPARE(shadeAt(box, two + 1), base);
    QCOMPARE(shadeAt(box, two - 2), base);

    // The second match: its letters and the break between them shaded.
    pressKeys(window->controls().tvResults, {Qt::Key_Down});
    QCOMPARE(selection(*box), std::make_pair(qsizetype(8008), qsizetype(4)));
    const int c = box->textCursor().selectionStart();
    QCOMPARE(box->document()->characterAt(c), QChar(u'c'));
    QVERIFY(shadeAt(box, c) != base);
    QVERIFY(shadeAt(box, c + 2) != base);
    QCOMPARE(shadeAt(box, c - 2), base); // the b before the break
}

void tst_MatchLocator::patternError_data()
{
    QTest::addColumn<QStringList>("lines"); // typed, with Enter between them
    QTest::addColumn<bool>("ignoreLineBreaks");
    QTest::addColumn<int>("key");
    QTest::addColumn<qsizetype>("start");
    QTest::addColumn<qsizetype>("length");

    QTest::newRow("Execute, unmatched parenthesis")
        << QStringList{QStringLiteral("ab)c")} << false << int(Qt::Key_F5) << qsizetype(2)
        << qsizetype(1);
    QTest::newRow("Replace, quantifier after a surrogate pair")
        << QStringList{Smiley + u"{2,1}"} << false << int(Qt::Key_F6) << qsizetype(2)
        << qsizetype(1);
    QTest::newRow("Test, missing parenthesis: caret at the end")
        << QStringList{QStringLiteral("(ab")} << false << int(Qt::Key_F7) << qsizetype(3)
        << qsizetype(0);
    QTest::newRow("line breaks kept count as typed")
        << QStringList{QStringLiteral("a"), QStringLiteral("b)")} << false << int(Qt::Key_F5)
        << qsizetype(4) << qsizetype(1);
    QTest::newRow("Ignore line breaks maps back to the typed text")
        << QStringList{QStringLiteral("a"), QStringLiteral("b)"), QStringLiteral("c")} << true
        << int(Qt::Key_F5) << qsizetype(4) << qsizetype(1);
    QTest::newRow("Ignore line breaks, error at the end")
        << QStringList{QStringLiteral("(a"), QStringLiteral("b"), QString()} << true
        << int(Qt::Key_F6) << qsizetype(5) << qsizetype(0);
    QTest::newRow("Ignore line breaks, error inside a surrogate pair selects the pair")
        << QStringList{QStringLiteral("a"), QStringLiteral("[") + Smiley + u"-a]"} << true
        << int(Qt::Key_F7) << qsizetype(4) << qsizetype(2);
}

void tst_MatchLocator::patternError()
{
    QFETCH(QStringList, lines);
    QFETCH(bool, ignoreLineBreaks);
    QFETCH(int, key);
    QFETCH(qsizetype, start);
    QFETCH(qsizetype, length);

    ScriptedResponder responder;
    Window window = openWindow(testServices(responder));
    window->controls().chkIgnoreLineBreaks->setChecked(ignoreLineBreaks);
    TextBox *box = window->controls().txtPattern;
    box->setFocus();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            QTest::keyClick(box, Qt::Key_Return);
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, lines.at(i), Qt::NoModifier);
    }
    window->controls().txtSourceString->SetText(QStringLiteral("source"));
    window->controls().txtSourceString->setFocus();

    responder.button(MsgBoxButton::OK);
    QTest::keyClick(window->controls().txtSourceString, Qt::Key(key));
    QCOMPARE(responder.shown().size(), 1);
    QVERIFY(responder.last().text.contains(u" at character "));
    QCOMPARE(QApplication::focusWidget(), box);
    QCOMPARE(selection(*box), std::make_pair(start, length > 0 ? length : qsizetype(-1)));
}

QTEST_MAIN(tst_MatchLocator)
#include "tst_matchlocator.moc"
