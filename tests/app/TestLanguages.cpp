// SPDX-License-Identifier: GPL-3.0-or-later
// The stored language at start, a change in the parameters dialog, and a start without a
// writable temporary folder.
#include "FormFixture.h"

#include "i18n/LanguageFile.h"
#include "i18n/StringTable.h"
#include "platform/audio/OutputNames.h"
#include "platform/files/Profile.h"
#include "platform/files/TempPath.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <sys/stat.h>

namespace {

void storeLanguage(const char* select) {
    QFile::remove(QString::fromStdString(platform::ProfilePath("ORV_Velmar.INI")));
    if (select)
        platform::WritePrivateProfileString("USER", "Select", select, "ORV_Velmar.INI");
}

QString menuText(const QAction* action) {
    return action->text();
}

} // namespace

class TestLanguages : public QObject {
    Q_OBJECT
private slots:
    void theStoredLanguageShowsAtStart() {
        storeLanguage("3");
        FormFixture f;
        QCOMPARE(f.panel->ComboBox1->currentText(), QString("French"));
        for (int i = 0; i < 4; ++i)
            QCOMPARE(f.panel->ComboBox1->itemIcon(i).pixmap(16, 16).size(), QSize(16, 16));
        QCOMPARE(f.form->Files->title(), QString("&Le jeu"));
        QCOMPARE(menuText(f.form->Play), QString("&Commencer un nouveau jeu"));
        QCOMPARE(menuText(f.form->ExitGame), QString("&La sortie   Esc"));
        QCOMPARE(f.form->Helps->title(), QString("&Linformation"));
        QCOMPARE(f.form->windowTitle(), QString("Velmar"));
        QCOMPARE(f.panelText(0), std::string("Des..:"));
        QCOMPARE(f.panelText(2), std::string("Round:"));
        QCOMPARE(f.panel->windowTitle(), QString("Paramètres"));
        QCOMPARE(QString::fromStdString(f.panel->XPGroupBox1->Caption()),
                 QString(" Couleur du panneau "));
        QCOMPARE(app::Game.MarqueeText, std::string("Start Game      "));
        f.answer = platform::mrNo;
        f.form->close();
        QCOMPARE(f.boxes.back().Text, std::string("Vous voulez quitter en effet le jeu ?"));
    }

    // The sound output's name too: the desktop's sound settings list it by the name it opened
    // with.
    void pickingALanguageRelabelsBothWindowsAtOnce() {
        storeLanguage("1");
        FormFixture f;
        QCOMPARE(f.form->Music->title(), QString("&Музыка"));
        QCOMPARE(platform::SoundOutputName().stream, std::string("Музыка и звуки"));
        f.form->PlayClick();
        f.click(1);
        f.panel->ComboBox1->setCurrentIndex(3);
        f.panel->ComboBox1Change();
        QCOMPARE(f.form->Music->title(), QString("&Musique"));
        QCOMPARE(menuText(f.form->Volime1), QString("&Volume du son"));
        QCOMPARE(f.panelText(0), std::string("Des..:"));
        QCOMPARE(f.panelText(1), std::string("1")); // the counters keep their numbers
        QCOMPARE(f.panelText(3), std::string("1"));
        QCOMPARE(QString::fromStdString(f.panel->Buttondefault->Caption()),
                 QString("&Du réglage selon la silence"));
        QCOMPARE(app::Game.MarqueeText, std::string("Start Game   "));
        QCOMPARE(platform::SoundOutputName().stream, std::string("Musique et sons"));
        f.panel->ComboBox1->setCurrentIndex(0);
        f.panel->ComboBox1Change();
        QCOMPARE(f.form->Music->title(), QString("&Music"));
        QCOMPARE(platform::SoundOutputName().stream, std::string("Music and sounds"));
        QCOMPARE(dialogs::TextOf(f.panel->Label1), std::string("You have won - we CONGRATULATE!"));
        QCOMPARE(QString::fromStdString(f.panel->LanguageBox->Caption()), QString(" Language "));
    }

