// Pattern files of every shape loaded into a real main window: one long line, a million short
// lines broken by LF, by CR LF and by CR alone, mixed breaks, and the largest file the program
// accepts of each shape. Prints the time of File > Open's load until the window has painted,
// and the resident memory before and at its peak during the load; a refused file, the message.
//   bench_load [shape...]   (the names of the first column; all of them by default)

#include "bench/support/benchwindow.h"
#include "bench/support/memorystatus.h"
#include "bench/support/offscreenapplication.h"
#include "document/cdocument.h"
#include "support/textfile.h"
#include "ui/main/frmmain.h"
#include "ui/main/textbox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

struct Shape
{
    const char *name;
    QString line;    // repeated to fill the source
    qsizetype lines; // how many times; 0: as many as the cap allows
};

// The source of shape: its line repeated, for the largest up to the cap on characters (with
// room for the other fields).
QString sourceOf(const Shape &shape, qsizetype room)
{
    return shape.line.repeated(shape.lines ? shape.lines : room / shape.line.size());
}

} // namespace

int main(int argc, char *argv[])
{
    const OffscreenApplication app(argc, argv);
    QStringList wanted = QApplication::arguments().mid(1);

    const QString word = QStringLiteral("abc 12 de");
    const std::vector<Shape> shapes = {
        {"one long line, 10 M", QString(10'000'000, u'x'), 1},
        {"1 M LF lines", word + u'\n', 1'000'000},
        {"1 M CR LF lines", word + u"\r\n", 1'000'000},
        {"500,000 CR LF lines", word + u"\r\n", 500'000},
        {"500,000 LF lines", word + u'\n', 500'000},
        {"1 M CR lines", word + u'\r', 1'000'000},
        {"1 M mixed breaks", word + u"\r\n" + word + u'\n' + word + u'\r', 333'333},
        {"largest: one long line", QStringLiteral("x"), 0},
        {"largest: empty LF lines", QStringLiteral("\n"), 0},
        {"largest: empty CR LF lines", QStringLiteral("\r\n"), 0},
        {"largest: empty CR lines", QStringLiteral("\r"), 0},
        {"largest: short CR LF lines", word + u"\r\n", 0},
    };

    BenchWindow bench;
    frmMain &window = bench.window;
    const OkResponder &responder = bench.responder;
    QApplication::processEvents();

    const QString file = app.scratch().filePath(QStringLiteral("shape.RegExp"));
    const QChar nul(0);
    const QString head = QStringLiteral("\\w+") + nul;
    const QString tail = QString(nul) + nul + u"1" + nul + u"0" + nul + u"1" + nul + u"0";
    std::printf("| %-28s | %10s | %9s | %8s | %8s | %s\n", "shape", "characters", "ms", "RSS MB",
                "peak MB", "outcome");
    std::printf(
        "|------------------------------|------------|-----------|----------|----------|---|\n");
    for (const Shape &shape : shapes) {
        if (!wanted.isEmpty() && !wanted.contains(QString::fromLatin1(shape.name)))
            continue;
        window.document().Clear();
        QApplication::processEvents();
        const QString source = sourceOf(shape, TextFile::MaxChars - head.size() - tail.size());
        {
            // Written as the program writes, also past the caps, which the program won't.
            QFile out(file);
            if (!out.open(QIODevice::WriteOnly) ||
                out.write(TextFile::encode(head + source + tail)) < 0)
                return 1;
        }
        const double rss = statusMb("VmRSS");
        resetPeak();
        QElapsedTimer timer;
        timer.start();
        const bool loaded = window.document().LoadAs(file);
        window.repaint();
        QApplication::processEvents();
        const double ms = timer.nsecsElapsed() / 1e6;
        const double peak = statusMb("VmHWM");
        QString outcome =
            loaded ? QStringLiteral("%1 blocks")
                         .arg(window.controls().txtSourceString->document()->blockCount())
                   : u"refused: " + responder.lastText.simplified();
        std::printf("| %-28s | %10lld | %9.0f | %8.0f | %8.0f | %s\n", shape.name,
                    static_cast<long long>(source.size()), ms, rss, peak, qPrintable(outcome));
        std::fflush(stdout);
    }
    return 0;
}
