#pragma once
// Keeps the results following the work. While "Live results" is on (remembered; on for a new
// user), every change of the work cancels a run still going and, after a short pause, runs
// Execute (and Replace, where asked) on the live job's worker thread, capped at one second and
// with no dialog; the newest answer goes to the window's views, a stale one is dropped. The work
// is read when the pause ends, not at every key. While the option is off, a change says that the
// results are out of date until the next run by command.

#include "runner/liverun.h"
#include "ui/main/livejob.h"

#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>

class LiveResults : public QObject
{
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds Pause{120};
    static constexpr std::chrono::milliseconds TimeCap{1000};
    // The name the option is remembered by.
    static constexpr QStringView Preference = u"LiveResults";

    // take reads the work from the controls as a run would get it.
    explicit LiveResults(std::function<LiveRequest()> take, QObject *parent = nullptr);

    bool isOn() const { return m_on; }
    // Switches the option and remembers it; switching it on runs the work at once.
    void setOn(bool on);
    // The work changed.
    void workChanged();
    // A run by command made the results current: a live run still to come is dropped.
    void commandRan();

    // The runs; idle while the pause goes on.
    LiveJob &job() { return m_job; }
    // For tests and benchmarks: handles events until the pause is over and the job idle, or
    // timeout has passed; true when idle.
    bool waitForIdle(std::chrono::milliseconds timeout);

Q_SIGNALS:
    // On the window's thread: the answer of the newest live run.
    void answered(const LiveAnswer &answer);
    // The work changed while the option is off.
    void outOfDate();

private:
    void run();

    std::function<LiveRequest()> m_take;
    QTimer m_pause;
    LiveJob m_job;
    bool m_on;
};
