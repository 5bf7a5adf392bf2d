// SPDX-License-Identifier: GPL-3.0-or-later
// The settings file under a writer killed at every step of a write and on a full file system:
// it is always either the old or the new file, whole.
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
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <sys/ptrace.h>
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
    return FolderFile(ProfilePath(kSettings))
        .SiblingsStartingWith(std::string(kSettings) + ".tmp-")
        .size();
}

// Exit codes of the traced writer.
constexpr int kWrote = 0;
constexpr int kWriteRefused = 1;
constexpr int kCannotTrace = 77;

// A child that stops before it writes `fill`, for its parent to trace.
pid_t startTracedWriter(char fill) {
    const pid_t child = ::fork();
    if (child != 0)
        return child;
    if (::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0)
        ::_exit(kCannotTrace);
    ::raise(SIGSTOP);
    ::_exit(WritePrivateProfileStrings(version(fill), kSettings) ? kWrote : kWriteRefused);
}

struct Run {
    bool killed = false; // else it ended by itself with `status`
    int status = 0;
};

// Lets the stopped writer run up to its system call number `step` and kills it on the way in,
// so every state the write's steps can leave on the disk is reached in turn; the kernel stops
// it there whatever the machine's speed or load.
Run killAtSystemCall(pid_t child, int step) {
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFSTOPPED(status))
        return {false, status};
    ::ptrace(PTRACE_SETOPTIONS, child, nullptr, PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL);
    int passOn = 0;
    for (int entered = 0;;) {
        if (::ptrace(PTRACE_SYSCALL, child, nullptr, passOn) != 0 ||
            ::waitpid(child, &status, 0) != child || !WIFSTOPPED(status))
            return {false, status};
        passOn = 0;
        if (WSTOPSIG(status) != (SIGTRAP | 0x80)) {
            passOn = WSTOPSIG(status); // a signal of its own
            continue;
        }
        __ptrace_syscall_info info{};
        ::ptrace(PTRACE_GET_SYSCALL_INFO, child, sizeof info, &info);
        if (info.op == PTRACE_SYSCALL_INFO_ENTRY && entered++ == step) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            return {true, status};
        }
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
        // A write takes a few dozen system calls; the bound only ends a runaway loop.
        for (int step = 0; step < 5000; ++step) {
            const pid_t child = startTracedWriter('b');
            QVERIFY(child > 0);
            const Run run = killAtSystemCall(child, step);
            if (!run.killed) {
                if (WIFEXITED(run.status) && WEXITSTATUS(run.status) == kCannotTrace)
                    QSKIP("this system does not let a process be traced");
                QVERIFY2(WIFEXITED(run.status) && WEXITSTATUS(run.status) == kWrote,
                         qPrintable(QStringLiteral("the writer ended with status %1 after %2 steps")
                                        .arg(run.status)
                                        .arg(step)));
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
