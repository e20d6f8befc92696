// The whole program end to end. Start-up: the built executable, started on the offscreen
// platform, until it reports its window shown. Then, in this process through a real main
// window: a pattern file with a 10-million-character source loaded and saved, Execute,
// Replace and Test through the buttons, a key typed into the big source box, and Execute and
// open with 100,000 matches; a big text arriving in a box (the file loaded, 10 MB pasted,
// Replace's 10 MB output): until the window is usable, the longest freeze and until it is all
// there; a runaway pattern with the window's repaints timed and Esc
// cancelling it; the largest file the program reads. Prints a table of median times with the
// resident memory before each step and its peak during the step.
//   bench_e2e            (no arguments: the window would read them as a file name)

#include "bench/support/benchwindow.h"
#include "bench/support/memorystatus.h"
#include "bench/support/offscreenapplication.h"
#include "bench/support/timing.h"
#include "document/cdocument.h"
#include "runner/engine/regexp.h"
#include "runner/u16text.h"
#include "support/backgroundrun.h"
#include "support/clipboardtext.h"
#include "support/textfile.h"
#include "ui/main/frmmain.h"
#include "ui/main/liveresults.h"
#include "ui/main/matchlocator.h"
#include "ui/main/resultstreewidget.h"
#include "ui/main/textbox.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

struct Row
{
    QString work;
    double ms = 0;
    QString budget;
    double rssBefore = 0; // MB
    double peak = 0;      // MB, the most resident during the step
    QString note;
};

std::vector<Row> rows;

// Runs work with the events it posts, runs times, and adds its row: the median time and the
// highest peak of memory.
// before, when given, runs untimed ahead of each run.
void measure(const QString &name, const QString &budget, int runs,
             const std::function<QString()> &work, const std::function<void()> &before = {})
{
    Row row{name, 0, budget, statusMb("VmRSS"), 0, {}};
    row.ms = Timings::of(
                 runs,
                 [&] {
                     row.note = work();
                     QApplication::processEvents();
                 },
                 [&] {
                     if (before) {
                         before();
                         QApplication::processEvents();
                     }
                     resetPeak();
                 },
                 [&] { row.peak = std::max(row.peak, statusMb("VmHWM")); })
                 .median();
    rows.push_back(row);
}

// Milliseconds from starting the program to its report of the window shown; -1 when none.
double startUpMs(const QString &scratch, const QStringList &arguments)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("SIEVEWRIGHT_REPORT_SHOWN"), QStringLiteral("1"));
    // Settings and caches in the scratch folder, never the user's.
    for (const char *name : {"HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME"})
        env.insert(QString::fromLatin1(name), scratch);
    QProcess process;
    process.setProcessEnvironment(env);
    QElapsedTimer timer;
    timer.start();
    process.start(QStringLiteral(SIEVEWRIGHT_EXE), arguments);
    QByteArray out;
    while (!out.contains("sievewright: shown") && timer.elapsed() < 20'000 &&
           process.state() != QProcess::NotRunning) {
        process.waitForReadyRead(50);
        out += process.readAllStandardOutput();
    }
    const double ms = out.contains("sievewright: shown") ? timer.nsecsElapsed() / 1e6 : -1;
    process.kill();
    process.waitForFinished();
    return ms;
}

QString mb(double value)
{
    return QString::number(value, 'f', 0);
}

// Times the gaps between the paint events of a window.
class PaintGaps : public QObject
{
public:
    QElapsedTimer clock;
    qint64 last = -1;
    qint64 longest = 0;
    qint64 longestEnd = 0; // when the longest gap ended
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            const qint64 now = clock.nsecsElapsed();
            if (last >= 0 && now - last > longest) {
                longest = now - last;
                longestEnd = now;
            }
            last = now;
            ++paints;
        }
        return false;
    }
};

// Runs the event loop until document has not changed for a few turns.
void settle(const QTextDocument *document)
{
    for (int steady = 0, characters = -1; steady < 3;) {
        QApplication::processEvents();
        steady = document->characterCount() == characters ? steady + 1 : 0;
        characters = document->characterCount();
    }
}

// A big text going into a box that may take it in slices. Usable: the call that starts it has
// returned and an event posted to the pattern box then has been handled. Freeze: the longest
// time between two turns of the event loop (a repeating zero timer), from the call's start.
// Arrived: the last change of the box's document, once it has not changed for a few turns.
struct Arrival
{
    double usable = 0;
    double freeze = 0;
    double arrived = 0;
};

