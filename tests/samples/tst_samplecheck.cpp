// Samples against the engine: each expectation passing and failing, what a failed run shows,
// the `--check` command's lines and exit codes, and the Sub that checks samples in Visual Basic.

#include "runner/engine/regexp.h"
#include "runner/samplecheck.h"
#include "runner/samplescode.h"
#include "samples/samplesjson.h"
#include "startup/checkcommand.h"
#include "support/textfile.h"
#include "tests/samples/samplemaker.h"
#include "tests/support/testenvironment.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

Q_DECLARE_METATYPE(Sample)

namespace {

SampleVerdict checkOne(const QString &pattern, const Sample &sample, RunOptions options = {true},
                       const QString &replacement = {})
{
    const engine::RunControl control;
    return CheckSamples({pattern, replacement, options}, {sample}, control).at(0);
}

using Spans = std::vector<std::pair<int, int>>;

} // namespace

class tst_SampleCheck : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { initTestEnvironment(); }
    void verdicts_data();
    void verdicts();
    void failedRuns();
    void spansFollowGlobal();
    void sourceAsSample_data();
    void sourceAsSample();
    void checkCommand_data();
    void checkCommand();
    void snippet();
};

void tst_SampleCheck::verdicts_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<Sample>("sample");
    QTest::addColumn<bool>("passed");
    QTest::addColumn<QString>("got");

    const QString mail = QStringLiteral("(\\w+)@(\\w+)\\.com");
    QTest::newRow("match passes") << mail << make(Expectation::Match, "john@example.com") << true
                                  << "match";
    QTest::newRow("match fails") << mail << make(Expectation::Match, "john@") << false
                                 << "no match";
    QTest::newRow("no match passes")
        << mail << make(Expectation::NoMatch, "john@") << true << "no match";
    QTest::newRow("no match fails")
        << mail << make(Expectation::NoMatch, "a@b.com") << false << "match";
    QTest::newRow("whole passes") << mail << make(Expectation::Whole, "x@y.com") << true
                                  << "whole match";
    QTest::newRow("whole fails on a part")
        << mail << make(Expectation::Whole, " x@y.com") << false << "match 1 is \"x@y.com\"";
    QTest::newRow("whole of the empty text")
        << "a*" << make(Expectation::Whole, "") << true << "whole match";
    QTest::newRow("count passes") << "\\d+" << counting("a1b22", 2) << true << "2 matches";
    QTest::newRow("count fails") << "\\d" << counting("a1b22", 2) << false << "3 matches";
    QTest::newRow("count of empty matches") << "x*" << counting("ab", 3) << true << "3 matches";
    QTest::newRow("match text passes")
        << "\\d+" << make(Expectation::MatchText, "a1b22", "22", 2) << true << "match 2 is \"22\"";
    QTest::newRow("match text fails")
        << "\\d" << make(Expectation::MatchText, "a1b22", "22", 2) << false << "match 2 is \"2\"";
    QTest::newRow("match text beyond the matches")
        << "\\d+" << make(Expectation::MatchText, "a1", "1", 2) << false << "only 1 match";
    QTest::newRow("group passes") << mail << make(Expectation::Group, "x@y.com", "y", 1, 2) << true
                                  << "group 2 of match 1 is \"y\"";
    QTest::newRow("group fails") << mail << make(Expectation::Group, "x@y.com", "x", 1, 2) << false
                                 << "group 2 of match 1 is \"y\"";
    QTest::newRow("group beyond the pattern's")
        << mail << make(Expectation::Group, "x@y.com", "y", 1, 3) << false
        << "the pattern has 2 groups";
    QTest::newRow("group that took no part reads empty")
        << "(a)|b" << make(Expectation::Group, "b", "", 1, 1) << true
        << "group 1 of match 1 took no part";
    QTest::newRow("group that took no part is not a text")
        << "(a)|b" << make(Expectation::Group, "b", "a", 1, 1) << false
        << "group 1 of match 1 took no part";
    QTest::newRow("replace passes") << "(\\w) (\\w)" << make(Expectation::Replace, "b a", "a b")
                                    << true << "replace gives \"a b\"";
    QTest::newRow("replace fails") << "(\\w) (\\w)" << make(Expectation::Replace, "b a", "b a")
                                   << false << "replace gives \"a b\"";
    QTest::newRow("offsets count UTF-16 code units")
        << "." << make(Expectation::MatchText, QStringLiteral("\U0001F600x"), "x", 3) << true
        << "match 3 is \"x\"";
    QTest::newRow("line breaks shown as marks")
        << "a\\r\\nb" << make(Expectation::MatchText, "a\r\nb", "ab") << false
        << "match 1 is \"a\u21B5b\"";
}

