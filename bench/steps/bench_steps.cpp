// The step view's budgets: tracing the runaway pattern to the step limit (time, memory of the
// records, peak memory), the window's event loop while a trace runs in the panel, and moving
// to a step of that trace (slider, last, next backtrack, next start) with both boxes marked.
// Prints a table.
//   bench_steps

#include "bench/support/memorystatus.h"
#include "bench/support/offscreenapplication.h"
#include "bench/support/timing.h"
#include "runner/engine/trace.h"
#include "ui/main/livejob.h"
#include "ui/main/textbox.h"
#include "ui/steps/stepspanel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <random>

namespace {

const QString Runaway = QStringLiteral("(a|aa){1,20}$");

QString runawayText(int as)
{
    return QString(as, u'a') + u'b';
}

void row(const char *work, double ms, const char *budget, const QString &note)
{
    std::printf("| %-44s | %9.1f | %6s | %s |\n", work, ms, budget, qPrintable(note));
}

void traceAlone(int as)
{
    const std::u16string text = runawayText(as).toStdU16String();
    resetPeak();
    const double before = statusMb("VmRSS");
    QElapsedTimer timer;
    timer.start();
    const engine::TraceResult trace = engine::Trace(Runaway.toStdU16String(), {}, text, 0);
    const double ms = timer.nsecsElapsed() / 1e6;
    const QString label = QStringLiteral("engine Trace, %1 \"a\" + \"b\"").arg(as);
    row(qPrintable(label), ms, "",
        QStringLiteral("%1 steps%2, records %3 MB, peak %4 MB over %5 MB")
            .arg(trace.steps)
            .arg(trace.stopped ? QStringLiteral(" (stopped at the limit)") : QString())
            .arg(trace.recordBytes() / 1048576.0, 0, 'f', 1)
            .arg(statusMb("VmHWM") - before, 0, 'f', 1)
            .arg(before, 0, 'f', 1));
}

// Median and worst of moves, each followed by a repaint of the panel and both boxes.
void moves(const char *work, StepsPanel &panel, TextBox &pattern, TextBox &source, int times,
           const std::function<void()> &move)
{
    const Timings timings = Timings::of(times, [&] {
        move();
        panel.repaint();
        pattern.repaint();
        source.repaint();
    });
    row(work, timings.median(), "50",
        QStringLiteral("worst %1 ms of %2").arg(timings.worst(), 0, 'f', 1).arg(times));
}

} // namespace

int main(int argc, char **argv)
{
    OffscreenApplication application(argc, argv);
    std::printf("| %-44s | %9s | %6s | %s |\n", "work", "ms", "budget", "outcome");
    std::printf("|%s|%s|%s|%s|\n", std::string(46, '-').c_str(), std::string(11, '-').c_str(),
                std::string(8, '-').c_str(), std::string(9, '-').c_str());
    traceAlone(24); // first, so that its peak is not hidden by memory the heap keeps
    traceAlone(22);

    TextBox pattern;
    TextBox source;
    pattern.SetText(Runaway);
    source.SetText(runawayText(24));
    StepsPanel panel;
    panel.setBoxes(&pattern, &source);
    panel.resize(600, 300);
    pattern.show();
    source.show();
    panel.show();

    // The event loop while the panel traces: the longest wait between two timer ticks.
    {
        QElapsedTimer clock;
        qint64 last = 0;
        qint64 longest = 0;
        int ticks = 0;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            longest = std::max(longest, now - last);
            last = now;
            ++ticks;
            panel.update();
        });
        StepsPanel::Request request;
        request.pattern = Runaway;
        request.source = source.Text();
        clock.start();
        tick.start(5);
        panel.trace(request, true);
        panel.job().waitForIdle(std::chrono::seconds(60));
        const double total = clock.nsecsElapsed() / 1e6;
        tick.stop();
        row("trace in the panel: longest event-loop wait", longest / 1e6, "100",
            QStringLiteral("%1 ticks of 5 ms in %2 ms; %3")
                .arg(ticks)
                .arg(total, 0, 'f', 0)
                .arg(panel.stateText()));
    }
    const auto steps = static_cast<qint64>(panel.result()->records.size());
    std::mt19937 random(7);
    moves("slider to a random step", panel, pattern, source, 50,
          [&] { panel.setStep(std::uniform_int_distribution<qint64>(0, steps - 1)(random)); });
    moves("last step, from the first", panel, pattern, source, 20, [&] {
        panel.first();
        panel.last();
    });
    moves("next backtrack", panel, pattern, source, 50, [&] { panel.nextBacktrack(); });
    moves("next start position, from the first step", panel, pattern, source, 20, [&] {
        panel.first();
        panel.nextStart();
    });
    return 0;
}
