#include "ui/main/livejob.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QMetaObject>

#include <utility>

LiveJob::LiveJob(std::chrono::milliseconds pause, QObject *parent)
    : QObject(parent)
{
    m_pause.setSingleShot(true);
    m_pause.setInterval(pause);
    connect(&m_pause, &QTimer::timeout, this, &LiveJob::pauseEnded);
    m_pool.setMaxThreadCount(1);
    m_pool.setExpiryTimeout(-1);
}

LiveJob::~LiveJob()
{
    cancel();
    // The worker's answer is posted to this object; posted events die with it.
    m_pool.waitForDone();
}

void LiveJob::schedule(Work work)
{
    ++m_generation;
    m_pending = std::move(work);
    if (m_control)
        m_control->cancel();
    m_pause.start();
}

void LiveJob::runNow()
{
    if (!m_pending)
        return;
    m_pause.stop();
    pauseEnded();
}

void LiveJob::cancel()
{
    ++m_generation;
    m_pending = nullptr;
    m_pause.stop();
    if (m_control)
        m_control->cancel();
}

bool LiveJob::busy() const
{
    return m_running || m_pause.isActive() || m_pending;
}

bool LiveJob::waitForIdle(std::chrono::milliseconds timeout)
{
    const QDeadlineTimer deadline(timeout);
    while (busy() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    return !busy();
}

std::chrono::milliseconds LiveJob::pause() const
{
    return m_pause.intervalAsDuration();
}

void LiveJob::setPause(std::chrono::milliseconds pause)
{
    m_pause.setInterval(pause);
}

void LiveJob::pauseEnded()
{
    // A run still going was cancelled by schedule(); the newest work starts when it ends.
    if (!m_running)
        start();
}

void LiveJob::start()
{
    if (!m_pending)
        return;
    Work work = std::exchange(m_pending, nullptr);
    const int generation = m_generation;
    auto control = std::make_shared<engine::RunControl>();
    m_control = control;
    m_running = true;
    Q_EMIT started();
    m_pool.start([this, work = std::move(work), control, generation] {
        Show show;
        try {
            show = work(*control);
        } catch (...) {
            show = nullptr; // a failed or cancelled run shows nothing
        }
        QMetaObject::invokeMethod(
            this, [this, generation, show = std::move(show)] { ended(generation, show); },
            Qt::QueuedConnection);
    });
}

void LiveJob::ended(int generation, const Show &show)
{
    m_running = false;
    m_control.reset();
    if (generation == m_generation && show)
        show();
    Q_EMIT finished();
    if (m_pending && !m_pause.isActive())
        start();
}
