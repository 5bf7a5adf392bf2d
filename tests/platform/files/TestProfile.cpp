// SPDX-License-Identifier: GPL-3.0-or-later
// INI profile files: reads and writes on bytes, the files on disk, and the INI file object.
#include "platform/Exception.h"
#include "platform/files/IniFile.h"
#include "platform/files/Profile.h"
#include "platform/files/TextEncodings.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace platform;

namespace {

// Bytes of a literal that may hold NUL bytes.
template <size_t N> QByteArray raw(const char (&literal)[N]) {
    return QByteArray(literal, N - 1);
}

std::string str(const QByteArray& bytes) {
    return bytes.toStdString();
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void putFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

class TestProfile : public QObject {
    Q_OBJECT

    static void readColumns() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QByteArray>("value");
    }

    static void checkRead() {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, section);
        QFETCH(QByteArray, key);
        QFETCH(bool, found);
        QFETCH(QByteArray, value);
        const auto got = profile::FindValue(str(text), str(section), str(key));
        QCOMPARE(got.has_value(), found);
        if (found)
            QCOMPARE(QByteArray::fromStdString(*got), value);
    }

    // A value's quotes: one matching pair is taken off.
    static void addQuoteRows() {
        QTest::newRow("double quotes around the value removed")
            << QByteArray("[a]\r\nx=\"2\"\r\n") << QByteArray("a") << QByteArray("x") << true
            << QByteArray("2");
        QTest::newRow("single quotes removed, blanks inside kept")
            << QByteArray("[a]\r\nx= ' a b ' \r\n") << QByteArray("a") << QByteArray("x") << true
            << QByteArray(" a b ");
        QTest::newRow("only one pair of quotes removed")
            << QByteArray("[a]\r\nx=\"\"v\"\"\r\n") << QByteArray("a") << QByteArray("x") << true
            << QByteArray("\"v\"");
        QTest::newRow("quotes that do not match kept")
            << QByteArray("[a]\r\nx=\"v'\r\n") << QByteArray("a") << QByteArray("x") << true
            << QByteArray("\"v'");
        QTest::newRow("a lone quote kept") << QByteArray("[a]\r\nx=\"\r\n") << QByteArray("a")
                                           << QByteArray("x") << true << QByteArray("\"");
    }

private slots:
    void readsFindTheFirstMatchingKey_data() {
        readColumns();
        const QByteArray crlf = "[USER]\r\nSelect=1\r\nSelected=32768\r\n";
        QTest::newRow("crlf") << crlf << QByteArray("USER") << QByteArray("Selected") << true
                              << QByteArray("32768");
        QTest::newRow("names ignore case")
            << crlf << QByteArray("user") << QByteArray("SELECT") << true << QByteArray("1");
        QTest::newRow("missing key")
            << crlf << QByteArray("USER") << QByteArray("Sel") << false << QByteArray();
        QTest::newRow("missing section")
            << crlf << QByteArray("English") << QByteArray("Select") << false << QByteArray();
        QTest::newRow("lf only, no last newline") << QByteArray("[a]\nx=1\ny=2") << QByteArray("a")
                                                  << QByteArray("y") << true << QByteArray("2");
        QTest::newRow("blanks trimmed everywhere")
            << QByteArray("  [ a ]  \r\n\t x \t=  two words \t\r\n") << QByteArray("a")
            << QByteArray("x") << true << QByteArray("two words");
        QTest::newRow("empty value is found") << QByteArray("[a]\r\nx=\r\n") << QByteArray("a")
                                              << QByteArray("x") << true << QByteArray("");
        QTest::newRow("value keeps later equals signs")
            << QByteArray("[a]\r\nx=b=c\r\n") << QByteArray("a") << QByteArray("x") << true
            << QByteArray("b=c");
        QTest::newRow("lines without equals sign and comments skipped")
            << QByteArray("[a]\r\njunk line\r\n;x=0\r\nx=1\r\n") << QByteArray("a")
            << QByteArray("x") << true << QByteArray("1");
        QTest::newRow("keys before any section belong to none")
            << QByteArray("x=0\r\n[a]\r\n") << QByteArray("a") << QByteArray("x") << false
            << QByteArray();
        QTest::newRow("repeated section: the first wins")
            << QByteArray("[a]\r\nx=1\r\n[b]\r\n[A]\r\nx=2\r\ny=3\r\n") << QByteArray("a")
            << QByteArray("y") << false << QByteArray();
        QTest::newRow("repeated key: the first wins")
            << QByteArray("[a]\r\nx=1\r\nX=2\r\n") << QByteArray("a") << QByteArray("x") << true
            << QByteArray("1");
        QTest::newRow("byte-order mark before the first section")
            << QByteArray("\xEF\xBB\xBF[a]\r\nx=1\r\n") << QByteArray("a") << QByteArray("x")
            << true << QByteArray("1");
        QTest::newRow("garbage and NUL bytes around")
            << raw("\x01\xFF\0[\0\r\n[a]\r\n\xC0\x80=\0\r\nx=\xE0\xF0\r\n\xFF") << QByteArray("a")
            << QByteArray("x") << true << QByteArray("\xE0\xF0");
        addQuoteRows();
        QTest::newRow("lone CR ends a line") << QByteArray("[a]\rx=1\ry=2\r") << QByteArray("a")
                                             << QByteArray("y") << true << QByteArray("2");
        QTest::newRow("CR, LF and CR LF mixed")
            << QByteArray("[a]\r\nx=1\ry=2\nz=3") << QByteArray("a") << QByteArray("z") << true
            << QByteArray("3");
        const QByteArray longValue(100000, 'v');
        QTest::newRow("100,000-character line reads whole")
            << QByteArray("[a]\r\nx=" + longValue + "\r\ny=2\r\n") << QByteArray("a")
            << QByteArray("x") << true << longValue;
    }
    void readsFindTheFirstMatchingKey() { checkRead(); }

