// SPDX-License-Identifier: GPL-3.0-or-later
// The settings file under a writer killed at random moments and on a full file system: it is
// always either the old or the new file, whole.
#include "platform/Exception.h"
#include "platform/files/Files.h"
#include "platform/files/FolderFile.h"
#include "platform/files/IniFile.h"
#include "platform/files/Profile.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstdlib>
#include <random>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace platform;

namespace {

constexpr const char* kSettings = "ORV_Velmar.INI";

// Large enough that a write takes a while, so kills land inside it.
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
    return FolderFile(ProfilePath(kSettings))
        .SiblingsStartingWith(std::string(kSettings) + ".tmp-")
        .size();
}

[[noreturn]] void writeForever() {
    for (;;) {
        WritePrivateProfileStrings(version('b'), kSettings);
        WritePrivateProfileStrings(version('a'), kSettings);
    }
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

    // A kill waits for a sync in progress; in memory the 500 of them take a second or two,
    // and what is proved (a process dying between any two steps) is the same.
    QTemporaryDir memory_{QStringLiteral("/dev/shm/velmar-test-XXXXXX")};

private slots:
    void initTestCase() {
        if (memory_.isValid())
            qputenv("XDG_CONFIG_HOME", memory_.path().toUtf8());
    }
    void init() { QVERIFY(QDir().mkpath(QString::fromStdString(SettingsDirectory()))); }

    void aWriterKilledAtAnyMomentLeavesTheOldOrTheNewFileWhole() {
        QVERIFY(WritePrivateProfileStrings(version('b'), kSettings));
        const std::string newer = settingsBytes();
        QVERIFY(WritePrivateProfileStrings(version('a'), kSettings));
        const std::string older = settingsBytes();
        std::mt19937 random(20261209);
        std::uniform_int_distribution<int> momentUs(0, 4000);
        int leftStray = 0;
        int sawNewer = 0;
        for (int kill = 0; kill < 500; ++kill) {
            const pid_t child = ::fork();
            QVERIFY(child >= 0);
            if (child == 0)
                writeForever();
            ::usleep(useconds_t(momentUs(random)));
            ::kill(child, SIGKILL);
            int status = 0;
            QCOMPARE(::waitpid(child, &status, 0), child);
            const std::string bytes = settingsBytes();
            QVERIFY2(
                bytes == older || bytes == newer,
                qPrintable(QStringLiteral("kill %1 left %2 bytes").arg(kill).arg(bytes.size())));
            sawNewer += bytes == newer;
            leftStray += strayCount() > 0;
            // The next write tidies what the killed one left, even one that changes nothing
            // (which also spares this loop a sync).
            QVERIFY(WritePrivateProfileStrings(version(bytes == newer ? 'b' : 'a'), kSettings));
            QCOMPARE(strayCount(), std::size_t{0});
        }
        // Otherwise the kills all fell outside the writes, and proved nothing.
        QVERIFY2(
            leftStray > 0 && sawNewer > 0,
            qPrintable(
                QStringLiteral("%1 kills mid-write, %2 after one").arg(leftStray).arg(sawNewer)));
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
