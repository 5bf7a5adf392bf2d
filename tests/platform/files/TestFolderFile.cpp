// SPDX-License-Identifier: GPL-3.0-or-later
// Files reached through their folder: the private temporary folder is checked once, on the
// descriptor that is then used, so it can be neither swapped nor left.
#include "platform/files/Files.h"
#include "platform/files/FolderFile.h"
#include "platform/files/TempPath.h"

#include <QDir>
#include <QTest>

#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace platform;

namespace {

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void putFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string bytesOf(int fd) {
    std::string bytes;
    char buffer[256];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
        bytes.append(buffer, static_cast<std::size_t>(n));
    return bytes;
}

std::string withoutSlash(std::string path) {
    path.pop_back();
    return path;
}

// Somewhere outside the private folder that a planted link may point at.
std::string outside(const std::string& name) {
    return QDir::tempPath().toStdString() + "/" + name;
}

} // namespace

class TestFolderFile : public QObject {
    Q_OBJECT
private slots:
    void init() { QVERIFY(PrepareTempFolder().Usable); }

    void aFolderSwappedAfterTheCheckIsNeverUsed() {
        const std::string folder = GetTempPath();
        putFile(folder + "Language_Velmar.lng", "ours");
        const FolderFile checked(folder + "Language_Velmar.lng");
        QVERIFY(checked.Reachable());
        QVERIFY(checked.InPrivateFolder());

        // Somebody moves our folder away and plants a link to theirs under its name.
        const std::string planted = outside("planted");
        QDir(QString::fromStdString(planted)).removeRecursively();
        QCOMPARE(::mkdir(planted.c_str(), 0700), 0);
        putFile(planted + "/Language_Velmar.lng", "theirs");
        const std::string moved = withoutSlash(folder) + ".moved";
        QCOMPARE(::rename(withoutSlash(folder).c_str(), moved.c_str()), 0);
        QCOMPARE(::symlink(planted.c_str(), withoutSlash(folder).c_str()), 0);

        const UniqueFd fd(checked.Open(O_RDONLY));
        QVERIFY(fd.Valid());
        QCOMPARE(bytesOf(fd.Get()), std::string("ours"));
        std::string bytes;
        QCOMPARE(ReadFileBytes(folder + "Language_Velmar.lng", bytes), ReadResult::Failed);
        QVERIFY(!DeleteFile(folder + "Language_Velmar.lng"));
        QVERIFY(!FileExists(folder + "Language_Velmar.lng"));
        QCOMPARE(fileBytes(planted + "/Language_Velmar.lng"), std::string("theirs"));

        QCOMPARE(::unlink(withoutSlash(folder).c_str()), 0);
        QCOMPARE(::rename(moved.c_str(), withoutSlash(folder).c_str()), 0);
    }

    void aSymlinkInsideThePrivateFolderIsNeverFollowed() {
        const std::string folder = GetTempPath();
        const std::string victim = outside("victim.txt");
        putFile(victim, "precious");
        ::unlink((folder + "Music.mid").c_str());
        QCOMPARE(::symlink(victim.c_str(), (folder + "Music.mid").c_str()), 0);
        std::string bytes;
        QCOMPARE(ReadFileBytes(folder + "Music.mid", bytes), ReadResult::Failed);
        QVERIFY(!OpenFileForReading(folder + "Music.mid").Valid());
        std::string reason;
        QVERIFY(!CreateFileWithBytes(folder + "Music.mid", "planted", reason));
        QVERIFY(DeleteFile(folder + "Music.mid")); // the link goes, not what it names
        QCOMPARE(fileBytes(victim), std::string("precious"));
    }

    void nothingLeavesThePrivateFolder_data() {
        QTest::addColumn<QString>("route");
        QTest::newRow("back out") << "../escaped.txt";
        QTest::newRow("through a linked sub-folder") << "linked/escaped.txt";
    }
    void nothingLeavesThePrivateFolder() {
        QFETCH(QString, route);
        const std::string folder = GetTempPath();
        const std::string target = outside("escaped.txt");
        putFile(target, "outside");
        ::unlink((folder + "linked").c_str());
        QCOMPARE(::symlink(QDir::tempPath().toStdString().c_str(), (folder + "linked").c_str()), 0);
        const std::string path = folder + route.toStdString();
        std::string bytes;
        QVERIFY(ReadFileBytes(path, bytes) != ReadResult::Ok);
        QVERIFY(!DeleteFile(path));
        std::string reason;
        QVERIFY(!CreateFileWithBytes(path, "written", reason));
        QVERIFY(!reason.empty());
        QCOMPARE(fileBytes(target), std::string("outside"));
    }

    void aRealSubFolderOfOursIsUsed() {
        const std::string folder = GetTempPath();
        QCOMPARE(::mkdir((folder + "sub").c_str(), 0700) == 0 || errno == EEXIST, true);
        std::string reason;
        QVERIFY2(CreateFileWithBytes(folder + "sub//x.txt", "in", reason), reason.c_str());
        std::string bytes;
        QCOMPARE(ReadFileBytes(folder + "sub/x.txt", bytes), ReadResult::Ok);
        QCOMPARE(bytes, std::string("in"));
        QVERIFY(DeleteFile(folder + "sub/x.txt"));
        QCOMPARE(ReadFileBytes(folder + "sub/x.txt", bytes), ReadResult::Missing);
    }

    void filesElsewhereFollowTheirPathsAsAlways() {
        const std::string real = outside("real.txt");
        const std::string link = outside("link.txt");
        putFile(real, "plain");
        ::unlink(link.c_str());
        QCOMPARE(::symlink(real.c_str(), link.c_str()), 0);
        std::string bytes;
        QCOMPARE(ReadFileBytes(link, bytes), ReadResult::Ok);
        QCOMPARE(bytes, std::string("plain"));
        QCOMPARE(ReadFileBytes(outside("none.txt"), bytes), ReadResult::Missing);
        QCOMPARE(ReadFileBytes(QDir::tempPath().toStdString(), bytes), ReadResult::Failed);
    }

    void theFolderIsCheckedOnItsDescriptor_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("symlink to a folder of ours") << "symlink";
        QTest::newRow("open to others") << "open";
        QTest::newRow("a FIFO") << "fifo";
    }
    void theFolderIsCheckedOnItsDescriptor() {
        QFETCH(QString, kind);
        const QByteArray base = QDir::tempPath().toUtf8() + "/checked-" + kind.toUtf8();
        QDir(QString::fromUtf8(base)).removeRecursively();
        QVERIFY(QDir().mkpath(QString::fromUtf8(base)));
        const QByteArray oldTmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", base);
        const std::string bare = withoutSlash(GetTempPath());
        if (kind == "symlink") {
            QCOMPARE(::mkdir((base.toStdString() + "/ours").c_str(), 0700), 0);
            QCOMPARE(::symlink((base.toStdString() + "/ours").c_str(), bare.c_str()), 0);
        } else if (kind == "open") {
            QCOMPARE(::mkdir(bare.c_str(), 0700), 0);
            QCOMPARE(::chmod(bare.c_str(), 0777), 0);
        } else {
            QCOMPARE(::mkfifo(bare.c_str(), 0600), 0);
        }
        std::string problem;
        const bool opened = OpenPrivateFolder(&problem).Valid();
        const FolderFile file(bare + "/x");
        qputenv("TMPDIR", oldTmp);
        QVERIFY(!opened);
        QVERIFY(!problem.empty());
        QVERIFY(!file.Reachable());
        QCOMPARE(file.Problem(), problem);
    }
};

QTEST_MAIN(TestFolderFile)
#include "TestFolderFile.moc"
