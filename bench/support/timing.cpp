#include "bench/support/timing.h"

#include <algorithm>
#include <chrono>

Timings Timings::of(int runs, const std::function<void()> &work,
                    const std::function<void()> &before, const std::function<void()> &after)
{
    Timings timings;
    for (int run = 0; run < std::max(runs, 1); ++run) {
        if (before)
            before();
        const auto start = std::chrono::steady_clock::now();
        work();
        const auto end = std::chrono::steady_clock::now();
        timings.m_ms.push_back(std::chrono::duration<double, std::milli>(end - start).count());
        if (after)
            after();
    }
    std::sort(timings.m_ms.begin(), timings.m_ms.end());
    return timings;
}

double Timings::median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
