#include "ui/steps/stepsbinding.h"

#include "runner/u16text.h"
#include "ui/main/livejob.h"

#include <QEvent>
#include <QLocale>

namespace {

// A run's steps are counted at once when it ends (the run itself waited for no pause).
constexpr std::chrono::milliseconds CountPause{0};

QString number(std::uint64_t n)
{
    return QLocale().toString(static_cast<qulonglong>(n));
}

} // namespace

StepsBinding::StepsBinding(StepsPanel *panel, ReadWork read, QObject *parent)
    : QObject(parent)
    , m_panel(panel)
    , m_read(std::move(read))
    , m_count(std::make_unique<LiveJob>(CountPause))
{
    m_panel->installEventFilter(this);
    connect(m_panel, &StepsPanel::traced, this, [this](quint64 steps, bool stopped) {
        m_traceText = stopped ? tr("Trace: stopped at %1 steps").arg(number(steps))
                              : tr("Trace: %1 steps").arg(number(steps));
        tell();
    });
}

StepsBinding::~StepsBinding()
{
    m_count->cancel();
}

void StepsBinding::workChanged()
{
    m_matchSelected = false;
    m_count->cancel();
    m_runText.clear();
    tell();
    retrace(false);
}

void StepsBinding::matchSelected(const std::optional<engine::MatchCollection> &matches, int match)
{
    m_matchSelected = matches && match >= 0 && match < matches->Count();
    if (m_matchSelected)
        m_from = static_cast<int>(engine::SearchStartOf(*matches, match));
    retrace(true);
}

bool StepsBinding::followsCaret() const
{
    return m_panel->isVisible() && !m_matchSelected;
}

void StepsBinding::caretMoved(int offset)
{
    if (m_matchSelected || offset == m_from)
        return;
    m_from = offset;
    retrace(false);
}

void StepsBinding::runEnded(const engine::MatchCollection &matches)
{
    if (!m_panel->isVisible())
        return;
    const Work work = m_read();
    m_count->schedule(
        [this, work, count = matches.Count()](engine::RunControl &control) -> LiveJob::Show {
            engine::TraceOptions options;
            options.ignoreCase = work.ignoreCase;
            options.multiline = work.multiline;
            auto steps = std::make_shared<const engine::RunSteps>(engine::StepsOfRun(
                u16View(work.pattern), options, u16View(work.source), work.global, &control));
            if (static_cast<int>(steps->perMatch.size()) != count)
                return {}; // not the run's work any more
            return [this, steps] {
                Q_EMIT runCounted(steps);
                m_runText = tr("Run: %1 steps").arg(number(steps->total));
                tell();
            };
        });
    m_count->runNow();
}

bool StepsBinding::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_panel && event->type() == QEvent::Show && m_stale)
        retrace(true);
    else if (watched == m_panel && event->type() == QEvent::Hide)
        Q_EMIT statusText(QString());
    if (watched == m_panel && event->type() == QEvent::Show)
        tell();
    return QObject::eventFilter(watched, event);
}

void StepsBinding::tell()
{
    QStringList parts;
    for (const QString &part : {m_runText, m_traceText})
        if (!part.isEmpty())
            parts << part;
    Q_EMIT statusText(parts.join(QStringLiteral(" \u00B7 ")));
}

void StepsBinding::retrace(bool now)
{
    if (!m_panel->isVisible()) {
        m_stale = true;
        return;
    }
    m_stale = false;
    const Work work = m_read();
    if (!m_matchSelected && work.caret >= 0)
        m_from = work.caret;
    StepsPanel::Request request;
    request.pattern = work.pattern;
    request.ignoreCase = work.ignoreCase;
    request.multiline = work.multiline;
    request.source = work.source;
    request.from = std::min(m_from, static_cast<int>(work.source.size()));
    m_panel->trace(request, now);
}
