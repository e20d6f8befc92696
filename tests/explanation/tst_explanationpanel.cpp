// The Explanation panel and the replacement box's colours: the comment lines, the piece the
// caret selects, the spans a choice asks for, the suggestion offered, and what each part of a
// replacement is shown as.

#include "runner/engine/scanner.h"
#include "tests/support/testenvironment.h"
#include "tests/support/testservices.h"
#include "ui/main/explanationpanel.h"
#include "ui/main/explanationview.h"
#include "ui/main/frmmain.h"
#include "ui/main/panelhost.h"
#include "ui/main/patternhighlighter.h"
#include "ui/main/replacementhighlighter.h"
#include "ui/main/statusline.h"
#include "ui/main/textbox.h"

#include <QCheckBox>
#include <QDockWidget>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QTreeWidget>

namespace {

std::u16string u16(const QString &s)
{
    return s.toStdU16String();
}

void show(ExplanationPanel &panel, const QString &pattern)
{
    panel.showReading(pattern, engine::Explain(u16(pattern)), engine::Lint(u16(pattern)));
}

QTreeWidget *treeOf(ExplanationPanel &panel)
{
    return panel.findChild<QTreeWidget *>(QStringLiteral("treExplanation"));
}

} // namespace

class tst_ExplanationPanel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { initTestEnvironment(); }
    void commentLines_data();
    void commentLines();
    void caretSelectsDeepestPiece_data();
    void caretSelectsDeepestPiece();
    void choosingAPieceSelectsItsSpan();
    void suggestionOfferedAsOneReplacement();
    void replacementParts_data();
    void replacementParts();
    void patternBoxUnderlinesWarnings();
    void windowReadsThePatternLive();
    void windowColoursTheReplacement();
    void windowTakesAPatternTooLongToRead();
};

void tst_ExplanationPanel::commentLines_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<int>("depths"); // different indentations at least
    QTest::newRow("address or year") << QStringLiteral(R"~(^(\w+)@([\w.]+)\z|(\d{4}))~") << 5;
    QTest::newRow("long literal wraps") << QString(300, u'x') << 2;
    QTest::newRow("deep nesting keeps room") << QString(60, u'(') + u'a' + QString(60, u')') << 21;
    QTest::newRow("long lines of text wrap")
        << QStringLiteral(R"~((?:\s\S\w\W\d\D.){2,}?\b[A-z]$)~") << 3;
}

// Every line a Visual Basic comment of at most 100 characters; the pieces indented by depth.
void tst_ExplanationPanel::commentLines()
{
    QFETCH(QString, pattern);
    QFETCH(int, depths);
    const engine::Explanation e = engine::Explain(u16(pattern));
    const QString text = ExplanationPanel::commentsFor(pattern, e);
    QVERIFY(text.endsWith(QStringLiteral("\r\n")));
    const QStringList lines = text.chopped(2).split(QStringLiteral("\r\n"));
    QVERIFY(lines.size() > 1);
    QSet<qsizetype> indents;
    for (const QString &line : lines) {
        QVERIFY2(line.startsWith(QStringLiteral("' ")), qPrintable(line));
        QVERIFY2(line.size() <= 100, qPrintable(line));
        indents.insert(line.indexOf(QRegularExpression(QStringLiteral("[^' ]"))));
    }
    QVERIFY2(indents.size() >= depths, qPrintable(QString::number(indents.size())));
}

void tst_ExplanationPanel::caretSelectsDeepestPiece_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    const QString p = QStringLiteral(R"~(^(\w+)@([\w.]+)\z)~");
    QTest::newRow("on the anchor") << p << 0 << 0 << 1;
    QTest::newRow("inside \\w of group 1") << p << 3 << 2 << 2;
    QTest::newRow("on the group's bracket") << p << 1 << 1 << 5;
    QTest::newRow("on a class member") << p << 11 << 11 << 1;
    QTest::newRow("on the quantifier") << p << 13 << 8 << 6;
    QTest::newRow("caret at the end takes the last piece") << p << 17 << 15 << 2;
}

void tst_ExplanationPanel::caretSelectsDeepestPiece()
{
    QFETCH(QString, pattern);
    QFETCH(int, caret);
    QFETCH(int, start);
    QFETCH(int, length);
    ExplanationPanel panel;
    show(panel, pattern);
    QSignalSpy asked(&panel, &ExplanationPanel::spanSelected);
    panel.selectAt(caret);
    const QTreeWidgetItem *item = treeOf(panel)->currentItem();
    QVERIFY(item);
    QCOMPARE(item->data(0, Qt::UserRole).toInt(), start);
    QCOMPARE(item->data(0, Qt::UserRole + 1).toInt(), length);
    QCOMPARE(asked.count(), 0); // following the caret never moves it
}

