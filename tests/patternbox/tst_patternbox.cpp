// The pattern box's colours, error mark, bracket pairs and group numbers, as shown in the box,
// and that showing them is no edit.

#include "document/cdocument.h"
#include "runner/engine/scanner.h"
#include "support/messagebox.h"
#include "support/textfile.h"
#include "tests/support/scriptedresponder.h"
#include "tests/support/testenvironment.h"
#include "tests/support/testservices.h"
#include "ui/main/frmmain.h"
#include "ui/main/patternhighlighter.h"
#include "ui/main/shades.h"
#include "ui/main/textbox.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

namespace {

constexpr engine::TokenKind Kinds[] = {
    engine::TokenKind::Literal,        engine::TokenKind::Escape, engine::TokenKind::IdentityEscape,
    engine::TokenKind::CharClass,      engine::TokenKind::Group,  engine::TokenKind::Quantifier,
    engine::TokenKind::LazyQuantifier, engine::TokenKind::Anchor, engine::TokenKind::BackReference};
constexpr char Letters[] = "leicgqzar";

// The letter of the kind whose look the format has (an alternation looks like a group).
char letterOf(const QTextCharFormat &format, const PatternHighlighter &highlighter)
{
    if (format.hasProperty(PatternHighlighter::GroupNumberProperty))
        return 'g'; // a capturing group's bracket, in the group's colour
    for (std::size_t i = 0; i < std::size(Kinds); ++i) {
        const QTextCharFormat &kind = highlighter.formatFor(Kinds[i]);
        if (format.foreground() == kind.foreground() && format.fontWeight() == kind.fontWeight() &&
            format.fontItalic() == kind.fontItalic())
            return Letters[i];
    }
    return '?';
}

// One letter per character of the box, "/" between blocks: l literal, e escape, i identity
// escape's backslash, c class, g group or alternation, q quantifier, z lazy quantifier,
// a anchor or boundary, r back-reference, - nothing.
QString shownKinds(const TextBox &box, const PatternHighlighter &highlighter)
{
    QStringList blocks;
    for (QTextBlock b = box.document()->begin(); b.isValid(); b = b.next()) {
        QString shown(b.length() - 1, u'-');
        for (const QTextLayout::FormatRange &r : b.layout()->formats())
            if (r.format.hasProperty(QTextFormat::ForegroundBrush) &&
                !r.format.hasProperty(PatternHighlighter::MarkProperty))
                for (int i = r.start; i < r.start + r.length; ++i)
                    shown[i] = QLatin1Char(letterOf(r.format, highlighter));
        // A line break inside a block (lines grouped in one) reads as one between blocks.
        const QString text = b.text();
        for (int i = 0; i < text.size(); ++i)
            if (text.at(i) == QChar::LineSeparator)
                shown[i] = u'/';
        blocks << shown;
    }
    return blocks.join(u'/');
}

PatternHighlighter &highlighterOf(TextBox &box)
{
    return *box.findChild<PatternHighlighter *>();
}

std::vector<int> ints(std::initializer_list<int> values)
{
    return values;
}

QString writePatternFile(const QString &pattern)
{
    const QString path = QDir(testScratchDir()).filePath(QStringLiteral("box.RegExp"));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(TextFile::encode(QStringList{pattern, QStringLiteral("source"), QString(),
                                                QStringLiteral("0"), QStringLiteral("0"),
                                                QStringLiteral("0"), QStringLiteral("0")}
                                        .join(QChar(0))));
    return path;
}

// A box alone with its highlighter, as the main window sets them up.
struct Box
{
    TextBox box;
    PatternHighlighter *highlighter = new PatternHighlighter(&box);
    explicit Box(const QString &text, bool ignoreLineBreaks = false)
    {
        highlighter->setIgnoreLineBreaks(ignoreLineBreaks);
        box.SetText(text);
        highlighter->scanNow();
    }
};

} // namespace

class tst_PatternBox : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { initTestEnvironment(); }

    void kindsShown_data();
    void kindsShown();
    void spansMoveWithAnEdit();
    void errorMarkIsExecutesError_data();
    void errorMarkIsExecutesError();
    void errorMarkClearsWhenValid();
    void bracketPairs_data();
    void bracketPairs();
    void groupNumbers();
    void groupColours();
    void everyMarkHasATooltip_data();
    void everyMarkHasATooltip();
    void errorBand();
    void showingIsNoEdit();
};

