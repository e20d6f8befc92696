// A long text arriving in a text box a slice at a time ends as the same document as the text
// put in at once: the same blocks, marks, Text(), undo history and modified state. Small slices
// stand in for long texts.

#include "support/clipboardtext.h"
#include "tests/support/testenvironment.h"
#include "ui/main/textarrival.h"
#include "ui/main/textbox.h"

#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>

namespace {

constexpr qsizetype Slice = 40; // code units of the display form a slice takes in the tests

// The document as text: each block's text, a mark where it continues a line, and every
// character that stands for another with what it stands for.
QString describe(const QTextDocument &document)
{
    QString out;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        out += TextArrival::continuesLine(block) ? u"\n+" : u"\n|";
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (format.hasProperty(TextArrival::StandsFor))
                out += u'{' +
                       QString::number(format.property(TextArrival::StandsFor).toLongLong()) + u':';
            out += fragment.text();
            if (format.hasProperty(TextArrival::StandsFor))
                out += u'}';
        }
    }
    return out;
}

// Text() read from the document afresh, through a copy of everything.
QString copied(TextBox &box)
{
    const QTextCursor caret = box.textCursor();
    box.selectAll();
    box.copy();
    box.setTextCursor(caret);
    return ClipboardText::instance().Text();
}

void arrive(TextBox &box)
{
    QTRY_VERIFY(!box.arriving());
}

} // namespace

class tst_TextArrival : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { initTestEnvironment(); }
    void texts_data();
    void setTextArrivesAsAtOnce_data() { texts_data(); }
    void setTextArrivesAsAtOnce();
    void replaceAllArrivesAsOneUndoStep_data() { texts_data(); }
    void replaceAllArrivesAsOneUndoStep();
    void pasteArrivesAsAtOnce_data();
    void pasteArrivesAsAtOnce();
    void keyTypedWaitsForTheText_data();
    void keyTypedWaitsForTheText();
    void newTextDropsTheRest();
    void boxGoesWhileTextArrives();
};

void tst_TextArrival::texts_data()
{
    QTest::addColumn<QString>("text");

    const QString words = QStringLiteral("lorem ipsum ");
    // Short lines share blocks of about 4 KB; a slice ends where a block does.
    QTest::newRow("CR LF lines") << QStringLiteral("abc 12 de\r\n").repeated(3000);
    QTest::newRow("lone LF and lone CR") << QStringLiteral("ab\ncd\ref\r\n").repeated(3000);
    QTest::newRow("empty lines") << QStringLiteral("\r\n\r\n\r\nx").repeated(3000);
    QTest::newRow("long lines over LongLine among short ones")
        << (u"one\r\n" + words.repeated(3000) + u"\r\nx\r\n" + QString(40000, u'y') + u"\r\n" +
            QStringLiteral("ab\r\n").repeated(100));
    QTest::newRow("U+2028, U+2029, noncharacters and the pictures")
        << QString::fromUtf16(
               u"a\u2028b\r\n\u2424\u2029c\uFDD0\r\nd\uFDD1\u240D\r\u240A\n\u00B6\uFFFD\r\n")
               .repeated(1000);
    QTest::newRow("marks in a long line")
        << (QString(20000, u'x') + QString::fromUtf16(u"\u2029\u2028") + QString(20000, u'z'));
    QTest::newRow("surrogate pairs in a long line")
        << (u"x" + QString::fromUtf16(u"\U0001F600").repeated(TextBox::LongLine));
}

void tst_TextArrival::setTextArrivesAsAtOnce()
{
    QFETCH(QString, text);

    TextBox atOnce;
    atOnce.setSliceLength(text.size() * 2);
    QSignalSpy changedAtOnce(&atOnce, &QPlainTextEdit::textChanged);
    atOnce.SetText(text);
    QVERIFY(!atOnce.arriving());

    TextBox box;
    box.setSliceLength(Slice);
    QSignalSpy changed(&box, &QPlainTextEdit::textChanged);
    QSignalSpy arrived(&box, &TextBox::textArrived);
    box.SetText(text);
    QVERIFY(box.arriving());
    QCOMPARE(box.Text(), text);
    QVERIFY(box.isReadOnly());
    QVERIFY(!box.document()->isModified());
    QVERIFY(box.document()->blockCount() < atOnce.document()->blockCount());
    arrive(box);

    QCOMPARE(arrived.count(), 1);
    QCOMPARE(changed.count(), changedAtOnce.count());
    QCOMPARE(describe(*box.document()), describe(*atOnce.document()));
    QCOMPARE(box.Text(), text);
    QCOMPARE(copied(box), text);
    QVERIFY(!box.isReadOnly());
    QVERIFY(!box.document()->isModified());
    QVERIFY(!box.document()->isUndoAvailable());
}