void tst_ExplanationPanel::choosingAPieceSelectsItsSpan()
{
    ExplanationPanel panel;
    show(panel, QStringLiteral("ab(c|d)+"));
    QSignalSpy asked(&panel, &ExplanationPanel::spanSelected);
    QTreeWidget *tree = treeOf(panel);
    tree->setCurrentItem(tree->topLevelItem(1)); // (c|d)+
    QCOMPARE(asked.count(), 1);
    QCOMPARE(asked.at(0).at(0).toInt(), 2);
    QCOMPARE(asked.at(0).at(1).toInt(), 6);
}

void tst_ExplanationPanel::suggestionOfferedAsOneReplacement()
{
    ExplanationPanel panel;
    const QString pattern = QStringLiteral(R"~(a\d{,3}\z)~");
    show(panel, pattern);
    auto *list = panel.findChild<QListWidget *>(QStringLiteral("lstWarnings"));
    auto *apply = panel.findChild<QPushButton *>(QStringLiteral("cmdUseSuggestion"));
    QCOMPARE(list->count(), 2);
    QVERIFY(!apply->isEnabled());
    QSignalSpy chosen(&panel, &ExplanationPanel::replacementChosen);
    QSignalSpy asked(&panel, &ExplanationPanel::spanSelected);
    list->setCurrentRow(1); // \z
    QCOMPARE(asked.count(), 1);
    QCOMPARE(asked.at(0).at(0).toInt(), 7);
    QVERIFY(apply->isEnabled());
    apply->click();
    QCOMPARE(chosen.count(), 1);
    QCOMPARE(chosen.at(0).at(0).toInt(), 7);
    QCOMPARE(chosen.at(0).at(1).toInt(), 2);
    QCOMPARE(chosen.at(0).at(2).toString(), QStringLiteral("$"));
    // The warning's piece carries its icon.
    QTreeWidget *tree = treeOf(panel);
    const QTreeWidgetItem *last = tree->topLevelItem(tree->topLevelItemCount() - 1);
    QVERIFY(!last->icon(0).isNull());
}

void tst_ExplanationPanel::replacementParts_data()
{
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<int>("groups");
    // Per character: g group, s special ($& $` $' $$), f another dialect's form, . plain.
    QTest::addColumn<QString>("looks");
    QTest::newRow("the four forms")
        << QStringLiteral(R"~($2 \1 ${x} $$)~") << 2 << QStringLiteral("gg.ff.ffff.ss");
    QTest::newRow("$12 with one group") << QStringLiteral("$12") << 1 << QStringLiteral("gg.");
    QTest::newRow("$12 with twelve groups") << QStringLiteral("$12") << 12 << QStringLiteral("ggg");
    QTest::newRow("$0 and case changes")
        << QStringLiteral(R"~($0\U$&)~") << 1 << QStringLiteral("ffffss");
}

void tst_ExplanationPanel::replacementParts()
{
    QFETCH(QString, replacement);
    QFETCH(int, groups);
    QFETCH(QString, looks);
    QPlainTextEdit box;
    auto *highlighter = new ReplacementHighlighter(&box);
    highlighter->setGroupCount(groups);
    box.setPlainText(replacement);
    const QTextBlock block = box.document()->firstBlock();
    QString seen(replacement.size(), u'.');
    for (const QTextLayout::FormatRange &r : block.layout()->formats()) {
        const QChar look = r.format.underlineStyle() == QTextCharFormat::DotLine ? u'f'
                           : r.format.fontItalic()                               ? u's'
                           : r.format.fontWeight() == QFont::Bold                ? u'g'
                                                                                 : u'.';
        for (int i = r.start; i < r.start + r.length; ++i)
            seen[i] = look;
    }
    QCOMPARE(seen, looks);
    for (int i = 0; i < replacement.size(); ++i)
        if (looks[i] != u'.')
            QVERIFY2(!highlighter->toolTipAt(i).isEmpty(), qPrintable(QString::number(i)));
}

// A warning's span gets a dotted underline unlike the error's, and its text as the tooltip;
// marking it is no edit.
void tst_ExplanationPanel::patternBoxUnderlinesWarnings()
{
    TextBox box;
    auto *highlighter = new PatternHighlighter(&box);
    box.SetText(QStringLiteral(R"~(ab\zc)~"));
    highlighter->scanNow();
    const int undo = box.document()->availableUndoSteps();
    highlighter->setWarnings({{2, 4, QStringLiteral("the letter z here")}});
    QString underlined(box.document()->firstBlock().text().size(), u'.');
    for (const QTextLayout::FormatRange &r : box.document()->firstBlock().layout()->formats())
        if (r.format.underlineStyle() == QTextCharFormat::DotLine)
            for (int i = r.start; i < r.start + r.length; ++i)
                underlined[i] = u'w';
    QCOMPARE(underlined, QStringLiteral("..ww."));
    QCOMPARE(highlighter->toolTipAt(3), QStringLiteral("the letter z here"));
    QCOMPARE(highlighter->toolTipAt(4), QString());
    QCOMPARE(box.document()->availableUndoSteps(), undo);
}

