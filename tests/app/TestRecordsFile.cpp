// SPDX-License-Identifier: GPL-3.0-or-later
// The records file: where it lives, what comes back after a restart, what happens to a file
// that cannot be believed or written, and a write cut short at any moment.
#include "app/GameRecords.h"
#include "app/rules/RecordsFormat.h"
#include "platform/files/Profile.h"
#include "platform/files/StepKiller.h"
#include "platform/ui/Dialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

using app::GameRecords;
using rules::RoundResult;

namespace {

std::string fileBytes(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void putFile(const QString& path, const std::string& bytes) {
    std::ofstream(path.toStdString(), std::ios::binary) << bytes;
}

// Played 2, won 1 on level 3, with its best.
rules::RecordTable oneWonRound() {
    rules::RecordBook book;
    book.CountDeal(3);
    book.CountWin({75, 64, "2026-12-09"}, false);
    book.CountDeal(3);
    return book.Table();
}

bool writeTable(const rules::RecordTable& table, const std::string& path) {
    std::vector<platform::ProfileEntry> entries;
    for (const rules::RecordEntry& entry : rules::RecordEntries(table))
        entries.push_back({entry.Section, entry.Key, entry.Value});
    return platform::WritePrivateProfileStrings(entries, path);
}

} // namespace

class TestRecordsFile : public QObject {
    Q_OBJECT
private:
    QTemporaryDir scratch_;
    QStringList boxes_;
    QString folder_; // the state folder of this case
    QString path_;

private slots:
    void init() {
        boxes_.clear();
        folder_ = scratch_.filePath(QString::fromLatin1(QTest::currentTestFunction()) + "-" +
                                    QString::fromLatin1(QTest::currentDataTag()).replace(' ', '-'));
        QVERIFY(QDir().mkpath(folder_));
        path_ = folder_ + "/velmar/records.ini";
        platform::SetMessageResponder([this](const platform::MessageBoxRequest& request) {
            boxes_ << QString::fromStdString(request.Text);
            return platform::mrOk;
        });
    }
    void cleanup() { platform::SetMessageResponder({}); }

    void theFileLivesInTheStateFolder() {
        qputenv("XDG_STATE_HOME", folder_.toUtf8());
        QCOMPARE(QString::fromStdString(GameRecords::DefaultPath()), path_);
        qputenv("XDG_STATE_HOME", "relative/state");
        QCOMPARE(QString::fromStdString(GameRecords::DefaultPath()),
                 qEnvironmentVariable("HOME") + "/.local/state/velmar/records.ini");
        qunsetenv("XDG_STATE_HOME");
        QCOMPARE(QString::fromStdString(GameRecords::DefaultPath()),
                 qEnvironmentVariable("HOME") + "/.local/state/velmar/records.ini");
    }

    void recordsComeBackAfterARestart() {
        {
            GameRecords records(path_.toStdString());
            QCOMPARE(records.Table(), rules::RecordTable()); // no file yet: a fresh table
            QVERIFY(!QFileInfo::exists(path_));
            records.CountDeal(3);
            QVERIFY(records.CountWin({75, 64, "2026-12-09"}, false).NewRecord());
            records.CountDeal(3);
        }
        GameRecords again(path_.toStdString());
        QCOMPARE(again.Table(), oneWonRound());
        QVERIFY(boxes_.isEmpty());
        const std::string bytes = fileBytes(path_);
        QVERIFY(bytes.starts_with("[Level1]\r\nPlayed=0\r\nWon=0\r\nBestTime=\r\n"));
        QVERIFY(bytes.find("[Level3]\r\nPlayed=2\r\nWon=1\r\nBestTime=75\r\nBestTimeMoves=64\r\n"
                           "BestTimeDate=2026-12-09\r\nBestMoves=64\r\n") != std::string::npos);
        QCOMPARE(QFileInfo(folder_ + "/velmar").permissions() & QFile::ReadOther,
                 QFile::Permissions());
    }

