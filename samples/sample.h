#pragma once
// A sample: a text and what the window's pattern must give on it. The samples of a pattern
// file are kept beside it (samplesjson.h), edited in the Samples panel (through SampleSet) and
// checked against the engine by the runner (runner/samplecheck.h).

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

enum class Expectation
{
    Match,     // Test answers true
    NoMatch,   // Test answers false
    Whole,     // the first match covers the whole text
    Count,     // Execute (under the window's Global) gives `count` matches
    MatchText, // match `match` is `value`
    Group,     // group `group` of match `match` is `value`
    Replace,   // Replace with the replacement box's text gives `value`
};

struct Sample
{
    QString text;
    Expectation expect = Expectation::Match;
    int match = 1; // from 1, as the results tree numbers them (MatchText, Group)
    int group = 1; // from 1 (Group)
    int count = 0; // (Count)
    QString value; // (MatchText, Group, Replace)
    QString note;  // free text kept with the sample

    bool operator==(const Sample &) const = default;
};

// The name of an expectation in the samples file: "match", "no match", "whole", "count",
// "match text", "group", "replace".
QStringView expectationName(Expectation expect);
// The expectation a name stands for; none for an unknown name.
std::optional<Expectation> expectationFromName(QStringView name);
// Every expectation, in the order the panel offers them.
const QList<Expectation> &allExpectations();

enum class TextMarks
{
    Visible, // texts on one line, with the marks of visibleText
    Raw,     // texts exactly as they are
};
// What the sample expects, in words: `2 matches`, `group 2 of match 1 is "y"`, ...
QString describeExpectation(const Sample &sample, TextMarks marks = TextMarks::Visible);
// "1 match", "3 matches".
QString matchCount(qsizetype count);
// text in double quotes, on one line: a line break (CR LF, CR or LF) shows as ↵, a tab as →,
// NUL as ␀.
QString quoted(QStringView text);
// The same marks without the quotes.
QString visibleText(QStringView text);
