#include "ui/main/liveresults.h"

#include "support/preferences.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <memory>

LiveResults::LiveResults(std::function<LiveRequest()> take, QObject *parent)
    : QObject(parent)
    , m_take(std::move(take))
    , m_job(std::chrono::milliseconds(0), this)
    , m_on(Preferences::flag(Preference.toString(), true))
{
    m_pause.setSingleShot(true);
    m_pause.setInterval(Pause);
    connect(&m_pause, &QTimer::timeout, this, &LiveResults::run);
}

void LiveResults::setOn(bool on)
{
    if (on == m_on)
        return;
    m_on = on;
    Preferences::setFlag(Preference.toString(), on);
    if (on) {
        run();
    } else {
        m_pause.stop();
        m_job.cancel();
    }
}

void LiveResults::workChanged()
{
    if (!m_on) {
        Q_EMIT outOfDate();
        return;
    }
    m_job.cancel();
    m_pause.start();
}

void LiveResults::commandRan()
{
    m_pause.stop();
    m_job.cancel();
}

bool LiveResults::waitForIdle(std::chrono::milliseconds timeout)
{
    QElapsedTimer clock;
    clock.start();
    while (m_pause.isActive() && clock.elapsed() < timeout.count())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    const auto left = timeout - std::chrono::milliseconds(clock.elapsed());
    return !m_pause.isActive() && m_job.waitForIdle(std::max(left, std::chrono::milliseconds(0)));
}

void LiveResults::run()
{
    // The work as it is now; the run reads nothing else.
    auto request = std::make_shared<LiveRequest>(m_take());
    m_job.schedule([this, request](engine::RunControl &control) -> LiveJob::Show {
        auto answer =
            std::make_shared<const LiveAnswer>(RunLive(std::move(*request), control, TimeCap));
        if (answer->outcome == LiveAnswer::Outcome::Cancelled)
            return {};
        return [this, answer] { Q_EMIT answered(*answer); };
    });
    m_job.runNow();
}
