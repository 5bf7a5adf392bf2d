// SPDX-License-Identifier: GPL-3.0-or-later
// On a Russian desktop the platform's own button texts are Russian, while the game's library
// texts of its confirmation box stay as they are.
#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"

#include <QApplication>
#include <QLocale>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace platform;

namespace {

QStringList buttonsOfTheNextBox(const std::function<void()>& show) {
    QStringList texts;
    QTimer::singleShot(50, [&texts] {
        QWidget* box = QApplication::activeModalWidget();
        QVERIFY(box);
        for (const QPushButton* button : box->findChildren<QPushButton*>())
            texts << button->text();
        QTest::keyClick(box, Qt::Key_Escape);
    });
    show();
    return texts;
}

} // namespace

class TestPlatformTexts : public QObject {
    Q_OBJECT

private slots:
    void thePlatformsOwnTextsSpeakTheDesktopsLanguage() {
        // Qt's Russian keeps "OK" as it is; its Cancel shows the translations are in use.
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Отмена"));
        const QStringList ok =
            buttonsOfTheNextBox([] { InformationBox("Вы выиграли", "Velmar", clBtnFace, 0); });
        QCOMPARE(ok, QStringList{QCoreApplication::translate("QPlatformTheme", "OK")});
    }

    void theConfirmationKeepsTheGamesOwnButtons() {
        const QStringList yesNo = buttonsOfTheNextBox([] {
            MessageDlg("Sure ?", mtConfirmation, {mbYes, mbNo});
        });
        QCOMPARE(yesNo, QStringList({QString::fromUtf8(YesCaption), QString::fromUtf8(NoCaption)}));
    }
};

int main(int argc, char** argv) {
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    PrepareProcess();
    GuardedApplication app(argc, argv);
    PrepareApplication(app);
    TestPlatformTexts test;
    return QTest::qExec(&test, argc, argv);
}
#include "TestPlatformTexts.moc"
