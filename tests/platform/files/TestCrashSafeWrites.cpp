// SPDX-License-Identifier: GPL-3.0-or-later
// The settings file under a writer killed at every step of a write and on a full file system:
// it is always either the old or the new file, whole.
#include "platform/Exception.h"
#include "platform/files/Files.h"
#include "platform/files/FolderFile.h"
#include "platform/files/IniFile.h"
#include "platform/files/Profile.h"
#include "platform/files/StepKiller.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstdlib>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace platform;

namespace {

constexpr const char* kSettings = "ORV_Velmar.INI";

// Many pages, so a torn file shows.
std::vector<ProfileEntry> version(char fill) {
    return {{"USER", "Select", std::string(1, fill)},
            {"USER", "Pad", std::string(std::size_t(48) << 10, fill)}};
}

std::string settingsBytes() {
    std::string bytes;
    ReadFileBytes(ProfilePath(kSettings), bytes);
    return bytes;
}

std::size_t strayCount() {
    std::string stray = kSettings;
    stray += ".tmp-";
    return FolderFile(ProfilePath(kSettings)).SiblingsStartingWith(stray).size();
}

// Exit codes of the full file system's child.
enum FullDiskOutcome {
    Passed = 0,
    CannotMount = 77,
    WriteSucceeded = 1,
    OldFileChanged = 2,
    StrayLeft = 3,
    SetupFailed = 4
};

FullDiskOutcome writeOnAFullDisk(const std::string& folder) {
    if (::unshare(CLONE_NEWNS) != 0 ||
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=64k") != 0)
        return CannotMount;
    ::setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    TIniFile ini(kSettings);
    try {
        ini.WriteString("USER", "Select", "2");
    } catch (const Exception&) {
        return SetupFailed;
    }
    const std::string old = settingsBytes();
    std::string reason;
    for (int i = 0; CreateFileWithBytes(folder + "/filler" + std::to_string(i),
                                        std::string(4096, 'f'), reason);
         ++i) {
    }
    try {
        ini.WriteString("USER", "Selected", "32768");
        return WriteSucceeded;
    } catch (const Exception& error) {
        if (error.Message() != std::string("Unable to write to ") + kSettings)
            return WriteSucceeded;
    }
    if (settingsBytes() != old)
        return OldFileChanged;
    return strayCount() == 0 ? Passed : StrayLeft;
}

} // namespace

class TestCrashSafeWrites : public QObject {
    Q_OBJECT

    // Each kill waits for a sync in progress; in memory the syncs cost nothing, and what is
    // proved (a process dying between any two steps) is the same.
    QTemporaryDir memory_{QStringLiteral("/dev/shm/velmar-test-XXXXXX")};

private slots:
    void initTestCase() {
        if (memory_.isValid())
            qputenv("XDG_CONFIG_HOME", memory_.path().toUtf8());
    }
    void init() { QVERIFY(QDir().mkpath(QString::fromStdString(SettingsDirectory()))); }

    void aWriterKilledAtAnyStepLeavesTheOldOrTheNewFileWhole() {
        QVERIFY(WritePrivateProfileStrings(version('b'), kSettings));
        const std::string newer = settingsBytes();
        QVERIFY(WritePrivateProfileStrings(version('a'), kSettings));
        const std::string older = settingsBytes();
        int leftStray = 0;
        int leftNewer = 0;
        for (int step = 0; step < steps::kMostSteps; ++step) {
            const steps::Run run = steps::KillWriteAt(
                [&] { return WritePrivateProfileStrings(version('b'), kSettings); }, step);
            if (run.Untraceable())
                QSKIP("this system does not let a process be traced");
            if (!run.killed) {
                QVERIFY2(run.Wrote(),
                         qPrintable(QStringLiteral("the writer ended with %1").arg(run.status)));
                QCOMPARE(settingsBytes(), newer);
                // The steps that matter: creating the sibling, writing it, renaming it.
                QVERIFY2(leftStray > 0 && leftNewer > 0,
                         qPrintable(QStringLiteral("%1 steps: %2 left a stray, %3 the new file")
                                        .arg(step)
                                        .arg(leftStray)
                                        .arg(leftNewer)));
                return;
            }
            const std::string bytes = settingsBytes();
            QVERIFY2(
                bytes == older || bytes == newer,
                qPrintable(QStringLiteral("step %1 left %2 bytes").arg(step).arg(bytes.size())));
            leftNewer += bytes == newer;
            leftStray += strayCount() > 0;
            // The next write tidies what the killed one left.
            QVERIFY(WritePrivateProfileStrings(version('a'), kSettings));
            QCOMPARE(strayCount(), std::size_t{0});
        }
        QFAIL("the writer never finished");
    }

    void aSiblingOfALiveWriterIsLeftAlone() {
        QVERIFY(WritePrivateProfileStrings(version('a'), kSettings));
        const pid_t parent = ::getppid(); // alive as long as this test runs
        const std::string sibling =
            ProfilePath(kSettings) + ".tmp-" + std::to_string(parent) + "-0";
        std::string reason;
        QVERIFY(CreateFileWithBytes(sibling, "half", reason));
        QVERIFY(WritePrivateProfileStrings(version('b'), kSettings));
        QVERIFY(FileExists(sibling));
        QVERIFY(DeleteFile(sibling));
    }

    void aFullFileSystemFailsTheWriteAndKeepsTheOldFile() {
        if (::geteuid() != 0)
            QSKIP("mounting a small file system needs root");
        const std::string folder = SettingsDirectory() + "/full";
        QVERIFY(QDir().mkpath(QString::fromStdString(folder)));
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0)
            ::_exit(writeOnAFullDisk(folder));
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        if (WEXITSTATUS(status) == CannotMount)
            QSKIP("no private mount namespace here (unshare or mount refused)");
        QCOMPARE(WEXITSTATUS(status), int(Passed));
    }
};

QTEST_APPLESS_MAIN(TestCrashSafeWrites)
#include "TestCrashSafeWrites.moc"
