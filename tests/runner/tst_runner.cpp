#include "runner/modregexp.h"
#include "runner/plainresultstree.h"
#include "runner/resulttext.h"
#include "support/messagebox.h"
#include "tests/support/scriptedresponder.h"
#include "tests/support/testenvironment.h"

#include <QTest>

namespace {

struct ResultBox : ResultText
{
    QString text = QStringLiteral("old result");
    int sets = 0;
    void SetText(const QString &value) override
    {
        text = value;
        ++sets;
    }
};

QStringList rootTexts(const PlainResultsTree &tree)
{
    QStringList texts;
    for (ResultsTree::Node node : tree.roots())
        texts.append(tree.item(node).text);
    return texts;
}

void execute(PlainResultsTree &tree, const QString &pattern, const QString &source,
             bool global = true, bool ignoreCase = false, bool multiline = false)
{
    RunRegExp(tree, pattern, source, global, ignoreCase, multiline, false, false);
}

} // namespace

class tst_Runner : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { initTestEnvironment(); }

    void matchCounts_data();
    void matchCounts();
    void labels_data();
    void labels();
    void twelveGroups();
    void invalidPatternExecuteEmptiesTree();
    void invalidPatternTestKeepsTree();
    void testVerdict_data();
    void testVerdict();
    void replace_data();
    void replace();
    void invalidPatternReplaceLeavesBoxEmpty();
    void exportOnlyForOpenInExcel();
};

void tst_Runner::matchCounts_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("skipText");

    QTest::newRow("no match has the totals node alone") << 0 << QString();
    QTest::newRow("one match") << 1 << QString();
    QTest::newRow("nine matches") << 9 << QString();
    QTest::newRow("ten matches") << 10 << QString();
    QTest::newRow("exactly 100 matches, no skip node") << 100 << QString();
    QTest::newRow("101 matches skip one") << 101 << "1 element(s) of 101 were skipped";
    QTest::newRow("150 matches skip 50") << 150 << "50 element(s) of 150 were skipped";
    QTest::newRow("grouped digits in totals and skip")
        << 1500 << "1,400 element(s) of 1,500 were skipped";
}

void tst_Runner::matchCounts()
{
    QFETCH(int, count);
    QFETCH(QString, skipText);

    PlainResultsTree tree;
    tree.AddRoot("stale", "IDI_INFO");
    execute(tree, "x", QString(count, u'x'));

    const int shown = qMin(count, MaxMatchNodes);
    const QList<ResultsTree::Node> &roots = tree.roots();
    QCOMPARE(roots.size(), 1 + shown + (skipText.isEmpty() ? 0 : 1));
    QCOMPARE(tree.item(roots.first()).text,
             count == 1500 ? QStringLiteral("Total 1,500 element(s) found")
                           : u"Total " + QString::number(count) + u" element(s) found");
    QCOMPARE(tree.item(roots.first()).iconKey, QStringLiteral("IDI_INFO"));
    QVERIFY(!tree.item(roots.first()).expanded);
    for (int k = 1; k <= shown; ++k) {
        const auto &item = tree.item(roots.at(k));
        QCOMPARE(item.iconKey,
                 k <= 9 ? u"IDI_MATCH_" + QString::number(k) : QStringLiteral("IDI_MATCH"));
        QCOMPARE(item.text, u"x [" + QString::number(k) + u":1]");
        QVERIFY(item.expanded);
        QVERIFY(item.children.isEmpty());
    }
    if (!skipText.isEmpty()) {
        QCOMPARE(tree.item(roots.last()).text, skipText);
        QCOMPARE(tree.item(roots.last()).iconKey, QStringLiteral("IDI_WARNING"));
        QVERIFY(!tree.item(roots.last()).expanded);
    }
}

void tst_Runner::labels_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QStringList>("matchLabels");
    QTest::addColumn<QStringList>("subLabels");

    QTest::newRow("match at the start is 1-based")
        << "abc"
        << "abcdef" << QStringList{"abc [1:3]"} << QStringList{};
    QTest::newRow("empty match at offset 4") << "(?=e)"
                                             << "abcde" << QStringList{" [5:0]"} << QStringList{};
    QTest::newRow("submatches show their lengths")
        << "(\\d+)-(\\d*)"
        << "a 12- b" << QStringList{"12- [3:3]"} << QStringList{"12 [2]", " [0]"};
    QTest::newRow("surrogate pairs count two code units")
        << "(.+)" << QString::fromUtf16(u"\U0001F600\u00E9")
        << QStringList{QString::fromUtf16(u"\U0001F600\u00E9 [1:3]")}
        << QStringList{QString::fromUtf16(u"\U0001F600\u00E9 [3]")};
}

void tst_Runner::labels()
{
    QFETCH(QString, pattern);
    QFETCH(QString, source);
    QFETCH(QStringList, matchLabels);
    QFETCH(QStringList, subLabels);

    PlainResultsTree tree;
    execute(tree, pattern, source, false);
    QCOMPARE(rootTexts(tree).mid(1), matchLabels);
    QStringList subs;
    for (ResultsTree::Node node : tree.item(tree.roots().at(1)).children) {
        subs.append(tree.item(node).text);
        QVERIFY(tree.item(node).expanded);
    }
    QCOMPARE(subs, subLabels);
}

