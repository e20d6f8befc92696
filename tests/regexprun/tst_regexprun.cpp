// regexp-run as a process: the answer format, failures and --bench.

#include <QProcess>
#include <QRegularExpression>
#include <QTest>

namespace {

QStringList run(const QByteArray &input, const QStringList &arguments = {})
{
    QProcess process;
    process.start(QStringLiteral(REGEXP_RUN), arguments);
    if (!process.waitForStarted())
        return {QStringLiteral("not started")};
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(60'000);
    return QString::fromLatin1(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

} // namespace

class tst_RegexpRun : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void answers_data();
    void answers();
    void oneAnswerPerLine();
    void bench();
};

void tst_RegexpRun::answers_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QString>("answer");

    QTest::newRow("execute")
        << QByteArray(
               R"J({"op":"execute","pattern":"(\\d+)-(\\d+)","source":"a 12-345 b","global":true})J")
        << R"({"ok":true,"count":1,"matches":[{"index":2,"length":6,"value":"12-345","submatches":["12","345"]}]})";
    QTest::newRow("replace")
        << QByteArray(
               R"({"op":"replace","pattern":"o","source":"foo","replacement":"0","global":true})")
        << R"({"ok":true,"result":"f00"})";
    QTest::newRow("pattern error")
        << QByteArray(R"({"op":"test","pattern":"(ab","source":""})")
        << R"({"ok":false,"number":5020,"description":"Expected ')' in regular expression","position":3})";
    QTest::newRow("non-ASCII escaped")
        << QByteArray(R"({"op":"replace","pattern":"x","source":"\u00e9x\"\\","replacement":"\t"})")
        << R"({"ok":true,"result":"\u00e9\u0009\"\\"})";
    QTest::newRow("replace result past the bound")
        << QByteArray(R"({"op":"replace","pattern":".","source":")") + QByteArray(20'000, 'a') +
               R"(","replacement":"$`","global":true})"
        << R"({"ok":false,"number":5033,"description":"The result is too large.","position":-1})";
    QTest::newRow("explain")
        << QByteArray(R"({"op":"explain","pattern":"a(b)?"})")
        << R"({"ok":true,"nodes":[{"kind":"literal","start":0,"length":1,"text":"the character a"},{"kind":"quantifier","start":1,"length":4,"text":"optional, as many as possible","min":0,"max":1,"lazy":false,"children":[{"kind":"group","start":1,"length":3,"text":"group 1","group":1,"children":[{"kind":"literal","start":2,"length":1,"text":"the character b"}]}]}]})";
    QTest::newRow("explain of an invalid pattern")
        << QByteArray(R"J({"op":"explain","pattern":"(?<n>a)"})J")
        << R"({"ok":false,"number":5017,"description":"Syntax error in regular expression","position":0})";
    QTest::newRow("lint of an invalid pattern")
        << QByteArray(R"J({"op":"lint","pattern":"(?i)\\z"})J")
        << R"J({"ok":true,"error":{"number":5017,"description":"Syntax error in regular expression","position":0},"warnings":[{"code":"foreign-group","start":0,"length":4,"text":"(?i) is a syntax error here (elsewhere inline options): set Ignore case instead","replacement":""}]})J";
    QTest::newRow("lint with nothing to say")
        << QByteArray(R"({"op":"lint","pattern":"\\d+","ignoreCase":true})")
        << R"({"ok":true,"warnings":[]})";
    QTest::newRow("trace with its records")
        << QByteArray(R"J({"op":"trace","pattern":"a(b)","source":"xab","from":1,"records":true})J")
        << R"J({"ok":true,"match":{"index":1,"length":2,"value":"ab","submatches":["b"]},"steps":5,"stopped":false,"counts":[{"start":0,"length":1,"steps":1},{"start":1,"length":1,"steps":1},{"start":2,"length":1,"steps":1},{"start":3,"length":1,"steps":1},{"start":4,"length":0,"steps":1}],"records":[{"kind":"start","start":0,"length":1,"at":1,"matched":true},{"kind":"try","start":1,"length":1,"at":2,"matched":true},{"kind":"try","start":2,"length":1,"at":2,"matched":true},{"kind":"try","start":3,"length":1,"at":3,"matched":true},{"kind":"match","start":4,"length":0,"at":3,"matched":false}]})J";
    QTest::newRow("trace stopped at its limit")
        << QByteArray(R"({"op":"trace","pattern":"a*b","source":"aaaa","limit":3})")
        << R"({"ok":true,"match":null,"steps":3,"stopped":true,"counts":[{"start":0,"length":2,"steps":1},{"start":2,"length":1,"steps":2},{"start":3,"length":0,"steps":0}]})";
    QTest::newRow("trace with a bad limit")
        << QByteArray(R"({"op":"trace","pattern":"a","source":"a","limit":-1})")
        << R"({"ok":false,"number":0,"description":"Malformed request: \"limit\" must be a whole number of at least 0","position":-1})";
    QTest::newRow("malformed line")
        << QByteArray(R"({"op":"test",)")
        << R"({"ok":false,"number":0,"description":"Malformed request: malformed object at byte 14","position":-1})";
}

void tst_RegexpRun::answers()
{
    QFETCH(QByteArray, request);
    QFETCH(QString, answer);
    const QStringList lines = run(request + '\n');
    QCOMPARE(lines.size(), 1);
    QCOMPARE(lines.front(), answer);
}

void tst_RegexpRun::oneAnswerPerLine()
{
    const QStringList lines = run("{\"op\":\"test\",\"pattern\":\"a\",\"source\":\"a\"}\n\n"
                                  "{\"op\":\"test\",\"pattern\":\"b\",\"source\":\"a\"}\r\n");
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[0], R"({"ok":true,"result":true})");
    QVERIFY(lines[1].startsWith(R"({"ok":false)"));
    QCOMPARE(lines[2], R"({"ok":true,"result":false})");
}

void tst_RegexpRun::bench()
{
    const QStringList lines =
        run(R"({"op":"execute","pattern":"a","source":"banana","global":true})"
            "\n",
            {QStringLiteral("--bench"), QStringLiteral("5")});
    QCOMPARE(lines.size(), 1);
    QVERIFY2(QRegularExpression(R"(^\{"ok":true,"count":3,"ns":\d+\}$)").match(lines[0]).hasMatch(),
             qPrintable(lines[0]));
}

QTEST_GUILESS_MAIN(tst_RegexpRun)
#include "tst_regexprun.moc"
