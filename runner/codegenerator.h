#pragma once
// The code generator: turns the pattern, the replacement and the options into a Visual Basic
// snippet that performs the same Execute, Replace or Test with the RegExp object, and offers
// it for the clipboard. The main window reads its controls into CodeInputs and calls
// GenerateCode; the builders below are pure and do not touch any window.

#include "runner/runoptions.h"

#include <QString>

class ModalHost;

// What the generator reads from the main window.
struct CodeInputs
{
    QString pattern;     // txtPattern, as typed
    QString replacement; // txtReplaceVar, as typed; never stripped of line breaks
    RunOptions options;
};

// The command the snippet performs.
enum class SnippetKind
{
    Execute,
    Replace,
    Test
};

// A Visual Basic expression whose value is exactly text: quoted pieces with doubled quotes,
// vbTab and vbCrLf joined by " & ", and a " & _" line continuation after each vbCrLf that is
// followed by more. A lone CR or LF is vbCr or vbLf. "" for the empty text.
QString MakeStringLiteral(const QString &text);

// The snippet: lines joined by CR LF, no line end after the last.
QString BuildCodeSnippet(const CodeInputs &inputs, SnippetKind kind);

// Builds the snippet, shows it through modal with "Copy generated code?" (OK and Cancel) and on
// OK only puts exactly the snippet on the clipboard.
void GenerateCode(ModalHost &modal, const CodeInputs &inputs, SnippetKind kind);
// Shows snippet through modal with "Copy generated code?" (OK and Cancel); on OK only puts
// exactly the snippet on the clipboard.
void OfferCode(ModalHost &modal, const QString &snippet);
