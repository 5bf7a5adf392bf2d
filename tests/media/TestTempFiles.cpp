// SPDX-License-Identifier: GPL-3.0-or-later
// The media written into the private temporary folder, their errors, and the help viewer.
#include "i18n/LanguageFile.h"
#include "i18n/LanguagePasses.h"
#include "media/TMediaPlayer.h"
#include "media/TempFiles.h"
#include "platform/Exception.h"
#include "platform/files/Files.h"
#include "platform/files/Resources.h"
#include "platform/files/TempPath.h"
#include "platform/ui/Shell.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>
#include <QWidget>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QString errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const platform::Exception& error) {
        return QString::fromStdString(error.Message());
    }
    return {};
}

QByteArray contentOf(const std::string& path) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const char* const kMediaFiles[] = {"Music.mid", "Music2.mid", "Music3.mid", "VELMAR.hlp"};

void putFile(const std::string& path, const QByteArray& bytes) {
    QFile file(QString::fromStdString(path));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The temporary folder's name taken beforehand by somebody else: a folder open to everybody,
// or a link to a folder they chose; either holds their own files under our names.
std::string plantFolder(const QString& kind, const QByteArray& base) {
    QDir(QString::fromUtf8(base)).removeRecursively();
    QDir().mkpath(QString::fromUtf8(base));
    const std::string bare = base.toStdString() + "/velmar-" + std::to_string(getuid());
    std::string holder = bare;
    if (kind == "symlink") {
        holder = base.toStdString() + "/elsewhere";
        mkdir(holder.c_str(), 0700);
        symlink(holder.c_str(), bare.c_str());
    } else {
        mkdir(bare.c_str(), 0777);
        chmod(bare.c_str(), 0777);
    }
    putFile(holder + "/Language_Velmar.lng", "[English]\r\n1=&Planted\r\n17=Planted\r\n");
    putFile(holder + "/VELMAR.hlp", "<html><title>Planted</title></html>");
    putFile(holder + "/Music.mid", *platform::FindResource("MUSIC", "MYMUSIC"));
    return holder + "/";
}

QStringList filesIn(const std::string& folder) {
    return QDir(QString::fromStdString(folder)).entryList(QDir::Files, QDir::Name);
}

} // namespace

class TestTempFiles : public QObject {
    Q_OBJECT
private slots:
    void extractionWritesEveryFileAndOverwritesLeftovers() {
        const std::string folder = media::TempFolderPath();
        QFile leftover(QString::fromStdString(folder + "Music2.mid"));
        QVERIFY(leftover.open(QIODevice::WriteOnly));
        leftover.write(QByteArray(100000, 'x')); // longer than the melody: must be cut
        leftover.close();
        media::ExtractMediaFiles();
        QCOMPARE(contentOf(folder + "Music2.mid"), *platform::FindResource("MUSIC", "MYMUSIC2"));
        QVERIFY(contentOf(folder + "Music.mid").startsWith("MThd"));
        QVERIFY(contentOf(folder + "VELMAR.hlp").contains("<html"));
        struct stat info {};
        QCOMPARE(stat((folder + "Music.mid").c_str(), &info), 0);
        QCOMPARE(int(info.st_mode & 077), 0); // private like its folder
    }

    void deletionRemovesTheMediaAndToleratesMissingOnes() {
        media::ExtractMediaFiles();
        const std::string folder = media::TempFolderPath();
        QVERIFY(QFile::remove(QString::fromStdString(folder + "Music3.mid")));
        media::DeleteMediaFiles();
        for (const char* name : kMediaFiles)
            QVERIFY2(!QFile::exists(QString::fromStdString(folder + name)), name);
    }

    void aMissingResourceNamesItself() {
        const std::string target = media::TempFolderPath() + "nothing.bin";
        QCOMPARE(errorOf([&] { media::SaveResourceToFile("MUSIC", "NOSUCH", target); }),
                 QString("Resource NOSUCH not found"));
        QVERIFY(!QFile::exists(QString::fromStdString(target)));
    }

    void aFileThatCannotBeCreatedGivesTheSystemsReason() {
        const std::string target = media::TempFolderPath() + "no/such/folder/Music.mid";
        QCOMPARE(errorOf([&] { media::SaveResourceToFile("MUSIC", "MYMUSIC", target); }),
                 QString::fromStdString("Cannot create file \"" + target +
                                        "\". No such file or directory"));
    }

