// Every UTF-16 code unit through the real window: a pattern file loaded into each box and saved
// again byte for byte, text copied from box to box, and Execute's matches selected in the source
// box next to the characters the text document keeps for itself.

#include "document/cdocument.h"
#include "support/appservices.h"
#include "support/textfile.h"
#include "tests/support/openwindow.h"
#include "tests/support/testenvironment.h"
#include "tests/support/textoffset.h"
#include "ui/main/frmmain.h"
#include "ui/main/resultstreewidget.h"
#include "ui/main/textbox.h"

#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

namespace {

// Every code unit but NUL, which a pattern file can't hold: lone surrogates, and the pairs
// that U+DBFF U+DC00 and the like form by neighbouring.
QString everyUnit()
{
    QString text;
    for (int unit = 1; unit <= 0xFFFF; ++unit)
        text += QChar(char16_t(unit));
    return text;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TextBox *box(frmMain &window, int number)
{
    TextBox *boxes[] = {window.controls().txtPattern, window.controls().txtSourceString,
                        window.controls().txtReplaceVar, window.controls().txtResult};
    return boxes[number];
}

// The characters the text document takes as its own, and the pictures it shows for CR and LF.
const QString Awkward =
    QString::fromUtf16(u"\u2028\u2029\uFDD0\uFDD1\u240D\u240A\r\n\r\n\u00B6\uFFFD");

} // namespace

class tst_CodeUnits : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        initTestEnvironment();
        AppServices::instance().CommandLine().SetArguments({});
    }

    void loadAndSave_data();
    void loadAndSave();
    void copyBetweenBoxes_data();
    void copyBetweenBoxes();
    void typedNextToAStandIn();
    void matchesBesideAwkwardCharacters_data();
    void matchesBesideAwkwardCharacters();
};

void tst_CodeUnits::loadAndSave_data()
{
    QTest::addColumn<int>("box");
    QTest::newRow("pattern box") << 0;
    QTest::newRow("source box") << 1;
    QTest::newRow("replacement box") << 2;
}

void tst_CodeUnits::loadAndSave()
{
    QFETCH(int, box);
    QStringList fields{QStringLiteral("p"), QStringLiteral("s"), QStringLiteral("r"),
                       QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("1"),
                       QStringLiteral("0")};
    fields[box] = everyUnit();
    QTemporaryDir dir(testScratchDir() + u"/codeunits-XXXXXX");
    const QString path = dir.filePath(QStringLiteral("every.RegExp"));
    const QByteArray bytes = TextFile::encode(fields.join(QChar(0)));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }

    Window window = openWindow();
    QVERIFY(window->document().LoadAs(path));
    QVERIFY(::box(*window, box)->Text() == fields[box]);
    QVERIFY(!window->document().IsDirty());
    QFile::remove(path);
    QVERIFY(window->document().Save());
    QVERIFY(fileBytes(path) == bytes);
}

void tst_CodeUnits::copyBetweenBoxes_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::newRow("source to replacement") << 1 << 2;
    QTest::newRow("replacement to pattern") << 2 << 0;
    QTest::newRow("result to source") << 3 << 1;
}

void tst_CodeUnits::copyBetweenBoxes()
{
    QFETCH(int, from);
    QFETCH(int, to);
    const QString text = everyUnit();
    Window window = openWindow();
    TextBox *source = box(*window, from);
    TextBox *target = box(*window, to);
    source->SetText(text);
    target->SetText(QStringLiteral("[]"));

    source->setFocus();
    QTest::keyClick(source, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(source, Qt::Key_C, Qt::ControlModifier);
    target->setFocus();
    QTextCursor cursor = target->textCursor();
    cursor.setPosition(1);
    target->setTextCursor(cursor);
    QTest::keyClick(target, Qt::Key_V, Qt::ControlModifier);
    QVERIFY(target->Text() == u'[' + text + u']');

    // Undone in one step, and redone the same.
    target->undo();
    QCOMPARE(target->Text(), QStringLiteral("[]"));
    target->redo();
    QVERIFY(target->Text() == u'[' + text + u']');
}

void tst_CodeUnits::typedNextToAStandIn()
{
    // The character typed after a stand-in is the one typed, even the stand-in's own picture.
    Window window = openWindow();
    TextBox *source = window->controls().txtSourceString;
    source->SetText(QString::fromUtf16(u"\u2029\u240D"));
    source->setFocus();
    QTextCursor cursor = source->textCursor();
    cursor.setPosition(1);
    source->setTextCursor(cursor);
    QTest::keyClicks(source, QString::fromUtf16(u"\u00B6x"));
    cursor.movePosition(QTextCursor::End);
    source->setTextCursor(cursor);
    QTest::keyClicks(source, QStringLiteral("y"));
    QCOMPARE(source->Text(), QString::fromUtf16(u"\u2029\u00B6x\u240Dy"));
    QTest::keyClick(source, Qt::Key_Backspace);
    QTest::keyClick(source, Qt::Key_Backspace);
    QCOMPARE(source->Text(), QString::fromUtf16(u"\u2029\u00B6x"));
}

void tst_CodeUnits::matchesBesideAwkwardCharacters_data()
{
    QTest::addColumn<QString>("source");
    QTest::newRow("between every one")
        << QString(Awkward).replace(QStringLiteral("\r\n"), QStringLiteral("a\r\na")) + u'a';
    QTest::newRow("after a long line")
        << QString(20000, u'b') + Awkward + u'a' + QString(9000, u'b') + QChar(0x2029) + u'a';
    QTest::newRow("across blocks of grouped CR LF lines")
        << QString(QString(60, u'b') + QString::fromUtf16(u"a\r\n\u2028")).repeated(90) + Awkward +
               u'a';
    QTest::newRow("among every code unit")
        << everyUnit().replace(QStringLiteral("a"), QString::fromUtf16(u"\u2029a\uFDD0"));
}

void tst_CodeUnits::matchesBesideAwkwardCharacters()
{
    QFETCH(QString, source);
    QList<qsizetype> expected;
    for (qsizetype at = source.indexOf(u'a'); at >= 0; at = source.indexOf(u'a', at + 1))
        expected << at;

    Window window = openWindow();
    window->controls().txtPattern->SetText(QStringLiteral("a"));
    window->controls().txtSourceString->SetText(source);
    window->controls().chkGlobal->setChecked(true);
    window->controls().chkIgnoreCase->setChecked(false);
    window->controls().cmdExecute->click();
    TextBox *box = window->controls().txtSourceString;
    QVERIFY(box->Text() == source);
    window->controls().tvResults->setFocus(Qt::TabFocusReason);
    for (qsizetype at : expected) {
        QTest::keyClick(window->controls().tvResults, Qt::Key_Down);
        const QTextCursor cursor = box->textCursor();
        QCOMPARE(textOffset(*box, cursor.selectionStart()), at);
        QCOMPARE(cursor.selectedText(), QStringLiteral("a"));
    }
}

QTEST_MAIN(tst_CodeUnits)
#include "tst_codeunits.moc"
