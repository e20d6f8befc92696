#include "runner/codegenerator.h"
#include "tests/support/testenvironment.h"
#include "tests/support/vbliteral.h"

#include <QTest>

namespace {

const QString CRLF = QStringLiteral("\r\n");
const QString Continued = QStringLiteral(" & _\r\n               ");

// The snippet for "Execute", "Replace" or "Test".
QString snippet(const CodeInputs &inputs, const QString &kind)
{
    return BuildCodeSnippet(inputs, kind == u"Execute"   ? SnippetKind::Execute
                                    : kind == u"Replace" ? SnippetKind::Replace
                                                         : SnippetKind::Test);
}

// The inputs with the boxes checked that boxes names: G Global, I Ignore case, M Multiline,
// L Ignore line breaks.
CodeInputs inputs(const QString &pattern, const QString &replacement = {}, QStringView boxes = {})
{
    return {pattern, replacement,
            RunOptions{boxes.contains(u'G'), boxes.contains(u'I'), boxes.contains(u'M'),
                       boxes.contains(u'L')}};
}

// A pattern with a tab, quotes and a backslash, and a replacement with a line break.
CodeInputs sampleInputs()
{
    return inputs(u"^(\\d+)\t\"(\\w*)\"$"_qs, u"$2\r\n$1"_qs, u"GI");
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
    void snippetLines_data();
    void snippetLines();
    void literal_data();
    void literal();
};

void tst_CodeGen::wholeSnippets_data()
{
    QTest::addColumn<CodeInputs>("inputs");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("expected");

    // Replace and Test for the sample; Execute for the example of 14 lines.
    const QString body =
        u"  \r\n  On Error Resume Next\r\n  \r\n  Set RE = New RegExp\r\n  \r\n"
        u"  RE.Global = True\r\n  RE.IgnoreCase = True\r\n  RE.MultiLine = False\r\n"
        u"  \r\n  RE.Pattern = \"^(\\d+)\" & vbTab & \"\"\"(\\w*)\"\"$\"\r\n  \r\n"_qs;
    QTest::newRow("Replace")
        << sampleInputs() << "Replace"
        << u"  Dim RE As RegExp\r\n  Dim ReplaceVar As String\r\n" + body +
               u"  ReplaceVar = \"$2\" & vbCrLf & _\r\n               \"$1\"\r\n"
               u"  \r\n  TXT = RE.Replace(TXT, ReplaceVar)";
    QTest::newRow("Test") << sampleInputs() << "Test"
                          << u"  Dim RE As RegExp\r\n" + body + u"  If RE.Test(TXT) Then";
    QTest::newRow("Execute of \\d+ with Global and Multiline: 14 lines")
        << inputs(u"\\d+"_qs, {}, u"GM") << "Execute"
        << u"  Dim RE As RegExp\r\n  Dim MC As MatchCollection\r\n  \r\n  On Error Resume Next\r\n"
           u"  \r\n  Set RE = New RegExp\r\n  \r\n  RE.Global = True\r\n"
           u"  RE.IgnoreCase = False\r\n  RE.MultiLine = True\r\n  \r\n"
           u"  RE.Pattern = \"\\d+\"\r\n  \r\n  Set MC = RE.Execute(TXT)"_qs;
}

void tst_CodeGen::wholeSnippets()
{
    QFETCH(CodeInputs, inputs);
    QFETCH(QString, kind);
    QFETCH(QString, expected);
    QCOMPARE(snippet(inputs, kind), expected);
}

void tst_CodeGen::snippetLines_data()
{
    QTest::addColumn<CodeInputs>("inputs");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("lines"); // whole lines found in the snippet

    const QString pattern = CRLF + u"  RE.Pattern = ";
    const QString replaceVar = CRLF + u"  ReplaceVar = ";
    QTest::newRow("empty pattern gives the empty literal")
        << CodeInputs{} << "Execute" << pattern + u"\"\"";
    QTest::newRow("pattern line break kept is continued on a new line")
        << inputs(u"a\r\nb"_qs) << "Test" << pattern + u"\"a\" & vbCrLf" + Continued + u"\"b\"";
    QTest::newRow("ignore line breaks drops CR LF, CR and LF from the pattern")
        << inputs(u"a\r\nb\rc\nd\n\re \tf"_qs, {}, u"L") << "Test"
        << pattern + u"\"abcde \" & vbTab & \"f\"";
    QTest::newRow("ignore line breaks leaves the replacement alone")
        << inputs({}, u"x\r\ny"_qs, u"L") << "Replace"
        << replaceVar + u"\"x\" & vbCrLf" + Continued + u"\"y\"";
    QTest::newRow("replacement ending in a line break ends with vbCrLf")
        << inputs({}, u"x\r\n"_qs) << "Replace" << replaceVar + u"\"x\" & vbCrLf\r\n  ";
    QTest::newRow("each box gives its own word")
        << inputs({}, {}, u"I") << "Execute"
        << u"\r\n  RE.Global = False\r\n  RE.IgnoreCase = True\r\n  RE.MultiLine = False"_qs;
}

void tst_CodeGen::snippetLines()
{
    QFETCH(CodeInputs, inputs);
    QFETCH(QString, kind);
    QFETCH(QString, lines);
    const QString code = snippet(inputs, kind);
    QVERIFY2(code.contains(lines + CRLF), qPrintable(code));
}

void tst_CodeGen::literal_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty gives two quotes") << QString() << u"\"\""_qs;
    QTest::newRow("a tab b") << u"a\tb"_qs << u"\"a\" & vbTab & \"b\""_qs;
    QTest::newRow("tab a tab") << u"\ta\t"_qs << u"vbTab & \"a\" & vbTab"_qs;
    QTest::newRow("a CR LF b continues")
        << u"a\r\nb"_qs << u"\"a\" & vbCrLf" + Continued + u"\"b\"";
    QTest::newRow("a CR LF ends without continuation") << u"a\r\n"_qs << u"\"a\" & vbCrLf"_qs;
    QTest::newRow("CR LF CR LF") << u"\r\n\r\n"_qs << u"vbCrLf" + Continued + u"vbCrLf";
    // Sound: a CR or LF inside quotes would break the pasted line in two.
    QTest::newRow("sound: a lone CR is vbCr") << u"a\rb"_qs << u"\"a\" & vbCr & \"b\""_qs;
    QTest::newRow("sound: a lone LF is vbLf") << u"a\nb"_qs << u"\"a\" & vbLf & \"b\""_qs;
    QTest::newRow("quotes are doubled") << u"say \"hi\""_qs << u"\"say \"\"hi\"\"\""_qs;
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

QTEST_MAIN(tst_CodeGen)
#include "tst_codegen.moc"