Arrival arrivalOf(const QTextDocument *document, QObject *patternBox,
                  const std::function<void()> &start)
{
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    qint64 longest = 0;
    qint64 changed = 0;
    int steady = 0;
    int characters = -1;
    QTimer turns;
    turns.setInterval(0);
    QObject::connect(&turns, &QTimer::timeout, &turns, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - last);
        last = now;
        if (document->characterCount() != characters) {
            characters = document->characterCount();
            changed = now;
            steady = 0;
        } else {
            ++steady;
        }
    });
    start();
    Arrival figures;
    bool handled = false;
    QMetaObject::invokeMethod(
        patternBox,
        [&] {
            figures.usable = clock.nsecsElapsed() / 1e6;
            handled = true;
        },
        Qt::QueuedConnection);
    longest = clock.nsecsElapsed();
    last = longest;
    turns.start();
    while (!handled || steady < 3)
        QApplication::processEvents();
    turns.stop();
    figures.freeze = longest / 1e6;
    figures.arrived = changed / 1e6;
    return figures;
}

// Medians of runs arrivals started by start (before, untimed, ahead of each) as three rows.
void measureArrival(const QString &name, const QString &usableBudget, int runs,
                    const QTextDocument *document, QObject *patternBox,
                    const std::function<void()> &start, const std::function<void()> &before)
{
    std::vector<double> usable, freeze, arrived;
    const double rss = statusMb("VmRSS");
    double peak = 0;
    for (int run = 0; run < runs; ++run) {
        before();
        QApplication::processEvents();
        resetPeak();
        const Arrival figures = arrivalOf(document, patternBox, start);
        peak = std::max(peak, statusMb("VmHWM"));
        usable.push_back(figures.usable);
        freeze.push_back(figures.freeze);
        arrived.push_back(figures.arrived);
    }
    const QString note = u"median of " + QString::number(runs) + u", worst ";
    const auto worst = [](const std::vector<double> &values) {
        return QString::number(*std::max_element(values.cbegin(), values.cend()), 'f', 1);
    };
    rows.push_back({name + u": window usable", Timings::median(usable), usableBudget, rss, peak,
                    note + worst(usable)});
    rows.push_back({name + u": longest freeze", Timings::median(freeze), QStringLiteral("50"), 0, 0,
                    note + worst(freeze)});
    rows.push_back(
        {name + u": all of it there", Timings::median(arrived), {}, 0, 0, note + worst(arrived)});
}

} // namespace

