#include "tests/support/testenvironment.h"
#include "ui/main/textbox.h"

#include <QTest>

class tst_TextBox : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { initTestEnvironment(); }
    void roundTrip_data();
    void roundTrip();
    void everyCodeUnitSurvives();
    void typedLineBreaksReadAsCrLf();
    void readsTheCurrentContent_data();
    void readsTheCurrentContent();
};

void tst_TextBox::roundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("lines");

    QTest::newRow("empty") << "" << 1;
    QTest::newRow("CR LF breaks lines") << "one\r\ntwo\r\n" << 3;
    QTest::newRow("lone CR kept") << "a\rb" << 1;
    QTest::newRow("lone LF kept") << "a\nb" << 1;
    QTest::newRow("LF CR is two lone breaks") << "a\n\rb" << 1;
    QTest::newRow("CR CR LF") << "a\r\r\nb" << 2;
    QTest::newRow("tabs and blanks") << "\t a \t" << 1;
    QTest::newRow("line separator kept") << QString::fromUtf16(u"a\u2028b") << 1;
    QTest::newRow("NUL and surrogates") << QString::fromUtf16(u"\0x\xD800y\U0001F600", 6) << 1;
}

void tst_TextBox::roundTrip()
{
    QFETCH(QString, text);
    QFETCH(int, lines);

    TextBox box;
    box.SetText(text);
    QCOMPARE(box.Text(), text);
    QCOMPARE(box.document()->blockCount(), lines);
}

void tst_TextBox::everyCodeUnitSurvives()
{
    QString text;
    for (int unit = 0; unit <= 0xFFFF; ++unit) {
        // The paragraph separator and the two frame-marker noncharacters are the document's own
        // breaks and read back as CR LF; the control pictures stand for lone CR and LF.
        if (unit != 0x2029 && unit != 0xFDD0 && unit != 0xFDD1 && unit != 0x240D && unit != 0x240A)
            text += QChar(char16_t(unit));
    }
    TextBox box;
    box.SetText(text);
    QCOMPARE(box.Text(), text);
}

void tst_TextBox::typedLineBreaksReadAsCrLf()
{
    TextBox box;
    QTest::keyClicks(&box, "ab");
    QTest::keyClick(&box, Qt::Key_Return);
    QTest::keyClicks(&box, "c");
    QCOMPARE(box.Text(), QStringLiteral("ab\r\nc"));
}

// Text() is kept between changes; every edit and undo must still be read.
void tst_TextBox::readsTheCurrentContent_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("typed"); // at the end, after SetText
    QTest::addColumn<QString>("expected");

    QTest::newRow("typing after SetText is read") << "ab\r\nc"
                                                  << "x"
                                                  << "ab\r\ncx";
    QTest::newRow("paragraph separator reads as CR LF") << QString::fromUtf16(u"a\u2029b") << ""
                                                        << "a\r\nb";
    QTest::newRow("control picture reads as its break") << QString::fromUtf16(u"a\u240Db") << ""
                                                        << "a\rb";
}

void tst_TextBox::readsTheCurrentContent()
{
    QFETCH(QString, text);
    QFETCH(QString, typed);
    QFETCH(QString, expected);

    TextBox box;
    box.SetText(text);
    box.moveCursor(QTextCursor::End);
    QTest::keyClicks(&box, typed);
    QCOMPARE(box.Text(), expected);
    box.undo();
    if (!typed.isEmpty())
        QCOMPARE(box.Text(), text);
}

QTEST_MAIN(tst_TextBox)
#include "tst_textbox.moc"
