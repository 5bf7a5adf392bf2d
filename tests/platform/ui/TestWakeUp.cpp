// SPDX-License-Identifier: GPL-3.0-or-later
// A worker's wake-up reaches the owner's thread, however many wakes come before its loop runs,
// and never after the wake-up is gone.
#include "platform/ui/WakeUp.h"

#include <QTest>

#include <mutex>
#include <thread>
#include <vector>

class TestWakeUp : public QObject {
    Q_OBJECT
private slots:
    void aWorkersWakeRunsTheCallbackOnTheOwnersThreadWithWhatTheWorkerStored() {
        std::mutex mutex;
        std::vector<int> stored; // guarded by mutex
        std::vector<int> seen;
        std::thread::id ranOn;
        platform::WakeUp wakeUp([&] {
            ranOn = std::this_thread::get_id();
            const std::lock_guard lock(mutex);
            seen = stored;
        });
        std::thread worker([&] {
            {
                const std::lock_guard lock(mutex);
                stored = {1, 2, 3};
            }
            wakeUp.Wake();
        });
        worker.join();
        QTRY_COMPARE_WITH_TIMEOUT(seen, (std::vector<int>{1, 2, 3}), 10000);
        QCOMPARE(ranOn, std::this_thread::get_id());
    }

    void wakesBeforeTheLoopRunsAreAnsweredByOneCallAndALaterWakeByAnother() {
        int calls = 0;
        platform::WakeUp wakeUp([&] { ++calls; });
        std::thread worker([&] {
            for (int i = 0; i < 5; ++i)
                wakeUp.Wake();
        });
        worker.join();
        QTRY_COMPARE_WITH_TIMEOUT(calls, 1, 10000);
        // The loop looks at the wake-up again and finds nothing left to answer.
        QCoreApplication::processEvents();
        QCOMPARE(calls, 1);
        wakeUp.Wake();
        QTRY_COMPARE_WITH_TIMEOUT(calls, 2, 10000);
    }

    void aWakeUpGoneBeforeItsLoopRanCallsNothing() {
        int calls = 0;
        {
            platform::WakeUp wakeUp([&] { ++calls; });
            wakeUp.Wake();
        }
        // The wake was written before the object went: a loop that still watched it would run
        // the callback now.
        QCoreApplication::processEvents();
        QCOMPARE(calls, 0);
    }
};

QTEST_GUILESS_MAIN(TestWakeUp)
#include "TestWakeUp.moc"
