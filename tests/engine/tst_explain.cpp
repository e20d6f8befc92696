// Explain: every pattern of the conformance vectors explained, its spans covering the pattern
// in order; kinds, groups and the lines where this dialect differs.

#include "runner/engine/explain.h"
#include "runner/engine/scanner.h"
#include "tools/regexp-run/jsonline.h"

#include <QFile>
#include <QSet>
#include <QTest>

#include <functional>

namespace {

std::u16string u16(const QString &s)
{
    return s.toStdU16String();
}

// Empty when the nodes lie in order inside [from, to), each child inside its parent; else what
// is wrong.
QString checkSpans(const std::vector<engine::ExplainNode> &nodes, int from, int to)
{
    int at = from;
    for (const engine::ExplainNode &n : nodes) {
        if (n.start < at || n.start + n.length > to || n.length < 0)
            return QStringLiteral("node at %1+%2 outside %3..%4")
                .arg(n.start)
                .arg(n.length)
                .arg(at)
                .arg(to);
        if (n.text.empty())
            return QStringLiteral("node at %1 has no text").arg(n.start);
        const QString inner = checkSpans(n.children, n.start, n.start + n.length);
        if (!inner.isEmpty())
            return inner;
        at = n.start + n.length;
    }
    return {};
}

// "kind start+length" of every node, depth first, joined by " / ".
QString outline(const std::vector<engine::ExplainNode> &nodes)
{
    QStringList out;
    std::function<void(const engine::ExplainNode &)> visit = [&](const engine::ExplainNode &n) {
        out << QStringLiteral("%1 %2+%3")
                   .arg(QString::fromLatin1(engine::kindName(n.kind)))
                   .arg(n.start)
                   .arg(n.length);
        for (const engine::ExplainNode &c : n.children)
            visit(c);
    };
    for (const engine::ExplainNode &n : nodes)
        visit(n);
    return out.join(QStringLiteral(" / "));
}

const engine::ExplainNode *find(const std::vector<engine::ExplainNode> &nodes, int start,
                                engine::ExplainKind kind)
{
    for (const engine::ExplainNode &n : nodes) {
        if (n.start == start && n.kind == kind)
            return &n;
        if (const engine::ExplainNode *inner = find(n.children, start, kind))
            return inner;
    }
    return nullptr;
}

} // namespace

class tst_Explain : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyConformancePatternCovered();
    void outlineOfPattern_data();
    void outlineOfPattern();
    void lineSaysThisDialect_data();
    void lineSaysThisDialect();
    void invalidPatternGivesTheRunsError();
};

void tst_Explain::everyConformancePatternCovered()
{
    int explained = 0;
    QSet<QString> seen;
    for (const char *file : {"es3-vectors.jsonl", "es3-more-vectors.jsonl"}) {
        QFile f(QStringLiteral(SIEVEWRIGHT_SOURCE_DIR "/tests/conformance/data/") +
                QLatin1String(file));
        QVERIFY(f.open(QIODevice::ReadOnly));
        while (!f.atEnd()) {
            const QByteArray line = f.readLine().trimmed();
            JsonObject o;
            std::string error;
            QVERIFY(parseJsonObject(std::string_view(line.constData(), line.size()), o, error));
            const std::u16string pattern = o["pattern"].text;
            const QString key = QString::fromStdU16String(pattern);
            if (seen.contains(key))
                continue;
            seen.insert(key);
            const engine::Explanation e = engine::Explain(pattern);
            const engine::ScanResult scan = engine::Scan(pattern);
            QCOMPARE(e.errorNumber, scan.errorNumber);
            if (!e.valid())
                continue;
            ++explained;
            const int length = static_cast<int>(pattern.size());
            QVERIFY2(checkSpans(e.nodes, 0, length).isEmpty(),
                     qPrintable(key + QStringLiteral(": ") + checkSpans(e.nodes, 0, length)));
            // The top-level nodes cover the pattern with no gap.
            int at = 0;
            for (const engine::ExplainNode &n : e.nodes) {
                QVERIFY2(n.start == at, qPrintable(key));
                at = n.start + n.length;
            }
            QVERIFY2(at == length, qPrintable(key));
            // Each capturing group where the scanner saw it open, with its number.
            for (const engine::Token &t : scan.tokens) {
                if (t.group == 0)
                    continue;
                const engine::ExplainNode *g = find(e.nodes, t.start, engine::ExplainKind::Group);
                QVERIFY2(g && g->group == t.group, qPrintable(key));
            }
        }
    }
    QVERIFY(explained > 300);
}

