// Big inputs: a 10-million-character source through Execute, Replace and Test, and a 100 MB
// pattern file.

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
    void bigPatternFile();
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

void tst_BigInput::bigPatternFile()
{
    // Just under the cap: UTF-16LE with a byte-order mark, two bytes a character.
    const QString path = testScratchDir() + u"/big.RegExp";
    const QString source(qsizetype(TextFile::MaxReadBytes / 2 - 20), u's');
    TextFile files;
    files.WriteText(path, QStringList{QStringLiteral("p+"), source, QStringLiteral("r"),
                                      QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("1"),
                                      QStringLiteral("0")}
                              .join(QChar(0)));

    ScriptedResponder noMessages;
    CDocument document(files, noMessages);
    FakeView view(document);
    document.Init(view);
    QVERIFY(document.LoadAs(path));
    QCOMPARE(view.text(TextBoxId::txtPattern), QStringLiteral("p+"));
    QVERIFY(view.text(TextBoxId::txtSourceString) == source);
    QVERIFY(!document.IsDirty());
    QFile::remove(path);
}

QTEST_MAIN(tst_BigInput)
#include "tst_biginput.moc"
