#include "support/clipboardtext.h"
#include "tests/support/testenvironment.h"
#include "ui/main/textbox.h"

#include <QTest>
#include <QTextBlock>

class tst_TextBox : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { initTestEnvironment(); }
    void roundTrip_data();
    void roundTrip();
    void everyCodeUnitSurvives();
    void longLinesRoundTrip_data();
    void longLinesRoundTrip();
    void editsInALongLine_data();
    void editsInALongLine();
    void copyAcrossASeam();
    void pastedLongLineGoesInPieces();
    void pastedLinesShareBlocks();
    void textFollowsEdits_data();
    void textFollowsEdits();
};

void tst_TextBox::roundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("blocks"); // of the document

    QTest::newRow("empty") << "" << 1;
    QTest::newRow("short CR LF lines share a block") << "one\r\ntwo\r\n" << 1;
    // Lines of 10 code units as 9 characters and a U+2028: 410 of them fill a block.
    QTest::newRow("thousands of CR LF lines in blocks of about 4 KB")
        << QStringLiteral("abc 12 de\r\n").repeated(2000) << 5;
    QTest::newRow("CR LF lines with empty ones and lone CR and LF")
        << QStringLiteral("\r\n\r\nx\r\r\n\n\r\n").repeated(1000) << 2;
    QTest::newRow("U+2028 and its stand-in read as themselves")
        << QString::fromUtf16(u"a\u2028b\r\n\u2424\u2028") << 1;
    QTest::newRow("lone CR and LF kept") << "a\rb\nc" << 1;
    QTest::newRow("the document's own breaks read as themselves")
        << QString::fromUtf16(u"a\u2029b\uFDD0c\uFDD1") << 1;
    QTest::newRow("control pictures and stand-ins read as themselves")
        << QString::fromUtf16(u"\u240D\r\u240A\n\u00B6\u2029\uFFFD\uFDD0") << 1;
    QTest::newRow("awkward characters across a split line")
        << QString(20000, u'x') + QString::fromUtf16(u"\u2029\r\n\u240A") + QString(20000, u'y') +
               QChar(0xFDD1)
        << 10;
}

void tst_TextBox::roundTrip()
{
    QFETCH(QString, text);
    QFETCH(int, blocks);

    TextBox box;
    box.SetText(text);
    QCOMPARE(box.Text(), text);
    QCOMPARE(box.document()->blockCount(), blocks);
    QVERIFY(!box.document()->isModified());
    QVERIFY(!box.document()->isUndoAvailable());
}

