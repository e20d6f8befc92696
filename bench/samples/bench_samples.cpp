// Samples: checking 500 samples of up to 200 characters, the live re-check after its pause and
// what a request costs the window's thread while a check runs, a paste of 500 lines, and
// `sievewright --check` of a file with 10,000 samples (the program, end to end), and in the real
// window a key typed in the pattern box while the 500 samples re-check. Prints a table.
//   bench_samples [repetitions]

#include "bench/support/benchwindow.h"
#include "bench/support/offscreenapplication.h"
#include "bench/support/timing.h"
#include "bench/support/typekey.h"
#include "runner/engine/regexp.h"
#include "runner/samplecheck.h"
#include "samples/sampleset.h"
#include "samples/samplesjson.h"
#include "support/textfile.h"
#include "tests/support/scriptedresponder.h"
#include "ui/main/frmmain.h"
#include "ui/main/livejob.h"
#include "ui/main/maincontrols.h"
#include "ui/main/panelhost.h"
#include "ui/main/textbox.h"
#include "ui/samples/samplespanel.h"
#include "ui/samples/samplesrecheck.h"

#include <QAction>
#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>

#include <algorithm>
#include <cstdio>

namespace {

const QString Pattern = QStringLiteral("(\\w+)@(\\w+)\\.(com|org)");

// count samples of about 200 characters, every kind of expectation.
QList<Sample> makeSamples(int count)
{
    QList<Sample> samples;
    for (int i = 0; i < count; ++i) {
        Sample sample;
        const QString filler = QStringLiteral("lorem ipsum %1 dolor ").arg(i).repeated(8);
        sample.text =
            filler.left(160) + u" user" + QString::number(i) + u"@host.com " + filler.left(20);
        sample.expect = Expectation(i % 7);
        sample.count = 1;
        sample.match = 1;
        sample.group = 2;
        sample.value = QStringLiteral("host");
        samples.append(sample);
    }
    return samples;
}

void row(const char *work, double ms, const char *budget, const QString &outcome)
{
    std::printf("| %s | %.1f | %s | %s |\n", work, ms, budget, qPrintable(outcome));
}

} // namespace

int main(int argc, char *argv[])
{
    OffscreenApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 9;
    const SampleRunInputs inputs{Pattern, QStringLiteral("$2"), {true, true, true, false}};

    std::printf("| work | median ms | budget ms | outcome |\n|---|---|---|---|\n");

    const QList<Sample> five = makeSamples(500);
    std::vector<SampleVerdict> verdicts;
    const Timings check = Timings::of(runs, [&] {
        const engine::RunControl control;
        verdicts = CheckSamples(inputs, five, control);
    });
    row("check 500 samples of 200 characters (worker thread's work)", check.median(), "",
        summaryText(countVerdicts(verdicts)));

    ScriptedResponder responder;
    SampleSet set;
    SamplesPanel panel(set, responder);
    panel.resize(800, 400);
    panel.show();
    SamplesRecheck recheck(set, panel, [&] { return inputs; });
    set.reset(five);
    recheck.job().waitForIdle(std::chrono::seconds(10));

    // From the end of the pause to the verdicts shown.
    std::vector<double> shown;
    std::vector<double> requests;
    for (int i = 0; i < runs; ++i) {
        recheck.job().setPause(std::chrono::milliseconds(0));
        QElapsedTimer timer;
        timer.start();
        recheck.request();
        recheck.job().waitForIdle(std::chrono::seconds(10));
        shown.push_back(double(timer.nsecsElapsed()) / 1e6);

        // A request (what a key typed costs the window) while a check runs.
        recheck.job().setPause(std::chrono::milliseconds(0));
        recheck.request();
        recheck.job().runNow();
        QElapsedTimer key;
        key.start();
        recheck.request();
        requests.push_back(double(key.nsecsElapsed()) / 1e6);
        recheck.job().waitForIdle(std::chrono::seconds(10));
    }
    row("500 samples re-checked: verdicts shown after the pause", Timings::median(shown), "300",
        panel.summary());
    row("a request while a check runs (window's thread)", Timings::median(requests), "2", {});

    // A paste of 500 lines becomes 500 rows.
    QStringList lines;
    for (int i = 0; i < 500; ++i)
        lines.append(u"line " + QString::number(i) + u" user@host.com");
    const QString pasted = lines.join(u"\n");
    const Timings paste = Timings::of(
        runs,
        [&] {
            responder.button(6);
            panel.pasteText(pasted);
        },
        [&] { set.reset({}); });
    row("paste of 500 lines into the panel", paste.median(), "1000",
        QString::number(set.count()) + u" rows");

    // The real window: a key in the pattern box while the samples re-check on the worker.
    {
        BenchWindow bench;
        frmMain &window = bench.window;
        window.panels().viewItem(QStringLiteral("pnlSamples"))->trigger();
        auto *windowRecheck = window.findChild<SamplesRecheck *>();
        LiveJob &job = windowRecheck->job();
        window.samples().reset(five);
        TextBox *pattern = window.controls().txtPattern;
        pattern->SetText(Pattern);
        job.waitForIdle(std::chrono::seconds(10));
        pattern->setFocus();
        pattern->moveCursor(QTextCursor::End);
        bool started = false;
        QObject::connect(&job, &LiveJob::started, [&] { started = true; });
        std::vector<double> keys;
        for (int i = 0; i < 4 * runs; ++i) {
            started = false;
            typeKey(pattern, Qt::Key_Question, QStringLiteral("?"));
            while (!started)
                QApplication::processEvents(QEventLoop::WaitForMoreEvents, 1);
            QElapsedTimer key;
            key.start();
            typeKey(pattern, Qt::Key_Backspace, QString());
            QApplication::processEvents();
            keys.push_back(double(key.nsecsElapsed()) / 1e6);
            job.waitForIdle(std::chrono::seconds(10));
        }
        row("a key in the pattern box while 500 samples re-check (real window)",
            Timings::median(keys), "2",
            QStringLiteral("worst %1 ms")
                .arg(*std::max_element(keys.begin(), keys.end()), 0, 'f', 1));
    }

    // --check of 10,000 samples, the program started and ended.
    const QString file = app.scratch().path() + u"/many.RegExp";
    TextFile store;
    store.WriteText(
        file, QStringList{Pattern, {}, QStringLiteral("$2"), "1", "1", "1", "0"}.join(QChar(0)));
    store.WriteBytes(samplesFileName(file), writeSamples(makeSamples(10'000)));
    QString summary;
    const Timings cli = Timings::of(std::min(runs, 5), [&] {
        QProcess process;
        process.start(QStringLiteral(SIEVEWRIGHT_EXE), {QStringLiteral("--check"), file});
        process.waitForFinished(60'000);
    });
    {
        QProcess process;
        process.start(QStringLiteral(SIEVEWRIGHT_EXE), {QStringLiteral("--check"), file});
        process.waitForFinished(60'000);
        const QStringList out =
            QString::fromUtf8(process.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        summary = out.isEmpty() ? QStringLiteral("(no output)") : out.constLast();
        summary += u", exit " + QString::number(process.exitCode());
    }
    row("sievewright --check, 10,000 samples (program end to end)", cli.median(), "1000", summary);
    return 0;
}