    void everyCaptionOfBothPassesHasExactlyOneWindowToShowIt() {
        FormFixture f;
        std::vector<i18n::CaptionSetter> setters = f.form->CaptionSetters();
        for (auto& setter : f.panel->CaptionSetters())
            setters.push_back(std::move(setter));
        for (const i18n::Pass pass : {i18n::Pass::StartUp, i18n::Pass::Change}) {
            const i18n::LanguageTexts texts = i18n::ReadLanguage("English", pass);
            QCOMPARE(texts.Captions.size(), 32 + i18n::AddedTexts().size());
            for (const i18n::Caption& caption : texts.Captions) {
                const auto homes =
                    std::count_if(setters.begin(), setters.end(),
                                  [&](const auto& s) { return s.Target == caption.Target; });
                QVERIFY2(homes == 1, caption.Text.c_str());
            }
        }
    }

    void bothPassesCaptionTheHintWithAnAccessKeyNoOtherGameItemHas_data() {
        QTest::addColumn<QString>("select");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("afterChange"); // the caption of the next language
        QTest::newRow("English") << "0"
                                 << "&Hint"
                                 << "&Подсказка";
        QTest::newRow("Russian") << "1"
                                 << "&Подсказка"
                                 << "&Підказка";
        QTest::newRow("Ukrainian") << "2"
                                   << "&Підказка"
                                   << "&Indice";
        QTest::newRow("French") << "3"
                                << "&Indice"
                                << "&Hint";
    }
    void bothPassesCaptionTheHintWithAnAccessKeyNoOtherGameItemHas() {
        QFETCH(QString, select);
        QFETCH(QString, caption);
        storeLanguage(qPrintable(select));
        FormFixture f;
        QCOMPARE(menuText(f.form->Hint), caption);
        const QChar key = caption.at(caption.indexOf(QLatin1Char('&')) + 1).toLower();
        for (const QAction* item : f.form->Files->actions()) {
            const QString text = item->text();
            const auto amp = text.indexOf(QLatin1Char('&'));
            if (item == f.form->Hint || amp < 0 || amp + 1 >= text.size())
                continue;
            QVERIFY2(text.at(amp + 1).toLower() != key, qPrintable(text));
        }
        f.panel->ComboBox1->setCurrentIndex((select.toInt() + 1) % 4);
        f.panel->ComboBox1Change();
        QTEST(menuText(f.form->Hint), "afterChange");
        storeLanguage(nullptr);
    }

    void aStoredNumberOutOfRangeMeansEnglish() {
        storeLanguage("7");
        FormFixture f;
        QCOMPARE(f.panel->ComboBox1->currentIndex(), 0);
        QCOMPARE(f.form->Files->title(), QString("&Game"));
        storeLanguage(nullptr);
    }

    void aDeletedLanguageFileMakesTheNextChangeEnglish() {
        storeLanguage("2");
        FormFixture f;
        QVERIFY(QFile::remove(QString::fromStdString(i18n::LanguageFilePath())));
        f.panel->ComboBox1->setCurrentIndex(1);
        f.panel->ComboBox1Change();
        QCOMPARE(f.form->Files->title(), QString("&Game"));
        QCOMPARE(menuText(f.form->ExitGame), QString("&Exit Game"));
        storeLanguage(nullptr);
    }

    void anUnwritableTemporaryFolderIsReportedOnceAndTheGameGoesOn() {
        storeLanguage("1");
        const QByteArray oldTmp = qgetenv("TMPDIR");
        const QByteArray base = QDir::tempPath().toUtf8() + "/shared-tmp";
        QDir().mkpath(QString::fromUtf8(base));
        qputenv("TMPDIR", base);
        const std::string folder = platform::GetTempPath();
        QDir().mkpath(QString::fromStdString(folder));
        chmod(folder.c_str(), 0777); // somebody else's, as far as the game can tell
        {
            FormFixture f;
            QCOMPARE(int(f.boxes.size()), 1);
            QCOMPARE(f.boxes.front().Type, platform::mtError);
            // The language file failed first, so no melody was written either; opening the
            // first melody then fails too, and that is the error shown.
            QCOMPARE(f.boxes.front().Text, std::string("The specified file was not found. Make "
                                                       "sure the path and filename are correct."));
            QVERIFY(!QFile::exists(QString::fromStdString(folder + "Language_Velmar.lng")));
            QCOMPARE(f.form->Files->title(), QString("&Game")); // English defaults
            f.form->PlayClick();
            QVERIFY(!f.form->Tile(1)->isHidden());
        }
        qputenv("TMPDIR", oldTmp);
        storeLanguage(nullptr);
    }
};

VELMAR_TEST_MAIN(TestLanguages)
#include "TestLanguages.moc"
