#include "ui/steps/stepspanel.h"

#include "runner/u16text.h"
#include "ui/main/livejob.h"
#include "ui/steps/heatview.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QShortcut>
#include <QSlider>
#include <QToolButton>

namespace {

// The pause after an edit before a trace starts.
constexpr std::chrono::milliseconds TracePause{300};

QString number(std::uint64_t n)
{
    return QLocale().toString(static_cast<qulonglong>(n));
}

} // namespace

StepsPanel::StepsPanel(QWidget *parent)
    : QWidget(parent)
    , m_job(std::make_unique<LiveJob>(TracePause))
    , m_slider(new QSlider(Qt::Horizontal, this))
    , m_line(new QLabel(this))
    , m_state(new QLabel(this))
    , m_heat(new HeatView(this))
{
    setFocusPolicy(Qt::StrongFocus);
    auto *buttons = new QHBoxLayout;
    const auto button = [&](const QString &text, const QString &tip, const QKeySequence &key,
                            void (StepsPanel::*move)()) {
        auto *b = new QToolButton(this);
        b->setText(text);
        b->setToolTip(QStringLiteral("%1 (%2)").arg(tip, key.toString(QKeySequence::NativeText)));
        b->setAutoRaise(true);
        connect(b, &QToolButton::clicked, this, move);
        auto *shortcut = new QShortcut(key, this);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, move);
        buttons->addWidget(b);
        return b;
    };
    m_first = button(tr("First"), tr("The first step"), Qt::Key_Home, &StepsPanel::first);
    m_back = button(tr("Back"), tr("One step back"), Qt::Key_Left, &StepsPanel::back);
    m_forward = button(tr("Forward"), tr("One step forward"), Qt::Key_Right, &StepsPanel::forward);
    m_last = button(tr("Last"), tr("The last step"), Qt::Key_End, &StepsPanel::last);
    m_nextBacktrack =
        button(tr("Backtrack"), tr("The next backtrack"), Qt::Key_B, &StepsPanel::nextBacktrack);
    m_nextStart =
        button(tr("Start"), tr("The next start position"), Qt::Key_S, &StepsPanel::nextStart);
    m_match = button(tr("Match"), tr("The match"), Qt::Key_M, &StepsPanel::match);
    buttons->addStretch();

    m_slider->setFocusPolicy(Qt::NoFocus); // the panel's keys move it
    m_slider->setTracking(true);
    connect(m_slider, &QSlider::valueChanged, this, [this](int value) { setStep(value); });
    m_line->setWordWrap(true);
    m_line->setTextFormat(Qt::PlainText);
    m_state->setWordWrap(true);
    m_state->setTextFormat(Qt::PlainText);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_slider);
    layout->addWidget(m_line);
    layout->addWidget(m_heat);
    layout->addWidget(m_state);
    layout->addStretch();

    connect(m_job.get(), &LiveJob::started, this, [this] { m_state->setText(tr("Tracing...")); });
    clear();
}

StepsPanel::~StepsPanel()
{
    m_job->cancel();
    m_marks.clear();
}

void StepsPanel::setBoxes(TextBox *pattern, TextBox *source)
{
    m_marks.setBoxes(pattern, source);
}

void StepsPanel::trace(const Request &request, bool now)
{
    m_job->schedule([this, request](engine::RunControl &control) -> LiveJob::Show {
        engine::TraceOptions options;
        options.ignoreCase = request.ignoreCase;
        options.multiline = request.multiline;
        try {
            auto result = std::make_shared<const engine::TraceResult>(
                engine::Trace(u16View(request.pattern), options, u16View(request.source),
                              static_cast<std::size_t>(request.from), request.stepLimit, &control));
            return [this, result, text = request.pattern] { shown(result, text); };
        } catch (const engine::RegExpError &e) {
            if (e.number() == engine::errors::Cancelled)
                return {};
            const QString message = QString::fromStdU16String(e.description());
            return [this, message] { failed(message); };
        } catch (const std::bad_alloc &) {
            return [this] { failed(tr("Out of memory")); };
        }
    });
    if (now)
        m_job->runNow();
}

void StepsPanel::clear()
{
    m_job->cancel();
    m_result.reset();
    m_step = -1;
    m_marks.clear();
    m_heat->clear();
    m_line->clear();
    m_state->setText(tr("No trace."));
    updateButtons();
}

