// Big inputs: a 10-million-character source through Execute, Replace and Test, and pattern
// files at the cap on characters read.

#include "document/cdocument.h"
#include "runner/modregexp.h"
#include "runner/resulttext.h"
#include "support/messagebox.h"
#include "support/textfile.h"
#include "tests/document/fakeview.h"
#include "tests/support/plainresultstree.h"
#include "tests/support/scriptedresponder.h"
#include "tests/support/testenvironment.h"

#include <QFile>
#include <QTest>

#include <utility>

using TextBoxId = DocumentView::TextBoxId;

namespace {

constexpr int Units = 1'000'000; // of ten characters each

struct ResultBox : ResultText
{
    QString text;
    void SetText(const QString &value) override { text = value; }
};

} // namespace

class tst_BigInput : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { initTestEnvironment(); }

    void tenMillionCharacters_data();
    void tenMillionCharacters();
    void fileAtTheCap_data();
    void fileAtTheCap();
    void tooLargeToReadBackIsNotSaved();
};

// Multiline on throughout; without Global only the first unit changes.
void tst_BigInput::tenMillionCharacters_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("unit"); // the source is this, Units times
    QTest::addColumn<bool>("global");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("replaced"); // the first unit after Replace
    QTest::addColumn<int>("matches");

    const auto row = [](const char *name, const char *pattern, const char *unit, bool global,
                        const char *replacement, const char *replaced, int matches) {
        QTest::newRow(name) << QString(pattern) << QString(unit) << global << QString(replacement)
                            << QString(replaced) << matches;
    };
    const char *unit = "abcdef 12 ";
    row("a million digit pairs swapped", "(\\d)(\\d)", unit, true, "$2$1", "abcdef 21 ", Units);
    row("line starts after CR LF", "^a", "abcdefgh\r\n", true, "A", "Abcdefgh\r\n", Units);
    row("a million empty matches", "(?=1)", unit, true, "<", "abcdef <12 ", Units);
    row("first match only without Global", "\\d+", unit, false, "$&$&", "abcdef 1212 ", 1);
}

void tst_BigInput::tenMillionCharacters()
{
    QFETCH(QString, pattern);
    QFETCH(QString, unit);
    QFETCH(bool, global);
    QFETCH(QString, replacement);
    QFETCH(QString, replaced);
    QFETCH(int, matches);
    const QString source = unit.repeated(Units);

    ScriptedResponder responder;
    PlainResultsTree tree;
    RunRegExp(responder, tree, pattern, source, {global, false, true}, RunCommand::Execute);
    // The match nodes and the skip node.
    QCOMPARE(tree.roots().size(), matches > MaxMatchNodes ? MaxMatchNodes + 2 : matches + 1);
    QCOMPARE(tree.item(tree.roots().first()).text,
             u"Total " + QLocale().toString(matches) + u" element(s) found");

    ResultBox box;
    ReplaceRegExp(responder, box, pattern, source, replacement, {global, false, true});
    const QString rest = global ? replaced : unit;
    QCOMPARE(box.text.size(), replaced.size() + rest.size() * (Units - 1));
    QVERIFY(box.text == replaced + rest.repeated(Units - 1));

    responder.button(MsgBoxButton::OK);
    RunRegExp(responder, tree, pattern, source, {global, false, true}, RunCommand::Test);
    QCOMPARE(responder.last().text, matches ? QStringLiteral("Match.") : "Do not match.");
}

void tst_BigInput::fileAtTheCap_data()
{
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<int>("overCap"); // characters past the cap: 0 loads, saves and reopens

    for (const char *encoding :
         {"UTF-8", "UTF-8 with byte-order mark", "UTF-16LE", "UTF-16BE", "Windows-1252"})
        QTest::newRow(encoding) << QString::fromLatin1(encoding) << 0;
    QTest::newRow("UTF-8, a character too many, refused") << QStringLiteral("UTF-8") << 1;
}

void tst_BigInput::fileAtTheCap()
{
    QFETCH(QString, encoding);
    QFETCH(int, overCap);

    // The source of é (two bytes in UTF-8, one in Windows-1252) fills the file to the cap.
    const QStringList head{QStringLiteral("p+")};
    const QStringList tail{QStringLiteral("r"), QStringLiteral("1"), QStringLiteral("0"),
                           QStringLiteral("1"), QStringLiteral("0")};
    const qsizetype fixed = QStringList(head + tail).join(QChar(0)).size() + 1;
    QString content =
        QStringList(head + QStringList{QString(TextFile::MaxChars - fixed + overCap, QChar(0xE9))} +
                    tail)
            .join(QChar(0));
    QCOMPARE(content.size(), TextFile::MaxChars + overCap);
    QByteArray bytes;
    if (encoding.startsWith(u"UTF-8"))
        bytes = (encoding.contains(u"mark") ? QByteArray("\xEF\xBB\xBF") : QByteArray()) +
                content.toUtf8();
    else if (encoding == u"UTF-16LE")
        bytes = TextFile::encode(content);
    else if (encoding == u"UTF-16BE")
        bytes = QByteArray("\xFE\xFF") +
                QByteArray(reinterpret_cast<const char *>(content.utf16()), content.size() * 2);
    else
        bytes = content.toLatin1();
    if (encoding == u"UTF-16BE") {
        for (qsizetype i = 2; i < bytes.size(); i += 2)
            std::swap(bytes[i], bytes[i + 1]);
    }
    const QString path = testScratchDir() + u"/cap.RegExp";
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }
    bytes.clear();

    TextFile files;
    ScriptedResponder responder;
    CDocument document(files, responder);
    FakeView view(document);
    document.Init(view);
    if (overCap) {
        responder.button(MsgBoxButton::Cancel);
        QVERIFY(!document.LoadAs(path));
        QVERIFY2(responder.last().text.contains(u"at most " + QString::number(TextFile::MaxChars)),
                 qPrintable(responder.last().text));
    } else {
        // Whatever the program saves from it, it opens again.
        QVERIFY(document.LoadAs(path));
        QStringList fields = view.m_fields;
        fields[0] = QStringLiteral("q+");
        view.edit(fields);
        QVERIFY(document.Save());
        QVERIFY(document.LoadAs(path));
        content.replace(0, 2, QStringLiteral("q+"));
        QVERIFY(view.text(TextBoxId::txtSourceString) == content.section(QChar(0), 1, 1));
        QCOMPARE(view.text(TextBoxId::txtPattern), QStringLiteral("q+"));
        QVERIFY(!document.IsDirty());
    }
    QFile::remove(path);
}

void tst_BigInput::tooLargeToReadBackIsNotSaved()
{
    const QString path = testScratchDir() + u"/over.RegExp";
    TextFile files;
    files.WriteText(path, QStringLiteral("old"));
    ScriptedResponder responder;
    CDocument document(files, responder);
    FakeView view(document);
    document.Init(view);
    view.edit({QStringLiteral("p"), QString(TextFile::MaxChars, u's'), "", "0", "0", "0", "0"});
    responder.chooseFile(path).button(MsgBoxButton::Cancel);
    QVERIFY(!document.SaveAs());
    QVERIFY2(responder.last().text.contains(u"too large to be opened again"),
             qPrintable(responder.last().text));
    QVERIFY(document.IsDirty());
    QCOMPARE(files.ReadText(path), QStringLiteral("old"));
    QFile::remove(path);
}

QTEST_MAIN(tst_BigInput)
#include "tst_biginput.moc"
