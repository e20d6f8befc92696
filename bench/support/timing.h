#pragma once
// Wall-clock timing for the benchmarks: runs a piece of work several times and keeps the time
// of each run, in milliseconds, for the tables' median, best and worst columns.

#include <functional>
#include <vector>

class Timings
{
public:
    // Runs work runs times (at least once); before and after, when given, run untimed around
    // each run.
    static Timings of(int runs, const std::function<void()> &work,
                      const std::function<void()> &before = {},
                      const std::function<void()> &after = {});
    // The median of values (not empty).
    static double median(std::vector<double> values);

    double median() const { return m_ms[m_ms.size() / 2]; }
    double best() const { return m_ms.front(); }
    double worst() const { return m_ms.back(); }

private:
    std::vector<double> m_ms; // sorted
};
