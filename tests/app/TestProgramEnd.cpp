// SPDX-License-Identifier: GPL-3.0-or-later
// The end of the program: a confirmed close or an end signal ends the message loop with the
// music closed and the temporary files gone, whatever other windows of the game are open.
#include "FormFixture.h"
#include "ModalPlayer.h"

#include "app/Project1.h"
#include "platform/files/TempPath.h"
#include "platform/ui/Shell.h"

#include <QFile>
#include <csignal>
#include <functional>

namespace {

const QStringList kTemporaryFiles = {"Language_Velmar.lng", "Music.mid", "Music2.mid", "Music3.mid",
                                     "VELMAR.hlp"};

QStringList temporaryFilesLeft() {
    QStringList left;
    const QString folder = QString::fromStdString(platform::GetTempPath());
    for (const QString& file : kTemporaryFiles)
        if (QFile::exists(folder + file))
            left << file;
    return left;
}

// The program's message loop, started with `first`; its result, or -1 when it was still
// running long after it should have ended (so a broken end fails instead of hanging).
int runMessageLoop(const std::function<void()>& first) {
    bool hung = false;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&hung] {
        hung = true;
        QCoreApplication::exit(99);
    });
    watchdog.start(20000);
    QTimer::singleShot(0, first);
    const int result = platform::Application().Run();
    return hung ? -1 : result;
}

bool anyTimerRuns(const app::TForm1& form) {
    for (const platform::Timer* timer : {&form.Timer1, &form.Timer2, &form.Timer3, &form.Timer4,
                                         &form.Timer5, &form.TimerST, &form.TimerSTR})
        if (timer->Running())
            return true;
    return false;
}

} // namespace

class TestProgramEnd : public QObject {
    Q_OBJECT
    QList<int> ignoredAtStart_;

private slots:
    void initTestCase() {
        for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
            struct sigaction current {};
            if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN)
                ignoredAtStart_ << signal;
        }
    }

    void aConfirmedCloseWithTheHelpOpenEndsTheProgram() {
        FormFixture f;
        f.answer = platform::mrYes;
        f.form->PlayClick();
        f.form->HelpOnHelp->trigger();
        QPointer<QWidget> help = platform::HelpViewerWindow();
        QVERIFY(help && help->isVisible());
        const int result = runMessageLoop([&] {
            help->activateWindow();
            QTest::keyClick(f.form.get(), Qt::Key_Escape);
        });
        QCOMPARE(result, 0);
        QCOMPARE(int(f.boxes.size()), 1);
        QVERIFY(!f.form->isVisible());
        QVERIFY(!help || !help->isVisible());
        QVERIFY(!anyTimerRuns(*f.form));
        QVERIFY(!f.form->MediaPlayer1.Opened());
        QCOMPARE(temporaryFilesLeft(), QStringList());
    }

    void anEndSignalEndsTheGameWithoutTheQuestion_data() {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }
    void anEndSignalEndsTheGameWithoutTheQuestion() {
        QFETCH(int, signal);
        if (ignoredAtStart_.contains(signal))
            QSKIP("the test runner ignores this signal, so the game leaves it ignored too");
        FormFixture f;
        f.form->Play1Click();
        f.form->HelpOnHelp->trigger();
        QCOMPARE(temporaryFilesLeft(), kTemporaryFiles);
        app::EndOnSignals();
        f.sounds.clear();
        const int result = runMessageLoop([signal] { std::raise(signal); });
        QCOMPARE(result, 0);
        QVERIFY(f.boxes.empty());
        QVERIFY(f.sounds.empty());
        QVERIFY(!f.form->isVisible());
        QVERIFY(!anyTimerRuns(*f.form));
        QVERIFY(!f.form->MediaPlayer1.Opened());
        QCOMPARE(temporaryFilesLeft(), QStringList());
    }

    void anEndSignalDuringTheCloseQuestionStillEnds() {
        if (ignoredAtStart_.contains(SIGTERM))
            QSKIP("the test runner ignores SIGTERM");
        FormFixture f;
        platform::SetMessageResponder({});
        app::EndOnSignals();
        ModalPlayer player([](QDialog*) { std::raise(SIGTERM); });
        const int result = runMessageLoop([&] { f.form->close(); });
        QCOMPARE(result, 0);
        QVERIFY(!f.form->isVisible());
        QCOMPARE(temporaryFilesLeft(), QStringList());
    }

    void theGamesBoxesStandOverTheMainWindowWhateverHasTheFocus() {
        FormFixture f;
        platform::SetMessageResponder({});
        f.form->HelpOnHelp->trigger();
        QWidget* help = platform::HelpViewerWindow();
        help->activateWindow();
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::activeWindow(), help, 30000);
        QWidget* owner = nullptr;
        ModalPlayer player([&](QDialog* box) {
            owner = box->parentWidget();
            ModalPlayer::press(box, platform::NoCaption);
        });
        QVERIFY(!f.form->close());
        QCOMPARE(owner, f.form.get());
        QVERIFY(help->isVisible());
        help->close();
    }
};

VELMAR_TEST_MAIN(TestProgramEnd)
#include "TestProgramEnd.moc"
