// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SolverCache.h"

#include "ProcessMaps.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>
#include <thread>

namespace {

int niceOfThisThread() {
    return ::getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()));
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// This process's resident memory, as the kernel counts it.
std::size_t residentBytes() {
    const QList<QByteArray> fields = readAll(QStringLiteral("/proc/self/statm")).split(' ');
    return fields.size() < 2 ? 0
                             : fields[1].toULongLong() * static_cast<std::size_t>(::getpagesize());
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

// The cache folder follows XDG_CACHE_HOME, which each case points at a folder of its own.
class TestSolverCache : public QObject {
    Q_OBJECT
    QTemporaryDir scratch_;
    QByteArray goodBytes_; // what a sound build stores
    const std::atomic<bool> never_{false};
    const std::atomic<bool> cancelled_{true};

    QString useCacheHome(const QString& name) {
        const QString home = scratch_.filePath(name);
        qputenv("XDG_CACHE_HOME", home.toUtf8());
        return home + "/velmar/" + app::SolverTablesFile;
    }

private slots:
    void anInstalledSevenTileSetIsReadAndTheCacheLeftAlone() {
        const QString cached = useCacheHome("installed");
        const QString installed = scratch_.filePath("solver-tables-7.bin");
        QVERIFY(QFile::copy(VELMAR_SEVEN_TABLES_FILE, installed));
        const auto tables = app::LoadSolverTables(
            never_, {scratch_.filePath("missing").toStdString(), installed.toStdString()});
        QVERIFY(tables);
        QCOMPARE(tables->Kind(), rules::TableKind::Seven);
        QVERIFY(!QFile::exists(cached));
    }

    void theEnvironmentNamesTheSevenTileSetOrNone() {
        useCacheHome("named");
        qputenv("VELMAR_SEVEN_TABLES", VELMAR_SEVEN_TABLES_FILE);
        const auto named = app::LoadSolverTables(never_);
        qputenv("VELMAR_SEVEN_TABLES", "");
        const auto none = app::LoadSolverTables(never_);
        qunsetenv("VELMAR_SEVEN_TABLES");
        QVERIFY(named && none);
        QCOMPARE(named->Kind(), rules::TableKind::Seven);
        QCOMPARE(none->Kind(), rules::TableKind::Six);
    }

    void aDamagedInstalledSetIsReportedAndTheSmallerTablesServe() {
        const QString cached = useCacheHome("installed-damaged");
        QByteArray bytes = readAll(VELMAR_SEVEN_TABLES_FILE);
        QVERIFY(bytes.size() > 1000000);
        bytes[1000000] = static_cast<char>(bytes[1000000] ^ 4);
        const QString installed = scratch_.filePath("damaged-7.bin");
        writeAll(installed, bytes);
        std::ostringstream said;
        std::streambuf* const was = std::cerr.rdbuf(said.rdbuf());
        const auto tables = app::LoadSolverTables(never_, {installed.toStdString()});
        std::cerr.rdbuf(was);
        QVERIFY(tables);
        QCOMPARE(tables->Kind(), rules::TableKind::Six);
        QVERIFY(QFile::exists(cached));
        QVERIFY2(said.str().find(installed.toStdString() + " is damaged") != std::string::npos,
                 said.str().c_str());
    }

    void aMissingCacheIsBuiltStoredAndThenRead() {
        const QString file = useCacheHome("fresh");
        QVERIFY(!app::LoadSolverTables(cancelled_)); // nothing to read, and the build stopped
        QVERIFY(!QFile::exists(file));

        const auto built = app::LoadSolverTables(never_);
        QVERIFY(built);
        goodBytes_ = readAll(file);
        QCOMPARE(goodBytes_.toStdString() == built->ToBytes(), true);
        QCOMPARE(QDir(QFileInfo(file).path()).entryList(QDir::Files),
                 QStringList{app::SolverTablesFile});

        // Read, not built: a raised flag would have stopped a build.
        const auto read = app::LoadSolverTables(cancelled_);
        QVERIFY(read);
        QCOMPARE(read->ToBytes() == built->ToBytes(), true);
    }

    void aDamagedFileIsNeverTrusted_data() {
        QTest::addColumn<int>("cut");  // bytes kept, or -1 for all of them
        QTest::addColumn<int>("flip"); // the byte flipped, or -1 for none
        QTest::newRow("empty") << 0 << -1;
        QTest::newRow("cut short") << 4096 << -1;
        QTest::newRow("last byte missing") << -2 << -1;
        QTest::newRow("a table byte flipped") << -1 << 100000;
        QTest::newRow("the checksum flipped") << -1 << -2;
    }
    void aDamagedFileIsNeverTrusted() {
        QFETCH(int, cut);
        QFETCH(int, flip);
        QVERIFY(!goodBytes_.isEmpty());
        QByteArray bytes = goodBytes_;
        if (cut >= 0)
            bytes.truncate(cut);
        else if (cut == -2)
            bytes.chop(1);
        if (flip != -1) {
            const qsizetype at = flip == -2 ? bytes.size() - 1 : flip;
            bytes[at] = static_cast<char>(bytes[at] ^ 1);
        }
        const QString file = useCacheHome(QString("damaged-%1-%2").arg(cut).arg(flip));
        QVERIFY(QDir().mkpath(QFileInfo(file).path()));
        writeAll(file, bytes);
        // Rejected: with the build stopped there is nothing to give.
        QVERIFY(!app::LoadSolverTables(cancelled_));
    }

    void aFileOfAnEarlierFormatIsSilentlyReplaced_data() {
        QTest::addColumn<QByteArray>("mark");
        QTest::addColumn<QList<quint32>>("sizes");
        // The first format: a six-tile and a three-tile table of four bits an entry over
        // sixteen cells per tile. The second: a third table of three tiles; both read into
        // memory and checked there.
        QTest::newRow("first") << QByteArray("VLMRPDB1") << QList<quint32>{1u << 23, 1u << 11};
        QTest::newRow("second") << QByteArray("VLMRPDB2")
                                << QList<quint32>{1u << 23, 1u << 11, 1u << 11};
    }
    void aFileOfAnEarlierFormatIsSilentlyReplaced() {
        QFETCH(QByteArray, mark);
        QFETCH(QList<quint32>, sizes);
        // Its mark, its tables' sizes, their entries and a checksum.
        QByteArray old = mark;
        quint32 total = 8;
        for (const quint32 size : sizes) {
            for (int b = 0; b < 4; ++b)
                old.append(static_cast<char>((size >> (8 * b)) & 0xFF));
            total += size;
        }
        old.append(QByteArray(static_cast<qsizetype>(total), '\x11'));
        const QString file = useCacheHome(QString("earlier-") + QTest::currentDataTag());
        QVERIFY(QDir().mkpath(QFileInfo(file).path()));
        writeAll(file, old);
        QVERIFY(!app::LoadSolverTables(cancelled_));
        QVERIFY(app::LoadSolverTables(never_));
        QCOMPARE(readAll(file) == goodBytes_, true);
    }

    // The format before this one: the same header and checks, its tables laid out otherwise. A
    // block of its size, sound in every other respect, is built again for its mark alone.
    void aFileOfThePreviousFormatIsSilentlyReplaced() {
        constexpr std::size_t kPreviousSize = 12609792;
        QByteArray old = goodBytes_;
        old.resize(static_cast<qsizetype>(kPreviousSize), '\x11');
        old[7] = '3';
        const auto size = static_cast<std::uint64_t>(kPreviousSize);
        std::memcpy(old.data() + 16, &size, sizeof size);
        const std::uint64_t sum = rules::BlockChecksum({old.constData(), kPreviousSize});
        std::memcpy(old.data() + 24, &sum, sizeof sum);
        const QString file = useCacheHome("previous");
        QVERIFY(QDir().mkpath(QFileInfo(file).path()));
        writeAll(file, old);
        QVERIFY(!app::LoadSolverTables(cancelled_));
        QVERIFY(app::LoadSolverTables(never_));
        QCOMPARE(readAll(file) == goodBytes_, true);
    }

    // Tables read from the cache are the file's own pages, shared with the system's cache and
    // every other reader: once their last user lets them go, the process holds none of them.
    void readTablesAreTheFilesPagesUntilTheyAreLetGo() {
        const QString file = useCacheHome("mapped");
        QVERIFY(QDir().mkpath(QFileInfo(file).path()));
        writeAll(file, goodBytes_);
        auto tables = app::LoadSolverTables(cancelled_);
        QVERIFY(tables);
        QVERIFY(MapsFile(file));
        auto user = tables; // a second user, as a search under way would be
        tables.reset();
        QVERIFY(MapsFile(file));
        user.reset();
        QVERIFY(!MapsFile(file));
    }

    // Freshly built tables are stored and then read back from the stored file, so they too are
    // pages the system can drop and read again.
    void builtTablesServeFromTheFileOnceStored() {
        const QString file = useCacheHome("built-then-mapped");
        const auto tables = app::LoadSolverTables(never_);
        QVERIFY(tables);
        QVERIFY(MapsFile(file));
    }

    // The build's working memory is twice the tables' own size and more; a game that built them
    // once must not carry it for the rest of its run.
    void aBuildGivesItsWorkingMemoryBack() {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
        QSKIP("the sanitizers' allocators keep freed memory on purpose");
#endif
        useCacheHome("given-back");
        ::malloc_trim(0); // whatever the earlier cases left free
        const std::size_t before = residentBytes();
        // On a thread of its own, as the hint's worker builds them: its memory is an arena of
        // its own, which the allocator trims less readily than the main one.
        bool built = false;
        std::thread([&] { built = app::LoadSolverTables(never_) != nullptr; }).join();
        QVERIFY(built); // built, stored, read back, then let go there
        const std::size_t after = residentBytes();
        constexpr std::size_t kMiB = 1024 * 1024;
        QVERIFY2(after < before + 2 * kMiB,
                 qPrintable(QStringLiteral("%1 KiB resident before the build, %2 KiB after")
                                .arg(before / 1024)
                                .arg(after / 1024)));
    }

    void aShortFileIsSilentlyBuiltAgain() {
        const QString file = useCacheHome("short");
        QVERIFY(QDir().mkpath(QFileInfo(file).path()));
        writeAll(file, goodBytes_.left(goodBytes_.size() / 2));
        QVERIFY(app::LoadSolverTables(never_));
        QCOMPARE(readAll(file) == goodBytes_, true);
    }

    void theBuildsHelperGivesWayToTheWindowsThread() {
        const rules::BuildThreads threads = app::SolverBuildThreads();
        QCOMPARE(threads.Helpers, 1);
        QVERIFY(threads.OnHelperStart);
        const int before = niceOfThisThread();
        int helper = before;
        std::thread([&] {
            threads.OnHelperStart();
            helper = niceOfThisThread();
        }).join();
        QCOMPARE(helper, std::min(19, before + 10));
        QCOMPARE(niceOfThisThread(), before); // the caller's own thread, the hint's, is untouched
    }

    void anUnwritableCacheStillGivesTables() {
        // A file where the folder should be: no folder can be made there, not even by root.
        const QString blocker = scratch_.filePath("blocker");
        writeAll(blocker, "not a folder");
        qputenv("XDG_CACHE_HOME", blocker.toUtf8());
        const auto tables = app::LoadSolverTables(never_);
        QVERIFY(tables);
        QCOMPARE(tables->ToBytes() == goodBytes_.toStdString(), true);
        QCOMPARE(readAll(blocker), QByteArray("not a folder"));
    }
};

QTEST_GUILESS_MAIN(TestSolverCache)
#include "TestSolverCache.moc"
