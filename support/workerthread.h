#pragma once
// One long-lived thread that runs jobs one at a time, so that a run does not pay for starting
// and ending a thread of its own. It starts with its first job and runs at a lower priority than
// the thread that hands the jobs in (Linux keeps a nice value per thread).

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class WorkerThread
{
public:
    explicit WorkerThread(int niceValue);
    ~WorkerThread();
    WorkerThread(const WorkerThread &) = delete;
    WorkerThread &operator=(const WorkerThread &) = delete;

    // Hands job to the worker and returns at once; the previous job must have ended. job must
    // not throw.
    void start(std::function<void()> job);
    // Waits until the job has ended or wait has passed; true when it has ended.
    bool waitFor(std::chrono::milliseconds wait);
    // Has then run on the worker when the job ends, or here at once when it has ended already.
    void whenDone(std::function<void()> then);
    // Waits until the job has ended.
    void wait();

private:
    void loop();

    const int m_nice;
    std::mutex m_lock;
    std::condition_variable m_wake;  // a job or the end for the worker
    std::condition_variable m_ended; // the job has ended
    std::function<void()> m_job;
    std::function<void()> m_then;
    bool m_busy = false;
    bool m_quit = false;
    std::thread m_thread;
};