void tst_TextBox::everyCodeUnitSurvives()
{
    QString text;
    for (int unit = 0; unit <= 0xFFFF; ++unit)
        text += QChar(char16_t(unit));
    TextBox box;
    box.SetText(text);
    QVERIFY(box.Text() == text);
    // Read from the document, not from what was set.
    QTest::keyClick(&box, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(&box, QStringLiteral("z"));
    QVERIFY(box.Text() == text + u'z');
}

void tst_TextBox::longLinesRoundTrip_data()
{
    QTest::addColumn<QString>("text");

    const QString word = QStringLiteral("lorem ipsum ");
    const QString emoji = QString::fromUtf16(u"\U0001F600");
    QTest::newRow("megabyte line with blanks") << word.repeated(90000);
    QTest::newRow("surrogate pairs at every cut") << (u"x" + emoji.repeated(TextBox::LongLine));
    QTest::newRow("long lines among short ones, lone CR and LF kept")
        << (u"one\r\n" + word.repeated(3000) + u"\r\r\n\n" + QString(40000, u'y') + u"\r\n");
    QTest::newRow("short lines after a long one")
        << (QString(40000, u'y') + QStringLiteral("\r\nab").repeated(5000));
}

void tst_TextBox::longLinesRoundTrip()
{
    QFETCH(QString, text);

    TextBox box;
    box.SetText(text);
    QCOMPARE(box.Text(), text);
    // Shown in pieces that lay out quickly.
    qsizetype longest = 0;
    for (QTextBlock block = box.document()->begin(); block.isValid(); block = block.next())
        longest = std::max<qsizetype>(longest, block.length());
    // A piece may follow short lines in their block.
    QVERIFY2(longest <= 2 * 4096 + 1, qPrintable(QString::number(longest)));
    QVERIFY(!box.document()->isModified());
    QVERIFY(!box.document()->isUndoAvailable());
}

void tst_TextBox::editsInALongLine_data()
{
    // A line of 20000 letters, shown in pieces of 4096; the cursor goes to a text offset.
    QTest::addColumn<int>("offset");
    QTest::addColumn<bool>("atPieceEnd"); // the cursor before the seam rather than after it
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QString>("inserted"); // at offset
    QTest::addColumn<int>("removedAt");    // one character; -1 for none

    const auto row = [](const char *name, int offset, bool atPieceEnd,
                        std::initializer_list<QKeyCombination> keys, const char *inserted,
                        int removedAt) {
        QList<int> combined;
        for (QKeyCombination key : keys)
            combined << key.toCombined();
        QTest::newRow(name) << offset << atPieceEnd << combined << QString(inserted) << removedAt;
    };
    row("typing at a seam", 4096, false, {Qt::Key_X}, "x", -1);
    row("Enter at a seam is a line break", 4096, false, {Qt::Key_Return}, "\r\n", -1);
    row("Backspace at a seam takes the letter before", 4096, false, {Qt::Key_Backspace}, "", 4095);
    row("Delete at a seam takes the letter after", 4096, true, {Qt::Key_Delete}, "", 4096);
    row("Shift+Enter at a seam is a line break", 4096, false, {Qt::SHIFT | Qt::Key_Return}, "\r\n",
        -1);
    row("Backspace undone", 4096, false, {Qt::Key_Backspace, Qt::CTRL | Qt::Key_Z}, "", -1);
    row("pasted line break", 4106, false, {Qt::CTRL | Qt::Key_V}, "p\r\nq", -1);
}

void tst_TextBox::editsInALongLine()
{
    QFETCH(int, offset);
    QFETCH(bool, atPieceEnd);
    QFETCH(QList<int>, keys);
    QFETCH(QString, inserted);
    QFETCH(int, removedAt);

    QString text;
    for (int i = 0; i < 20000; ++i)
        text += QChar(u'a' + i % 26);
    TextBox box;
    box.SetText(text);
    QTextCursor cursor = box.textCursor();
    cursor.setPosition(offset + offset / 4096 - (atPieceEnd ? 1 : 0));
    box.setTextCursor(cursor);
    ClipboardText::instance().SetText(QStringLiteral("p\nq"));
    for (int key : keys) {
        const QKeyCombination combination = QKeyCombination::fromCombined(key);
        QTest::keyClick(&box, combination.key(), combination.keyboardModifiers());
    }
    QString expected = text;
    if (removedAt >= 0)
        expected.remove(removedAt, 1);
    expected.insert(offset, inserted);
    QCOMPARE(box.Text(), expected);
}

void tst_TextBox::copyAcrossASeam()
{
    TextBox box;
    const QString text = QString(5000, u'a') + QString(5000, u'b') + QString(9000, u'c');
    box.SetText(text);
    QTextCursor cursor = box.textCursor();
    cursor.setPosition(4090);
    cursor.setPosition(4110, QTextCursor::KeepAnchor);
    box.setTextCursor(cursor);
    box.copy();
    QCOMPARE(ClipboardText::instance().Text(), text.mid(4090, 19));
}

void tst_TextBox::pastedLongLineGoesInPieces()
{
    TextBox box;
    box.SetText(QStringLiteral("ab\r\ncd"));
    QTextCursor cursor = box.textCursor();
    cursor.setPosition(1);
    box.setTextCursor(cursor);
    const QString line(3 * TextBox::LongLine, u'x');
    ClipboardText::instance().SetText(line + u"\n" + line);
    box.paste();

    QCOMPARE(box.Text(), u"a" + line + u"\r\n" + line + u"b\r\ncd");
    for (QTextBlock block = box.document()->begin(); block.isValid(); block = block.next())
        QVERIFY(block.length() <= TextBox::LongLine);
    box.undo();
    QCOMPARE(box.Text(), QStringLiteral("ab\r\ncd"));
}

void tst_TextBox::pastedLinesShareBlocks()
{
    TextBox box;
    box.SetText(QStringLiteral("ab\r\ncd"));
    QTextCursor cursor = box.textCursor();
    cursor.setPosition(1);
    box.setTextCursor(cursor);
    const QString lines = QStringLiteral("line 1\n").repeated(10000);
    ClipboardText::instance().SetText(lines);
    box.paste();

    QCOMPARE(box.Text(), u"a" +
                             QString(lines).replace(QStringLiteral("\n"), QStringLiteral("\r\n")) +
                             u"b\r\ncd");
    QVERIFY2(box.document()->blockCount() <= 20,
             qPrintable(QString::number(box.document()->blockCount())));
    box.undo();
    QCOMPARE(box.Text(), QStringLiteral("ab\r\ncd"));
    QCOMPARE(box.document()->blockCount(), 1);
}

// Text() is patched for single typed or deleted characters; it must always equal a fresh read.
void tst_TextBox::textFollowsEdits_data()
{
    // Letters typed; < Backspace, > Delete, | Enter, ^ Shift+Enter, s Shift+Left, u undo, r redo.
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("result"); // empty: not checked

    QTest::newRow("typing in the second line") << "ab\r\ncd\r\nef" << 5 << "xyz"
                                               << "ab\r\ncdxyz\r\nef";
    QTest::newRow("backspace over a line break") << "ab\r\ncd" << 3 << "<<<x"
                                                 << "xcd";
    QTest::newRow("delete over a line break") << "ab\r\ncd" << 1 << ">>>y"
                                              << "ayd";
    QTest::newRow("enter and shift+enter are CR LF") << "abcd" << 2 << "|^x"
                                                     << "ab\r\n\r\nxcd";
    QTest::newRow("shift+enter replaces the selection") << "abcd" << 3 << "ss^x"
                                                        << "a\r\nxd";
    QTest::newRow("next to a lone CR and LF") << "a\rb\nc" << 2 << "<x>>y"
                                              << "axyc";
    QTest::newRow("undo and redo") << "ab\r\ncd" << 4 << "xy<uurr|u"
                                   << "";
    // Short lines share a block: a CR LF between them is one character of the document.
    QTest::newRow("delete a line break of grouped lines, then undo") << "ab\r\ncd" << 2 << ">xuu"
                                                                     << "ab\r\ncd";
    QTest::newRow("Enter beside a line break of grouped lines") << "ab\r\ncd" << 3 << "|x"
                                                                << "ab\r\n\r\nxcd";
}

void tst_TextBox::textFollowsEdits()
{
    QFETCH(QString, text);
    QFETCH(int, position);
    QFETCH(QString, keys);
    QFETCH(QString, result);

    TextBox box;
    box.SetText(text);
    QTextCursor cursor = box.textCursor();
    cursor.setPosition(position);
    box.setTextCursor(cursor);
    for (const QChar key : keys) {
        switch (key.unicode()) {
        case u'<':
            QTest::keyClick(&box, Qt::Key_Backspace);
            break;
        case u'>':
            QTest::keyClick(&box, Qt::Key_Delete);
            break;
        case u'|':
            QTest::keyClick(&box, Qt::Key_Return);
            break;
        case u'^':
            QTest::keyClick(&box, Qt::Key_Return, Qt::ShiftModifier);
            break;
        case u's':
            QTest::keyClick(&box, Qt::Key_Left, Qt::ShiftModifier);
            break;
        case u'u':
            box.undo();
            break;
        case u'r':
            box.redo();
            break;
        default:
            QTest::keyClicks(&box, QString(key));
        }
        const QString fresh = TextBox::fromDisplay(box.document()->toRawText());
        QCOMPARE(box.Text(), fresh);
    }
    QVERIFY(!box.Text().contains(QChar(0x2028)));
    if (!result.isEmpty())
        QCOMPARE(box.Text(), result);
}

QTEST_MAIN(tst_TextBox)
#include "tst_textbox.moc"