void tst_Explain::outlineOfPattern_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("expected");
    QTest::newRow("adjacent characters are one literal")
        << QStringLiteral("abc") << QStringLiteral("literal 0+3");
    QTest::newRow("a quantifier takes the last character only")
        << QStringLiteral("abc+") << QStringLiteral("literal 0+2 / quantifier 2+2 / literal 2+1");
    QTest::newRow("an escape stands alone")
        << QStringLiteral(R"~(a\nb)~") << QStringLiteral("literal 0+1 / escape 1+2 / literal 3+1");
    QTest::newRow("class members and ranges")
        << QStringLiteral(R"~([a-z\d_])~")
        << QStringLiteral("class 0+8 / range 1+3 / class-escape 4+2 / member 6+1");
    QTest::newRow("dash beside a class escape is a member")
        << QStringLiteral(R"~([\d-z])~")
        << QStringLiteral("class 0+6 / class-escape 1+2 / member 3+1 / member 4+1");
    QTest::newRow("alternatives of one item and several")
        << QStringLiteral("a|bc+")
        << QStringLiteral("alternation 0+5 / literal 0+1 / alternative 2+3 / literal 2+1 / "
                          "quantifier 3+2 / literal 3+1");
    QTest::newRow("empty alternative")
        << QStringLiteral("a|") << QStringLiteral("alternation 0+2 / literal 0+1 / empty 2+0");
    QTest::newRow("groups nest")
        << QStringLiteral("(?:(a)|(?=b))")
        << QStringLiteral("non-capturing 0+13 / alternation 3+9 / group 3+3 / literal 4+1 / "
                          "lookahead 7+5 / literal 10+1");
    QTest::newRow("lazy counted quantifier")
        << QStringLiteral("x{2,3}?") << QStringLiteral("quantifier 0+7 / literal 0+1");
    QTest::newRow("back-reference then digit")
        << QStringLiteral(R"~((a)\12)~")
        << QStringLiteral("group 0+3 / literal 1+1 / back-reference 3+2 / literal 5+1");
    QTest::newRow("anchors") << QStringLiteral(R"~(^\b$)~")
                             << QStringLiteral("line-start 0+1 / word-boundary 1+2 / line-end 3+1");
    QTest::newRow("empty pattern") << QString() << QStringLiteral("empty 0+0");
}

void tst_Explain::outlineOfPattern()
{
    QFETCH(QString, pattern);
    QFETCH(QString, expected);
    QCOMPARE(outline(engine::Explain(u16(pattern)).nodes), expected);
}

void tst_Explain::lineSaysThisDialect_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("multiline");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("phrase");
    const auto row = [](const char *name, const QString &p, bool multiline, int start,
                        engine::ExplainKind kind, const char *phrase) {
        QTest::newRow(name) << p << multiline << start << static_cast<int>(kind)
                            << QString::fromUtf8(phrase);
    };
    row("\\z is the letter z", QStringLiteral(R"~(a\z)~"), false, 1, engine::ExplainKind::Escape,
        "the letter z; elsewhere \\z is the end of the text: use $ without Multiline");
    row("\\p{L} is the letter p", QStringLiteral(R"~(\p{L})~"), false, 0,
        engine::ExplainKind::Escape, "the letter p and then {L}");
    row("dot takes a CR", QStringLiteral("."), false, 0, engine::ExplainKind::Any, "a CR matches");
    row("dot under Multiline keeps the CR", QStringLiteral(".*$"), true, 0,
        engine::ExplainKind::Any, ".*$ keeps the CR of a CR LF line");
    row("$ under Multiline between CR and LF", QStringLiteral("a$"), true, 1,
        engine::ExplainKind::LineEnd, "between the CR and LF of a pair");
    row("$ without Multiline", QStringLiteral("a$"), false, 1, engine::ExplainKind::LineEnd,
        "not before a final line break");
    row("\\s is six characters", QStringLiteral(R"~(\s)~"), false, 0,
        engine::ExplainKind::ClassEscape, "one of six characters");
    row("\\w is ASCII", QStringLiteral(R"~(\w)~"), false, 0, engine::ExplainKind::ClassEscape,
        "ASCII only");
    row("\\1 before its group is octal", QStringLiteral(R"~(\1(a))~"), false, 0,
        engine::ExplainKind::Escape, "an octal code (no group 1 opens to its left)");
    row("reference inside its group is empty", QStringLiteral(R"~((a\1))~"), false, 2,
        engine::ExplainKind::BackReference, "always empty here");
    row("\\12 with one group", QStringLiteral(R"~((a)\12)~"), false, 3,
        engine::ExplainKind::BackReference, "the 2 after it is a digit");
    row("A-z takes six more", QStringLiteral("[A-z]"), false, 1, engine::ExplainKind::Range,
        "between Z and a");
    row("lazy quantifier", QStringLiteral("a+?"), false, 0, engine::ExplainKind::Quantifier,
        "one or more times, as few as possible");
    row("\\x41 is A", QStringLiteral(R"~(\x41)~"), false, 0, engine::ExplainKind::Escape,
        "the character A (U+0041)");
}

void tst_Explain::lineSaysThisDialect()
{
    QFETCH(QString, pattern);
    QFETCH(bool, multiline);
    QFETCH(int, start);
    QFETCH(int, kind);
    QFETCH(QString, phrase);
    const engine::Explanation e = engine::Explain(u16(pattern), {false, multiline});
    const engine::ExplainNode *n = find(e.nodes, start, static_cast<engine::ExplainKind>(kind));
    QVERIFY(n);
    const QString text = QString::fromStdU16String(n->text);
    QVERIFY2(text.contains(phrase), qPrintable(text));
}

void tst_Explain::invalidPatternGivesTheRunsError()
{
    const engine::Explanation e = engine::Explain(u"a(b");
    QCOMPARE(e.errorNumber, 5020);
    QCOMPARE(e.errorPosition, 3);
    QVERIFY(e.nodes.empty());
}

QTEST_GUILESS_MAIN(tst_Explain)
#include "tst_explain.moc"
