// Big inputs: a 10-million-character source through Execute, Replace and Test, and pattern
// files near and over the size TextFile reads.

#include "document/cdocument.h"
#include "runner/modregexp.h"
#include "runner/plainresultstree.h"
#include "runner/resulttext.h"
#include "support/messagebox.h"
#include "support/textfile.h"
#include "tests/document/fakeview.h"
#include "tests/support/scriptedresponder.h"
#include "tests/support/testenvironment.h"

#include <QFile>
#include <QTest>

using TextBox = DocumentView::TextBox;

namespace {

constexpr int Units = 1'000'000; // of ten characters each

struct ResultBox : ResultText
{
    QString text;
    void SetText(const QString &value) override { text = value; }
};

QString grouped(qint64 n)
{
    return QLocale().toString(n);
}

} // namespace

class tst_BigInput : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { initTestEnvironment(); }

    void tenMillionCharacters_data();
    void tenMillionCharacters();
    void bigPatternFile_data();
    void bigPatternFile();
};

void tst_BigInput::tenMillionCharacters_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("unit"); // the source is this, Units times
    QTest::addColumn<bool>("global");
    QTest::addColumn<bool>("multiline");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("first"); // the first unit after Replace
    QTest::addColumn<QString>("rest");  // every other unit after Replace
    QTest::addColumn<int>("matches");

    QTest::newRow("a million digit pairs swapped") << "(\\d)(\\d)"
                                                   << "abcdef 12 " << true << false << "$2$1"
                                                   << "abcdef 21 "
                                                   << "abcdef 21 " << Units;
    QTest::newRow("line starts after CR LF in multiline mode") << "^a"
                                                               << "abcdefgh\r\n"
                                                               << true << true << "A"
                                                               << "Abcdefgh\r\n"
                                                               << "Abcdefgh\r\n"
                                                               << Units;
    QTest::newRow("a million empty matches") << "(?=1)"
                                             << "abcdef 12 " << true << false << "<"
                                             << "abcdef <12 "
                                             << "abcdef <12 " << Units;
    QTest::newRow("first match only without Global") << "\\d+"
                                                     << "abcdef 12 " << false << false << "$&$&"
                                                     << "abcdef 1212 "
                                                     << "abcdef 12 " << 1;
    QTest::newRow("no match leaves the text") << "z"
                                              << "abcdef 12 " << true << false << "Q"
                                              << "abcdef 12 "
                                              << "abcdef 12 " << 0;
}

void tst_BigInput::tenMillionCharacters()
{
    QFETCH(QString, pattern);
    QFETCH(QString, unit);
    QFETCH(bool, global);
    QFETCH(bool, multiline);
    QFETCH(QString, replacement);
    QFETCH(QString, first);
    QFETCH(QString, rest);
    QFETCH(int, matches);
    const QString source = unit.repeated(Units);

    PlainResultsTree tree;
    RunRegExp(tree, pattern, source, global, false, multiline, false, false);
    const int shown = qMin(matches, MaxMatchNodes);
    const bool skipped = matches > MaxMatchNodes;
    QCOMPARE(tree.roots().size(), 1 + shown + (skipped ? 1 : 0));
    QCOMPARE(tree.item(tree.roots().first()).text,
             u"Total " + grouped(matches) + u" element(s) found");
    if (skipped)
        QCOMPARE(tree.item(tree.roots().last()).text, grouped(matches - MaxMatchNodes) +
                                                          u" element(s) of " + grouped(matches) +
                                                          u" were skipped");

    ResultBox box;
    ReplaceRegExp(box, pattern, source, replacement, global, false, multiline);
    QCOMPARE(box.text.size(), first.size() + rest.size() * (Units - 1));
    QVERIFY(box.text == first + rest.repeated(Units - 1));

    ScriptedResponder responder;
    responder.button(MsgBoxButton::OK);
    RunRegExp(tree, pattern, source, global, false, multiline, true, false);
    QCOMPARE(responder.last().text, matches ? QStringLiteral("Match.") : "Do not match.");
}

void tst_BigInput::bigPatternFile_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<bool>("loads");

    QTest::newRow("100 MB loads") << qint64(100'000'000) << true;
    QTest::newRow("over the read limit is refused with the load message")
        << TextFile::MaxReadBytes + 2 << false;
}

void tst_BigInput::bigPatternFile()
{
    QFETCH(qint64, bytes);
    QFETCH(bool, loads);
    const QString path = testScratchDir() + u"/big.RegExp";
    const QString nul(QChar(0));
    // UTF-16LE with a byte-order mark: two bytes for the mark, two a character.
    const QString source(qsizetype((bytes - 2) / 2 - 20), u's');
    const QString content =
        u"p+" + nul + source + nul + u"r" + nul + u"1" + nul + u"0" + nul + u"1" + nul + u"0";
    if (loads) {
        TextFile::instance().WriteText(path, content);
        QCOMPARE(QFileInfo(path).size(), 2 + 2 * content.size());
    } else {
        // Sparse: the size alone is refused, before any reading.
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.resize(bytes));
    }

    CDocument document;
    FakeView view(document);
    document.Init(view);
    ScriptedResponder responder;
    if (!loads)
        responder.button(MsgBoxButton::Cancel);
    QCOMPARE(document.LoadAs(path), loads);
    QCOMPARE(responder.pending(), 0);
    if (loads) {
        QCOMPARE(view.text(TextBox::txtPattern), QStringLiteral("p+"));
        QVERIFY(view.text(TextBox::txtSourceString) == source);
        QCOMPARE(document.FileName(), path);
        QVERIFY(!document.IsDirty());
    } else {
        QVERIFY(responder.last().text.contains(QStringLiteral("Can't load file.")));
        QVERIFY(view.text(TextBox::txtSourceString).isEmpty());
        QVERIFY(document.FileName().isEmpty());
    }
    QFile::remove(path);
}

QTEST_MAIN(tst_BigInput)
#include "tst_biginput.moc"
