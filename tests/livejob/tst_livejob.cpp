// Live work after a pause: only the newest answer is shown, a newer request cancels the older
// run, and nothing shows once the job is cancelled or gone.

#include "tests/support/testenvironment.h"
#include "ui/main/livejob.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <atomic>
#include <memory>
#include <vector>

using namespace std::chrono_literals;

namespace {

// Work that answers value, after waiting for its control's cancel when holdUntilCancelled.
LiveJob::Work answer(std::vector<int> &shown, int value, bool holdUntilCancelled = false,
                     std::atomic<bool> *wasCancelled = nullptr)
{
    return [&shown, value, holdUntilCancelled, wasCancelled](engine::RunControl &control) {
        if (holdUntilCancelled) {
            while (!control.cancelled())
                QThread::msleep(1);
            if (wasCancelled)
                *wasCancelled = true;
            throw engine::RegExpError(engine::errors::Cancelled, -1);
        }
        return LiveJob::Show([&shown, value] { shown.push_back(value); });
    };
}

} // namespace

class tst_LiveJob : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { initTestEnvironment(); }

    void answerShownAfterThePauseOnTheWindowsThread()
    {
        LiveJob job(20ms);
        std::vector<int> shown;
        QThread *workedOn = nullptr;
        QThread *shownOn = nullptr;
        job.schedule([&](engine::RunControl &) {
            workedOn = QThread::currentThread();
            return LiveJob::Show([&] {
                shownOn = QThread::currentThread();
                shown.push_back(1);
            });
        });
        QVERIFY(job.busy());
        QVERIFY(shown.empty()); // nothing before the pause
        QVERIFY(job.waitForIdle(5s));
        QCOMPARE(shown, std::vector<int>{1});
        QVERIFY(workedOn != QThread::currentThread());
        QCOMPARE(shownOn, QThread::currentThread());
    }

    void requestsWithinThePauseRunOnlyTheNewest()
    {
        LiveJob job(50ms);
        std::vector<int> shown;
        int started = 0;
        connect(&job, &LiveJob::started, this, [&] { ++started; });
        for (int i = 1; i <= 5; ++i)
            job.schedule(answer(shown, i));
        QVERIFY(job.waitForIdle(5s));
        QCOMPARE(shown, std::vector<int>{5});
        QCOMPARE(started, 1);
    }

    void newerRequestCancelsTheRunAndDropsItsAnswer()
    {
        LiveJob job(0ms);
        std::vector<int> shown;
        std::atomic<bool> cancelled{false};
        QSignalSpy started(&job, &LiveJob::started);
        job.schedule(answer(shown, 1, true, &cancelled));
        QVERIFY(started.wait(5000));
        job.schedule(answer(shown, 2));
        QVERIFY(job.waitForIdle(5s));
        QVERIFY(cancelled);
        QCOMPARE(shown, std::vector<int>{2});
    }

    void staleAnswerOfAFinishedRunIsDropped()
    {
        // The run ends before the newer request is seen: its answer is still not shown.
        LiveJob job(0ms);
        std::vector<int> shown;
        std::atomic<bool> release{false};
        QSignalSpy started(&job, &LiveJob::started);
        job.schedule([&](engine::RunControl &) {
            while (!release)
                QThread::msleep(1);
            return LiveJob::Show([&] { shown.push_back(1); });
        });
        QVERIFY(started.wait(5000));
        job.setPause(30ms);
        job.schedule(answer(shown, 2));
        release = true;
        QVERIFY(job.waitForIdle(5s));
        QCOMPARE(shown, std::vector<int>{2});
    }

    void cancelShowsNothing_data()
    {
        QTest::addColumn<bool>("whileRunning");
        QTest::newRow("during the pause") << false;
        QTest::newRow("while running") << true;
    }

    void cancelShowsNothing()
    {
        QFETCH(bool, whileRunning);
        LiveJob job(whileRunning ? 0ms : 30ms);
        std::vector<int> shown;
        QSignalSpy started(&job, &LiveJob::started);
        job.schedule(answer(shown, 1, whileRunning));
        if (whileRunning)
            QVERIFY(started.wait(5000));
        job.cancel();
        QVERIFY(job.waitForIdle(5s));
        QTest::qWait(60);
        QVERIFY(shown.empty());
        QCOMPARE(started.count(), whileRunning ? 1 : 0);
    }

    void failedWorkShowsNothingAndTheJobGoesOn()
    {
        LiveJob job(0ms);
        std::vector<int> shown;
        job.schedule([](engine::RunControl &) -> LiveJob::Show {
            throw engine::RegExpError(engine::errors::SyntaxError, 0);
        });
        QVERIFY(job.waitForIdle(5s));
        job.schedule(answer(shown, 7));
        QVERIFY(job.waitForIdle(5s));
        QCOMPARE(shown, std::vector<int>{7});
    }

    void destroyedWhileRunningShowsNothing()
    {
        std::vector<int> shown;
        std::atomic<bool> cancelled{false};
        {
            LiveJob job(0ms);
            QSignalSpy started(&job, &LiveJob::started);
            job.schedule(answer(shown, 1, true, &cancelled));
            QVERIFY(started.wait(5000));
        }
        QTest::qWait(30);
        QVERIFY(cancelled);
        QVERIFY(shown.empty());
    }

    void runNowSkipsThePause()
    {
        LiveJob job(10s);
        std::vector<int> shown;
        job.schedule(answer(shown, 3));
        job.runNow();
        QVERIFY(job.waitForIdle(5s));
        QCOMPARE(shown, std::vector<int>{3});
    }
};

QTEST_MAIN(tst_LiveJob)
#include "tst_livejob.moc"