void tst_TextArrival::replaceAllArrivesAsOneUndoStep()
{
    QFETCH(QString, text);
    const QString before = QStringLiteral("ab\r\ncd");

    TextBox atOnce;
    atOnce.SetText(before);
    atOnce.setSliceLength(text.size() * 2);
    atOnce.ReplaceAll(text);

    TextBox box;
    box.SetText(before);
    box.setSliceLength(Slice);
    QSignalSpy changed(&box, &QPlainTextEdit::textChanged);
    box.ReplaceAll(text);
    QVERIFY(box.arriving());
    QCOMPARE(box.Text(), text);
    arrive(box);

    QCOMPARE(changed.count(), 1);
    QCOMPARE(describe(*box.document()), describe(*atOnce.document()));
    QCOMPARE(copied(box), text);
    QCOMPARE(box.textCursor().position(), atOnce.textCursor().position());
    QVERIFY(box.document()->isModified());
    box.undo();
    QCOMPARE(box.Text(), before);
    QVERIFY(!box.document()->isUndoAvailable());
    box.redo();
    QCOMPARE(describe(*box.document()), describe(*atOnce.document()));
    QCOMPARE(box.Text(), text);
}

void tst_TextArrival::pasteArrivesAsAtOnce_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("from"); // document positions of the selection pasted over
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("textFrom"); // the same as Text() offsets
    QTest::addColumn<int>("textTo");

    // "ab\r\ncd\r\nef" is one block: a b U+2028 c d U+2028 e f.
    const QString grouped = QStringLiteral("ab\r\ncd\r\nef");
    QTest::newRow("caret between grouped lines") << grouped << 4 << 4 << 5 << 5;
    QTest::newRow("selection over a grouped line break") << grouped << 1 << 5 << 1 << 6;
    QTest::newRow("caret at the end") << grouped << 8 << 8 << 10 << 10;
    const QString pieces = QString(20000, u'x') + u"\r\nyz";
    // Pieces of 4096 units: each block after the first adds a position, not a code unit.
    QTest::newRow("selection across the pieces of a long line")
        << pieces << 4000 << 12000 << 4000 << 11998;
}

void tst_TextArrival::pasteArrivesAsAtOnce()
{
    QFETCH(QString, before);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, textFrom);
    QFETCH(int, textTo);

    // Lines of other programs: every CR, LF and CR LF a line break.
    const QString pasted = QStringLiteral("line 1\nline 2\r\nline 3\r").repeated(1000);
    const QString expected = before.first(textFrom) +
                             QString(pasted)
                                 .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                                 .replace(u'\r', u'\n')
                                 .replace(QStringLiteral("\n"), QStringLiteral("\r\n")) +
                             before.sliced(textTo);
    TextBox atOnce;
    TextBox box;
    box.setSliceLength(Slice);
    for (TextBox *each : {&atOnce, &box}) {
        each->SetText(before);
        each->waitForText();
        QTextCursor cursor = each->textCursor();
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        each->setTextCursor(cursor);
        ClipboardText::instance().SetText(pasted);
        each->paste();
    }
    QVERIFY(box.arriving());
    QCOMPARE(box.Text(), expected);
    arrive(box);
    QCOMPARE(describe(*box.document()), describe(*atOnce.document()));
    QCOMPARE(copied(box), expected);
    QCOMPARE(box.textCursor().position(), atOnce.textCursor().position());
    box.undo();
    QCOMPARE(box.Text(), before);
}

void tst_TextArrival::keyTypedWaitsForTheText_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("waits");
    QTest::addColumn<QString>("typed"); // at the start of the text

    QTest::newRow("a letter waits and goes in") << int(Qt::Key_X) << true << "x";
    QTest::newRow("Delete waits and deletes") << int(Qt::Key_Delete) << true << "";
    QTest::newRow("Down moves without waiting") << int(Qt::Key_Down) << false << "";
}

void tst_TextArrival::keyTypedWaitsForTheText()
{
    QFETCH(int, key);
    QFETCH(bool, waits);
    QFETCH(QString, typed);

    const QString text = QStringLiteral("abc 12 de\r\n").repeated(3000);
    TextBox box;
    box.setSliceLength(Slice);
    box.SetText(text);
    QTest::keyClick(&box, Qt::Key(key), Qt::NoModifier);
    QCOMPARE(box.arriving(), !waits);
    arrive(box);
    QString expected = text;
    if (key == Qt::Key_Delete)
        expected.remove(0, 1);
    QCOMPARE(box.Text(), typed + expected);
    QCOMPARE(copied(box), typed + expected);
}

void tst_TextArrival::newTextDropsTheRest()
{
    TextBox box;
    box.setSliceLength(Slice);
    QSignalSpy arrived(&box, &TextBox::textArrived);
    box.SetText(QStringLiteral("first\r\n").repeated(5000));
    QVERIFY(box.arriving());
    const QString second = QStringLiteral("second\r\n").repeated(2000);
    box.SetText(second);
    QCOMPARE(box.Text(), second);
    arrive(box);
    QCOMPARE(arrived.count(), 1);
    QCOMPARE(copied(box), second);
    box.SetText(QStringLiteral("third\r\n").repeated(5000));
    QVERIFY(box.arriving());
    box.SetText(QStringLiteral("short"));
    QVERIFY(!box.arriving());
    QVERIFY(!box.isReadOnly());
    QCOMPARE(copied(box), QStringLiteral("short"));
}

void tst_TextArrival::boxGoesWhileTextArrives()
{
    auto *box = new TextBox;
    box->setSliceLength(Slice);
    box->SetText(QStringLiteral("line\r\n").repeated(5000));
    QVERIFY(box->arriving());
    delete box;
    QCoreApplication::processEvents();
}

QTEST_MAIN(tst_TextArrival)
#include "tst_textarrival.moc"
