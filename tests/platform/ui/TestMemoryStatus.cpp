// SPDX-License-Identifier: GPL-3.0-or-later
// The memory status: the kernel's figures in 64 bits, the load as the share in use, and the
// seam a test feeds its own figures through.
#include "platform/ui/MemoryStatus.h"

#include <QTest>

using platform::MEMORYSTATUSEX;

class TestMemoryStatus : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { platform::SetMemoryStatusSource({}); }

    void theKernelReportsTheWholeMachineIn64Bits() {
        MEMORYSTATUSEX status;
        QVERIFY(platform::GlobalMemoryStatusEx(status));
        QVERIFY(status.ullTotalPhys > 0);
        QVERIFY(status.ullAvailPhys <= status.ullTotalPhys);
        QVERIFY(status.dwMemoryLoad <= 100);
        QCOMPARE(status.dwMemoryLoad,
                 platform::MemoryLoad(status.ullTotalPhys, status.ullAvailPhys));
    }

    void theLoadIsTheRoundedShareInUse_data() {
        QTest::addColumn<quint64>("total");
        QTest::addColumn<quint64>("available");
        QTest::addColumn<uint>("load");
        const quint64 gib = 1ull << 30;
        QTest::newRow("nothing known") << quint64(0) << quint64(0) << 0u;
        QTest::newRow("all free") << gib << gib << 0u;
        QTest::newRow("all used") << gib << quint64(0) << 100u;
        QTest::newRow("57 of 100") << quint64(100) << quint64(43) << 57u;
        QTest::newRow("half up") << quint64(200) << quint64(99) << 51u;
        QTest::newRow("64 GiB, a quarter used") << 64 * gib << 48 * gib << 25u;
        QTest::newRow("more available than total") << quint64(10) << quint64(20) << 0u;
    }

    void theLoadIsTheRoundedShareInUse() {
        QFETCH(quint64, total);
        QFETCH(quint64, available);
        QFETCH(uint, load);
        QCOMPARE(platform::MemoryLoad(total, available), load);
    }

    void aTestCanFeedItsOwnFigures() {
        platform::SetMemoryStatusSource([](MEMORYSTATUSEX& s) {
            s.ullTotalPhys = 6ull << 30;
            s.dwMemoryLoad = 12;
            return true;
        });
        MEMORYSTATUSEX status;
        QVERIFY(platform::GlobalMemoryStatusEx(status));
        QCOMPARE(status.ullTotalPhys, 6ull << 30);
        QCOMPARE(status.dwMemoryLoad, 12u);
        platform::SetMemoryStatusSource([](MEMORYSTATUSEX&) { return false; });
        QVERIFY(!platform::GlobalMemoryStatusEx(status));
    }
};

QTEST_GUILESS_MAIN(TestMemoryStatus)
#include "TestMemoryStatus.moc"
