// Scan: the kind of every position, bracket partners, group numbers and the first error, each
// against what a run makes of the same pattern.

#include "runner/engine/regexp.h"
#include "runner/engine/scanner.h"

#include <QTest>

namespace {

std::u16string u16(const QString &s)
{
    return s.toStdU16String();
}

char letter(engine::TokenKind kind)
{
    switch (kind) {
    case engine::TokenKind::Literal:
        return 'l';
    case engine::TokenKind::Escape:
        return 'e';
    case engine::TokenKind::IdentityEscape:
        return 'i';
    case engine::TokenKind::CharClass:
        return 'c';
    case engine::TokenKind::Group:
        return 'g';
    case engine::TokenKind::Alternation:
        return '|';
    case engine::TokenKind::Quantifier:
        return 'q';
    case engine::TokenKind::LazyQuantifier:
        return 'z';
    case engine::TokenKind::Anchor:
        return 'a';
    case engine::TokenKind::BackReference:
        return 'r';
    }
    return '?';
}

// One letter per position of the pattern; "-" where no span covers it.
QString kinds(const QString &pattern, const engine::ScanResult &scan)
{
    QString out(pattern.size(), u'-');
    for (const engine::Token &t : scan.tokens)
        for (int i = t.start; i < t.start + t.length; ++i)
            out[i] = QLatin1Char(letter(t.kind));
    return out;
}

} // namespace

class tst_Scanner : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void kindOfEachPosition_data();
    void kindOfEachPosition();
    void errorIsTheRunsError_data();
    void errorIsTheRunsError();
    void bracketsAndGroups_data();
    void bracketsAndGroups();
};

void tst_Scanner::kindOfEachPosition_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("expected");

    // l literal, e escape, i identity escape, c class, g group, | alternation, q quantifier,
    // z lazy quantifier, a anchor or boundary, r back-reference, - after the error.
    QTest::newRow("identity escapes are their letters") << R"(\z\A\p{L})"
                                                        << "iiiiiilll";
    QTest::newRow("\\x with one hex digit is x") << R"(\x4\x41)"
                                                 << "iileeee";
    QTest::newRow("\\u without four hex digits is u") << R"(\u12\u0041)"
                                                      << "iilleeeeee";
    QTest::newRow("\\c with a digit is c") << R"(\c1\cA)"
                                           << "iileee";
    QTest::newRow("\\1 after its group is a back-reference") << R"((a)\1)"
                                                             << "glgrr";
    QTest::newRow("\\1 before any group is octal") << R"(\1(a))"
                                                   << "eeglg";
    QTest::newRow("\\12 with one group: group 1 then 2") << R"((a)\12)"
                                                         << "glgrrl";
    QTest::newRow("\\12 with twelve groups")
        << QStringLiteral("(").repeated(12) + "a" + QStringLiteral(")").repeated(12) + "\\12"
        << QStringLiteral("g").repeated(12) + "l" + QStringLiteral("g").repeated(12) + "rrr";
    QTest::newRow("\\8 is the digit") << R"(\8)"
                                      << "ii";
    QTest::newRow("octal runs") << R"(\0\0011)"
                                << "eeeeeel";
    QTest::newRow("] first ends an empty class") << "[]a]"
                                                 << "ccll";
    QTest::newRow("classes and class escapes") << R"(.\d[^\w-z])"
                                               << "cccccccllc";
    QTest::newRow("range dash, dash at the end") << "[a-z-]"
                                                 << "clcllc";
    QTest::newRow("escapes inside a class") << R"([\b\B\1])"
                                            << "ceeiieec";
    QTest::newRow("greedy and lazy quantifiers") << "a*?b+c{2,3}?"
                                                 << "lzzlqlzzzzzz";
    QTest::newRow("brace that is no quantifier") << "a{,2}"
                                                 << "lllll";
    QTest::newRow("anchors and boundaries") << R"(^\bx\B$)"
                                            << "aaalaaa";
    QTest::newRow("group kinds") << "(?:a|b)(?=c)(?!d)"
                                 << "gggl|lgggglgggglg";
    QTest::newRow("empty alternative") << "a|"
                                       << "l|";
    QTest::newRow("nothing after the error") << "ab)cd"
                                             << "ll---";
}

