// SPDX-License-Identifier: GPL-3.0-or-later
// The language file as the game writes it, and the two passes that read it back.
#include "i18n/CodePages.h"
#include "i18n/LanguageFile.h"
#include "i18n/LanguagePasses.h"
#include "i18n/Plurals.h"
#include "i18n/StringTable.h"
#include "platform/Exception.h"
#include "platform/files/Profile.h"
#include "platform/files/TempPath.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <algorithm>

#include <sys/stat.h>

using namespace i18n;

namespace {

QByteArray readFile(const std::string& path) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const std::string& path, const QByteArray& bytes) {
    QFile file(QString::fromStdString(path));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

std::string textOf(const LanguageTexts& texts, CaptionTarget target) {
    for (const Caption& c : texts.Captions)
        if (c.Target == target)
            return c.Text;
    return "<none>";
}

} // namespace

class TestLanguageFile : public QObject {
    Q_OBJECT
private slots:
    void init() {
        platform::PrepareTempFolder();
        QFile::remove(QString::fromStdString(LanguageFilePath()));
    }

    void sectionsKeepTheirOwnCodePage_data() {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("English exit with four blanks") << "English"
                                                       << "5" << QByteArray("&Exit    Esc");
        QTest::newRow("Russian moves") << "Russian"
                                       << "10" << QByteArray("\xD5\xEE\xE4\xEE\xE2:");
        QTest::newRow("Ukrainian moves") << "Ukrainian"
                                         << "10" << QByteArray("\xD5\xEE\xE4\xB3\xE2:");
        QTest::newRow("Russian status bar, Latin C")
            << "Russian"
            << "22" << QByteArray("&C\xF2\xF0\xEE\xEA\xE0 \xF1\xEE\xF1\xF2\xEE\xFF\xED\xE8\xFF");
        QTest::newRow("French parameters") << "French"
                                           << "6" << QByteArray("&Param\xE8tres");
        QTest::newRow("French win")
            << "French"
            << "12" << QByteArray("Vous avez gagn\xE9 - EST F\xC9LICIT\xC9!");
        QTest::newRow("French round is English") << "French"
                                                 << "11" << QByteArray("Round:");
        QTest::newRow("title everywhere") << "Ukrainian"
                                          << "17" << QByteArray("Velmar");
        QTest::newRow("English hint") << "English"
                                      << "32" << QByteArray("&Hint");
        QTest::newRow("Russian few moves")
            << "Russian"
            << "34" << QByteArray("%d \xF5\xEE\xE4\xE0 \xE4\xEE \xEF\xEE\xE1\xE5\xE4\xFB");
        QTest::newRow("Ukrainian hint, its own i")
            << "Ukrainian"
            << "32" << QByteArray("&\xCF\xB3\xE4\xEA\xE0\xE7\xEA\xE0");
        QTest::newRow("French unsolvable")
            << "French"
            << "36" << QByteArray("Cette position ne peut pas \xEAtre r\xE9solue.");
        QTest::newRow("Ukrainian sound stream, its own i")
            << "Ukrainian"
            << "65" << QByteArray("\xCC\xF3\xE7\xE8\xEA\xE0 \xB3 \xE7\xE2\xF3\xEA\xE8");
    }
    void sectionsKeepTheirOwnCodePage() {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QByteArray, bytes);
        WriteStringTable();
        const std::string value = platform::GetPrivateProfileString(
            section.toStdString(), key.toStdString(), "<missing>", LanguageFilePath());
        QCOMPARE(QByteArray::fromStdString(value), bytes);
    }

    void theWholeFileMatchesItsGoldenCopyByteForByte() {
        WriteStringTable();
        QFile golden(QStringLiteral(VELMAR_GOLDEN_LANGUAGE_FILE));
        QVERIFY2(golden.open(QIODevice::ReadOnly), VELMAR_GOLDEN_LANGUAGE_FILE);
        const QByteArray expected = golden.readAll();
        const QByteArray written = readFile(LanguageFilePath());
        const QList<QByteArray> want = expected.split('\n');
        const QList<QByteArray> got = written.split('\n');
        for (int i = 0; i < std::min(want.size(), got.size()); ++i)
            QVERIFY2(want[i] == got[i], qPrintable(QStringLiteral("line %1 differs").arg(i + 1)));
        QCOMPARE(written.size(), expected.size());
    }

    void everySectionHoldsKeys1To31ThenTheAddedOnesWithCrLf() {
        WriteStringTable();
        const QByteArray bytes = readFile(LanguageFilePath());
        QVERIFY(bytes.endsWith("\r\n"));
        QCOMPARE(bytes.count("\r\n"), bytes.count('\n'));
        const QList<QByteArray> lines = bytes.left(bytes.size() - 2).split('\n');
        std::vector<int> keys;
        for (int key = 1; key <= KeyCount; ++key)
            keys.push_back(key);
        for (const AddedText& added : AddedTexts()) {
            QVERIFY2(added.Key > keys.back(), "added keys ascend after 31");
            keys.push_back(added.Key);
        }
        QCOMPARE(lines.size(), qsizetype(4 * (keys.size() + 1)));
        int line = 0;
        for (const Language& language : Languages) {
            QCOMPARE(lines[line++], QByteArray("[") + language.Section + "]\r");
            for (const int key : keys)
                QVERIFY(lines[line++].startsWith(QByteArray::number(key) + "="));
        }
        QVERIFY(!bytes.contains("\r\n\r\n")); // no blank lines of our own
    }

    void anExistingFileIsUpdatedInPlaceAndKeepsForeignLines() {
        const QByteArray before = "[Russian]\r\n5=old\r\nmine=kept\r\n[Other]\r\nx=1\r\n";
        writeFile(LanguageFilePath(), before);
        WriteStringTable();
        const QByteArray after = readFile(LanguageFilePath());
        QVERIFY(after.startsWith("[Russian]\r\n5=&\xC2\xFB\xF5\xEE\xE4   Esc\r\nmine=kept\r\n"));
        QVERIFY(after.contains("[Other]\r\nx=1\r\n"));
        QCOMPARE(after.count("[Russian]"), 1);
        WriteStringTable(); // and a second start changes nothing
        QCOMPARE(readFile(LanguageFilePath()), after);
    }

    void aFolderThatIsNotPrivateIsNeverWritten() {
        const QByteArray oldTmp = qgetenv("TMPDIR");
        const QByteArray base = QDir::tempPath().toUtf8() + "/open-folder";
        QDir().mkpath(QString::fromUtf8(base));
        qputenv("TMPDIR", base);
        const std::string folder = platform::GetTempPath();
        QDir().mkpath(QString::fromStdString(folder));
        chmod(folder.c_str(), 0777);
        QString message;
        try {
            WriteStringTable();
        } catch (const platform::Exception& error) {
            message = QString::fromStdString(error.Message());
        }
        qputenv("TMPDIR", oldTmp);
        QCOMPARE(message,
                 QString::fromStdString("Unable to write to " + folder + LanguageFileName));
        QVERIFY(!QFile::exists(QString::fromStdString(folder + LanguageFileName)));
    }

    void theChangePassReadsFrenchInItsOrder() {
        WriteStringTable();
        const LanguageTexts texts = ReadLanguage("French", Pass::Change);
        QCOMPARE(texts.MarqueeText, std::string("Start Game   "));
        QCOMPARE(texts.Captions.size(), 32 + AddedTexts().size());
        QCOMPARE(texts.Captions[13].Target, CaptionTarget::Volime1);
        QCOMPARE(texts.Captions[18].Target, CaptionTarget::ApplicationTitle);
        QCOMPARE(texts.Captions[19].Target, CaptionTarget::MainCaption);
        QCOMPARE(textOf(texts, CaptionTarget::Parameters), std::string("&Paramètres"));
        QCOMPARE(textOf(texts, CaptionTarget::XPGroupBox1), std::string(" Couleur du panneau "));
        QCOMPARE(textOf(texts, CaptionTarget::LanguageBox), std::string(" langue "));
        QCOMPARE(textOf(texts, CaptionTarget::Label3),
                 std::string("Vous voulez quitter en effet le jeu ?"));
        QCOMPARE(textOf(texts, CaptionTarget::Label1),
                 std::string("Vous avez gagné - EST FÉLICITÉ!"));
    }

    void theStartUpPassReadsCyrillicWithSixBlanks() {
        WriteStringTable();
        const LanguageTexts texts = ReadLanguage("Ukrainian", Pass::StartUp);
        QCOMPARE(texts.MarqueeText, std::string("Start Game      "));
        QCOMPARE(texts.Captions[31].Target, CaptionTarget::Volime1); // the design's last
        QCOMPARE(textOf(texts, CaptionTarget::StatusPanel0), std::string("Ходів:"));
        QCOMPARE(textOf(texts, CaptionTarget::Label2),
                 std::string("Час гри закінчився - Ви ПРОГРАЛИ !"));
        QCOMPARE(textOf(texts, CaptionTarget::VisibeStatBar), std::string("&Cтрока стану"));
    }

    void aMissingFileGivesTheDefaults() {
        const LanguageTexts startUp = ReadLanguage("Russian", Pass::StartUp);
        const LanguageTexts change = ReadLanguage("Russian", Pass::Change);
        QCOMPARE(textOf(startUp, CaptionTarget::Files), std::string("&Game"));
        QCOMPARE(textOf(startUp, CaptionTarget::ExitGame), std::string("&Exit Game"));
        QCOMPARE(textOf(startUp, CaptionTarget::Stoped), std::string("&Stop"));
        QCOMPARE(textOf(startUp, CaptionTarget::MainCaption), std::string("Velmar"));
        QCOMPARE(textOf(startUp, CaptionTarget::Label3),
                 std::string("You really want to abandon the game ?"));
        // The read drops a default's trailing blanks, and the frame adds one on each side.
        QCOMPARE(textOf(startUp, CaptionTarget::XPGroupBox1), std::string("  Panel Color "));
        QCOMPARE(textOf(change, CaptionTarget::XPGroupBox1), std::string(" Panel Color "));
        QCOMPARE(textOf(change, CaptionTarget::LanguageBox), std::string(" Language "));
        QCOMPARE(textOf(change, CaptionTarget::XPGroupBox3), std::string(" Buttons "));
    }

    void aMarqueeCaptionInTheFileIsUsed() {
        WriteStringTable();
        platform::WritePrivateProfileString("MainDialog", "Caption", "  Go  ", LanguageFilePath());
        QCOMPARE(ReadLanguage("English", Pass::Change).MarqueeText, std::string("Go   "));
    }

    void anOldFileWithoutTheAddedKeysGetsThemAfterKey31() {
        WriteStringTable();
        QByteArray old;
        for (const QByteArray& line : readFile(LanguageFilePath()).split('\n')) {
            const bool added = std::any_of(AddedTexts().begin(), AddedTexts().end(), [&](auto& a) {
                return line.startsWith(QByteArray::number(a.Key) + "=");
            });
            if (!added && !line.isEmpty())
                old += line + "\n";
        }
        writeFile(LanguageFilePath(), old);
        WriteStringTable();
        const QByteArray bytes = readFile(LanguageFilePath());
        const qsizetype english = bytes.indexOf("31=&Volime\r\n");
        QVERIFY(english > 0);
        QVERIFY(bytes.indexOf("32=&Hint\r\n") > english);
        QVERIFY(bytes.indexOf("32=&Hint\r\n") < bytes.indexOf("[Russian]"));
    }

    void theAddedTextsReachBothPassesAndDefaultToEnglish() {
        const LanguageTexts missing = ReadLanguage("Ukrainian", Pass::Change);
        QCOMPARE(textOf(missing, CaptionTarget::Hint), std::string("&Hint"));
        WriteStringTable();
        for (const Pass pass : {Pass::StartUp, Pass::Change}) {
            const LanguageTexts texts = ReadLanguage("Ukrainian", pass);
            QCOMPARE(texts.Captions.back().Target, CaptionTarget::NoticeHint);
            QCOMPARE(textOf(texts, CaptionTarget::Hint), std::string("&Підказка"));
            QCOMPARE(textOf(texts, CaptionTarget::HintMovesFew),
                     std::string("%d ходи до перемоги"));
            QCOMPARE(texts.Plurals, PluralRule::EastSlavic);
        }
        QCOMPARE(ReadLanguage("French", Pass::StartUp).Plurals, PluralRule::ZeroOneOther);
    }

    // The code asks for a text by the element it labels, never by a bare key: each element
    // reads one key, the window's title and caption the same one.
    void everyElementReadsOneKeyOfTheTable() {
        QCOMPARE(KeyOf(CaptionTarget::Files), 1);
        QCOMPARE(KeyOf(CaptionTarget::ApplicationTitle), 17);
        QCOMPARE(KeyOf(CaptionTarget::MainCaption), 17);
        QCOMPARE(KeyOf(CaptionTarget::Volime1), 31);
        QCOMPARE(KeyOf(CaptionTarget::Hint), 32);
        QCOMPARE(KeyOf(CaptionTarget::RecordsNotSaved), 57);
        QCOMPARE(KeyOf(CaptionTarget::SoundStreamName), 65);
        std::vector<int> keys;
        for (int t = 0; t <= static_cast<int>(CaptionTarget::NoticeHint); ++t)
            keys.push_back(KeyOf(static_cast<CaptionTarget>(t)));
        std::sort(keys.begin(), keys.end());
        keys.erase(std::unique(keys.begin(), keys.end()), keys.end()); // the title's 17
        QCOMPARE(keys, TableKeys());
        QCOMPARE(std::string(EnglishText(CaptionTarget::RecordsCaption)), std::string("Records"));
        QCOMPARE(std::string(TableText(1, CaptionTarget::MusicVolume)),
                 std::string("Громкость музыки"));
    }

    void countedTextsTakeTheFormTheirLanguageNeeds_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("text");
        QTest::newRow("English one") << 0 << 1 << "1 move to go";
        QTest::newRow("English eleven") << 0 << 11 << "11 moves to go";
        QTest::newRow("Russian 21") << 1 << 21 << "21 ход до победы";
        QTest::newRow("Russian 11") << 1 << 11 << "11 ходов до победы";
        QTest::newRow("Russian 42") << 1 << 42 << "42 хода до победы";
        QTest::newRow("Russian 12") << 1 << 12 << "12 ходов до победы";
        QTest::newRow("Russian 80") << 1 << 80 << "80 ходов до победы";
        QTest::newRow("Ukrainian 3") << 2 << 3 << "3 ходи до перемоги";
        QTest::newRow("Ukrainian 114") << 2 << 114 << "114 ходів до перемоги";
        QTest::newRow("Ukrainian 101") << 2 << 101 << "101 хід до перемоги";
        QTest::newRow("French one") << 3 << 1 << "Encore 1 coup";
        QTest::newRow("French two") << 3 << 2 << "Encore 2 coups";
    }
    void countedTextsTakeTheFormTheirLanguageNeeds() {
        QFETCH(int, language);
        QFETCH(int, count);
        const std::array<std::string, 3> forms = {StringTableText(language, 33),
                                                  StringTableText(language, 34),
                                                  StringTableText(language, 35)};
        const PluralRule rule = Languages[static_cast<std::size_t>(language)].Plurals;
        QTEST(QString::fromStdString(CountText(forms, rule, count)), "text");
    }

    void aCountedTextFromTheFileIsNeverAFormat() {
        const std::array<std::string, 3> forms = {"%s %d %d", "%n", "100%"};
        QCOMPARE(CountText(forms, PluralRule::OneOther, 1), std::string("%s 1 %d"));
        QCOMPARE(CountText(forms, PluralRule::EastSlavic, 3), std::string("%n"));
        QCOMPARE(CountText(forms, PluralRule::ZeroOneOther, 5), std::string("100%"));
    }

    void codePagesRoundTripEveryTableText() {
        for (int language = 0; language < LanguageCount; ++language) {
            const CodePage page = Languages[static_cast<std::size_t>(language)].Encoding;
            for (const int key : TableKeys()) {
                const std::string text = StringTableText(language, key);
                const std::string bytes = ToCodePage(text, page);
                QVERIFY2(bytes.find('?') == std::string::npos ||
                             text.find('?') != std::string::npos,
                         text.c_str());
                QCOMPARE(FromCodePage(bytes, page), text);
            }
        }
        QCOMPARE(ToCodePage("ж€", CodePage::Windows1252), std::string("?\x80"));
        QCOMPARE(ToCodePage("\xFF", CodePage::Windows1251), std::string("?")); // broken UTF-8
    }
};

QTEST_MAIN(TestLanguageFile)
#include "TestLanguageFile.moc"