void tst_Runner::twelveGroups()
{
    PlainResultsTree tree;
    execute(tree, "(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)(l)?(m)?", "abcdefghijkm abcdefghijklm");
    QCOMPARE(tree.roots().size(), 3);
    for (int k = 1; k <= 2; ++k) {
        const QList<ResultsTree::Node> &children = tree.item(tree.roots().at(k)).children;
        QCOMPARE(children.size(), 13);
        for (int j = 1; j <= 13; ++j) {
            QCOMPARE(tree.item(children.at(j - 1)).iconKey,
                     j <= 9 ? u"IDI_SUBMATCH_" + QString::number(j)
                            : QStringLiteral("IDI_SUBMATCH"));
        }
    }
    const QList<ResultsTree::Node> &first = tree.item(tree.roots().at(1)).children;
    QCOMPARE(tree.item(first.at(11)).text, QStringLiteral(" [0]"));
    QCOMPARE(tree.item(first.at(12)).text, QStringLiteral("m [1]"));
}

void tst_Runner::invalidPatternExecuteEmptiesTree()
{
    PlainResultsTree tree;
    execute(tree, "a", "aaa");
    QVERIFY(tree.nodeCount() > 0);
    ScriptedResponder responder;
    responder.button(MsgBoxButton::OK);
    int exports = 0;
    RunRegExp(tree, "(a", "aaa", true, false, false, false, true,
              [&](const engine::MatchCollection &) { ++exports; });
    QCOMPARE(tree.nodeCount(), 0);
    QCOMPARE(exports, 0);
    QCOMPARE(responder.shown().size(), 1);
    QCOMPARE(responder.last().style, 16);
    QVERIFY(responder.last().text.startsWith("RegExp.Execute has failed.\n\n"));
    QVERIFY2(responder.last().text.contains("5020"), qPrintable(responder.last().text));
}

void tst_Runner::invalidPatternTestKeepsTree()
{
    PlainResultsTree tree;
    execute(tree, "a", "aaa");
    const QStringList before = rootTexts(tree);
    ScriptedResponder responder;
    responder.button(MsgBoxButton::OK);
    RunRegExp(tree, "a**", "aaa", true, false, false, true, false);
    QCOMPARE(rootTexts(tree), before);
    QCOMPARE(responder.shown().size(), 1);
    QVERIFY(responder.last().text.startsWith("RegExp.Test has failed."));
}

void tst_Runner::testVerdict_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("ignoreCase");
    QTest::addColumn<QString>("verdict");

    QTest::newRow("match") << "B" << true << "Match.";
    QTest::newRow("no match") << "B" << false << "Do not match.";
}

void tst_Runner::testVerdict()
{
    QFETCH(QString, pattern);
    QFETCH(bool, ignoreCase);
    QFETCH(QString, verdict);

    PlainResultsTree tree;
    tree.AddRoot("kept", "IDI_INFO");
    ScriptedResponder responder;
    responder.button(MsgBoxButton::OK);
    RunRegExp(tree, pattern, "abc", false, ignoreCase, false, true, false);
    QCOMPARE(responder.last().text, verdict);
    QCOMPARE(responder.last().style, 64);
    QCOMPARE(responder.last().caption, QStringLiteral("Brackwen - Sievewright"));
    QCOMPARE(rootTexts(tree), QStringList{"kept"});
}

void tst_Runner::replace_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<bool>("global");
    QTest::addColumn<QString>("result");

    QTest::newRow("global replaces every match") << "o"
                                                 << "0" << true << "f00 b00";
    QTest::newRow("not global replaces the first") << "o"
                                                   << "0" << false << "f0o boo";
    QTest::newRow("group tokens") << "(\\w+) (\\w+)"
                                  << "$2 $1" << false << "boo foo";
    QTest::newRow("whole match and dollar") << "b"
                                            << "[$&$$]" << true << "foo [b$]oo";
    QTest::newRow("non-matching pattern leaves the source") << "z"
                                                            << "!" << true << "foo boo";
    QTest::newRow("line breaks of the replacement kept") << " "
                                                         << "\r\n"
                                                         << true << "foo\r\nboo";
}

void tst_Runner::replace()
{
    QFETCH(QString, pattern);
    QFETCH(QString, replacement);
    QFETCH(bool, global);
    QFETCH(QString, result);

    ResultBox box;
    ReplaceRegExp(box, pattern, "foo boo", replacement, global, false, false);
    QCOMPARE(box.text, result);
    QCOMPARE(box.sets, 2);
}

void tst_Runner::invalidPatternReplaceLeavesBoxEmpty()
{
    ResultBox box;
    ScriptedResponder responder;
    responder.button(MsgBoxButton::OK);
    ReplaceRegExp(box, "[a", "abc", "x", true, false, false);
    QCOMPARE(box.text, QString());
    QVERIFY(responder.last().text.startsWith("RegExp.Replace has failed."));
    QCOMPARE(responder.last().style, 16);
}

void tst_Runner::exportOnlyForOpenInExcel()
{
    PlainResultsTree tree;
    QList<int> exported;
    const MatchExporter exporter = [&](const engine::MatchCollection &m) {
        exported.append(m.Count());
    };
    RunRegExp(tree, "a", "aXa", true, false, false, false, false, exporter);
    QVERIFY(exported.isEmpty());
    RunRegExp(tree, "a", "aXa", true, false, false, false, true, exporter);
    QCOMPARE(exported, QList<int>{2});
    QCOMPARE(tree.roots().size(), 3);
    // Without an exporter the command fills the tree like Execute.
    RunRegExp(tree, "a", "a", true, false, false, false, true);
    QCOMPARE(tree.roots().size(), 2);
}

QTEST_MAIN(tst_Runner)
#include "tst_runner.moc"
