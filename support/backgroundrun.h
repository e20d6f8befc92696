#pragma once
// Runs a piece of work on a worker thread while the calling (user-interface) thread goes on
// handling events, so that the windows repaint and can be moved. Past a short quiet wait the
// user's input to the windows is held back and the wait pointer shows; after ShowAfter a small
// window says that the work goes on and offers Cancel. Esc, Cancel or closing a window calls the
// cancel routine given, which must make the work end soon.

#include <chrono>
#include <functional>
#include <memory>

class WorkerThread;

class BackgroundRun
{
public:
    static constexpr std::chrono::milliseconds ShowAfter{500};
    // A run that ends within this time leaves the window alone: it is not greyed, holds no
    // wait pointer and handles no events meanwhile.
    static constexpr std::chrono::milliseconds QuietWait{40};

    static BackgroundRun &instance();

    // Runs work and returns when it has ended; an exception it throws is thrown again here.
    // Called while a run goes on, it runs work directly.
    void run(const std::function<void()> &work, const std::function<void()> &cancel);
    bool isRunning() const { return m_cancel != nullptr; }
    // Asks the current run to stop, as Esc does; nothing when no run goes on.
    void cancel();

private:
    BackgroundRun();
    ~BackgroundRun();

    const std::function<void()> *m_cancel = nullptr;
    const std::unique_ptr<WorkerThread> m_worker; // one thread for every run
};
