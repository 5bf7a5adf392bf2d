// SPDX-License-Identifier: GPL-3.0-or-later
// The settings file through the parameters dialog: the first start, what a close stores, hand
// edited values, the reset, and a settings folder that cannot be written.
#include "app/FormFixture.h"

#include "i18n/LanguageFile.h"
#include "platform/files/Profile.h"
#include "platform/files/TextEncodings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>

namespace {

QString settingsPath() {
    return QString::fromStdString(platform::ProfilePath(dialogs::SettingsFileName));
}

void writeSettings(const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(settingsPath()).path());
    QFile file(settingsPath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray readSettings() {
    QFile file(settingsPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void removeSettings() {
    QFile::remove(settingsPath());
}

// The player picks an entry, as a click in the drop-down list does.
void pick(QComboBox* chooser, int index) {
    chooser->setCurrentIndex(index);
    emit chooser->activated(index);
}

platform::TColor tileColor(const FormFixture& f) {
    return f.form->Tile(1)->Font().Color;
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

private slots:
    void init() { removeSettings(); }

    void theFirstStartIsEnglishOnABlackBoardWithYellowNumbers() {
        FormFixture f;
        QCOMPARE(f.panel->ComboBox1->ItemIndex(), 0);
        QCOMPARE(f.form->Files->title(), QString("&Game"));
        QCOMPARE(f.form->Panel2->Color(), platform::clBlack);
        QCOMPARE(tileColor(f), platform::clYellow);
        QVERIFY(!QFile::exists(settingsPath()));
    }

    void closingUnchangedCreatesTheFileWithTheThreeValues() {
        FormFixture f;
        f.panel->show();
        f.panel->XPButton1->Click();
        QVERIFY(!f.panel->isVisible());
        QCOMPARE(readSettings(),
                 QByteArray("[USER]\r\nSelect=0\r\nSelected=0\r\nSelected3=65535\r\n"));
    }

    void theChoicesShowAtOnceOrFromTheNextStartAfterTheCloseBox() {
        {
            FormFixture f;
            f.panel->show();
            pick(f.panel->ComboBox1, 2);
            QCOMPARE(f.form->Files->title(), QString("&Гра"));
            pick(f.panel->ColorBox1, 6);
            QCOMPARE(f.form->Panel2->Color(), platform::clTeal);
            pick(f.panel->ColorBox3, 9);
            QCOMPARE(tileColor(f), platform::clYellow); // not during this run
            QVERIFY(!QFile::exists(settingsPath()));
            f.panel->close();
        }
        QCOMPARE(readSettings(),
                 QByteArray("[USER]\r\nSelect=2\r\nSelected=8421376\r\nSelected3=255\r\n"));
        FormFixture next;
        QCOMPARE(next.form->Files->title(), QString("&Гра"));
        QCOMPARE(next.form->Panel2->Color(), platform::clTeal);
        QCOMPARE(tileColor(next), platform::clRed);
    }

    void handWrittenValuesReadByTheClassicRules_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("language");
        QTest::addColumn<platform::TColor>("board");
        QTest::addColumn<platform::TColor>("tiles");
        QTest::newRow("0x prefix") << QByteArray("[USER]\r\nSelected=0x8000\r\n") << 0
                                   << platform::clGreen << platform::clYellow;
        QTest::newRow("dollar prefix") << QByteArray("[USER]\r\nSelected3=$FF\r\n") << 0
                                       << platform::clBlack << platform::clRed;
        QTest::newRow("a sign before 0x is no number")
            << QByteArray("[USER]\r\nSelected=-0x10\r\n") << 0 << platform::clBlack
            << platform::clYellow;
        QTest::newRow("0x alone is no number") << QByteArray("[USER]\r\nSelected3=0x\r\n") << 0
                                               << platform::clBlack << platform::clYellow;
        QTest::newRow("quoted values") << QByteArray("[USER]\r\nSelect=\"2\"\r\nSelected='255'\r\n")
                                       << 2 << platform::clRed << platform::clYellow;
        QTest::newRow("garbage gives the defaults")
            << QByteArray("[USER]\r\nSelect=two\r\nSelected=12x\r\nSelected3=\r\n") << 0
            << platform::clBlack << platform::clYellow;
        QTest::newRow("^Z left by an editor after the last value")
            << QByteArray("[USER]\r\nSelect=1\r\nSelected3=255\x1A") << 1 << platform::clBlack
            << platform::clRed;
        QTest::newRow("lone CR ends lines")
            << QByteArray("[USER]\rSelect=3\rSelected=32768\rSelected3=255\r") << 3
            << platform::clGreen << platform::clRed;
    }
    void handWrittenValuesReadByTheClassicRules() {
        QFETCH(QByteArray, file);
        QFETCH(int, language);
        QFETCH(platform::TColor, board);
        QFETCH(platform::TColor, tiles);
        writeSettings(file);
        FormFixture f;
        QCOMPARE(f.panel->ComboBox1->ItemIndex(), language);
        QCOMPARE(f.form->Panel2->Color(), board);
        QCOMPARE(tileColor(f), tiles);
    }

    void aColourThatIsNoEntryIsKeptAndWrittenBackUnchanged() {
        writeSettings("[USER]\r\nSelected=1193046\r\n");
        FormFixture f;
        QCOMPARE(f.form->Panel2->Color(), platform::TColor(0x123456));
        QCOMPARE(f.panel->ColorBox1->currentText(), QString("$00123456"));
        f.panel->close();
        QVERIFY(readSettings().contains("Selected=1193046\r\n"));
    }

    void aFileFromAnyEditorReadsAndIsRewrittenInItsOwnEncoding_data() {
        QTest::addColumn<QString>("encoding");
        for (const char* name : {"ansi", "utf8", "utf8 bom", "utf16le", "utf16be"})
            QTest::newRow(name) << QString(name);
    }
    void aFileFromAnyEditorReadsAndIsRewrittenInItsOwnEncoding() {
        QFETCH(QString, encoding);
        writeSettings(inEncoding("; Сохранено в блокноте\r\n[USER]\r\nSelect=2\r\n"
                                 "Selected=32768\r\n\r\n[Другое]\r\nцвет = синий\r\n",
                                 encoding));
        {
            FormFixture f;
            QCOMPARE(f.panel->ComboBox1->ItemIndex(), 2);
            QCOMPARE(f.form->Files->title(), QString("&Гра"));
            QCOMPARE(f.form->Panel2->Color(), platform::clGreen);
            f.panel->show();
            f.panel->XPButton1->Click();
        }
        QCOMPARE(readSettings(),
                 inEncoding("; Сохранено в блокноте\r\n[USER]\r\nSelect=2\r\nSelected=32768\r\n"
                            "Selected3=65535\r\n\r\n[Другое]\r\nцвет = синий\r\n",
                            encoding));
        FormFixture next;
        QCOMPARE(next.panel->ComboBox1->ItemIndex(), 2);
        QCOMPARE(next.form->Panel2->Color(), platform::clGreen);
    }

    void aHandEditedFileKeepsItsCommentsSectionsAndOrder() {
        const QByteArray before =
            "; my colours\r\n[Other]\r\na=1\r\n\r\n[USER]\r\nSelected3=255\r\n"
            "; keep me\r\nSelect=3\r\n\r\n[Last]\r\nb=2\r\n";
        writeSettings(before);
        {
            FormFixture f;
            f.panel->close();
        }
        QCOMPARE(readSettings(),
                 QByteArray("; my colours\r\n[Other]\r\na=1\r\n\r\n[USER]\r\nSelected3=255\r\n"
                            "; keep me\r\nSelect=3\r\nSelected=0\r\n\r\n[Last]\r\nb=2\r\n"));
    }

    void theDialogIsLaidOutAsDesigned() {
        FormFixture f;
        dialogs::TControllPanel& d = *f.panel;
        QCOMPARE(d.size(), QSize(178, 248));
        QVERIFY(d.windowFlags().testFlag(Qt::Tool));
        QCOMPARE(d.XPPanel1->geometry(), QRect(0, 0, 178, 248));
        QCOMPARE(d.XPPanel1->Color(), platform::clBlack);
        QCOMPARE(d.XPGroupBox1->geometry(), QRect(8, 8, 161, 49));
        QCOMPARE(d.XPGroupBox3->geometry(), QRect(8, 64, 161, 49));
        QCOMPARE(d.LanguageBox->geometry(), QRect(8, 120, 161, 49));
        QCOMPARE(d.LanguageBox->Font().Color, platform::clYellow);
        QCOMPARE(d.ColorBox1->geometry(), QRect(8, 16, 145, 22));
        QCOMPARE(d.ColorBox1->count(), 17); // sixteen colours and none
        QCOMPARE(d.ColorBox3->count(), 16);
        QCOMPARE(d.ComboBox1->count(), 4);
        QCOMPARE(d.ComboBox1->maxVisibleItems(), 8);
        QVERIFY(!d.ComboBox1->isEditable());
        QCOMPARE(d.Buttondefault->geometry(), QRect(8, 176, 161, 25));
        QCOMPARE(d.Bevel1->geometry(), QRect(8, 200, 161, 9));
        QCOMPARE(d.XPButton1->geometry(), QRect(8, 216, 161, 25));
        QCOMPARE(d.XPButton1->Caption(), std::string("Exit / Выход / Вихід / La sortie"));
        QCOMPARE(d.Buttondefault->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(d.XPGroupBox1->Caption(), std::string(" Panel Color "));
        QCOMPARE(dialogs::TextOf(d.LabelTime), std::string("Time"));
        for (QLabel* label : {d.Label1, d.Label2, d.Label3, d.LabelTime, d.ZATTIME})
            QVERIFY(label->isHidden());
    }

    void f12PlaysKeyAndShowsTheDialogModally() {
        FormFixture f;
        bool shownModally = false;
        QTimer::singleShot(0, f.panel, [&f, &shownModally] {
            shownModally = f.panel->isVisible() && f.panel->isModal();
            f.panel->XPButton1->Click();
        });
        f.form->ParametersGameClick();
        QVERIFY(shownModally);
        QCOMPARE(f.sounds.back(), std::string("KEY"));
        QVERIFY(QFile::exists(settingsPath()));
    }

    void anUnwritableSettingsFolderIsReportedOnceAndTheGameGoesOn() {
        QTemporaryDir scratch;
        QFile blocker(scratch.filePath("file"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", scratch.filePath("file/config").toUtf8());
        {
            FormFixture f;
            f.form->PlayClick();
            const auto before = f.boxes.size();
            pick(f.panel->ColorBox1, 6);
            f.panel->show();
            f.panel->XPButton1->Click();
            QCOMPARE(f.boxes.size(), before + 1);
            QCOMPARE(f.boxes.back().Type, platform::mtError);
            QCOMPARE(f.boxes.back().Text, std::string("Unable to write to ORV_Velmar.INI"));
            QVERIFY(!platform::Application().Terminated());
            QVERIFY(f.form->isVisible());
            QCOMPARE(f.form->Panel2->Color(), platform::clTeal);
            f.click(15);
            QCOMPARE(f.panelText(1), std::string("1")); // the game goes on
        }
        qputenv("XDG_CONFIG_HOME", oldConfig);
    }

    // The reset ends the program, so these run last.
    void theResetWritesTheFactoryValuesAndEndsTheProgram() {
        writeSettings("[USER]\r\nSelect=3\r\nSelected=255\r\nSelected3=255\r\n");
        {
            FormFixture f;
            pick(f.panel->ColorBox3, 12);
            f.panel->show();
            f.panel->Buttondefault->Click();
            QCOMPARE(f.boxes.back().Type, platform::mtCustom);
            QCOMPARE(f.boxes.back().Caption, std::string("Velmar"));
            QCOMPARE(f.boxes.back().Text, std::string(dialogs::RestartNotice));
            QCOMPARE(int(std::count(f.boxes.back().Text.begin(), f.boxes.back().Text.end(), '\n')),
                     3);
            QVERIFY(platform::Application().Terminated());
            QCOMPARE(f.form->Panel2->Color(), platform::clGreen);
            QCOMPARE(f.panel->ComboBox1->ItemIndex(), 1);
            QCOMPARE(f.form->Files->title(), QString("&Le jeu")); // no change pass
            QVERIFY(QFile::exists(QString::fromStdString(i18n::LanguageFilePath())));
        }
        QCOMPARE(readSettings(),
                 QByteArray("[USER]\r\nSelect=1\r\nSelected=32768\r\nSelected3=65535\r\n"));
        FormFixture next;
        QCOMPARE(next.form->Files->title(), QString("&Игра"));
        QCOMPARE(next.form->Panel2->Color(), platform::clGreen);
        QCOMPARE(tileColor(next), platform::clYellow);
    }

    void aResetThatCannotWriteStillShowsItsNoticeAndEnds() {
        QTemporaryDir scratch;
        QFile blocker(scratch.filePath("file"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", scratch.filePath("file/config").toUtf8());
        {
            FormFixture f;
            const auto before = f.boxes.size();
            f.panel->Buttondefault->Click();
            QCOMPARE(f.boxes.size(), before + 2);
            QCOMPARE(f.boxes[before].Text, std::string(dialogs::RestartNotice));
            QCOMPARE(f.boxes[before + 1].Type, platform::mtError);
            QVERIFY(platform::Application().Terminated());
        }
        qputenv("XDG_CONFIG_HOME", oldConfig);
    }
};

VELMAR_TEST_MAIN(TestSettings)
#include "TestSettings.moc"
