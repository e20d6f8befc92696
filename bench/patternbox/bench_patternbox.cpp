// The pattern box with a pattern of 1,000,000 characters in a real main window: the engine's
// Scan alone, keys typed into the pattern (each with the box repainted), the reading after the
// pause (until shown, and the longest the event loop was busy meanwhile), and caret moves
// that mark a bracket pair. Prints a table of median and worst times.
//   bench_patternbox

#include "bench/support/benchwindow.h"
#include "bench/support/offscreenapplication.h"
#include "bench/support/timing.h"
#include "bench/support/typekey.h"
#include "runner/engine/scanner.h"
#include "ui/main/frmmain.h"
#include "ui/main/liveresults.h"
#include "ui/main/patternhighlighter.h"
#include "ui/main/textbox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr qsizetype PatternLength = 1'000'000;

// Every kind of span, repeated to the length.
QString bigPattern()
{
    const QString unit = QStringLiteral(R"((ab|c[d-f]\d+?)*x{2,3}\z\x4\1^$|)");
    QString pattern;
    while (pattern.size() + unit.size() <= PatternLength)
        pattern += unit;
    return pattern + QString(PatternLength - pattern.size(), u'a');
}

} // namespace

int main(int argc, char *argv[])
{
    const OffscreenApplication app(argc, argv);
    BenchWindow bench;
    frmMain &window = bench.window;
    // The figures of the commands alone; bench_live measures the live results.
    window.liveResults().setOn(false);
    TextBox *box = window.controls().txtPattern;
    PatternHighlighter *highlighter = box->findChild<PatternHighlighter *>();
    const QString pattern = bigPattern();

    std::printf("%-52s %10s %10s\n", "pattern box, 1,000,000-character pattern", "median ms",
                "worst ms");
    auto row = [](const char *work, const Timings &t) {
        std::printf("%-52s %10.2f %10.2f\n", work, t.median(), t.worst());
    };

    row("engine Scan alone", Timings::of(5, [&] {
            const engine::ScanResult r =
                engine::Scan({reinterpret_cast<const char16_t *>(pattern.utf16()),
                              static_cast<std::size_t>(pattern.size())});
            if (r.tokens.empty())
                std::abort();
        }));
    box->SetText(pattern);
    QApplication::processEvents();
    row("first reading of the loaded pattern (waited for)",
        Timings::of(1, [&] { highlighter->scanNow(); }));

    box->setFocus();
    auto moveCaret = [&](int position) {
        QTextCursor cursor = box->textCursor();
        cursor.setPosition(position);
        box->setTextCursor(cursor);
        QApplication::processEvents();
    };
    auto typeKeys = [&](int runs, Qt::Key key, const QString &text) {
        return Timings::of(runs, [&] {
            typeKey(box, key, text);
            QApplication::processEvents();
            box->viewport()->repaint();
        });
    };
    // The pause after a key and the reading it starts: the longest the event loop is busy at
    // a time (a key typed then would wait that long), and the time until the reading shows.
    auto readingAfterKey = [&](Qt::Key key, const QString &text, const char *what) {
        typeKey(box, key, text);
        QElapsedTimer clock;
        clock.start();
        qint64 last = 0;
        qint64 stall = 0;
        bool shown = false;
        QTimer tick;
        tick.setInterval(1);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            stall = std::max(stall, clock.nsecsElapsed() - last);
            last = clock.nsecsElapsed();
        });
        const QMetaObject::Connection done =
            QObject::connect(highlighter, &PatternHighlighter::readingShown, [&] { shown = true; });
        tick.start();
        while (!shown)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QObject::disconnect(done);
        stall = std::max(stall, clock.nsecsElapsed() - last);
        std::printf("%-52s %10.2f %10.2f\n", what, clock.nsecsElapsed() / 1e6, stall / 1e6);
    };

    const int middle = box->document()->characterCount() / 2;
    moveCaret(middle);
    row("a key typed in the middle (repainted)", typeKeys(50, Qt::Key_X, QStringLiteral("x")));
    readingAfterKey(Qt::Key_X, QStringLiteral("x"),
                    "reading after a key, middle [shown at | worst stall]");
    moveCaret(box->document()->characterCount() - 1);
    row("a key typed at the end (repainted)", typeKeys(50, Qt::Key_X, QStringLiteral("x")));
    moveCaret(0);
    row("a ( typed at the start (repainted)", typeKeys(20, Qt::Key_ParenLeft, QStringLiteral("(")));
    readingAfterKey(Qt::Key_ParenLeft, QStringLiteral("("),
                    "reading after a (, start [shown at | worst stall]");
    row("caret moved beside a bracket (repainted)", typeKeys(50, Qt::Key_Right, QString()));
    delete highlighter; // for comparison: the same box without colours
    moveCaret(middle);
    row("without colouring: a key typed in the middle",
        typeKeys(50, Qt::Key_X, QStringLiteral("x")));
    return 0;
}
