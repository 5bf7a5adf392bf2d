// SPDX-License-Identifier: GPL-3.0-or-later
// Files from outside that are too large or not files at all: refused unread, reported once,
// and never replaced by a write that could not have kept their contents.
#include "i18n/LanguageFile.h"
#include "i18n/LanguagePasses.h"
#include "platform/Exception.h"
#include "platform/files/Files.h"
#include "platform/files/IniFile.h"
#include "platform/files/Profile.h"
#include "platform/files/TempPath.h"
#include "platform/files/UnreadableFiles.h"
#include "platform/winmm/Mci.h"

#include <QDir>
#include <QTest>

#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace platform;

namespace {

constexpr const char* kSettings = "ORV_Velmar.INI";
constexpr const char* kGoodSettings = "[USER]\r\nSelect=2\r\n";

std::string settingsPath() {
    return ProfilePath(kSettings);
}

// The settings file as a hand edit followed by zeros up to `size` bytes; sparse, so even a
// huge one costs no disk.
void writeSettingsPaddedTo(off_t size) {
    std::string reason;
    QVERIFY(CreateFileWithBytes(settingsPath(), kGoodSettings, reason));
    QCOMPARE(::truncate(settingsPath().c_str(), size), 0);
}

// Something that is not a regular file in the settings file's place.
void placeStrangeEntry(const QString& kind) {
    const std::string path = settingsPath();
    if (kind == "fifo")
        QCOMPARE(::mkfifo(path.c_str(), 0600), 0);
    else if (kind == "directory")
        QVERIFY(QDir().mkpath(QString::fromStdString(path)));
    else if (kind == "link to /dev/zero")
        QCOMPARE(::symlink("/dev/zero", path.c_str()), 0);
    else
        writeSettingsPaddedTo(off_t(kTextFileLimit) + 1);
}

struct stat statusOf(const std::string& path) {
    struct stat info {};
    ::lstat(path.c_str(), &info);
    return info;
}

long peakResidentKiB() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

class TestBoundedReads : public QObject {
    Q_OBJECT

    std::vector<std::string> reported_;

private slots:
    void initTestCase() { QVERIFY(PrepareTempFolder().Usable); }

    void init() {
        QVERIFY(QDir().mkpath(QString::fromStdString(SettingsDirectory())));
        ::unlink(settingsPath().c_str());
        ::rmdir(settingsPath().c_str());
        reported_.clear();
        SetUnreadableFileObserver(
            [this](const std::string& path, const std::string&) { reported_.push_back(path); });
    }
    void cleanup() { SetUnreadableFileObserver({}); }

    void hugeSettingsFileIsRefusedWithoutBeingRead() {
        writeSettingsPaddedTo(off_t{512} << 20);
        const long before = peakResidentKiB();
        const TIniFile ini(kSettings);
        QCOMPARE(ini.ReadInteger("USER", "Select", 0), 0);
        QCOMPARE(ini.ReadInteger("USER", "Selected", 7), 7);
        QCOMPARE(ini.ReadInteger("USER", "Selected3", 9), 9);
        // Reading it whole would take half a gigabyte.
        QVERIFY2(peakResidentKiB() - before < 16 * 1024, "the file was read into memory");
        QCOMPARE(reported_, std::vector<std::string>{settingsPath()});
    }

    void fileAtTheLimitIsStillRead() {
        writeSettingsPaddedTo(off_t(kTextFileLimit));
        QCOMPARE(TIniFile(kSettings).ReadInteger("USER", "Select", 0), 2);
        QVERIFY(reported_.empty());
    }

    void refusedSettingsFileGivesDefaultsAndIsNeverReplaced_data() {
        QTest::addColumn<QString>("kind");
        for (const char* kind :
             {"one byte over the limit", "fifo", "directory", "link to /dev/zero"})
            QTest::newRow(kind) << QString::fromLatin1(kind);
    }
    void refusedSettingsFileGivesDefaultsAndIsNeverReplaced() {
        QFETCH(QString, kind);
        placeStrangeEntry(kind);
        const struct stat before = statusOf(settingsPath());
        TIniFile ini(kSettings);
        QCOMPARE(ini.ReadInteger("USER", "Select", 0), 0);
        QCOMPARE(ini.ReadString("USER", "Select", "none"), std::string("none"));
        try {
            ini.WriteInteger("USER", "Select", 3);
            QFAIL("a file the game could not read was replaced");
        } catch (const Exception& error) {
            QCOMPARE(std::string(error.what()), std::string("Unable to write to ") + kSettings);
        }
        const struct stat after = statusOf(settingsPath());
        QCOMPARE(after.st_ino, before.st_ino);
        QCOMPARE(after.st_size, before.st_size);
        QCOMPARE(after.st_mode, before.st_mode);
        QCOMPARE(reported_, std::vector<std::string>{settingsPath()});
    }

    void everyRefusedFileIsReportedOnceEach() {
        placeStrangeEntry("fifo");
        const std::string language = i18n::LanguageFilePath();
        std::string reason;
        QVERIFY(CreateFileWithBytes(language, "[English]\r\n", reason));
        QCOMPARE(::truncate(language.c_str(), off_t(kTextFileLimit) * 3), 0);
        for (int i = 0; i < 3; ++i) {
            TIniFile(kSettings).ReadString("USER", "Select", "");
            i18n::ReadLanguage("Russian", i18n::Pass::StartUp);
        }
        QCOMPARE(reported_, (std::vector<std::string>{settingsPath(), language}));
        ::unlink(language.c_str());
    }

    void oversizedLanguageFileShowsTheEnglishTexts() {
        const std::string language = i18n::LanguageFilePath();
        std::string reason;
        QVERIFY(CreateFileWithBytes(language, "[Russian]\r\n1=&\xc8\xe3\xf0\xe0\r\n", reason));
        QCOMPARE(i18n::ReadLanguage("Russian", i18n::Pass::StartUp).Captions.front().Text,
                 std::string("&\xd0\x98\xd0\xb3\xd1\x80\xd0\xb0"));
        QCOMPARE(::truncate(language.c_str(), off_t(kTextFileLimit) + 1), 0);
        QCOMPARE(i18n::ReadLanguage("Russian", i18n::Pass::StartUp).Captions.front().Text,
                 std::string("&Game"));
        ::unlink(language.c_str());
    }

    void oversizedMelodyFailsToOpenAsAnInvalidFile() {
        const std::string melody = QDir::tempPath().toStdString() + "/Huge.mid";
        std::string reason;
        QVERIFY(CreateFileWithBytes(melody, "MThd", reason));
        QCOMPARE(::truncate(melody.c_str(), off_t(kTextFileLimit) * 64), 0);
        MCI_OPEN_PARMS open;
        open.lpstrElementName = melody;
        QCOMPARE(mciSendCommand(0, MCI_OPEN, MCI_WAIT | MCI_OPEN_ELEMENT, &open),
                 MCIERROR(MCIERR_INVALID_FILE));
        QCOMPARE(open.wDeviceID, MCIDEVICEID(0));
        ::unlink(melody.c_str());
    }
};

QTEST_GUILESS_MAIN(TestBoundedReads)
#include "TestBoundedReads.moc"