void tst_PatternBox::kindsShown_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ignoreLineBreaks");
    QTest::addColumn<QString>("expected");

    QTest::newRow("every kind") << R"(^(a|\d)+?[^b-c]\1\z\x41\b$)" << false
                                << "aglgccgzzcclclcrrileeeeaaa";
    QTest::newRow("identity escapes show as literals") << R"(\z\A\p\x4)" << false << "ilililill";
    QTest::newRow("\\c1 is c then 1") << R"(\c1)" << false << "ill";
    QTest::newRow("\\1 octal before its group") << R"(\1(a)\1)" << false << "eeglgrr";
    QTest::newRow("[]a] is an empty class and a]") << "[]a]" << false << "ccll";
    QTest::newRow("nothing after the error") << "ab)cd" << false << "ll---";
    QTest::newRow("lone LF is a literal") << "a\nb" << false << "lll";
    QTest::newRow("lone LF ignored") << "a\nb" << true << "l-l";
    QTest::newRow("quantifier after CR LF") << "ab\r\n*" << false << "ll/q";
    QTest::newRow("quantifier after ignored CR LF") << "ab\r\n*" << true << "ll/q";
    QTest::newRow("escape across an ignored break") << "\\\r\nd" << true << "c/c";
    QTest::newRow("backslash before a kept break") << "\\\r\nd" << false << "i/l";
}

void tst_PatternBox::kindsShown()
{
    QFETCH(QString, text);
    QFETCH(bool, ignoreLineBreaks);
    QFETCH(QString, expected);
    Box b(text, ignoreLineBreaks);
    QCOMPARE(shownKinds(b.box, *b.highlighter), expected);
}

void tst_PatternBox::spansMoveWithAnEdit()
{
    Box b(QStringLiteral("(a)+"));
    QTextCursor cursor(b.box.document());
    cursor.insertText(QStringLiteral("xy"));
    QCOMPARE(shownKinds(b.box, *b.highlighter), QStringLiteral("--glgq")); // until the next scan
    cursor.setPosition(3);
    cursor.deleteChar(); // the "a"
    QCOMPARE(shownKinds(b.box, *b.highlighter), QStringLiteral("--ggq"));
    b.highlighter->scanNow();
    QCOMPARE(shownKinds(b.box, *b.highlighter), QStringLiteral("llggq"));
}

void tst_PatternBox::errorMarkIsExecutesError_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("ignoreLineBreaks");
    QTest::addColumn<std::vector<int>>("marks"); // the error, the bracket left open

    QTest::newRow("unclosed group: its ( and the end") << "x(a|b" << false << ints({1, 4});
    QTest::newRow("unclosed class") << "[ab" << false << ints({0, 2});
    QTest::newRow("lone )") << "a)b" << false << ints({1});
    QTest::newRow("quantifier on a quantifier") << "a+*" << false << ints({2});
    QTest::newRow("lookbehind") << "(?<=a)b" << false << ints({0});
    QTest::newRow("reversed range") << "[z-a]" << false << ints({1});
    QTest::newRow("after an ignored break") << "a\r\n)b" << true << ints({2});
    QTest::newRow("after a kept break") << "a\r\n)b" << false << ints({2});
}

void tst_PatternBox::errorMarkIsExecutesError()
{
    QFETCH(QString, pattern);
    QFETCH(bool, ignoreLineBreaks);
    QFETCH(std::vector<int>, marks);

    ScriptedResponder responder;
    frmMain w(testServices(responder));
    w.controls().chkIgnoreLineBreaks->setChecked(ignoreLineBreaks);
    w.controls().txtPattern->SetText(pattern);
    PatternHighlighter &highlighter = highlighterOf(*w.controls().txtPattern);
    highlighter.scanNow();
    QCOMPARE(highlighter.errorMarks(), marks);

    responder.button(MsgBoxButton::OK);
    w.controls().cmdExecute->click();
    // The Execute message: its first line, then the same text as the tooltip.
    const QString tip = highlighter.toolTipAt(marks.front());
    QVERIFY(!tip.isEmpty());
    QCOMPARE(responder.last().text, QStringLiteral("RegExp.Execute has failed.\n\n") + tip);
    for (int mark : marks)
        QCOMPARE(highlighter.toolTipAt(mark), tip);
    std::vector<int> underlined;
    for (QTextBlock b = w.controls().txtPattern->document()->begin(); b.isValid(); b = b.next())
        for (const QTextLayout::FormatRange &r : b.layout()->formats())
            if (r.format.underlineStyle() == QTextCharFormat::WaveUnderline)
                for (int i = r.start; i < r.start + r.length; ++i)
                    underlined.push_back(b.position() + i);
    QCOMPARE(underlined, marks);
}

