#include "support/appinfo.h"
#include "support/clipboardtext.h"
#include "support/messagebox.h"
#include "tests/support/scriptedresponder.h"
#include "tests/support/testenvironment.h"
#include "tests/support/vbliteral.h"
#include "ui/main/codegenerator.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

const QString CR = QStringLiteral("\r");
const QString LF = QStringLiteral("\n");
const QString CRLF = QStringLiteral("\r\n");
const QString Tab = QStringLiteral("\t");
const QString Continued = QStringLiteral(" & _\r\n               ");

enum Kind
{
    Execute,
    Replace,
    Test
};

QString snippet(const CodeInputs &inputs, int kind)
{
    return BuildCodeSnippet(inputs, kind == Execute, kind == Replace, kind == Test);
}

// A pattern with a tab, quotes and a backslash, and a replacement with a line break.
CodeInputs sampleInputs()
{
    CodeInputs in;
    in.pattern = u"^(\\d+)\t\"(\\w*)\"$"_qs;
    in.replacement = u"$2\r\n$1"_qs;
    in.global = true;
    in.ignoreCase = true;
    in.multiline = false;
    return in;
}

} // namespace

Q_DECLARE_METATYPE(CodeInputs)

class tst_CodeGen : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { initTestEnvironment(); }
    void wholeSnippets_data();
    void wholeSnippets();
    void executeExample();
    void snippetLines_data();
    void snippetLines();
    void preparePattern_data();
    void preparePattern();
    void literal_data();
    void literal();
    void evaluator_data();
    void evaluator();
    void literalRoundTrip();
    void clipboard_data();
    void clipboard();
};

void tst_CodeGen::wholeSnippets_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("expected");

    const QString head = u"  Dim RE As RegExp\r\n"_qs;
    const QString body = u"  \r\n"
                         "  On Error Resume Next\r\n"
                         "  \r\n"
                         "  Set RE = New RegExp\r\n"
                         "  \r\n"
                         "  RE.Global = True\r\n"
                         "  RE.IgnoreCase = True\r\n"
                         "  RE.MultiLine = False\r\n"
                         "  \r\n"
                         "  RE.Pattern = \"^(\\d+)\" & vbTab & \"\"\"(\\w*)\"\"$\"\r\n"
                         "  \r\n"_qs;

    QTest::newRow("Execute") << int(Execute)
                             << head + u"  Dim MC As MatchCollection\r\n" + body +
                                    u"  Set MC = RE.Execute(TXT)";
    QTest::newRow("Replace") << int(Replace)
                             << head + u"  Dim ReplaceVar As String\r\n" + body +
                                    u"  ReplaceVar = \"$2\" & vbCrLf & _\r\n"
                                    u"               \"$1\"\r\n"
                                    u"  \r\n"
                                    u"  TXT = RE.Replace(TXT, ReplaceVar)";
    QTest::newRow("Test") << int(Test) << head + body + u"  If RE.Test(TXT) Then";
}

void tst_CodeGen::wholeSnippets()
{
    QFETCH(int, kind);
    QFETCH(QString, expected);
    QCOMPARE(snippet(sampleInputs(), kind), expected);
}

void tst_CodeGen::executeExample()
{
    CodeInputs in;
    in.pattern = u"\\d+"_qs;
    in.global = true;
    in.multiline = true;
    const QStringList lines = snippet(in, Execute).split(CRLF);
    const QStringList expected = {
        u"  Dim RE As RegExp"_qs,
        u"  Dim MC As MatchCollection"_qs,
        u"  "_qs,
        u"  On Error Resume Next"_qs,
        u"  "_qs,
        u"  Set RE = New RegExp"_qs,
        u"  "_qs,
        u"  RE.Global = True"_qs,
        u"  RE.IgnoreCase = False"_qs,
        u"  RE.MultiLine = True"_qs,
        u"  "_qs,
        u"  RE.Pattern = \"\\d+\""_qs,
        u"  "_qs,
        u"  Set MC = RE.Execute(TXT)"_qs,
    };
    QCOMPARE(lines.size(), 14);
    QCOMPARE(lines, expected);
}

// The statements of a snippet: its lines, with a literal's continued lines kept together.
static QStringList statements(const QString &code)
{
    QStringList result;
    for (const QString &line : code.split(CRLF)) {
        if (!result.isEmpty() && result.constLast().endsWith(u" _"))
            result.last() += CRLF + line;
        else
            result.append(line);
    }
    return result;
}

