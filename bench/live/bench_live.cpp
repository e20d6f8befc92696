// Live results in a real main window. A key typed into the pattern box over a source of
// 100,000 characters with 10,000 matches: the key itself, and the time until the new results
// are shown. Keys typed at the end of a source of 10,000,000 characters (1,000,000 matches) at
// a steady pace while the live runs go on: each key, and the longest the window's event loop
// was busy meanwhile (a key typed then waits that long). Prints a table of median and worst.
//   bench_live

#include "bench/support/benchwindow.h"
#include "bench/support/offscreenapplication.h"
#include "bench/support/timing.h"
#include "bench/support/typekey.h"
#include "ui/main/frmmain.h"
#include "ui/main/liveresults.h"
#include "ui/main/resultstreewidget.h"
#include "ui/main/textbox.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

void row(const char *work, double median, double worst, const char *budget)
{
    std::printf("| %-62s | %9.2f | %9.2f | %6s |\n", work, median, worst, budget);
}

// The longest the event loop went without handling its 1 ms tick.
class StallWatch
{
public:
    StallWatch()
    {
        m_tick.setInterval(1);
        QObject::connect(&m_tick, &QTimer::timeout, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            m_longest = std::max(m_longest, now - m_last);
            m_last = now;
        });
        m_clock.start();
        m_tick.start();
    }
    double longestMs() const { return m_longest / 1e6; }

private:
    QTimer m_tick;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};

void waitFor(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 1);
}

} // namespace

int main(int argc, char *argv[])
{
    const OffscreenApplication app(argc, argv);
    BenchWindow bench;
    frmMain &window = bench.window;
    LiveResults &live = window.liveResults();
    live.setOn(true);
    window.controls().chkGlobal->setChecked(true);
    bool shown = false;
    QObject::connect(&live, &LiveResults::answered, [&] { shown = true; });

    std::printf("| %-62s | %9s | %9s | %6s |\n", "live results", "median ms", "worst ms", "budget");
    std::printf("|%s|%s|%s|%s|\n", std::string(64, '-').c_str(), std::string(11, '-').c_str(),
                std::string(11, '-').c_str(), std::string(8, '-').c_str());

    // 100,000 characters, 10,000 matches of (\d)(\d); the keys add and take away a "?", which
    // keeps every match.
    window.controls().txtSourceString->SetText(QStringLiteral("abc 12 def").repeated(10'000));
    TextBox *pattern = window.controls().txtPattern;
    pattern->SetText(QStringLiteral("(\\d)(\\d)"));
    live.waitForIdle(std::chrono::seconds(10));
    pattern->setFocus();
    pattern->moveCursor(QTextCursor::End);
    // The key is timed; the wait for its results is timed from the key on, separately.
    int typed = 0;
    QElapsedTimer sinceKey;
    std::vector<double> results;
    const Timings keys = Timings::of(
        40,
        [&] {
            shown = false;
            sinceKey.start();
            if (typed++ % 2 == 0)
                typeKey(pattern, Qt::Key_Question, QStringLiteral("?"));
            else
                typeKey(pattern, Qt::Key_Backspace, QString());
            QApplication::processEvents();
            pattern->viewport()->repaint();
        },
        {},
        [&] {
            while (!shown && sinceKey.elapsed() < 10'000)
                QApplication::processEvents(QEventLoop::WaitForMoreEvents, 1);
            window.controls().tvResults->viewport()->repaint();
            window.controls().txtSourceString->viewport()->repaint();
            results.push_back(sinceKey.nsecsElapsed() / 1e6);
            if (window.controls().tvResults->topLevelItemCount() != 102)
                std::printf("unexpected tree: %d root nodes\n",
                            window.controls().tvResults->topLevelItemCount());
        });
    row("100,000 characters, 10,000 matches: a key in the pattern", keys.median(), keys.worst(),
        "2");
    row("the same: new results shown after the key", Timings::median(results),
        *std::max_element(results.begin(), results.end()), "300");

    // The end-to-end benchmark's source: 10,000,000 characters, 1,000,000 matches.
    const QString line = QStringLiteral("abc 12 def").repeated(9) + u"abc 12 d\r\n";
    window.controls().txtSourceString->SetText(line.repeated(100'000));
    QElapsedTimer first;
    first.start();
    shown = false;
    while (!shown && first.elapsed() < 30'000)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    row("10,000,000 characters: first results after loading", first.nsecsElapsed() / 1e6,
        first.nsecsElapsed() / 1e6, "");
    TextBox *source = window.controls().txtSourceString;
    source->setFocus();
    source->moveCursor(QTextCursor::End);
    // Paces: faster than the pause (no run starts), a key during each run (it is cancelled), and
    // slow enough for each run to show its answer.
    for (const int pace : {60, 170, 400}) {
        StallWatch stalls;
        int answers = 0;
        const QMetaObject::Connection counted =
            QObject::connect(&live, &LiveResults::answered, [&] { ++answers; });
        const Timings keys = Timings::of(
            25,
            [&] {
                typeKey(source, Qt::Key_X, QStringLiteral("x"));
                QApplication::processEvents();
                source->viewport()->repaint();
            },
            {}, [&] { waitFor(pace); });
        QObject::disconnect(counted);
        char what[100];
        std::snprintf(what, sizeof what, "10,000,000 characters: a key every %d ms (%d shown)",
                      pace, answers);
        row(what, keys.median(), keys.worst(), "2");
        row("  the same: longest the event loop was busy", stalls.longestMs(), stalls.longestMs(),
            "");
    }
    live.waitForIdle(std::chrono::seconds(30));
    return 0;
}