void StepsPanel::shown(std::shared_ptr<const engine::TraceResult> result, const QString &pattern)
{
    const qint64 kept = m_step;
    m_result = std::move(result);
    m_pattern = pattern;
    const auto count = static_cast<qint64>(m_result->records.size());
    {
        const QSignalBlocker blocker(m_slider);
        m_slider->setRange(0, static_cast<int>(std::max<qint64>(count - 1, 0)));
    }
    m_heat->showCounts(pattern, m_result->parts, m_result->steps);
    QString state;
    if (m_result->stopped)
        state = tr("Stopped at the limit of %1 steps; the steps up to it can be stepped through.")
                    .arg(number(m_result->steps));
    else if (m_result->found())
        state = tr("%1 steps to the match at %2.")
                    .arg(number(m_result->steps))
                    .arg(m_result->bounds[0]);
    else
        state = tr("%1 steps, no match.").arg(number(m_result->steps));
    const int hottest = m_heat->hottestPart();
    if (hottest >= 0)
        state += u' ' + tr("Most steps: %1.").arg(m_heat->partTip(hottest));
    m_state->setText(state);
    m_step = -1;
    setStep(kept < 0 ? 0 : std::min(kept, count - 1));
    Q_EMIT traced(m_result->steps, m_result->stopped);
}

void StepsPanel::failed(const QString &message)
{
    clear();
    m_state->setText(message);
}

void StepsPanel::setStep(qint64 step)
{
    if (!m_result || m_result->records.empty())
        return;
    step = std::clamp<qint64>(step, 0, static_cast<qint64>(m_result->records.size()) - 1);
    if (step == m_step)
        return;
    m_step = step;
    {
        const QSignalBlocker blocker(m_slider);
        m_slider->setValue(static_cast<int>(step));
    }
    const engine::TraceStep &record = m_result->records[static_cast<std::size_t>(step)];
    const engine::TracePart &part = m_result->parts[static_cast<std::size_t>(record.part())];
    const int attempt = m_result->attemptStart(static_cast<std::size_t>(step));
    m_marks.show(part.start, part.length, attempt, record.position());
    m_line->setText(stepText());
    updateButtons();
    Q_EMIT stepShown(step);
}

QString StepsPanel::stepText() const
{
    if (!m_result || m_step < 0)
        return {};
    const engine::TraceStep &record = m_result->records[static_cast<std::size_t>(m_step)];
    const engine::TracePart &part = m_result->parts[static_cast<std::size_t>(record.part())];
    const QString what =
        part.length == 0
            ? tr("the pattern's end")
            : QStringLiteral("\u201C%1\u201D").arg(m_pattern.mid(part.start, part.length));
    const QString outcome = record.matched() ? tr("it matches") : tr("it fails");
    QString told;
    switch (record.kind()) {
    case engine::StepKind::Start:
        told = tr("Starts at %1: tries %2; %3.").arg(record.position()).arg(what, outcome);
        break;
    case engine::StepKind::Try:
        told = tr("Tries %1 at %2; %3.").arg(what).arg(record.position()).arg(outcome);
        break;
    case engine::StepKind::Backtrack:
        told = tr("Backtracks: tries %1 again at %2; %3.")
                   .arg(what)
                   .arg(record.position())
                   .arg(outcome);
        break;
    case engine::StepKind::Match:
        told = tr("Match: %1 to %2.")
                   .arg(m_result->attemptStart(static_cast<std::size_t>(m_step)))
                   .arg(record.position());
        break;
    case engine::StepKind::NoMatch:
        told = tr("No match from here.");
        break;
    }
    return tr("Step %1 of %2. %3")
        .arg(number(static_cast<std::uint64_t>(m_step) + 1), number(m_result->records.size()),
             told);
}

QString StepsPanel::stateText() const
{
    return m_state->text();
}

void StepsPanel::first()
{
    setStep(0);
}

void StepsPanel::back()
{
    setStep(m_step - 1);
}

void StepsPanel::forward()
{
    setStep(m_step + 1);
}

void StepsPanel::last()
{
    if (m_result)
        setStep(static_cast<qint64>(m_result->records.size()) - 1);
}

void StepsPanel::nextBacktrack()
{
    if (m_result && m_step >= 0) {
        const long long next =
            m_result->nextOf(static_cast<std::size_t>(m_step), engine::StepKind::Backtrack);
        if (next >= 0)
            setStep(next);
    }
}

void StepsPanel::nextStart()
{
    if (m_result && m_step >= 0) {
        const long long next = m_result->nextAttempt(static_cast<std::size_t>(m_step));
        if (next >= 0)
            setStep(next);
    }
}

void StepsPanel::match()
{
    if (m_result && m_result->found())
        setStep(static_cast<qint64>(m_result->records.size()) - 1);
}

void StepsPanel::updateButtons()
{
    const bool any = m_result && !m_result->records.empty();
    const qint64 lastStep = any ? static_cast<qint64>(m_result->records.size()) - 1 : -1;
    m_slider->setEnabled(any);
    m_first->setEnabled(any && m_step > 0);
    m_back->setEnabled(any && m_step > 0);
    m_forward->setEnabled(any && m_step < lastStep);
    m_last->setEnabled(any && m_step < lastStep);
    m_nextBacktrack->setEnabled(any && m_step < lastStep);
    m_nextStart->setEnabled(any && m_step < lastStep);
    m_match->setEnabled(any && m_result->found());
}