void tst_PatternBox::errorMarkClearsWhenValid()
{
    ScriptedResponder noDialogs;
    frmMain w(testServices(noDialogs));
    w.show();
    w.controls().txtPattern->setFocus();
    QTest::keyClicks(w.controls().txtPattern, QStringLiteral("(a"));
    PatternHighlighter &highlighter = highlighterOf(*w.controls().txtPattern);
    QTRY_COMPARE(highlighter.errorMarks(), ints({0, 1}));
    QTest::keyClick(w.controls().txtPattern, Qt::Key_ParenRight);
    QTRY_VERIFY_WITH_TIMEOUT(highlighter.errorMarks().empty(),
                             500 + 2 * PatternHighlighter::PauseMs);
    QCOMPARE(highlighter.toolTipAt(0), QStringLiteral("group 1"));
    QCOMPARE(QApplication::focusWidget(), w.controls().txtPattern);
    QCOMPARE(noDialogs.shown().size(), 0);
}

void tst_PatternBox::groupColours()
{
    // Both brackets of a group take its colour, the one its bar has in the source box.
    Box b(QStringLiteral("(a)(?:b)((c))"));
    const Shades shades(b.box.palette());
    const std::pair<int, int> brackets[] = {{0, 1}, {2, 1}, {8, 2}, {9, 3}, {11, 3}, {12, 2}};
    QMap<int, QColor> shown;
    for (const QTextLayout::FormatRange &r : b.box.document()->begin().layout()->formats()) {
        if (r.format.hasProperty(PatternHighlighter::GroupNumberProperty))
            shown.insert(r.start, r.format.foreground().color());
    }
    QCOMPARE(shown.size(), qsizetype(std::size(brackets)));
    for (const auto &[position, group] : brackets)
        QCOMPARE(shown.value(position), shades.group(group));
}

void tst_PatternBox::everyMarkHasATooltip_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("tip"); // its beginning
    QTest::newRow("escape") << R"(\t)" << 0 << "Escape";
    QTest::newRow("needless backslash") << R"(\z)" << 0 << "Needless backslash";
    QTest::newRow("class") << R"(\d)" << 1 << "Character class";
    QTest::newRow("alternation") << "a|b" << 1 << "Alternation";
    QTest::newRow("quantifier") << "a+" << 1 << "Quantifier";
    QTest::newRow("lazy quantifier, underlined") << "a+?" << 2 << "Lazy quantifier (underlined)";
    QTest::newRow("anchor") << "^a" << 0 << "Anchor";
    QTest::newRow("back reference") << R"((a)\1)" << 3 << "Back reference";
    QTest::newRow("plain text has none") << "ab" << 1 << "";
}

void tst_PatternBox::everyMarkHasATooltip()
{
    QFETCH(QString, pattern);
    QFETCH(int, position);
    QFETCH(QString, tip);
    Box b(pattern);
    const QString shown = b.highlighter->toolTipAt(position);
    QVERIFY2(tip.isEmpty() ? shown.isEmpty() : shown.startsWith(tip), qPrintable(shown));
}

void tst_PatternBox::errorBand()
{
    // The offending character gets a band of the error colour under the wave.
    Box b(QStringLiteral("a{2,1}"));
    const Shades shades(b.box.palette());
    const QList<QTextLayout::FormatRange> formats = b.box.document()->begin().layout()->formats();
    const auto band = std::find_if(formats.begin(), formats.end(), [](const auto &r) {
        return r.format.underlineStyle() == QTextCharFormat::WaveUnderline;
    });
    QVERIFY(band != formats.end());
    QCOMPARE(band->format.background().color(), shades.errorBand());
    QCOMPARE(band->format.underlineColor(), shades.errorWave());
}

