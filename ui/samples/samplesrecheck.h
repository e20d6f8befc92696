#pragma once
// Checks the samples again in the background whenever the work or a sample changes: after a
// short pause the newest request runs on a worker thread (LiveJob), and its verdicts go to the
// panel unless a newer request came meanwhile. Typing never waits for a check: a request only
// takes a copy of the samples (shared, not copied) and of the pattern, replacement and options.

#include "runner/samplecheck.h"

#include <QObject>

#include <chrono>
#include <functional>

class LiveJob;
class SampleSet;
class SamplesPanel;

class SamplesRecheck : public QObject
{
    Q_OBJECT

public:
    // What the samples run with now (read on the window's thread).
    using Inputs = std::function<SampleRunInputs()>;

    static constexpr std::chrono::milliseconds Pause{150};

    // samples and panel must outlive the re-check. Every edit or reset of samples requests a
    // check; the window requests one when its work changes.
    SamplesRecheck(SampleSet &samples, SamplesPanel &panel, Inputs inputs,
                   QObject *parent = nullptr);

    void request();
    LiveJob &job() const { return *m_job; }

private:
    SampleSet &m_samples;
    SamplesPanel &m_panel;
    Inputs m_inputs;
    LiveJob *m_job = nullptr;
};
