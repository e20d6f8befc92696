#pragma once
// The four options of a run as the main window's check boxes hold them, and the pattern as the
// engine gets it.

#include <QString>

struct RunOptions
{
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