    void aPlantedSymlinkIsNeverWrittenThrough() {
        const std::string folder = media::TempFolderPath();
        const std::string victim = QDir::tempPath().toStdString() + "/victim.txt";
        QFile v(QString::fromStdString(victim));
        QVERIFY(v.open(QIODevice::WriteOnly));
        v.write("precious");
        v.close();
        QFile::remove(QString::fromStdString(folder + "Music.mid"));
        QCOMPARE(symlink(victim.c_str(), (folder + "Music.mid").c_str()), 0);
        QVERIFY(errorOf([] { media::ExtractMediaFiles(); }).startsWith("Cannot create file"));
        QCOMPARE(contentOf(victim), QByteArray("precious"));
        QFile::remove(QString::fromStdString(folder + "Music.mid"));
    }

    void aSharedFolderRefusesEveryWrite() {
        const QByteArray oldTmp = qgetenv("TMPDIR");
        const QByteArray base = QDir::tempPath().toUtf8() + "/shared";
        QDir().mkpath(QString::fromUtf8(base));
        qputenv("TMPDIR", base);
        const std::string folder = platform::GetTempPath();
        QDir().mkpath(QString::fromStdString(folder));
        chmod(folder.c_str(), 0777);
        const QString error = errorOf([] { media::ExtractMediaFiles(); });
        qputenv("TMPDIR", oldTmp);
        QVERIFY(error.startsWith(
            QString::fromStdString("Cannot create file \"" + folder + "Music.mid\". ")));
        QVERIFY(!QFile::exists(QString::fromStdString(folder + "Music.mid")));
    }

    void aPlantedFolderIsNeverReadOpenedOrDeletedIn_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("open to others") << "open";
        QTest::newRow("symlink to another folder") << "symlink";
    }
    void aPlantedFolderIsNeverReadOpenedOrDeletedIn() {
        QFETCH(QString, kind);
        const QByteArray oldTmp = qgetenv("TMPDIR");
        const QByteArray base = QDir::tempPath().toUtf8() + "/planted-" + kind.toUtf8();
        const std::string holder = plantFolder(kind, base);
        qputenv("TMPDIR", base);
        const std::string folder = platform::GetTempPath();

        const i18n::LanguageTexts texts = i18n::ReadLanguage("English", i18n::Pass::StartUp);
        media::ShellOpenFile(folder + "VELMAR.hlp", "", "", platform::SW_SHOW);
        const bool helpShown =
            platform::HelpViewerWindow() && platform::HelpViewerWindow()->isVisible();
        media::TMediaPlayer player;
        player.FileName = folder + "Music.mid";
        QString openError;
        try {
            player.Open();
        } catch (const media::EMCIDeviceError& error) {
            openError = QString::fromStdString(error.Message());
        }
        const QString restoreError = errorOf([] { media::RestoreMediaFile("Music2.mid"); });
        platform::DeleteFile(i18n::LanguageFilePath());
        media::DeleteMediaFiles();
        qputenv("TMPDIR", oldTmp);

        QCOMPARE(texts.Captions.front().Text, std::string("&Game"));
        QVERIFY(!helpShown);
        QVERIFY(!player.Opened());
        QCOMPARE(player.Error(), platform::MCIERR_FILE_NOT_FOUND);
        QVERIFY(!openError.isEmpty());
        QVERIFY(restoreError.startsWith("Cannot create file"));
        QCOMPARE(filesIn(holder), (QStringList{"Language_Velmar.lng", "Music.mid", "VELMAR.hlp"}));
    }

    void theHelpOpensInItsOwnScrollableViewer() {
        media::ExtractMediaFiles();
        media::ShellOpenFile(media::TempFolderPath() + "VELMAR.hlp", "", "", platform::SW_SHOW);
        QWidget* viewer = platform::HelpViewerWindow();
        QVERIFY(viewer);
        QVERIFY(viewer->isVisible());
        QVERIFY(!viewer->isModal());
        QCOMPARE(viewer->windowTitle(), QString("Velmar Help"));
        auto* browser = viewer->findChild<QTextBrowser*>();
        QVERIFY(browser);
        QVERIFY(browser->toPlainText().contains("Pley New Game"));
        browser->scrollToAnchor("en-files");
        QVERIFY(browser->verticalScrollBar()->value() > 0);
        viewer->close();
    }

    void aMissingHelpFileOpensNothing() {
        media::DeleteMediaFiles();
        media::ShellOpenFile(media::TempFolderPath() + "VELMAR.hlp", "", "", platform::SW_SHOW);
        QVERIFY(!platform::HelpViewerWindow() || !platform::HelpViewerWindow()->isVisible());
    }
};

QTEST_MAIN(TestTempFiles)
#include "TestTempFiles.moc"
