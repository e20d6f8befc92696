#pragma once
// Samples made in one line for the samples suites' tables.

#include "samples/sample.h"

#include <utility>

inline Sample make(Expectation expect, QString text, QString value = {}, int match = 1,
                   int group = 1)
{
    Sample sample;
    sample.text = std::move(text);
    sample.expect = expect;
    sample.value = std::move(value);
    sample.match = match;
    sample.group = group;
    return sample;
}

inline Sample counting(QString text, int count)
{
    Sample sample = make(Expectation::Count, std::move(text));
    sample.count = count;
    return sample;
}
