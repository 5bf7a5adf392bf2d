// SPDX-License-Identifier: GPL-3.0-or-later
// The audio worker's hold: jobs posted while it holds wait in their order until it is let go
// or its time is up, and a stop never waits for them.
#include "platform/audio/Worker.h"

#include <QTest>

#include <atomic>
#include <future>
#include <mutex>
#include <vector>

using namespace platform;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class TestWorker : public QObject {
    Q_OBJECT

private slots:
    void heldJobsWaitForTheReleaseAndRunInTheirOrder() {
        Worker worker(Clock::now() + 1h);
        std::mutex mutex;
        std::vector<int> ran;
        for (int job = 1; job <= 3; ++job)
            worker.Post([&, job] {
                std::lock_guard lock(mutex);
                ran.push_back(job);
            });
        std::promise<void> last;
        worker.Post([&last] { last.set_value(); });
        std::future<void> done = last.get_future();
        QCOMPARE(done.wait_for(100ms), std::future_status::timeout);
        worker.Release();
        QCOMPARE(done.wait_for(10s), std::future_status::ready);
        std::lock_guard lock(mutex);
        QCOMPARE(ran, (std::vector<int>{1, 2, 3}));
    }

    void aHoldEndsByItselfAtItsTime() {
        Worker worker(Clock::now() + 50ms);
        std::promise<void> ran;
        worker.Post([&ran] { ran.set_value(); });
        QCOMPARE(ran.get_future().wait_for(10s), std::future_status::ready);
    }

    void aHoldThatHasPassedHoldsNothing() {
        Worker worker(Clock::now() - 1s);
        std::promise<void> ran;
        worker.Post([&ran] { ran.set_value(); });
        QCOMPARE(ran.get_future().wait_for(10s), std::future_status::ready);
    }

    void stoppingAHeldWorkerDropsItsJobsAtOnce() {
        std::atomic<bool> ran{false};
        const Clock::time_point before = Clock::now();
        {
            Worker worker(Clock::now() + 1h);
            worker.Post([&ran] { ran = true; });
        }
        QVERIFY(Clock::now() - before < 10s);
        QVERIFY(!ran);
    }
};

QTEST_GUILESS_MAIN(TestWorker)
#include "TestWorker.moc"
