#pragma once
// What the engine's Scan makes of the pattern box, in positions of the box's document: the
// spans by kind, the brackets with their partners and group numbers, and the error's marks
// with the text a run would report. Uses no widget and no document, so it runs on any thread.

#include "runner/engine/scanner.h"

#include <QString>

#include <vector>

struct PatternReading
{
    // A run of document positions [start, end) of one kind.
    struct Span
    {
        int start;
        int end;
        engine::TokenKind kind;
        bool operator==(const Span &) const = default;
    };
    // A bracket: its partner (-1: none) and, for a capturing "(", its group number.
    struct Bracket
    {
        int position;
        int partner;
        int group;
    };

    std::vector<Span> spans;       // in document order, not overlapping
    std::vector<Bracket> brackets; // in document order
    // The character where the error was found (the last one for an error at the end) and the
    // bracket left open; the error's text as the run's message gives it after its first line.
    std::vector<int> errorMarks;
    QString errorText;
    // The error as the engine gives it: number (0 for none), description and offset in the
    // pattern the engine gets.
    int errorNumber = 0;
    QString errorDescription;
    int errorPosition = -1;
};

// Reads pattern, the pattern the engine gets from the box. rawText is the box document's text
// (U+2029 between blocks, a lone CR or LF as its control picture); continues[i] is true when
// block i continues the line of block i - 1; ignoreLineBreaks as for the engine's pattern.
// An identity escape's backslash gets its kind, its character Literal. When the pattern and
// the document do not correspond, the reading is empty.
PatternReading readPattern(const QString &pattern, const QString &rawText,
                           const std::vector<bool> &continues, bool ignoreLineBreaks);
