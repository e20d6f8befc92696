#include "runner/codegenerator.h"

#include "support/appinfo.h"
#include "support/clipboardtext.h"
#include "support/messagebox.h"

#include <QStringList>

#include <algorithm>

namespace {

constexpr QStringView Joiner = u" & ";
// A line continuation: the next piece starts a new physical line indented by 15 blanks.
constexpr QStringView Continuation = u" & _\r\n               ";
constexpr QStringView LineEnd = u"\r\n";
constexpr QStringView Indent = u"  ";

QString boolWord(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

bool isLineBreakAt(const QString &text, qsizetype i)
{
    return text.at(i) == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n';
}

} // namespace

QString MakeStringLiteral(const QString &text)
{
    if (text.isEmpty())
        return QStringLiteral("\"\"");

    enum class Piece
    {
        None,
        Other,
        LineBreak
    };
    QString literal;
    literal.reserve(text.size() + text.size() / 4 + 2);
    Piece previous = Piece::None;
    auto join = [&] {
        if (previous == Piece::LineBreak)
            literal += Continuation;
        else if (previous == Piece::Other)
            literal += Joiner;
    };

    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        join();
        if (isLineBreakAt(text, i)) {
            literal += u"vbCrLf";
            previous = Piece::LineBreak;
            i += 2;
        } else if (text.at(i) == u'\t' || text.at(i) == u'\r' || text.at(i) == u'\n') {
            // A lone CR or LF cannot stand inside a Visual Basic string literal.
            literal += text.at(i) == u'\t' ? u"vbTab" : text.at(i) == u'\r' ? u"vbCr" : u"vbLf";
            previous = Piece::Other;
            ++i;
        } else {
            literal += u'"';
            for (; i < n && text.at(i) != u'\t' && text.at(i) != u'\r' && text.at(i) != u'\n';
                 ++i) {
                if (text.at(i) == u'"')
                    literal += u'"';
                literal += text.at(i);
            }
            literal += u'"';
            previous = Piece::Other;
        }
    }
    return literal;
}

QString BuildCodeSnippet(const CodeInputs &inputs, SnippetKind kind)
{
    const bool forExecute = kind == SnippetKind::Execute;
    const bool forReplace = kind == SnippetKind::Replace;
    const bool forTest = kind == SnippetKind::Test;
    QStringList lines;
    auto add = [&lines](QStringView line) { lines.append(Indent + line); };

    add(u"Dim RE As RegExp");
    if (forExecute)
        add(u"Dim MC As MatchCollection");
    if (forReplace)
        add(u"Dim ReplaceVar As String");
    add(u"");
    add(u"On Error Resume Next");
    add(u"");
    add(u"Set RE = New RegExp");
    add(u"");
    add(QString(u"RE.Global = " + boolWord(inputs.options.global)));
    add(QString(u"RE.IgnoreCase = " + boolWord(inputs.options.ignoreCase)));
    add(QString(u"RE.MultiLine = " + boolWord(inputs.options.multiline)));
    add(u"");
    add(QString(u"RE.Pattern = " + MakeStringLiteral(PreparePattern(
                                       inputs.pattern, inputs.options.ignoreLineBreaks))));
    add(u"");
    if (forReplace) {
        add(QString(u"ReplaceVar = " + MakeStringLiteral(inputs.replacement)));
        add(u"");
    }
    if (forExecute)
        add(u"Set MC = RE.Execute(TXT)");
    if (forReplace)
        add(u"TXT = RE.Replace(TXT, ReplaceVar)");
    if (forTest)
        add(u"If RE.Test(TXT) Then");
    return lines.join(LineEnd);
}

void GenerateCode(ModalHost &modal, const CodeInputs &inputs, SnippetKind kind)
{
    OfferCode(modal, BuildCodeSnippet(inputs, kind));
}

void OfferCode(ModalHost &modal, const QString &snippet)
{
    const QString prompt = u"Copy generated code?" + LineEnd + LineEnd + snippet;
    if (MsgBox(modal, prompt, MsgBoxStyle::OkCancelInformation, AppInfo::Title.toString()) !=
        MsgBoxButton::OK)
        return;
    ClipboardText &clipboard = ClipboardText::instance();
    clipboard.Empty();
    clipboard.SetText(snippet);
}
