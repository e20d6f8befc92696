// ReadReplacement: each part of a replacement as Replace reads it, checked against what Replace
// makes of the same text.

#include "runner/engine/regexp.h"
#include "runner/engine/replacementreading.h"

#include <QStringList>
#include <QTest>

class tst_ReplacementReading : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parts_data();
    void parts();
    void groupPartsAreWhatReplaceInserts();
};

namespace {

QString outline(const std::vector<engine::ReplacementPart> &parts)
{
    static const char *const Names[] = {"text",  "dollar", "match",  "before",
                                        "after", "group",  "foreign"};
    QStringList out;
    for (const engine::ReplacementPart &p : parts)
        out << QStringLiteral("%1 %2+%3")
                   .arg(QLatin1String(Names[static_cast<int>(p.kind)]))
                   .arg(p.start)
                   .arg(p.length);
    return out.join(QStringLiteral(" / "));
}

} // namespace

void tst_ReplacementReading::parts_data()
{
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<int>("groups");
    QTest::addColumn<QString>("expected");
    QTest::newRow("the four forms of other dialects")
        << QStringLiteral("$2 \\1 ${x} $$") << 2
        << QStringLiteral("group 0+2 / text 2+1 / foreign 3+2 / text 5+1 / foreign 6+4 / "
                          "text 10+1 / dollar 11+2");
    QTest::newRow("$12 with twelve groups")
        << QStringLiteral("$12") << 12 << QStringLiteral("group 0+3");
    QTest::newRow("$12 with one group is group 1 then 2")
        << QStringLiteral("$12") << 1 << QStringLiteral("group 0+2 / text 2+1");
    QTest::newRow("$0 is text") << QStringLiteral("<$0>") << 1
                                << QStringLiteral("text 0+1 / foreign 1+2 / text 3+1");
    QTest::newRow("$3 beyond the groups is text")
        << QStringLiteral("$3") << 2 << QStringLiteral("foreign 0+2");
    QTest::newRow("match, before, after")
        << QStringLiteral("$&$`$'") << 0 << QStringLiteral("match 0+2 / before 2+2 / after 4+2");
    QTest::newRow("lone $ at the end") << QStringLiteral("a$") << 0 << QStringLiteral("text 0+2");
    QTest::newRow("case changes are text")
        << QStringLiteral("\\U$1") << 1 << QStringLiteral("foreign 0+2 / group 2+2");
    QTest::newRow("\\n is text") << QStringLiteral("a\\nb") << 0
                                 << QStringLiteral("text 0+1 / foreign 1+2 / text 3+1");
    QTest::newRow("empty") << QString() << 0 << QString();
}

void tst_ReplacementReading::parts()
{
    QFETCH(QString, replacement);
    QFETCH(int, groups);
    QFETCH(QString, expected);
    const auto parts = engine::ReadReplacement(replacement.toStdU16String(), groups);
    QCOMPARE(outline(parts), expected);
    int at = 0;
    for (const engine::ReplacementPart &p : parts) {
        QCOMPARE(p.start, at);
        at += p.length;
    }
    QCOMPARE(at, replacement.size());
}

// Replace of "ab" by (a)(b) with each part alone gives exactly the text the part says.
void tst_ReplacementReading::groupPartsAreWhatReplaceInserts()
{
    const std::u16string replacement = u"[$1|$2|$21|$3|$0|$$|\\1]";
    engine::RegExp re;
    re.setPattern(u"(a)(b)");
    const std::u16string replaced = re.Replace(u"ab", replacement);
    std::u16string expected;
    for (const engine::ReplacementPart &p : engine::ReadReplacement(replacement, 2)) {
        const std::u16string_view piece =
            std::u16string_view(replacement)
                .substr(static_cast<std::size_t>(p.start), static_cast<std::size_t>(p.length));
        switch (p.kind) {
        case engine::ReplacementPart::Kind::Group:
            expected += p.group == 1 ? u"a" : u"b";
            break;
        case engine::ReplacementPart::Kind::Dollar:
            expected += u"$";
            break;
        default:
            expected += piece;
        }
    }
    QVERIFY(replaced == expected);
}

QTEST_GUILESS_MAIN(tst_ReplacementReading)
#include "tst_replacementreading.moc"
