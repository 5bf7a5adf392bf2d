// SPDX-License-Identifier: GPL-3.0-or-later
// The media written into the private temporary folder, their errors, and the help viewer.
#include "media/TempFiles.h"
#include "platform/Exception.h"
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
        browser->scrollToAnchor("files");
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
