#include "support/workerthread.h"

#include <sys/resource.h>
#include <unistd.h>

WorkerThread::WorkerThread(int niceValue)
    : m_nice(niceValue)
{}

WorkerThread::~WorkerThread()
{
    if (!m_thread.joinable())
        return;
    {
        const std::lock_guard<std::mutex> hold(m_lock);
        m_quit = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void WorkerThread::start(std::function<void()> job)
{
    {
        const std::lock_guard<std::mutex> hold(m_lock);
        m_job = std::move(job);
        m_then = nullptr;
        m_busy = true;
    }
    if (!m_thread.joinable())
        m_thread = std::thread([this] { loop(); });
    else
        m_wake.notify_one();
}

bool WorkerThread::waitFor(std::chrono::milliseconds wait)
{
    std::unique_lock<std::mutex> hold(m_lock);
    return m_ended.wait_for(hold, wait, [this] { return !m_busy; });
}

void WorkerThread::whenDone(std::function<void()> then)
{
    std::unique_lock<std::mutex> hold(m_lock);
    if (m_busy) {
        m_then = std::move(then);
        return;
    }
    hold.unlock();
    then();
}

void WorkerThread::wait()
{
    std::unique_lock<std::mutex> hold(m_lock);
    m_ended.wait(hold, [this] { return !m_busy; });
}

void WorkerThread::loop()
{
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), m_nice);
    std::unique_lock<std::mutex> hold(m_lock);
    for (;;) {
        m_wake.wait(hold, [this] { return m_quit || m_job; });
        if (!m_job)
            return;
        const std::function<void()> job = std::move(m_job);
        m_job = nullptr;
        hold.unlock();
        job();
        hold.lock();
        m_busy = false;
        if (m_then) {
            m_then();
            m_then = nullptr;
        }
        m_ended.notify_all();
    }
}