void tst_PatternBox::bracketPairs_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<int>("caret");
    QTest::addColumn<std::vector<int>>("marks");

    QTest::newRow("before (") << "(a[b]c)" << 0 << ints({0, 6});
    QTest::newRow("after (") << "(a[b]c)" << 1 << ints({0, 6});
    QTest::newRow("before [ after a letter") << "(a[b]c)" << 2 << ints({2, 4});
    QTest::newRow("after ]") << "(a[b]c)" << 5 << ints({2, 4});
    QTest::newRow("between ] and )") << "(a[b])" << 5 << ints({0, 5});
    QTest::newRow("away from brackets") << "a(b)c" << 5 << ints({});
    QTest::newRow("escaped brackets are none") << R"(\(a\))" << 1 << ints({});
    QTest::newRow("a ( in a class is a member") << "[(]" << 1 << ints({0, 2});
    QTest::newRow("] first in a class") << "[]a]" << 4 << ints({});
    QTest::newRow("unclosed: no partner") << "(a" << 0 << ints({});
}

void tst_PatternBox::bracketPairs()
{
    QFETCH(QString, pattern);
    QFETCH(int, caret);
    QFETCH(std::vector<int>, marks);
    Box b(pattern);
    QTextCursor cursor = b.box.textCursor();
    cursor.setPosition(caret);
    b.box.setTextCursor(cursor);
    QCOMPARE(b.highlighter->bracketMarks(), marks);
}

void tst_PatternBox::groupNumbers()
{
    Box b(QStringLiteral("(a)(?:b)((c))"));
    QCOMPARE(b.highlighter->toolTipAt(0), QStringLiteral("group 1"));
    QCOMPARE(b.highlighter->toolTipAt(2), QStringLiteral("end of group 1"));
    QVERIFY(b.highlighter->toolTipAt(3).startsWith(u"Group that captures nothing"));
    QCOMPARE(b.highlighter->toolTipAt(8), QStringLiteral("group 2"));
    QCOMPARE(b.highlighter->toolTipAt(9), QStringLiteral("group 3"));
    QCOMPARE(b.highlighter->toolTipAt(11), QStringLiteral("end of group 3"));
    QCOMPARE(b.highlighter->toolTipAt(12), QStringLiteral("end of group 2"));

    // A line longer than the box shows in one block: positions still map.
    const QString long_ =
        QStringLiteral("(x)") + QString(3 * TextBox::LongLine, u'a') + QStringLiteral("(b)");
    Box big(long_);
    QTextDocument *doc = big.box.document();
    QVERIFY(doc->blockCount() > 1);
    const int lastOpen = doc->characterCount() - 4;
    QCOMPARE(doc->characterAt(lastOpen), u'(');
    QCOMPARE(big.highlighter->toolTipAt(lastOpen), QStringLiteral("group 2"));
    QTextCursor cursor = big.box.textCursor();
    cursor.setPosition(lastOpen);
    big.box.setTextCursor(cursor);
    QCOMPARE(big.highlighter->bracketMarks(), ints({lastOpen, lastOpen + 2}));
}

void tst_PatternBox::showingIsNoEdit()
{
    const QString pattern = QStringLiteral("(a|[bc])+?\\1\\z");
    frmMain w(testServices());
    w.show();
    QVERIFY(w.document().LoadAs(writePatternFile(pattern)));
    PatternHighlighter &highlighter = highlighterOf(*w.controls().txtPattern);
    QTextDocument *doc = w.controls().txtPattern->document();
    highlighter.scanNow();
    QVERIFY(!shownKinds(*w.controls().txtPattern, highlighter).contains(u'-'));

    // Caret moves with bracket marks, a palette change, the pause after them.
    w.controls().txtPattern->setFocus();
    for (int i = 0; i < pattern.size(); ++i)
        QTest::keyClick(w.controls().txtPattern, Qt::Key_Right);
    QPalette dark = w.controls().txtPattern->palette();
    dark.setColor(QPalette::Base, Qt::black);
    dark.setColor(QPalette::Text, Qt::white);
    w.controls().txtPattern->setPalette(dark);
    QTest::qWait(2 * PatternHighlighter::PauseMs);
    QVERIFY(!w.document().IsDirty());
    QVERIFY(!doc->isUndoAvailable());
    QVERIFY(!doc->isModified());
    QCOMPARE(w.controls().txtPattern->Text(), pattern);

    QTest::keyClick(w.controls().txtPattern, Qt::Key_X);
    QVERIFY(w.document().IsDirty());
    QCOMPARE(w.controls().txtPattern->Text(), pattern + u'x');
    doc->undo();
    QCOMPARE(w.controls().txtPattern->Text(), pattern);
    QVERIFY(!doc->isUndoAvailable());
}

QTEST_MAIN(tst_PatternBox)
#include "tst_patternbox.moc"
