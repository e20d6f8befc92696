#pragma once
// The samples file: the samples of work.RegExp live beside it in work.RegExp.samples, a UTF-8
// JSON document a person or a script can write:
//   {"version": 1, "samples": [
//     {"text": "a1b22", "expect": "count", "value": 2, "note": "two numbers"}]}
// Each sample has "text" and "expect" (an expectationName); "value" is required for "count"
// (a whole number) and for "match text", "group" and "replace" (a text); "match" (from 1,
// default 1) for "match text" and "group"; "group" (from 1) for "group"; "note" is optional.
// Every text keeps every UTF-16 code unit: NUL, line breaks, lone surrogates (written as
// \uXXXX escapes).

#include "samples/sample.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The companion file of a pattern file: its full name with ".samples" added.
QString samplesFileName(const QString &patternFileName);

struct SamplesParse
{
    QList<Sample> samples;
    // Empty when the document was read; else why not, naming the line and column or the
    // sample (from 1) at fault.
    QString error;
    bool ok() const { return error.isEmpty(); }
};

SamplesParse parseSamples(const QByteArray &json);
// The document, one sample a line, keys in a fixed order; ends with a line feed.
QByteArray writeSamples(const QList<Sample> &samples);