void tst_Scanner::kindOfEachPosition()
{
    QFETCH(QString, pattern);
    QFETCH(QString, expected);
    QCOMPARE(kinds(pattern, engine::Scan(u16(pattern))), expected);
}

void tst_Scanner::errorIsTheRunsError_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<int>("unclosed");

    QTest::newRow("valid") << R"((a|b)*\1)" << -1;
    QTest::newRow("unclosed group") << "x(a(b)" << 1;
    QTest::newRow("unclosed class in a group") << "(a[b" << 2;
    QTest::newRow("lone )") << "a)" << -1;
    QTest::newRow("quantifier on a quantifier") << "a**" << -1;
    QTest::newRow("nothing to repeat") << "|*" << -1;
    QTest::newRow("lookbehind") << "(?<=a)b" << -1;
    QTest::newRow("reversed range") << "[z-a]" << -1;
    QTest::newRow("reversed counts") << "a{3,2}" << -1;
    QTest::newRow("count over the limit") << "a{70000}" << -1;
    QTest::newRow("trailing backslash") << "ab\\" << -1;
    QTest::newRow("trailing backslash in a class") << "[a\\" << 0;
}

void tst_Scanner::errorIsTheRunsError()
{
    QFETCH(QString, pattern);
    QFETCH(int, unclosed);

    engine::RegExp re;
    re.setPattern(u16(pattern));
    int number = 0;
    std::u16string description;
    int position = -1;
    try {
        re.Execute(u"");
    } catch (const engine::RegExpError &e) {
        number = e.number();
        description = e.description();
        position = e.position();
    }
    const engine::ScanResult scan = engine::Scan(u16(pattern));
    QCOMPARE(scan.errorNumber, number);
    QVERIFY(scan.errorDescription == description);
    QCOMPARE(scan.errorPosition, position);
    QCOMPARE(scan.unclosedBracket, unclosed);
    QCOMPARE(scan.valid(), number == 0);
}

void tst_Scanner::bracketsAndGroups_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("partners"); // opening-closing, "?" for a missing partner
    QTest::addColumn<QString>("groups");   // offset=number for each capturing "("

    QTest::newRow("nested") << "(a[b](c))"
                            << "0-8 2-4 5-7"
                            << "0=1 5=2";
    QTest::newRow("non-capturing groups are not counted") << "(?:a)((?=b)c)"
                                                          << "0-4 5-12 6-10"
                                                          << "5=1";
    QTest::newRow("] first in a class") << "[]a]"
                                        << "0-1"
                                        << "";
    QTest::newRow("brackets in a class are members") << "[(]"
                                                     << "0-2"
                                                     << "";
    QTest::newRow("escaped brackets") << R"(\(a\))"
                                      << ""
                                      << "";
    QTest::newRow("unclosed") << "((a)"
                              << "0-? 1-3"
                              << "0=1 1=2";
}

void tst_Scanner::bracketsAndGroups()
{
    QFETCH(QString, pattern);
    QFETCH(QString, partners);
    QFETCH(QString, groups);

    QStringList pairs;
    QStringList numbers;
    for (const engine::Token &t : engine::Scan(u16(pattern)).tokens) {
        const QChar c = pattern.at(t.start);
        const bool bracket = t.kind == engine::TokenKind::Group ||
                             (t.kind == engine::TokenKind::CharClass && (c == '[' || c == ']'));
        if (bracket && (c == '(' || c == '['))
            pairs << QStringLiteral("%1-%2").arg(t.start).arg(
                t.partner < 0 ? QStringLiteral("?") : QString::number(t.partner));
        if (bracket && (c == ')' || c == ']'))
            QCOMPARE(pattern.at(t.partner) == '(' || pattern.at(t.partner) == '[', true);
        if (t.group > 0)
            numbers << QStringLiteral("%1=%2").arg(t.start).arg(t.group);
    }
    QCOMPARE(pairs.join(' '), partners);
    QCOMPARE(numbers.join(' '), groups);
}

QTEST_GUILESS_MAIN(tst_Scanner)
#include "tst_scanner.moc"
