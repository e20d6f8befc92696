// The samples file: what it reads, what it refuses and why, and that writing then reading
// gives back every sample exactly.

#include "samples/samplesjson.h"
#include "tests/samples/samplemaker.h"

#include <QTest>

Q_DECLARE_METATYPE(Sample)

namespace {} // namespace

class tst_SamplesFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsTheDocumentedExample();
    void roundTrip_data();
    void roundTrip();
    void refusals_data();
    void refusals();
    void writesOneSampleALine();
};

void tst_SamplesFile::readsTheDocumentedExample()
{
    const QByteArray json = R"({"version": 1, "samples": [
  {"text": "john@example.com", "expect": "match"},
  {"text": "john@", "expect": "no match"},
  {"text": "a1b22", "expect": "count", "value": 2},
  {"text": "x@y.com", "expect": "whole"},
  {"text": "x@y.com", "expect": "match text", "match": 1, "value": "x@y.com"},
  {"text": "x@y.com", "expect": "group", "match": 1, "group": 2, "value": "y"},
  {"text": "b a", "expect": "replace", "value": "a b", "note": "swap"}]})";
    const SamplesParse parse = parseSamples(json);
    QVERIFY2(parse.ok(), qPrintable(parse.error));
    Sample swap = make(Expectation::Replace, "b a", "a b");
    swap.note = "swap";
    const QList<Sample> expected{make(Expectation::Match, "john@example.com"),
                                 make(Expectation::NoMatch, "john@"),
                                 counting("a1b22", 2),
                                 make(Expectation::Whole, "x@y.com"),
                                 make(Expectation::MatchText, "x@y.com", "x@y.com"),
                                 make(Expectation::Group, "x@y.com", "y", 1, 2),
                                 swap};
    QCOMPARE(parse.samples, expected);
}

void tst_SamplesFile::roundTrip_data()
{
    QTest::addColumn<QList<Sample>>("samples");
    const QString tricky = QStringLiteral("a") + QChar(0) + u"b\r\n\t\"q\\" + QChar(0xD83D) +
                           QChar(0xDE00) + u"é\u2028";
    const QString loneSurrogates = QString(QChar(0xDC00)) + u"x" + QChar(0xD800);
    Sample noted = make(Expectation::Group, "abc", "b", 3, 2);
    noted.note = "line one\nline two";

    QTest::newRow("no samples") << QList<Sample>{};
    QTest::newRow("each expectation") << QList<Sample>{make(Expectation::Match, "a"),
                                                       make(Expectation::NoMatch, ""),
                                                       make(Expectation::Whole, "w"),
                                                       counting("c", 0),
                                                       make(Expectation::MatchText, "m", "m", 2),
                                                       noted,
                                                       make(Expectation::Replace, "r", "")};
    QTest::newRow("NUL, line breaks, quotes and a surrogate pair")
        << QList<Sample>{make(Expectation::MatchText, tricky, tricky)};
    QTest::newRow("lone surrogates kept")
        << QList<Sample>{make(Expectation::Match, loneSurrogates)};
}

void tst_SamplesFile::roundTrip()
{
    QFETCH(QList<Sample>, samples);
    const QByteArray written = writeSamples(samples);
    // Every code unit travels as UTF-8 or an escape, so the bytes are valid UTF-8.
    QCOMPARE(QString::fromUtf8(written).toUtf8(), written);
    const SamplesParse parse = parseSamples(written);
    QVERIFY2(parse.ok(), qPrintable(parse.error));
    QCOMPARE(parse.samples, samples);
}

void tst_SamplesFile::refusals_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("reason");

    const auto one = [](const char *sample) -> QByteArray {
        return QByteArray(R"({"version": 1, "samples": [)") + sample + "]}";
    };
    QTest::newRow("bad JSON names line and column")
        << QByteArray("{\"version\": 1,\n \"samples\": [}") << "line 2, column 15:";
    QTest::newRow("invalid UTF-8")
        << QByteArray("{\"version\": 1, \"samples\": [\"\xff\"]}") << "line 1, column";
    QTest::newRow("empty file") << QByteArray() << "line 1, column 1:";
    QTest::newRow("not an object") << QByteArray("[]") << "the document must be an object";
    QTest::newRow("no version") << QByteArray(R"({"samples": []})") << "\"version\" is missing.";
    QTest::newRow("newer version") << QByteArray(R"({"version": 2, "samples": []})")
                                   << "version 2 is not one this program reads";
    QTest::newRow("samples not a list")
        << QByteArray(R"({"version": 1, "samples": {}})") << "\"samples\" must be a list";
    QTest::newRow("sample not an object") << one("\"a\"") << "sample 1: a sample must be an object";
    QTest::newRow("unknown expect") << one(R"({"text": "a", "expect": "matches"})")
                                    << "sample 1: unknown \"expect\" \"matches\".";
    QTest::newRow("missing text") << one(R"({"expect": "match"})")
                                  << "sample 1: \"text\" is missing.";
    QTest::newRow("text not a string")
        << one(R"({"text": 5, "expect": "match"})") << "sample 1: \"text\" must be a text";
    QTest::newRow("missing value for count") << one(R"({"text": "a", "expect": "count"})")
                                             << "sample 1: \"value\" is missing for \"count\".";
    QTest::newRow("missing value for replace") << one(R"({"text": "a", "expect": "replace"})")
                                               << "sample 1: \"value\" is missing for \"replace\".";
    QTest::newRow("count not whole") << one(R"({"text": "a", "expect": "count", "value": 1.5})")
                                     << "sample 1: \"value\" must be a whole number of at least 0.";
    QTest::newRow("count negative")
        << one(R"({"text": "a", "expect": "count", "value": -1})") << "at least 0";
    QTest::newRow("match from 1")
        << one(R"({"text": "a", "expect": "match text", "match": 0, "value": "a"})")
        << "sample 1: \"match\" must be a whole number of at least 1.";
    QTest::newRow("group missing") << one(R"({"text": "a", "expect": "group", "value": "a"})")
                                   << "sample 1: \"group\" is missing for \"group\".";
    QTest::newRow("text value for count")
        << one(R"({"text": "a", "expect": "count", "value": "2"})") << "whole number";
    QTest::newRow("unknown key would be lost on saving")
        << one(R"({"text": "a", "expect": "match", "colour": "red"})")
        << "sample 1: unknown key \"colour\".";
    QTest::newRow("the sample at fault is named")
        << QByteArray(R"({"version": 1, "samples": [{"text": "a", "expect": "match"},
                         {"text": "b", "expect": "nope"}]})")
        << "sample 2: unknown \"expect\"";
}

void tst_SamplesFile::refusals()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, reason);
    const SamplesParse parse = parseSamples(json);
    QVERIFY(!parse.ok());
    QVERIFY2(parse.error.contains(reason), qPrintable(parse.error));
    QVERIFY(parse.samples.isEmpty());
}

void tst_SamplesFile::writesOneSampleALine()
{
    const QByteArray written =
        writeSamples({make(Expectation::Match, "a\nb"), counting("a1b22", 2)});
    QCOMPARE(written, QByteArray(R"({"version": 1, "samples": [
  {"text": "a\nb", "expect": "match"},
  {"text": "a1b22", "expect": "count", "value": 2}]}
)"));
    QCOMPARE(samplesFileName("/w/work.RegExp"), QString("/w/work.RegExp.samples"));
}

QTEST_GUILESS_MAIN(tst_SamplesFile)
#include "tst_samplesfile.moc"
