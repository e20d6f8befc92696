#pragma once
// The fourth snippet: a Visual Basic Sub that builds the RegExp with the pattern and options
// and checks every sample, printing each failure with Debug.Print and a closing count. Texts
// become literals by MakeStringLiteral's rules.

#include "runner/codegenerator.h"
#include "samples/sample.h"

#include <QList>
#include <QString>

// The Sub, lines joined by CR LF, no line end after "End Sub".
QString BuildSamplesSnippet(const CodeInputs &inputs, const QList<Sample> &samples);