void tst_CodeGen::snippetLines_data()
{
    QTest::addColumn<CodeInputs>("inputs");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>(
        "expected"); // consecutive statements, the first found by its start

    auto with = [](auto change) {
        CodeInputs in;
        change(in);
        return in;
    };
    const QString pattern = u"  RE.Pattern = "_qs;
    const QString replaceVar = u"  ReplaceVar = "_qs;

    QTest::newRow("empty pattern gives the empty literal")
        << CodeInputs{} << int(Execute) << QStringList{pattern + u"\"\""};
    QTest::newRow("empty replacement gives the empty literal")
        << CodeInputs{} << int(Replace) << QStringList{replaceVar + u"\"\""};
    QTest::newRow("pattern line break kept is continued on a new line")
        << with([](CodeInputs &in) { in.pattern = u"a\r\nb"_qs; }) << int(Test)
        << QStringList{pattern + u"\"a\" & vbCrLf" + Continued + u"\"b\""};
    QTest::newRow("ignore line breaks joins the pattern on one line") << with([](CodeInputs &in) {
        in.pattern = u"a\r\nb\rc\nd"_qs;
        in.ignoreLineBreaks = true;
    }) << int(Test) << QStringList{pattern + u"\"abcd\""};
    QTest::newRow("ignore line breaks leaves the replacement alone") << with([](CodeInputs &in) {
        in.replacement = u"x\r\ny"_qs;
        in.ignoreLineBreaks = true;
    }) << int(Replace) << QStringList{replaceVar + u"\"x\" & vbCrLf" + Continued + u"\"y\""};
    QTest::newRow("replacement ending in a line break ends with vbCrLf")
        << with([](CodeInputs &in) { in.replacement = u"x\r\n"_qs; }) << int(Replace)
        << QStringList{replaceVar + u"\"x\" & vbCrLf", u"  "_qs};
    QTest::newRow("Global alone") << with([](CodeInputs &in) { in.global = true; }) << int(Execute)
                                  << QStringList{u"  RE.Global = True"_qs,
                                                 u"  RE.IgnoreCase = False"_qs,
                                                 u"  RE.MultiLine = False"_qs};
    QTest::newRow("Ignore case alone")
        << with([](CodeInputs &in) { in.ignoreCase = true; }) << int(Execute)
        << QStringList{u"  RE.Global = False"_qs, u"  RE.IgnoreCase = True"_qs,
                       u"  RE.MultiLine = False"_qs};
    QTest::newRow("Multiline alone")
        << with([](CodeInputs &in) { in.multiline = true; }) << int(Execute)
        << QStringList{u"  RE.Global = False"_qs, u"  RE.IgnoreCase = False"_qs,
                       u"  RE.MultiLine = True"_qs};
}

void tst_CodeGen::snippetLines()
{
    QFETCH(CodeInputs, inputs);
    QFETCH(int, kind);
    QFETCH(QStringList, expected);

    const QStringList all = statements(snippet(inputs, kind));
    const QString start = expected.first().left(expected.first().indexOf(u'=') + 1);
    qsizetype at = -1;
    for (qsizetype i = 0; i < all.size() && at < 0; ++i) {
        if (all.at(i).startsWith(start))
            at = i;
    }
    QVERIFY2(at >= 0, qPrintable(start));
    QCOMPARE(all.mid(at, expected.size()), expected);
}

void tst_CodeGen::preparePattern_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ignoreLineBreaks");
    QTest::addColumn<QString>("expected");

    const QString mixed = u"a\r\nb\rc\nd\n\re \tf"_qs;
    QTest::newRow("off keeps every character") << mixed << false << mixed;
    QTest::newRow("on drops CR LF, lone CR, lone LF, keeps blank and tab")
        << mixed << true << u"abcde \tf"_qs;
    QTest::newRow("on with only line breaks gives empty") << u"\r\n\n\r"_qs << true << QString();
}

void tst_CodeGen::preparePattern()
{
    QFETCH(QString, text);
    QFETCH(bool, ignoreLineBreaks);
    QFETCH(QString, expected);
    QCOMPARE(PreparePattern(text, ignoreLineBreaks), expected);
}

void tst_CodeGen::literal_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty gives two quotes") << QString() << u"\"\""_qs;
    QTest::newRow("abc") << u"abc"_qs << u"\"abc\""_qs;
    QTest::newRow("a tab b") << u"a\tb"_qs << u"\"a\" & vbTab & \"b\""_qs;
    QTest::newRow("tab a tab") << u"\ta\t"_qs << u"vbTab & \"a\" & vbTab"_qs;
    QTest::newRow("a CR LF b continues")
        << u"a\r\nb"_qs << u"\"a\" & vbCrLf" + Continued + u"\"b\"";
    QTest::newRow("a CR LF ends without continuation") << u"a\r\n"_qs << u"\"a\" & vbCrLf"_qs;
    QTest::newRow("CR LF a") << u"\r\na"_qs << u"vbCrLf" + Continued + u"\"a\"";
    QTest::newRow("CR LF CR LF") << u"\r\n\r\n"_qs << u"vbCrLf" + Continued + u"vbCrLf";
    QTest::newRow("tab tab") << u"\t\t"_qs << u"vbTab & vbTab"_qs;
    QTest::newRow("sound: a lone CR is vbCr") << u"a\rb"_qs << u"\"a\" & vbCr & \"b\""_qs;
    QTest::newRow("quotes are doubled") << u"say \"hi\""_qs << u"\"say \"\"hi\"\"\""_qs;
    QTest::newRow("sound: a lone LF is vbLf") << u"a\nb"_qs << u"\"a\" & vbLf & \"b\""_qs;
    QTest::newRow("LF CR is no line break") << u"\n\r"_qs << u"vbLf & vbCr"_qs;
    QTest::newRow("CR before CR LF") << u"\r\r\n"_qs << u"vbCr & vbCrLf"_qs;
    QTest::newRow("quote next to tab and line break")
        << u"\"\t\"\r\n\""_qs << u"\"\"\"\" & vbTab & \"\"\"\" & vbCrLf" + Continued + u"\"\"\"\"";
    QTest::newRow("blank ampersand blank next to quotes") << u"\" & \""_qs << u"\"\"\" & \"\"\""_qs;
}