void tst_SampleCheck::verdicts()
{
    QFETCH(QString, pattern);
    QFETCH(Sample, sample);
    QFETCH(bool, passed);
    QFETCH(QString, got);
    const SampleVerdict verdict = checkOne(pattern, sample, {true}, QStringLiteral("$2 $1"));
    QCOMPARE(verdict.got, got);
    QCOMPARE(verdict.passed, passed);
    QVERIFY(!verdict.failedToRun);
}

void tst_SampleCheck::failedRuns()
{
    // An invalid pattern is every sample's verdict, with the engine's number and message.
    const engine::RunControl control;
    const auto verdicts = CheckSamples(
        {"a(b", {}, {true}}, {make(Expectation::NoMatch, "x"), counting("y", 0)}, control);
    for (const SampleVerdict &verdict : verdicts) {
        QVERIFY(!verdict.passed);
        QVERIFY(verdict.failedToRun);
        QCOMPARE(verdict.got, QString("error 5020: Expected ')' in regular expression"));
    }

    // A run that needs too much backtracking fails its own sample only.
    const QString hard = QString(40, u'a') + u'b';
    const auto mixed =
        CheckSamples({"(a+)+$", {}, {true}},
                     {make(Expectation::NoMatch, hard), make(Expectation::Match, "aa")}, control);
    QVERIFY(mixed.at(0).failedToRun);
    QVERIFY(mixed.at(0).got.startsWith("error 5030"));
    QVERIFY(mixed.at(1).passed);

    // Ignore line breaks reads the pattern as Execute does.
    QVERIFY(checkOne("a\r\nb", make(Expectation::Match, "ab"), {true, false, false, true}).passed);
    QVERIFY(!checkOne("a\r\nb", make(Expectation::Match, "ab"), {true}).passed);

    // A cancelled check gives no verdicts at all.
    engine::RunControl cancelled;
    cancelled.cancel();
    QVERIFY_THROWS_EXCEPTION(
        engine::RegExpError,
        CheckSamples({"a", {}, {true}}, {make(Expectation::Match, "a")}, cancelled));
}

void tst_SampleCheck::spansFollowGlobal()
{
    QCOMPARE(checkOne("\\d+", counting("a1b22", 2)).matches, (Spans{{1, 2}, {3, 5}}));
    QCOMPARE(checkOne("\\d+", counting("a1b22", 2), {false}).matches, (Spans{{1, 2}}));
    QCOMPARE(checkOne("\\d+", counting("a1b22", 2), {false}).got, QString("1 match"));
}

void tst_SampleCheck::sourceAsSample_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expect");
    QTest::addColumn<int>("count");

    QTest::newRow("no match") << "x"
                              << "abc"
                              << "no match" << 0;
    QTest::newRow("whole text") << "\\w+"
                                << "abc"
                                << "whole" << 0;
    QTest::newRow("several matches counted") << "b"
                                             << "abcb"
                                             << "count" << 2;
    QTest::newRow("one match inside") << "b"
                                      << "abc"
                                      << "count" << 1;
    QTest::newRow("invalid pattern expects a match") << "("
                                                     << "abc"
                                                     << "match" << 0;
}

void tst_SampleCheck::sourceAsSample()
{
    QFETCH(QString, pattern);
    QFETCH(QString, text);
    QFETCH(QString, expect);
    QFETCH(int, count);
    const Sample sample = sampleOfOutcome({pattern, {}, {true}}, text);
    QCOMPARE(sample.text, text);
    QCOMPARE(expectationName(sample.expect), expect);
    QCOMPARE(sample.count, count);
    // What it expects is what the pattern gives now.
    QVERIFY(checkOne(pattern, sample).passed || expect == u"match");
}

void tst_SampleCheck::checkCommand_data()
{
    QTest::addColumn<QStringList>("files"); // name=pattern|samples JSON; "missing" for none
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");

    const QString passing =
        R"(d=\d+|{"version": 1, "samples": [{"text": "a1b22", "expect": "count", "value": 2}]})";
    const QString failing =
        R"(f=\d|{"version": 1, "samples": [{"text": "x", "expect": "match"},
           {"text": "a1b22", "expect": "count", "value": 2}]})";
    QTest::newRow("every sample passes") << QStringList{passing} << 0 << "1 passed, 0 failed\n"
                                         << "";
    QTest::newRow("failures name file, sample, expected and got")
        << QStringList{passing, failing} << 1
        << "@f.RegExp: sample 1: expected match, got no match\n"
           "@f.RegExp: sample 2: expected 2 matches, got 3 matches\n"
           "1 passed, 2 failed\n"
        << "";
    QTest::newRow("no samples file: nothing to check")
        << QStringList{"n=a|missing"} << 0 << "0 passed, 0 failed\n"
        << "";
    QTest::newRow("unparsable samples file")
        << QStringList{"u=a|{\"version\": 1}", passing} << 2 << "1 passed, 0 failed\n"
        << "@u.RegExp: can't check the samples: @u.RegExp.samples: \"samples\" must be a list in "
           "brackets.\n";
    QTest::newRow("pattern file missing")
        << QStringList{"gone"} << 2 << "0 passed, 0 failed\n"
        << "@gone.RegExp: can't check the samples: File not found.\n";
    QTest::newRow("pattern file invalid")
        << QStringList{"bad=|missing"} << 2 << "0 passed, 0 failed\n"
        << "@bad.RegExp: can't check the samples: File doesn't contain valid data. The file is "
           "empty.\n";
}

