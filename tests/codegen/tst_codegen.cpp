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
    return inputs(QStringLiteral("^(\\d+)\t\"(\\w*)\"$"), QStringLiteral("$2\r\n$1"), u"GI");
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
        QStringLiteral("  \r\n  On Error Resume Next\r\n  \r\n  Set RE = New RegExp\r\n  \r\n"
                       "  RE.Global = True\r\n  RE.IgnoreCase = True\r\n  RE.MultiLine = False\r\n"
                       "  \r\n  RE.Pattern = \"^(\\d+)\" & vbTab & \"\"\"(\\w*)\"\"$\"\r\n  \r\n");
    QTest::newRow("Replace")
        << sampleInputs() << "Replace"
        << u"  Dim RE As RegExp\r\n  Dim ReplaceVar As String\r\n" + body +
               u"  ReplaceVar = \"$2\" & vbCrLf & _\r\n               \"$1\"\r\n"
               u"  \r\n  TXT = RE.Replace(TXT, ReplaceVar)";
    QTest::newRow("Test") << sampleInputs() << "Test"
                          << u"  Dim RE As RegExp\r\n" + body + u"  If RE.Test(TXT) Then";
    QTest::newRow("Execute of \\d+ with Global and Multiline: 14 lines")
        << inputs(QStringLiteral("\\d+"), {}, u"GM") << "Execute"
        << QStringLiteral("  Dim RE As RegExp\r\n  Dim MC As MatchCollection\r\n  \r\n  On Error "
                          "Resume Next\r\n"
                          "  \r\n  Set RE = New RegExp\r\n  \r\n  RE.Global = True\r\n"
                          "  RE.IgnoreCase = False\r\n  RE.MultiLine = True\r\n  \r\n"
                          "  RE.Pattern = \"\\d+\"\r\n  \r\n  Set MC = RE.Execute(TXT)");
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
        << inputs(QStringLiteral("a\r\nb")) << "Test"
        << pattern + u"\"a\" & vbCrLf" + Continued + u"\"b\"";
    QTest::newRow("ignore line breaks drops CR LF, CR and LF from the pattern")
        << inputs(QStringLiteral("a\r\nb\rc\nd\n\re \tf"), {}, u"L") << "Test"
        << pattern + u"\"abcde \" & vbTab & \"f\"";
    QTest::newRow("ignore line breaks leaves the replacement alone")
        << inputs({}, QStringLiteral("x\r\ny"), u"L") << "Replace"
        << replaceVar + u"\"x\" & vbCrLf" + Continued + u"\"y\"";
    QTest::newRow("replacement ending in a line break ends with vbCrLf")
        << inputs({}, QStringLiteral("x\r\n")) << "Replace" << replaceVar + u"\"x\" & vbCrLf\r\n  ";
    QTest::newRow("each box gives its own word")
        << inputs({}, {}, u"I") << "Execute"
        << QStringLiteral(
               "\r\n  RE.Global = False\r\n  RE.IgnoreCase = True\r\n  RE.MultiLine = False");
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

    QTest::newRow("empty gives two quotes") << QString() << QStringLiteral("\"\"");
    QTest::newRow("a tab b") << QStringLiteral("a\tb") << QStringLiteral("\"a\" & vbTab & \"b\"");
    QTest::newRow("tab a tab") << QStringLiteral("\ta\t")
                               << QStringLiteral("vbTab & \"a\" & vbTab");
    QTest::newRow("a CR LF b continues")
        << QStringLiteral("a\r\nb") << u"\"a\" & vbCrLf" + Continued + u"\"b\"";
    QTest::newRow("a CR LF ends without continuation")
        << QStringLiteral("a\r\n") << QStringLiteral("\"a\" & vbCrLf");
    QTest::newRow("CR LF CR LF") << QStringLiteral("\r\n\r\n") << u"vbCrLf" + Continued + u"vbCrLf";
    // Sound: a CR or LF inside quotes would break the pasted line in two.
    QTest::newRow("sound: a lone CR is vbCr")
        << QStringLiteral("a\rb") << QStringLiteral("\"a\" & vbCr & \"b\"");
    QTest::newRow("sound: a lone LF is vbLf")
        << QStringLiteral("a\nb") << QStringLiteral("\"a\" & vbLf & \"b\"");
    QTest::newRow("quotes are doubled")
        << QStringLiteral("say \"hi\"") << QStringLiteral("\"say \"\"hi\"\"\"");
    QTest::newRow("LF CR is no line break")
        << QStringLiteral("\n\r") << QStringLiteral("vbLf & vbCr");
    QTest::newRow("CR before CR LF") << QStringLiteral("\r\r\n") << QStringLiteral("vbCr & vbCrLf");
    QTest::newRow("quote next to tab and line break")
        << QStringLiteral("\"\t\"\r\n\"")
        << u"\"\"\"\" & vbTab & \"\"\"\" & vbCrLf" + Continued + u"\"\"\"\"";
    QTest::newRow("blank ampersand blank next to quotes")
        << QStringLiteral("\" & \"") << QStringLiteral("\"\"\" & \"\"\"");
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