    // A ^Z (DOS end of file), vertical tab or form feed is a blank to the classic reader.
    void readsTrimControlCharactersAsBlanks_data() {
        readColumns();
        QTest::newRow("^Z, vertical tab and form feed around the value trimmed")
            << QByteArray("[a]\r\nx=\f 255\x1A\r\n") << QByteArray("a") << QByteArray("x") << true
            << QByteArray("255");
        QTest::newRow("^Z and vertical tab around names trimmed")
            << QByteArray("\v[a]\x1A\r\n\x1Ax\v=1\r\n") << QByteArray("a") << QByteArray("x")
            << true << QByteArray("1");
        QTest::newRow("control characters inside the value kept")
            << QByteArray("[a]\r\nx=2\x1A"
                          "5\x01\r\n")
            << QByteArray("a") << QByteArray("x") << true
            << QByteArray("2\x1A"
                          "5\x01");
    }
    void readsTrimControlCharactersAsBlanks() { checkRead(); }

    void writesChangeOneLineAndKeepTheRest_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("new file") << QByteArray() << QByteArray("USER") << QByteArray("Select")
                                  << QByteArray("[USER]\r\nSelect=V\r\n");
        QTest::newRow("replaced in place, spelling of the file kept")
            << QByteArray("; note\r\n[User]\r\n  SELECT = 0 \r\nother=1\n[X]\r\n")
            << QByteArray("USER") << QByteArray("select")
            << QByteArray("; note\r\n[User]\r\nSELECT=V\r\nother=1\n[X]\r\n");
        QTest::newRow("new key after the section's last line, blank lines stay")
            << QByteArray("[a]\r\nx=1\r\n\r\n[b]\r\ny=2\r\n") << QByteArray("a") << QByteArray("k")
            << QByteArray("[a]\r\nx=1\r\nk=V\r\n\r\n[b]\r\ny=2\r\n");
        QTest::newRow("new key in the last section without last newline")
            << QByteArray("[a]\nx=1") << QByteArray("A") << QByteArray("k")
            << QByteArray("[a]\nx=1\r\nk=V\r\n");
        QTest::newRow("new section at the end")
            << QByteArray("[a]\r\nx=1") << QByteArray("b") << QByteArray("k")
            << QByteArray("[a]\r\nx=1\r\n[b]\r\nk=V\r\n");
        QTest::newRow("repeated section: writes go to the first")
            << QByteArray("[a]\r\n[b]\r\n[a]\r\nk=old\r\n") << QByteArray("a") << QByteArray("k")
            << QByteArray("[a]\r\nk=V\r\n[b]\r\n[a]\r\nk=old\r\n");
        QTest::newRow("byte-order mark kept")
            << QByteArray("\xEF\xBB\xBF[a]\r\nk=1\r\n") << QByteArray("a") << QByteArray("k")
            << QByteArray("\xEF\xBB\xBF[a]\r\nk=V\r\n");
        QTest::newRow("only a byte-order mark")
            << QByteArray("\xEF\xBB\xBF") << QByteArray("a") << QByteArray("k")
            << QByteArray("\xEF\xBB\xBF[a]\r\nk=V\r\n");
        QTest::newRow("lines ended by a lone CR kept")
            << QByteArray("[a]\rx=1\ry=2\r[b]\r") << QByteArray("a") << QByteArray("y")
            << QByteArray("[a]\rx=1\ry=V\r\n[b]\r");
        QTest::newRow("new key after a lone CR")
            << QByteArray("[a]\rx=1\r") << QByteArray("a") << QByteArray("k")
            << QByteArray("[a]\rx=1\rk=V\r\n");
        QTest::newRow("garbage and NUL bytes kept")
            << raw("\0\xFF\r\n[a]\r\n\x01\0junk\r\n") << QByteArray("a") << QByteArray("k")
            << raw("\0\xFF\r\n[a]\r\n\x01\0junk\r\nk=V\r\n");
    }
    void writesChangeOneLineAndKeepTheRest() {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, section);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, after);
        const auto got = profile::SetValue(str(before), str(section), str(key), "V");
        QVERIFY(got);
        QCOMPARE(QByteArray::fromStdString(*got), after);
        QCOMPARE(profile::FindValue(*got, str(section), str(key)), std::optional<std::string>("V"));
    }

    // A batch searches a section from where an earlier write of it found its header; whatever
    // the file, that must come to the bytes of the same writes made one by one.
    void aBatchOfWritesEqualsTheSameWritesOneByOne_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::newRow("no file") << QByteArray();
        QTest::newRow("other sections and keys")
            << QByteArray("[Mine]\r\nkept=yes\r\n[english]\r\n2=old\r\n\r\n[Zz]\r\nz=1\r\n");
        QTest::newRow("a section repeated, the first one counts")
            << QByteArray("[Russian]\r\n[English]\r\n[russian]\r\n1=later\r\n");
        QTest::newRow("unterminated last line") << QByteArray("[English]\r\n1=x");
        QTest::newRow("only a byte-order mark") << QByteArray("\xEF\xBB\xBF");
        QTest::newRow("lines ended by lone CRs") << QByteArray("[English]\r1=a\r[Russian]\r");
        QTest::newRow("utf16") << inEncoding("[English]\r\n1=a\r\n", "utf16le");
    }
    void aBatchOfWritesEqualsTheSameWritesOneByOne() {
        QFETCH(QByteArray, before);
        // Runs of one section, a return to an earlier one, a new one, a key twice, other cases;
        // new sections written to while they end the file, and again once another follows.
        const std::vector<ProfileEntry> batch{
            {"English", "1", "Game"},    {"English", "2", "New"},   {" English ", "3", "Exit"},
            {"Russian", "1", "Igra"},    {"English", "4", "Back"},  {"RUSSIAN", "2", "Novaya"},
            {"French", "1", "Jeu"},      {"French", "1", "Le jeu"}, {"english", "2", "Newer"},
            {"Russian", " 1 ", "Final"}, {"French", "Key", "x"},    {"french", " KEY", "y"},
            {"French", "2", "Deux"},     {"German", "1", "Spiel"},  {"French", "3", "Trois"},
            {"German", "1 ", "Spiel!"},  {"German", "2", "Neu"},    {"English", "5", "Five"}};
        std::string oneByOne = str(before);
        for (const ProfileEntry& e : batch) {
            const auto next = profile::SetValue(oneByOne, e.Section, e.Key, e.Value);
            QVERIFY(next);
            oneByOne = *next;
        }
        const auto batched = profile::SetValues(str(before), batch);
        QVERIFY(batched);
        QCOMPARE(QByteArray::fromStdString(*batched), QByteArray::fromStdString(oneByOne));
    }

    void aBatchWithOneRefusedWriteWritesNothing() {
        const std::vector<ProfileEntry> batch{
            {"English", "1", "Game"}, {"English", "bad=key", "x"}, {"English", "2", "New"}};
        QVERIFY(!profile::SetValues("[English]\r\n", batch));
        QTemporaryDir scratch;
        const std::string path = scratch.filePath("l.lng").toStdString();
        putFile(path, "[English]\r\n1=old\r\n");
        QVERIFY(!WritePrivateProfileStrings(batch, path));
        QCOMPARE(fileBytes(path), std::string("[English]\r\n1=old\r\n"));
    }

    void everyEncodingReadsAndAWriteKeepsIt_data() {
        QTest::addColumn<QString>("encoding");
        for (const char* name : {"ansi", "utf8", "utf8 bom", "utf16le", "utf16be"})
            QTest::newRow(name) << QString(name);
    }
    void everyEncodingReadsAndAWriteKeepsIt() {
        QFETCH(QString, encoding);
        const QByteArray before = inEncoding("; Мои цвета\r\n[USER]\r\nSelect = 2 \r\n"
                                             "[Другой]\r\nКлюч=Значение\r\n",
                                             encoding);
        const std::string file = str(before);
        QCOMPARE(profile::FindValue(file, "user", "select"), std::optional<std::string>("2"));
        const auto written = profile::SetValue(file, "USER", "Selected", "32768");
        QVERIFY(written);
        QCOMPARE(QByteArray::fromStdString(*written),
                 inEncoding("; Мои цвета\r\n[USER]\r\nSelect = 2 \r\nSelected=32768\r\n"
                            "[Другой]\r\nКлюч=Значение\r\n",
                            encoding));
        if (encoding != "ansi") // the caller decodes single-byte text; the rest reads as UTF-8
            QCOMPARE(profile::FindValue(*written, "Другой", "Ключ"),
                     std::optional<std::string>("Значение"));
    }

    void utf16KeepsEveryUnitItCannotRead_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("odd last byte stays last")
            << raw("\xFF\xFE[\0a\0]\0\r\0\n\0\x07")
            << raw("\xFF\xFE[\0a\0]\0\r\0\n\0k\0=\0V\0\r\0\n\0\x07");
        QTest::newRow("lone surrogates kept")
            << raw("\xFF\xFE\x00\xD8\r\0\n\0[\0a\0]\0\x00\xDC\r\0\n\0")
            << raw("\xFF\xFE\x00\xD8\r\0\n\0[\0a\0]\0\x00\xDC\r\0\n\0k\0=\0V\0\r\0\n\0");
        QTest::newRow("a pair beyond the first plane kept, big endian")
            << raw("\xFE\xFF\0[\0a\0]\xD8\x3D\xDE\x00\0\r\0\n")
            << raw("\xFE\xFF\0[\0a\0]\xD8\x3D\xDE\x00\0\r\0\n\0k\0=\0V\0\r\0\n");
        QTest::newRow("only the mark")
            << raw("\xFE\xFF") << raw("\xFE\xFF\0[\0a\0]\0\r\0\n\0k\0=\0V\0\r\0\n");
        QTest::newRow("NUL characters kept")
            << raw("\xFF\xFE\0\0\r\0\n\0[\0a\0]\0")
            << raw("\xFF\xFE\0\0\r\0\n\0[\0a\0]\0\r\0\n\0k\0=\0V\0\r\0\n\0");
    }
    void utf16KeepsEveryUnitItCannotRead() {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        const auto got = profile::SetValue(str(before), "a", "k", "V");
        QVERIFY(got);
        QCOMPARE(QByteArray::fromStdString(*got), after);
        QCOMPARE(profile::FindValue(*got, "a", "k"), std::optional<std::string>("V"));
    }

    void singleByteTextIsRefusedInAUtf16File() {
        const std::string file = str(inEncoding("[a]\r\nk=1\r\n", "utf16le"));
        QVERIFY(!profile::SetValue(file, "a", "k", "\xC8\xE3\xF0\xE0"));
        QVERIFY(!profile::SetValue(file, "\xC0", "k", "1"));
        QVERIFY(!profile::SetValue(file, "a", "k", "\xED\xA0")); // cut short
        QVERIFY(!profile::SetValue(file, "a", "k", "\xC0\xAF")); // overlong
        QVERIFY(profile::SetValue(file, "a", "k", "Гра"));
    }

    void writesThatWouldBreakTheFileAreRefused_data() {
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("line break in value")
            << QByteArray("a") << QByteArray("k") << QByteArray("1\r\n[b]");
        QTest::newRow("equals sign in key")
            << QByteArray("a") << QByteArray("k=1") << QByteArray("v");
        QTest::newRow("bracket in section")
            << QByteArray("a]") << QByteArray("k") << QByteArray("v");
        QTest::newRow("blank key") << QByteArray("a") << QByteArray("  ") << QByteArray("v");
        QTest::newRow("empty section") << QByteArray("") << QByteArray("k") << QByteArray("v");
        QTest::newRow("key read as a comment")
            << QByteArray("a") << QByteArray(";k") << QByteArray("v");
    }
    void writesThatWouldBreakTheFileAreRefused() {
        QFETCH(QByteArray, section);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, value);
        QVERIFY(!profile::SetValue("[a]\r\n", str(section), str(key), str(value)));
    }

    void aFileWithoutFolderLivesInTheSettingsDirectory() {
        QTemporaryDir scratch;
        const std::string config = scratch.filePath("cfg/deeper").toStdString();
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config + "/"));
        QCOMPARE(SettingsDirectory(), config);
        QVERIFY(WritePrivateProfileString("USER", "Select", "2", "ORV_Velmar.INI"));
        QCOMPARE(fileBytes(config + "/ORV_Velmar.INI"), std::string("[USER]\r\nSelect=2\r\n"));
        QCOMPARE(GetPrivateProfileString("user", "select", "0", "ORV_Velmar.INI"), "2");

        qputenv("XDG_CONFIG_HOME", "relative/ignored");
        const QByteArray home = qgetenv("HOME");
        QCOMPARE(SettingsDirectory(), home.toStdString() + "/.config");
        qunsetenv("XDG_CONFIG_HOME");
        QCOMPARE(ProfilePath("x.ini"), home.toStdString() + "/.config/x.ini");
        QCOMPARE(ProfilePath("/tmp/v/x.ini"), std::string("/tmp/v/x.ini"));
    }

    void missingValuesGiveTheDefaultWithoutTrailingBlanks() {
        QTemporaryDir scratch;
        const std::string path = scratch.filePath("l.lng").toStdString();
        QCOMPARE(GetPrivateProfileString("a", "k", " Panel Color  ", path), " Panel Color");
        putFile(path, "[a]\r\nk=1\r\n");
        QCOMPARE(GetPrivateProfileString("a", "other", "x\t", path), "x");
        QCOMPARE(GetPrivateProfileString("a", "k", "x", scratch.path().toStdString()), "x");
    }

    // An unsynced write only spares the waits for the disk; it replaces the file as whole.
    void aWriteReplacesTheFileWholeAndKeepsItsMode_data() {
        QTest::addColumn<bool>("synced");
        QTest::newRow("synced") << true;
        QTest::newRow("unsynced") << false;
    }
    void aWriteReplacesTheFileWholeAndKeepsItsMode() {
        QFETCH(bool, synced);
        QTemporaryDir scratch;
        const std::string path = scratch.filePath("l.lng").toStdString();
        putFile(path, "[English]\r\n1=old\r\n[Mine]\r\nkept=yes\r\n");
        QVERIFY(::chmod(path.c_str(), 0640) == 0);
        struct stat before {};
        ::stat(path.c_str(), &before);
        QVERIFY(WritePrivateProfileStrings({{"English", "1", "&Game"}}, path,
                                           synced ? Durability::Synced : Durability::Unsynced));
        QCOMPARE(fileBytes(path), std::string("[English]\r\n1=&Game\r\n[Mine]\r\nkept=yes\r\n"));
        struct stat after {};
        ::stat(path.c_str(), &after);
        QCOMPARE(after.st_mode & 07777, mode_t(0640));
        QVERIFY(after.st_ino != before.st_ino); // renamed into place, not rewritten in place
        QCOMPARE(entriesOf(scratch.path()), QStringList{"l.lng"});
    }

    void refusedWritesLeaveEverythingAsItWas_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("read-only file") << "readonly";
        QTest::newRow("missing folder") << "nofolder";
        QTest::newRow("folder is a file") << "notdir";
        QTest::newRow("a directory in the file's place") << "directory";
        QTest::newRow("unwritable folder") << "lockedfolder";
    }
    void refusedWritesLeaveEverythingAsItWas() {
        QFETCH(QString, kind);
        QTemporaryDir scratch;
        const std::string folder = scratch.path().toStdString();
        std::string path = folder + "/s.ini";
        const std::string content = "[USER]\r\nSelect=3\r\n";
        if (kind == "readonly") {
            putFile(path, content);
            QVERIFY(::chmod(path.c_str(), 0444) == 0);
        } else if (kind == "nofolder") {
            path = folder + "/missing/s.ini";
        } else if (kind == "notdir") {
            putFile(folder + "/plain", content);
            path = folder + "/plain/s.ini";
        } else if (kind == "directory") {
            QVERIFY(::mkdir(path.c_str(), 0700) == 0);
        } else {
            if (::geteuid() == 0)
                QSKIP("the superuser writes into any folder");
            QVERIFY(::chmod(folder.c_str(), 0500) == 0);
        }
        const QStringList entries = entriesOf(scratch.path());
        TIniFile ini(path);
        try {
            ini.WriteInteger("USER", "Select", 0);
            QFAIL("the write was not refused");
        } catch (const Exception& e) {
            QCOMPARE(e.Message(), "Unable to write to " + path);
        }
        ::chmod(folder.c_str(), 0700);
        QCOMPARE(entriesOf(scratch.path()), entries);
        if (kind == "readonly")
            QCOMPARE(fileBytes(path), content);
    }

    void integersReadDecimalAndHexadecimal_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("value");
        const int missing = -99;
        QTest::newRow("decimal") << QByteArray("32768") << 32768;
        QTest::newRow("negative colour") << QByteArray("-16777201") << -16777201;
        QTest::newRow("plus sign") << QByteArray("+7") << 7;
        QTest::newRow("0x") << QByteArray("0x8000") << 32768;
        QTest::newRow("0X, mixed case digits") << QByteArray("0XfF") << 255;
        QTest::newRow("dollar") << QByteArray("$FFFF") << 65535;
        QTest::newRow("signed hexadecimal") << QByteArray("-$10") << -16;
        QTest::newRow("32-bit hexadecimal wraps") << QByteArray("0xFF00000F") << -16777201;
        QTest::newRow("lowest int") << QByteArray("-2147483648") << int(-2147483647 - 1);
        QTest::newRow("decimal out of range") << QByteArray("2147483648") << missing;
        QTest::newRow("hexadecimal beyond 32 bits") << QByteArray("$100000000") << missing;
        QTest::newRow("not a number") << QByteArray("black") << missing;
        QTest::newRow("trailing text") << QByteArray("12px") << missing;
        QTest::newRow("prefix only") << QByteArray("0x") << missing;
        QTest::newRow("0x after a sign is no number") << QByteArray("-0x10") << missing;
        QTest::newRow("sign after 0x") << QByteArray("0x-5") << missing;
        QTest::newRow("sign only") << QByteArray("-") << missing;
        QTest::newRow("two signs") << QByteArray("--5") << missing;
        QTest::newRow("sign after prefix") << QByteArray("$-5") << missing;
        QTest::newRow("empty") << QByteArray("") << missing;
    }
    void integersReadDecimalAndHexadecimal() {
        QFETCH(QByteArray, text);
        QFETCH(int, value);
        QCOMPARE(StrToIntDef(str(text), -99), value);
    }

    void theIniFileObjectRoundTripsStringsAndIntegers() {
        QTemporaryDir scratch;
        const std::string path = scratch.filePath("ORV_Velmar.INI").toStdString();
        TIniFile ini(path);
        QCOMPARE(ini.ReadInteger("USER", "Selected", 0), 0);
        QCOMPARE(ini.ReadString("USER", "Select", " Language "), " Language");
        ini.WriteInteger("USER", "Select", 0);
        ini.WriteInteger("USER", "Selected", -16777201);
        ini.WriteString("USER", "Selected3", " 0x00FFFF ");
        ini.WriteString("Russian", "1", "\xC8\xE3\xF0\xE0");
        QCOMPARE(ini.ReadInteger("USER", "Select", 5), 0);
        QCOMPARE(ini.ReadInteger("user", "selected", 5), -16777201);
        QCOMPARE(ini.ReadInteger("USER", "Selected3", 5), 65535);
        QCOMPARE(ini.ReadString("Russian", "1", ""), "\xC8\xE3\xF0\xE0");
        QCOMPARE(fileBytes(path), std::string("[USER]\r\nSelect=0\r\nSelected=-16777201\r\n"
                                              "Selected3= 0x00FFFF \r\n[Russian]\r\n1="
                                              "\xC8\xE3\xF0\xE0\r\n"));
    }

    // Read once: a pass over many keys sees the file as it was, and each read answers as the
    // file object's would have then, defaults and all.
    void theMemoryIniFileAnswersAsTheFileWasWhenMade() {
        QTemporaryDir scratch;
        const std::string path = scratch.filePath("Language_Velmar.lng").toStdString();
        putFile(path, "[English]\r\n1 = &Game \r\n2=\"quoted\"\r\n7=$1F\r\n");
        const TMemIniFile mem(path);
        const TIniFile ini(path);
        for (const char* key : {"1", "2", "3"})
            QCOMPARE(mem.ReadString("english", key, "none  "),
                     ini.ReadString("english", key, "none  "));
        QCOMPARE(mem.ReadInteger("English", "7", 0), 31);
        QCOMPARE(mem.ReadString("Russian", "1", "x"), std::string("x"));
        putFile(path, "[English]\r\n1=changed\r\n");
        QCOMPARE(mem.ReadString("English", "1", ""), std::string("&Game"));
        QCOMPARE(TMemIniFile(path).ReadString("English", "1", ""), std::string("changed"));
        QCOMPARE(TMemIniFile(scratch.filePath("missing").toStdString()).ReadString("a", "k", "d "),
                 std::string("d"));
    }
};

QTEST_GUILESS_MAIN(TestProfile)
#include "TestProfile.moc"