void tst_CodeGen::literal()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    const QString literal = MakeStringLiteral(text);
    QCOMPARE(literal, expected);
    QString error;
    QCOMPARE(evaluateVbStringExpression(literal, &error).value_or(u"<" + error + u">"), text);
}

// The reader that the round trip relies on accepts only well-formed expressions.
void tst_CodeGen::evaluator_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("value");

    QTest::newRow("doubled quote is one quote") << u"\"\"\"\""_qs << true << u"\""_qs;
    QTest::newRow("words and joiners") << u"vbTab & \"a\" & vbCrLf"_qs << true << u"\ta\r\n"_qs;
    QTest::newRow("continuation with indent") << u"\"a\" & _\r\n   \"b\""_qs << true << u"ab"_qs;
    QTest::newRow("unterminated string") << u"\"a"_qs << false << QString();
    QTest::newRow("missing joiner") << u"\"a\" \"b\""_qs << false << QString();
    QTest::newRow("quote not doubled") << u"\"a\"\"\"b\""_qs << false << QString();
    QTest::newRow("ampersand without blank") << u"\"a\"& \"b\""_qs << false << QString();
    QTest::newRow("trailing joiner") << u"\"a\" &"_qs << false << QString();
    QTest::newRow("continuation without blank") << u"\"a\" &_\r\n\"b\""_qs << false << QString();
    QTest::newRow("unknown word") << u"vbTabs"_qs << false << QString();
    QTest::newRow("nothing") << QString() << false << QString();
}

void tst_CodeGen::evaluator()
{
    QFETCH(QString, expression);
    QFETCH(bool, valid);
    QFETCH(QString, value);
    const std::optional<QString> result = evaluateVbStringExpression(expression);
    QCOMPARE(result.has_value(), valid);
    if (valid)
        QCOMPARE(*result, value);
}

void tst_CodeGen::literalRoundTrip()
{
    static const QString parts[] = {u"a"_qs, u"Z"_qs, u" "_qs, u"\""_qs, u"\"\""_qs, Tab,
                                    CR,      LF,      CRLF,    u"&"_qs,  u"_"_qs,    u" & "_qs};
    QRandomGenerator random(20261206);
    for (int round = 0; round < 5000; ++round) {
        QString text;
        const int count = random.bounded(0, 24);
        for (int i = 0; i < count; ++i)
            text += parts[random.bounded(int(std::size(parts)))];
        const QString literal = MakeStringLiteral(text);
        QString error;
        const std::optional<QString> value = evaluateVbStringExpression(literal, &error);
        if (!value || *value != text)
            QFAIL(qPrintable(u"round " + QString::number(round) + u": " + literal + u" -> " +
                             (value ? *value : error)));
        // A continuation never follows anything but vbCrLf, and no other line break is left
        // for the Visual Basic editor to trip over.
        QCOMPARE(literal.count(Continued), literal.count(u"vbCrLf" + Continued));
        QString rest = literal;
        rest.remove(Continued);
        QVERIFY(!rest.contains(u'\r') && !rest.contains(u'\n'));
    }
}

void tst_CodeGen::clipboard_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("copied");

    QTest::newRow("OK copies exactly the snippet") << MsgBoxButton::OK << true;
    QTest::newRow("Cancel leaves the clipboard as it was") << MsgBoxButton::Cancel << false;
}

void tst_CodeGen::clipboard()
{
    QFETCH(int, button);
    QFETCH(bool, copied);

    const QString before = u"text that was there"_qs;
    ClipboardText::instance().SetText(before);
    const CodeInputs in = sampleInputs();
    const QString code = snippet(in, Replace);

    ScriptedResponder responder;
    responder.button(button);
    GenerateCode(in, false, true, false);

    QCOMPARE(responder.shown().size(), 1);
    QCOMPARE(responder.last().style, 65);
    QCOMPARE(responder.last().caption, AppInfo::Title.toString());
    QCOMPARE(responder.last().text, u"Copy generated code?\r\n\r\n" + code);
    QCOMPARE(ClipboardText::instance().Text(), copied ? code : before);
}

QTEST_MAIN(tst_CodeGen)
#include "tst_codegen.moc"
