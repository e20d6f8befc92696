#pragma once
// Runs one kind of live work (results after a pause in typing, samples, lint, traces) off the
// window's thread. schedule() hands in the newest work and restarts the pause; when the pause
// ends, that work runs on the job's own worker thread with a fresh engine::RunControl, and the
// closure it returns runs on the window's thread to show the answer, unless newer work was
// scheduled meanwhile: a stale answer is dropped, never shown. Scheduling cancels a run still
// going. Use one job per kind of work; live work never opens a dialog.

#include "runner/engine/regexp.h"

#include <QObject>
#include <QThreadPool>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>

class LiveJob : public QObject
{
    Q_OBJECT

public:
    // Runs on the window's thread and shows an answer.
    using Show = std::function<void()>;
    // Runs on the worker thread; it should stop soon once its control is cancelled, and may
    // throw (an exception drops the answer). It returns what shows the answer (or nothing).
    using Work = std::function<Show(engine::RunControl &)>;

    explicit LiveJob(std::chrono::milliseconds pause, QObject *parent = nullptr);
    // Cancels the work still going and waits for it; nothing more is shown.
    ~LiveJob() override;

    // Replaces any work not yet started, cancels the one running, and restarts the pause.
    void schedule(Work work);
    // Starts the newest scheduled work now instead of after the pause.
    void runNow();
    // Drops the scheduled work and cancels the running one; nothing more is shown.
    void cancel();
    // True while work waits for the pause, waits for the worker or runs.
    bool busy() const;
    // For tests and benchmarks: handles events until the job is idle or timeout has passed;
    // true when it is idle.
    bool waitForIdle(std::chrono::milliseconds timeout);

    std::chrono::milliseconds pause() const;
    void setPause(std::chrono::milliseconds pause);

Q_SIGNALS:
    // Work began on the worker thread.
    void started();
    // The work that started last has ended and its answer, if any and still current, is shown.
    void finished();

private:
    void pauseEnded();
    void start();
    void ended(int generation, const Show &show);

    QTimer m_pause;
    QThreadPool m_pool; // one thread, kept between runs
    Work m_pending;
    std::shared_ptr<engine::RunControl> m_control; // of the running work
    bool m_running = false;
    int m_generation = 0; // counts schedule() and cancel() calls
};
