#pragma once
// The texts of the status line: what a run found and how long the engine took, a run going on,
// the pattern's first error, and the states of the results.

#include <QString>

#include <chrono>

namespace StatusTexts {
// "No match", "1 match", "3 matches" (the count formatted as the tree's totals line).
QString verdict(qint64 matches);
// "0.4 ms", "12 ms", "1.3 s".
QString duration(std::chrono::nanoseconds time);
// verdict and the engine's time: "3 matches in 0.4 ms".
QString runDone(qint64 matches, std::chrono::nanoseconds engineTime);
// A run still going: "Running... 1.2 s".
QString running(std::chrono::nanoseconds elapsed);
// An error of the pattern, its position 0-based in the pattern (-1: none):
// "Error 5019 at character 4: Expected ']' in regular expression".
QString patternError(int number, const QString &description, int position);

// A long text going into a box: "Loading the source text... 40%".
QString arriving(QStringView what, int percent);

inline constexpr QStringView Stopped = u"Stopped after 1 s; F5 runs it in full";
inline constexpr QStringView OutOfDate = u"Changed since the last run: F5 runs it again";
} // namespace StatusTexts