    void aWinThatCountsForNothingLeavesTheFileAsItWas() {
        GameRecords records(path_.toStdString());
        records.CountDeal(1);
        records.CountWin({10, 9, "2026-12-09"}, false);
        const std::string before = fileBytes(path_);
        QFile::remove(path_);
        QVERIFY(!records.CountWin({5, 3, "2026-12-09"}, false).Counted);
        QVERIFY(!QFileInfo::exists(path_));
        records.CountDeal(1);
        QVERIFY(fileBytes(path_) != before);
    }

    void aFileThatCannotBeBelievedIsSetAsideOnce_data() {
        QTest::addColumn<QString>("kind");
        for (const char* kind : {"garbage", "empty", "absurd", "folder", "fifo", "dev-zero link",
                                 "100 MiB", "unreadable"})
            QTest::newRow(kind) << kind;
    }
    void aFileThatCannotBeBelievedIsSetAsideOnce() {
        QFETCH(QString, kind);
        QVERIFY(QDir().mkpath(folder_ + "/velmar"));
        const std::string p = path_.toStdString();
        std::string garbage = "\x01\x02[Level1\r\nPlayed==?\r\n";
        if (kind == "garbage") {
            putFile(path_, garbage);
        } else if (kind == "empty") {
            putFile(path_, garbage = "");
        } else if (kind == "absurd") {
            rules::RecordTable table = oneWonRound();
            QVERIFY(writeTable(table, p));
            garbage = fileBytes(path_);
            const std::size_t at = garbage.find("BestTime=75");
            garbage.replace(at, 11, "BestTime=-75");
            putFile(path_, garbage);
        } else if (kind == "folder") {
            QVERIFY(QDir().mkpath(path_ + "/inside"));
        } else if (kind == "fifo") {
            QCOMPARE(::mkfifo(p.c_str(), 0600), 0);
        } else if (kind == "dev-zero link") {
            QVERIFY(QFile::link("/dev/zero", path_));
        } else if (kind == "100 MiB") {
            const int fd = ::open(p.c_str(), O_WRONLY | O_CREAT, 0600);
            QVERIFY(fd >= 0);
            QCOMPARE(::ftruncate(fd, 100 << 20), 0);
            ::close(fd);
        } else if (kind == "unreadable") {
            if (::geteuid() == 0)
                QSKIP("the superuser reads every file");
            putFile(path_, garbage = "[Level1]\r\nPlayed=1\r\n");
            QFile::setPermissions(path_, QFile::WriteOwner);
        }
        QFileInfo before(path_);
        const auto kindBefore = before.isSymLink() ? 'l' : before.isDir() ? 'd' : 'f';

        GameRecords records(path_.toStdString());
        QCOMPARE(records.Table(), rules::RecordTable());
        QCOMPARE(boxes_.size(), 1);
        QVERIFY2(boxes_[0].contains(path_ + ".bad"), qPrintable(boxes_[0]));

        const QFileInfo kept(path_ + ".bad");
        QVERIFY(kept.exists() || kept.isSymLink());
        QCOMPARE(kept.isSymLink() ? 'l' : kept.isDir() ? 'd' : 'f', kindBefore);
        if (kind == "dev-zero link")
            QCOMPARE(kept.symLinkTarget(), QString("/dev/zero"));
        if (kind == "100 MiB")
            QCOMPARE(kept.size(), qint64(100 << 20));
        if (kind == "garbage" || kind == "empty" || kind == "absurd") {
            QFile::setPermissions(path_ + ".bad", QFile::ReadOwner | QFile::WriteOwner);
            QCOMPARE(fileBytes(path_ + ".bad"), garbage);
        }

        records.CountDeal(2);
        QCOMPARE(GameRecords(path_.toStdString()).Table().Level(2).Played, 1);
        QCOMPARE(boxes_.size(), 1);
    }

    void anEarlierBadCopyIsNeverReplaced() {
        QVERIFY(QDir().mkpath(folder_ + "/velmar"));
        putFile(path_ + ".bad", "first");
        putFile(path_, "second");
        GameRecords(path_.toStdString()).Table();
        QCOMPARE(fileBytes(path_ + ".bad"), std::string("first"));
        QCOMPARE(fileBytes(path_ + ".bad.2"), std::string("second"));
        QVERIFY2(boxes_.value(0).contains(path_ + ".bad.2"), qPrintable(boxes_.value(0)));
    }

