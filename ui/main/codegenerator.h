#pragma once
// The code generator: turns the pattern, the replacement and the options into a Visual Basic
// snippet that performs the same Execute, Replace or Test with the RegExp object, and offers
// it for the clipboard. The main window reads its controls into CodeInputs and calls
// GenerateCode; the builders below are pure and do not touch any window.

#include <QString>

// What the generator reads from the main window.
struct CodeInputs
{
    QString pattern;     // txtPattern, as typed
    QString replacement; // txtReplaceVar, as typed; never stripped of line breaks
    bool global = false;
    bool ignoreCase = false;
    bool multiline = false;
    bool ignoreLineBreaks = false; // acts only through PreparePattern
};

// The pattern as handed to the engine: every CR and every LF removed when ignoreLineBreaks is
// set, else unchanged.
QString PreparePattern(const QString &text, bool ignoreLineBreaks);
// The offset in text, the pattern as typed, of the character at offset in PreparePattern's
// result; an offset at its end gives the end of the last character kept.
qsizetype TypedPatternOffset(const QString &text, qsizetype offset, bool ignoreLineBreaks);

// A Visual Basic expression whose value is exactly text: quoted pieces with doubled quotes,
// vbTab and vbCrLf joined by " & ", and a " & _" line continuation after each vbCrLf that is
// followed by more. A lone CR or LF is vbCr or vbLf. "" for the empty text.
QString MakeStringLiteral(const QString &text);

// The snippet: lines joined by CR LF, no line end after the last. The menu sets exactly one of
// the three flags.
QString BuildCodeSnippet(const CodeInputs &inputs, bool forExecute, bool forReplace, bool forTest);

// Builds the snippet, shows it with "Copy generated code?" (OK and Cancel) and on OK only puts
// exactly the snippet on the clipboard.
void GenerateCode(const CodeInputs &inputs, bool forExecute, bool forReplace, bool forTest);