int main(int argc, char *argv[])
{
    const OffscreenApplication app(argc, argv);
    const QTemporaryDir &scratch = app.scratch();
    // Test mode keeps the cache (the exports) under the home folder.
    qputenv("HOME", QFile::encodeName(scratch.path()));
    qputenv("TMPDIR", QFile::encodeName(scratch.path()));

    // 100,000 lines of 100 characters, ten matches of (\d)(\d) a line.
    const QString line = QStringLiteral("abc 12 def").repeated(9) + u"abc 12 d\r\n";
    const QString source = line.repeated(100'000);
    const QString pattern = QStringLiteral("(\\d)(\\d)");
    const QString file = scratch.filePath(QStringLiteral("big.RegExp"));
    const QChar nul(0);
    TextFile().WriteText(file, pattern + nul + source + nul + u"$2$1" + nul + u"1" + nul + u"0" +
                                   nul + u"0" + nul + u"0");

    std::vector<double> starts, bigStarts;
    for (int run = 0; run < 5; ++run) {
        starts.push_back(startUpMs(scratch.path(), {}));
        bigStarts.push_back(startUpMs(scratch.path(), {file}));
    }
    rows.push_back({QStringLiteral("start-up to the window shown"), Timings::median(starts),
                    QStringLiteral("500"), 0, 0, QStringLiteral("median of 5 starts")});
    rows.push_back({QStringLiteral("start-up with the 10 MB file"), Timings::median(bigStarts),
                    QStringLiteral("300"), 0, 0,
                    QStringLiteral("median of 5 starts; the window usable")});

    BenchWindow bench;
    frmMain &window = bench.window;
    const OkResponder &responder = bench.responder;
    const RecordingOpener &opener = bench.opener;
    // The figures of the commands alone; bench_live measures the live results.
    window.liveResults().setOn(false);
    QApplication::processEvents();
    TextBox *const sourceBox = window.controls().txtSourceString;
    TextBox *const resultBox = window.controls().txtResult;
    TextBox *const patternBox = window.controls().txtPattern;

    measure(QStringLiteral("load the 10 MB pattern file, all there"), {}, 3, [&]() -> QString {
        const bool loaded = window.document().LoadAs(file);
        settle(sourceBox->document());
        return loaded ? QString() : QStringLiteral("NOT LOADED");
    });
    measure(QStringLiteral("save it"), {}, 3, [&]() -> QString {
        return window.document().Save() ? QString::number(QFileInfo(file).size()) + u" bytes"
                                        : QStringLiteral("NOT SAVED");
    });

    // The big texts arriving: the file loaded, 10 MB pasted over the source, Replace's output.
    const auto emptyBoxes = [&] {
        window.document().Clear();
        patternBox->setFocus();
    };
    measureArrival(
        QStringLiteral("load the 10 MB file"), QStringLiteral("300"), 5, sourceBox->document(),
        patternBox, [&] { window.document().LoadAs(file); }, emptyBoxes);
    ClipboardText::instance().SetText(source);
    measureArrival(
        QStringLiteral("paste 10 MB into the source"), QStringLiteral("150"), 5,
        sourceBox->document(), patternBox, [&] { sourceBox->paste(); },
        [&] {
            sourceBox->SetText(QString());
            sourceBox->setFocus();
        });
    patternBox->SetText(pattern);
    window.controls().txtReplaceVar->SetText(QStringLiteral("$2$1"));
    window.controls().chkGlobal->setChecked(true);
    measureArrival(
        QStringLiteral("Replace, 10 MB into the result"), QStringLiteral("150"), 5,
        resultBox->document(), patternBox, [&] { window.controls().cmdReplace->click(); },
        [&] { resultBox->SetText(QString()); });

    engine::RegExp regExp;
    regExp.setGlobal(true);
    regExp.setPattern(u16View(pattern));
    measure(QStringLiteral("engine Execute alone, same work"), {}, 5, [&]() -> QString {
        return QString::number(regExp.Execute(u16View(source)).Count()) + u" matches";
    });
    const double engineMs = rows.back().ms;
    const QString executeBudget = QString::number(1.5 * engineMs, 'f', 0) + u" (1.5 x engine)";
    const auto execute = [&]() -> QString {
        window.controls().cmdExecute->click();
        return QString::number(window.controls().tvResults->topLevelItemCount()) + u" root nodes";
    };
    measure(QStringLiteral("Execute button, 1,000,000 matches"), executeBudget, 5, execute);
    measure(QStringLiteral("Replace button, all there"), {}, 3, [&]() -> QString {
        window.controls().cmdReplace->click();
        settle(resultBox->document());
        return QString::number(window.controls().txtResult->Text().size()) + u" characters";
    });
    measure(QStringLiteral("Test button"), {}, 5, [&]() -> QString {
        window.controls().cmdTest->click();
        return responder.lastText;
    });
    const auto typeKey = [&] {
        window.controls().txtSourceString->setFocus();
        window.controls().txtSourceString->moveCursor(QTextCursor::End);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QApplication::sendEvent(window.controls().txtSourceString, &press);
        QApplication::sendEvent(window.controls().txtSourceString, &release);
    };
    measure(QStringLiteral("a key typed at the end of the source"), {}, 5, [&]() -> QString {
        typeKey();
        return QString();
    });
    measure(QStringLiteral("Execute button after a key typed"), executeBudget, 5, execute, typeKey);

    // The matches highlighted in the source box: typing and scrolling with them shown.
    const auto executeShown = [&] {
        execute();
        QApplication::processEvents();
    };
    measure(
        QStringLiteral("a key typed, highlights shown"), QStringLiteral("2"), 5,
        [&]() -> QString {
            typeKey();
            return QString();
        },
        executeShown);
    // One page down from the top of the source.
    const auto scrollPage = [&]() -> QString {
        window.controls().txtSourceString->verticalScrollBar()->triggerAction(
            QAbstractSlider::SliderPageStepAdd);
        window.controls().txtSourceString->viewport()->repaint();
        return QString::number(window.controls().txtSourceString->verticalScrollBar()->value()) +
               u" lines from the top";
    };
    const auto toTop = [&] { window.controls().txtSourceString->verticalScrollBar()->setValue(0); };
    measure(QStringLiteral("scrolling a page, highlights shown"), QStringLiteral("16"), 5,
            scrollPage, [&] {
                executeShown();
                toTop();
            });
    measure(QStringLiteral("scrolling a page, no highlights"), {}, 5, scrollPage, [&] {
        typeKey();
        toTop();
    });
    executeShown();
    const qint64 boundaries = 1'000'000LL * 3 * 2;
    const double positionBytes = double(window.matchLocator().positionBytes());
    rows.push_back({QStringLiteral("positions kept for the highlights"), 0,
                    QStringLiteral("8 B a boundary"), statusMb("VmRSS"), 0,
                    QString::number(positionBytes / 1e6, 'f', 1) + u" MB, " +
                        QString::number(positionBytes / double(boundaries), 'f', 1) +
                        u" B a boundary"});
    typeKey();
    rows.push_back({QStringLiteral("positions kept after an edit"), 0, QStringLiteral("0"),
                    statusMb("VmRSS"), 0,
                    QString::number(window.matchLocator().positionBytes()) + u" bytes"});

    QString keyValues;
    for (int i = 0; i < 100'000; ++i)
        keyValues += u'k' + QString::number(i) + u"=v" + QString::number(i) + u"; ";
    window.controls().txtPattern->SetText(QStringLiteral("(k\\d+)=(v\\d+)"));
    window.controls().txtSourceString->SetText(keyValues);
    window.controls().chkGlobal->setChecked(true);
    measure(QStringLiteral("Execute and open, 100,000 matches"), QStringLiteral("3000"), 3,
            [&]() -> QString {
                window.controls().cmdExecuteAndOpen->click();
                const QString opened =
                    opener.opened().isEmpty() ? QString() : opener.opened().constLast().path;
                const qint64 bytes = QFileInfo(opened).size();
                QFile::remove(opened);
                return QString::number(bytes) + u" bytes of .xlsx";
            });

    // A run of about a minute: the window asks for a repaint every 16 ms, as a moved or
    // uncovered window does, and Esc comes after 3 s.
    window.controls().txtPattern->SetText(QStringLiteral("(a|aa){1,20}$"));
    window.controls().txtSourceString->SetText(QString(10'000, u'a') + u'b');
    {
        PaintGaps gaps;
        QTimer repaint;
        QObject::connect(&repaint, &QTimer::timeout, &window, [&] { window.update(); });
        QElapsedTimer sinceEsc;
        QTimer::singleShot(3000, &window, [&] {
            sinceEsc.start();
            QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(window.controls().tvResults, &esc);
        });
        const double rss = statusMb("VmRSS");
        resetPeak();
        window.installEventFilter(&gaps);
        gaps.clock.start();
        repaint.start(16);
        window.controls().cmdExecute->click();
        const double escToEnd = sinceEsc.nsecsElapsed() / 1e6;
        repaint.stop();
        window.removeEventFilter(&gaps);
        rows.push_back({QStringLiteral("runaway run: longest gap between paints"),
                        gaps.longest / 1e6, QStringLiteral("100"), rss, statusMb("VmHWM"),
                        QString::number(gaps.paints) + u" paints, the longest gap ending " +
                            QString::number(gaps.longestEnd / 1'000'000) + u" ms in; " +
                            responder.lastText});
        rows.push_back({QStringLiteral("runaway run: Esc to the run's end"), escToEnd,
                        QStringLiteral("100"), 0, 0,
                        QString::number(window.controls().tvResults->topLevelItemCount()) +
                            u" root nodes kept"});
    }

    // The largest file read: ASCII text as UTF-8 up to the cap.
    const QString largest = scratch.filePath(QStringLiteral("largest.RegExp"));
    {
        QFile out(largest);
        if (out.open(QIODevice::WriteOnly)) {
            const QByteArray head = QByteArrayLiteral("(\\d)(\\d)") + '\0';
            const QByteArray tail = QByteArray("\0$2$1\0"
                                               "1\0"
                                               "0\0"
                                               "0\0"
                                               "0",
                                               12);
            QByteArray body = line.toLatin1().repeated(
                int((TextFile::MaxChars - head.size() - tail.size()) / line.size()));
            out.write(head + body + tail);
        }
    }
    measure(QStringLiteral("load the largest file read"), QStringLiteral("5000"), 1,
            [&]() -> QString {
                if (!window.document().LoadAs(largest))
                    return QStringLiteral("NOT LOADED: ") + responder.lastText;
                return QString::number(QFileInfo(largest).size()) + u" bytes";
            });
    QFile::remove(largest);

    std::printf("| %-38s | %9s | %22s | %8s | %8s | %s\n", "work", "ms", "budget ms", "RSS MB",
                "peak MB", "outcome");
    std::printf("|%s|%s|%s|%s|%s|---|\n", std::string(40, '-').c_str(),
                std::string(11, '-').c_str(), std::string(24, '-').c_str(),
                std::string(10, '-').c_str(), std::string(10, '-').c_str());
    for (const Row &row : rows)
        std::printf("| %-38s | %9.1f | %22s | %8s | %8s | %s\n", qPrintable(row.work), row.ms,
                    qPrintable(row.budget), row.rssBefore ? qPrintable(mb(row.rssBefore)) : "",
                    row.peak ? qPrintable(mb(row.peak)) : "", qPrintable(row.note));
    std::printf("\nsource: %lld characters (%.0f MB as UTF-16)\n",
                static_cast<long long>(source.size()), source.size() * 2 / 1e6);
    return 0;
}