void tst_SampleCheck::checkCommand()
{
    QFETCH(QStringList, files);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QTemporaryDir dir(testScratchDir() + u"/check-XXXXXX");
    QVERIFY(dir.isValid());
    TextFile store;
    QStringList arguments;
    for (const QString &spec : files) {
        const QString name = dir.path() + u'/' + spec.section(u'=', 0, 0) + u".RegExp";
        arguments.append(name);
        if (!spec.contains(u'='))
            continue;
        const QString pattern = spec.section(u'=', 1).section(u'|', 0, 0);
        const QString json = spec.section(u'|', 1);
        // A pattern file "bad" has a single field; the others are whole.
        const QStringList fields{pattern, {}, {}, "1", "0", "0", "0"};
        store.WriteText(name, spec.startsWith(u"bad") ? QString() : fields.join(QChar(0)));
        if (json != u"missing")
            store.WriteBytes(samplesFileName(name), json.toUtf8());
    }
    QString outText, errText;
    QTextStream outStream(&outText), errStream(&errText);
    QCOMPARE(runCheckCommand(arguments, store, outStream, errStream), status);
    QCOMPARE(outText, QString(out).replace(u'@', dir.path() + u'/'));
    QCOMPARE(errText, QString(err).replace(u'@', dir.path() + u'/'));
}

void tst_SampleCheck::snippet()
{
    Sample quotedText = make(Expectation::MatchText, "say \"hi\"\r\nbye", "\"hi\"");
    const QString code = BuildSamplesSnippet({"\"(\\w+)\"\r\n", "$1", {true, false, true, false}},
                                             {quotedText, make(Expectation::Replace, "a\tb", "x")});
    const QString expected = QStringLiteral(
        "Sub CheckSamples()\r\n"
        "  Dim RE As RegExp\r\n"
        "  Dim MC As MatchCollection\r\n"
        "  Dim T As String\r\n"
        "  Dim ReplaceVar As String\r\n"
        "  Dim OK As Boolean\r\n"
        "  Dim Passed As Long\r\n"
        "  Dim Failed As Long\r\n"
        "  \r\n"
        "  Set RE = New RegExp\r\n"
        "  \r\n"
        "  RE.Global = True\r\n"
        "  RE.IgnoreCase = False\r\n"
        "  RE.MultiLine = True\r\n"
        "  \r\n"
        "  RE.Pattern = \"\"\"(\\w+)\"\"\" & vbCrLf\r\n"
        "  \r\n"
        "  ReplaceVar = \"$1\"\r\n"
        "  \r\n"
        "  T = \"say \"\"hi\"\"\" & vbCrLf & _\r\n"
        "               \"bye\"\r\n"
        "  Set MC = RE.Execute(T)\r\n"
        "  OK = False\r\n"
        "  If MC.Count >= 1 Then OK = (MC(0).Value = \"\"\"hi\"\"\")\r\n"
        "  If OK Then\r\n"
        "    Passed = Passed + 1\r\n"
        "  Else\r\n"
        "    Failed = Failed + 1\r\n"
        "    Debug.Print \"Sample 1 failed: expected match 1 is \"\"\"\"hi\"\"\"\"\"\r\n"
        "  End If\r\n"
        "  \r\n"
        "  T = \"a\" & vbTab & \"b\"\r\n"
        "  OK = (RE.Replace(T, ReplaceVar) = \"x\")\r\n"
        "  If OK Then\r\n"
        "    Passed = Passed + 1\r\n"
        "  Else\r\n"
        "    Failed = Failed + 1\r\n"
        "    Debug.Print \"Sample 2 failed: expected replace gives \"\"x\"\"\"\r\n"
        "  End If\r\n"
        "  \r\n"
        "  Debug.Print Passed & \" passed, \" & Failed & \" failed\"\r\n"
        "End Sub");
    QCOMPARE(code, expected);
}

QTEST_GUILESS_MAIN(tst_SampleCheck)
#include "tst_samplecheck.moc"
