// The pattern-file format alone: which texts give which fields, which are refused, and that
// what is written reads back the same.

#include "document/patternfile.h"

#include <QStringList>
#include <QTest>

using patternfile::Fields;

Q_DECLARE_METATYPE(Fields)

namespace {

const QChar Nul(0);

// Fields with these texts and options given as four characters of "0" and "1".
Fields fields(const QString &pattern, const QString &source, const QString &replacement,
              const char *options)
{
    Fields f{pattern, source, replacement};
    f.global = options[0] == '1';
    f.ignoreCase = options[1] == '1';
    f.multiline = options[2] == '1';
    f.ignoreLineBreaks = options[3] == '1';
    return f;
}

QString joined(const QStringList &parts)
{
    return parts.join(Nul);
}

} // namespace

class tst_PatternFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parse_data();
    void parse();
    void roundTrip_data();
    void roundTrip();
    void nulRefusedOnSave_data();
    void nulRefusedOnSave();
};

void tst_PatternFile::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<Fields>("expected");

    const auto row = [](const char *name, const QStringList &parts, const Fields &expected) {
        QTest::newRow(name) << joined(parts) << true << expected;
    };
    const auto refused = [](const char *name, const QString &text) {
        QTest::newRow(name) << text << false << Fields();
    };
    row("default new document", {"", "", "", "1", "1", "1", "0"}, fields("", "", "", "1110"));
    row("six fields leave Ignore line breaks unchecked", {"p", "s", "r", "1", "0", "1"},
        fields("p", "s", "r", "1010"));
    row("seventh field checks Ignore line breaks", {"", "", "", "0", "0", "0", "1"},
        fields("", "", "", "0001"));
    row("true is not checked", {"", "", "", "true", "1", "1", "0"}, fields("", "", "", "0110"));
    row("01 is not checked", {"", "", "", "01", "1", "1", "0"}, fields("", "", "", "0110"));
    row("empty option field is not checked", {"", "", "", "", "1", "", "1"},
        fields("", "", "", "0101"));
    row("line breaks kept, trailing ones too",
        {"a\r\nb\r\n", "c\nd\n", "e\rf\r", "1", "0", "1", "1"},
        fields("a\r\nb\r\n", "c\nd\n", "e\rf\r", "1011"));
    row("texts outside the BMP and lone surrogates kept",
        {QStringLiteral("\U0001F600"), QString(QChar(0xD800)), "x", "0", "0", "0", "0"},
        fields(QStringLiteral("\U0001F600"), QString(QChar(0xD800)), "x", "0000"));

    refused("zero-length", QString());
    refused("one field", QStringLiteral("pattern only"));
    refused("five fields", joined({"", "", "", "1", "1"}));
    refused("eight fields (a pattern that held a NUL)",
            joined({"a", "b", "", "", "1", "1", "1", "0"}));
    refused("only separators, too many", QString(20, Nul));
}

void tst_PatternFile::parse()
{
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QFETCH(Fields, expected);

    const patternfile::Parsed parsed = patternfile::parse(text);
    QCOMPARE(parsed.fields.has_value(), accepted);
    QCOMPARE(parsed.refusal.isEmpty(), accepted);
    if (accepted)
        QVERIFY(*parsed.fields == expected);
}

void tst_PatternFile::roundTrip_data()
{
    QTest::addColumn<Fields>("written");
    QTest::addColumn<QString>("text");

    QTest::newRow("all options off, empty texts")
        << fields("", "", "", "0000") << joined({"", "", "", "0", "0", "0", "0"});
    QTest::newRow("each option in its own field")
        << fields("p", "s", "r", "1001") << joined({"p", "s", "r", "1", "0", "0", "1"});
    QTest::newRow("CR LF and lone breaks kept")
        << fields("a\r\n", "\n", "\r", "0110") << joined({"a\r\n", "\n", "\r", "0", "1", "1", "0"});
}

void tst_PatternFile::roundTrip()
{
    QFETCH(Fields, written);
    QFETCH(QString, text);

    QVERIFY(patternfile::unstorable(written).isEmpty());
    QCOMPARE(patternfile::serialize(written), text);
    const patternfile::Parsed back = patternfile::parse(text);
    QVERIFY(back.fields && *back.fields == written);
}

void tst_PatternFile::nulRefusedOnSave_data()
{
    QTest::addColumn<Fields>("written");
    QTest::newRow("NUL in the pattern") << fields(QString(Nul), "", "", "0000");
    QTest::newRow("NUL in the source text") << fields("", "a" + QString(Nul), "", "1111");
    QTest::newRow("NUL in the replacement") << fields("", "", QString(Nul) + "b", "0000");
}

void tst_PatternFile::nulRefusedOnSave()
{
    QFETCH(Fields, written);
    QVERIFY(!patternfile::unstorable(written).isEmpty());
}

QTEST_GUILESS_MAIN(tst_PatternFile)
#include "tst_patternfile.moc"
