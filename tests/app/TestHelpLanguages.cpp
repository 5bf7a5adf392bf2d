// SPDX-License-Identifier: GPL-3.0-or-later
// The help page in the game's language: each page names the menus and keys as the game shows
// them, and F1 follows the language chosen at start or in the parameters dialog.
#include "FormFixture.h"

#include "i18n/StringTable.h"
#include "platform/files/Profile.h"
#include "platform/ui/Shell.h"

#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTextBrowser>

namespace {

const QStringList kTitles = {"Velmar Help", "Справка Velmar", "Довідка Velmar", "Aide de Velmar"};

void storeLanguage(int index) {
    QFile::remove(QString::fromStdString(platform::ProfilePath("ORV_Velmar.INI")));
    platform::WritePrivateProfileString("USER", "Select", std::to_string(index), "ORV_Velmar.INI");
}

// A caption as a menu shows it: "&&" is one ampersand, a lone '&' marks the access key.
QString shown(const QString& caption) {
    QString text;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size())
            ++i;
        text += caption[i];
    }
    return text.trimmed();
}

// Every item a player can reach in the menu bar, the submenus' own items included.
QList<QAction*> menuItems(const QList<QAction*>& actions) {
    QList<QAction*> items;
    for (QAction* action : actions) {
        if (!action->isVisible() || action->isSeparator())
            continue;
        items << action;
        if (action->menu())
            items << menuItems(action->menu()->actions());
    }
    return items;
}

QTextBrowser* helpBrowser() {
    QWidget* viewer = platform::HelpViewerWindow();
    return viewer && viewer->isVisible() ? viewer->findChild<QTextBrowser*>() : nullptr;
}

// The player picks a language in the parameters dialog.
void pickLanguage(FormFixture& f, int index) {
    f.panel->ComboBox1->setCurrentIndex(index);
    emit f.panel->ComboBox1->activated(index);
}

void pressF1(FormFixture& f) {
    f.form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.form.get()));
    QTest::keyClick(f.form.get(), Qt::Key_F1);
}

} // namespace

class TestHelpLanguages : public QObject {
    Q_OBJECT
private slots:
    void eachPageNamesEveryMenuCaptionAndKeyAsTheGameShowsThem_data() {
        QTest::addColumn<int>("language");
        for (int i = 0; i < i18n::LanguageCount; ++i)
            QTest::newRow(i18n::Languages[static_cast<std::size_t>(i)].Section) << i;
    }
    void eachPageNamesEveryMenuCaptionAndKeyAsTheGameShowsThem() {
        QFETCH(int, language);
        storeLanguage(language);
        FormFixture f;
        f.form->HelpOnHelp->trigger();
        QTextBrowser* browser = helpBrowser();
        QVERIFY(browser);
        QCOMPARE(browser->window()->windowTitle(), kTitles[language]);
        const QString page = browser->toPlainText();
        QStringList table;
        for (int key : i18n::TableKeys())
            table << QString::fromUtf8(i18n::StringTableText(language, key));
        const QList<QAction*> items = menuItems(f.form->MainMenu1->actions());
        QVERIFY(items.size() >= 21); // the four menus and their seventeen commands
        for (const QAction* item : items) {
            const QString caption = item->menu() ? item->menu()->title() : item->text();
            QVERIFY2(table.contains(caption), qPrintable(caption + " is not the table's"));
            QVERIFY2(page.contains(shown(caption)), qPrintable(shown(caption) + " is missing"));
            const QString key = item->shortcut().toString(QKeySequence::NativeText);
            QVERIFY2(page.contains(key), qPrintable(key + " is missing"));
        }
        QVERIFY(page.contains("Esc"));
    }

    void f1ShowsThePageOfTheLanguageJustPicked() {
        storeLanguage(0);
        FormFixture f;
        pressF1(f);
        QVERIFY(helpBrowser());
        QCOMPARE(helpBrowser()->window()->windowTitle(), kTitles[0]);
        helpBrowser()->window()->close();

        pickLanguage(f, 3);
        QVERIFY(!helpBrowser());
        pressF1(f);
        QVERIFY(helpBrowser());
        QCOMPARE(helpBrowser()->window()->windowTitle(), kTitles[3]);
        QVERIFY(helpBrowser()->toPlainText().contains("Commencer un nouveau jeu"));
        QVERIFY(!helpBrowser()->toPlainText().contains("Pley New Game"));

        // An open viewer follows a change at once.
        pickLanguage(f, 1);
        QCOMPARE(helpBrowser()->window()->windowTitle(), kTitles[1]);
        QVERIFY(helpBrowser()->toPlainText().contains("Начать новую игру"));
    }
};

QTEST_MAIN(TestHelpLanguages)
#include "TestHelpLanguages.moc"