namespace {
// The replacement's look per character, as replacementParts spells it.
QString looksOf(const QPlainTextEdit &box)
{
    const QTextBlock block = box.document()->firstBlock();
    QString seen(block.text().size(), u'.');
    for (const QTextLayout::FormatRange &r : block.layout()->formats())
        for (int i = r.start; i < r.start + r.length; ++i)
            seen[i] = r.format.underlineStyle() == QTextCharFormat::DotLine ? u'f' : u'g';
    return seen;
}
} // namespace

// In the window the replacement box follows the pattern's groups as the pattern box reads
// them; colouring it is no edit of the box or of the document.
void tst_ExplanationPanel::windowColoursTheReplacement()
{
    frmMain w(testServices());
    w.show();
    TextBox *pattern = w.controls().txtPattern;
    TextBox *replacement = w.controls().txtReplaceVar;
    auto *reader = pattern->findChild<PatternHighlighter *>();
    QVERIFY(reader);
    pattern->SetText(QStringLiteral("(a)(b)"));
    reader->scanNow();
    replacement->SetText(QStringLiteral(R"~($2 \1)~"));
    QCOMPARE(looksOf(*replacement), QStringLiteral("gg.ff"));

    QTextDocument *doc = replacement->document();
    const int undo = doc->availableUndoSteps();
    const bool modified = doc->isModified();
    QSignalSpy changes(doc, &QTextDocument::contentsChange);
    // With one group $2 is plain text, marked as another form.
    pattern->SetText(QStringLiteral("(a)"));
    reader->scanNow();
    QCOMPARE(looksOf(*replacement), QStringLiteral("ff.ff"));
    QCOMPARE(doc->availableUndoSteps(), undo);
    QCOMPARE(doc->isModified(), modified);
    QCOMPARE(changes.size(), 0);
    QCOMPARE(replacement->Text(), QStringLiteral(R"~($2 \1)~"));
}

// A pattern too long to read live, typed over one with warnings: the warnings go, nothing is
// read, and the box keeps the whole pattern.
void tst_ExplanationPanel::windowTakesAPatternTooLongToRead()
{
    frmMain w(testServices());
    w.show();
    auto *view = w.findChild<ExplanationView *>();
    TextBox *pattern = w.controls().txtPattern;
    w.controls().chkMultiline->setChecked(false);
    pattern->SetText(QStringLiteral(R"~(a\z)~"));
    QVERIFY(view->waitForIdle(std::chrono::seconds(10)));
    QVERIFY(!w.statusLine().text(StatusLine::Slot::Pattern).isEmpty());

    const QString longPattern =
        QStringLiteral("(a)[bc]").repeated(ExplanationView::MaxPattern / 7 + 100);
    pattern->SetText(longPattern);
    pattern->waitForText();
    pattern->findChild<PatternHighlighter *>()->scanNow();
    QVERIFY(view->waitForIdle(std::chrono::seconds(10)));
    QCOMPARE(w.statusLine().text(StatusLine::Slot::Pattern), QString());
    // Keys typed into the coloured pattern, each a change of the work read while the box edits.
    pattern->setFocus();
    pattern->moveCursor(QTextCursor::End);
    QTest::keyClicks(pattern, "xy");
    QCOMPARE(pattern->Text(), longPattern + u"xy");
}

// In the window: the panel closed on a first start, the first warning in the status line after
// the pause, and a suggestion taken as one undoable edit of the pattern box.
void tst_ExplanationPanel::windowReadsThePatternLive()
{
    frmMain w(testServices());
    QDockWidget *dock = w.panels().dock(QStringLiteral("pnlExplanation"));
    QVERIFY(dock);
    QVERIFY(!dock->isVisible());
    auto *view = w.findChild<ExplanationView *>();
    QVERIFY(view);
    // A new pattern has Multiline on, where \z has no replacement.
    w.controls().chkMultiline->setChecked(false);
    w.controls().txtPattern->SetText(QStringLiteral(R"~(a\z)~"));
    QVERIFY(view->waitForIdle(std::chrono::seconds(10)));
    QVERIFY(w.statusLine()
                .text(StatusLine::Slot::Pattern)
                .startsWith(QStringLiteral(R"~(\z is the letter z)~")));
    auto *list = view->panel().findChild<QListWidget *>(QStringLiteral("lstWarnings"));
    QCOMPARE(list->count(), 1);
    list->setCurrentRow(0);
    view->panel().findChild<QPushButton *>(QStringLiteral("cmdUseSuggestion"))->click();
    QCOMPARE(w.controls().txtPattern->Text(), QStringLiteral("a$"));
    w.controls().txtPattern->undo();
    QCOMPARE(w.controls().txtPattern->Text(), QStringLiteral(R"~(a\z)~"));
    QVERIFY(view->waitForIdle(std::chrono::seconds(10)));
    w.controls().txtPattern->SetText(QStringLiteral("abc"));
    QVERIFY(view->waitForIdle(std::chrono::seconds(10)));
    QCOMPARE(w.statusLine().text(StatusLine::Slot::Pattern), QString());
}

QTEST_MAIN(tst_ExplanationPanel)
#include "tst_explanationpanel.moc"