    void aFileThatCannotBeSetAsideIsNeverOverwritten() {
        // Readable, not ours to rename, and nonsense as a records file.
        const std::string kernelFile = "/proc/self/status";
        GameRecords records(kernelFile);
        records.CountDeal(1);
        records.CountDeal(1);
        QCOMPARE(boxes_.size(), 1);
        QVERIFY(boxes_[0].contains("/proc/self/status"));
        QCOMPARE(records.Table().Level(1).Played, 2);
    }

    void anUnwritableStateFolderIsSaidOnceAndTheTableLivesOn() {
        // A plain file where a folder should be stops even the superuser.
        putFile(folder_ + "/state", "not a folder");
        GameRecords records((folder_ + "/state/velmar/records.ini").toStdString());
        records.CountDeal(4);
        QCOMPARE(boxes_.size(), 1);
        QVERIFY(boxes_[0].contains(folder_ + "/state/velmar/records.ini"));
        QVERIFY(records.CountWin({200, 150, "2026-12-09"}, false).NewRecord());
        records.CountDeal(4);
        QCOMPARE(boxes_.size(), 1);
        QCOMPARE(records.Table().Level(4).Played, 2);
        QCOMPARE(records.Table().Level(4).BestTime,
                 std::optional(RoundResult{200, 150, "2026-12-09"}));
    }

    void theMessagesComeInThePlayersLanguage() {
        putFile(folder_ + "/state", "not a folder");
        GameRecords records((folder_ + "/state/velmar/records.ini").toStdString());
        app::RecordsMessages french;
        french.NotSaved = "Les records ne peuvent pas être enregistrés dans %1.";
        records.SetMessages(french);
        records.CountDeal(1);
        QCOMPARE(boxes_.value(0), QString("Les records ne peuvent pas être enregistrés dans ") +
                                      folder_ + "/state/velmar/records.ini.");
    }

    // A child writing the new table over the old one is killed at each step of the write in
    // turn: the file it leaves is always one of the two whole files.
    void aWriteKilledAtAnyStepLeavesTheOldOrTheNewFile() {
        QVERIFY(QDir().mkpath(folder_ + "/velmar"));
        const rules::RecordTable older = oneWonRound();
        rules::RecordTable newer = older;
        newer.Level(3).Played = 3;
        newer.Level(1).Played = 12345;
        const std::string p = path_.toStdString();
        QVERIFY(writeTable(newer, p));
        const std::string newerBytes = fileBytes(path_);
        QVERIFY(writeTable(older, p));
        const std::string olderBytes = fileBytes(path_);
        QVERIFY(olderBytes != newerBytes);

        int seenNewer = 0;
        for (int step = 0; step < steps::kMostSteps; ++step) {
            const steps::Run run = steps::KillWriteAt([&] { return writeTable(newer, p); }, step);
            if (run.Untraceable())
                QSKIP("this system does not let a process be traced");
            if (!run.killed) {
                QVERIFY2(run.Wrote(), qPrintable(QString::number(run.status)));
                QCOMPARE(fileBytes(path_), newerBytes);
                QVERIFY2(seenNewer > 0, qPrintable(QStringLiteral("%1 steps").arg(step)));
                QVERIFY(boxes_.isEmpty());
                return;
            }
            const std::string bytes = fileBytes(path_);
            QVERIFY2(bytes == olderBytes || bytes == newerBytes, qPrintable(QString::number(step)));
            seenNewer += bytes == newerBytes;
            QCOMPARE(GameRecords(p).Table(), bytes == olderBytes ? older : newer);
            QVERIFY(writeTable(older, p));
        }
        QFAIL("the writer never finished");
    }
};

QTEST_GUILESS_MAIN(TestRecordsFile)
#include "TestRecordsFile.moc"
