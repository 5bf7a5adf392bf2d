// SPDX-License-Identifier: GPL-3.0-or-later
// The platform services the game relies on: colours, timers, the 3D frame, cursors, the
// private temporary folder, message boxes and the error path.
#include "platform/Exception.h"
#include "platform/files/TempPath.h"
#include "platform/gdi/Canvas.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/EndSignals.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Timer.h"
#include "platform/widgets/Cursors.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace platform;

namespace {

QRgb rgbOf(TColor c) {
    return ToQColor(c).rgb();
}

// A .CUR file with a PNG image, as the cursor resources are stored.
QByteArray curFile(int hotX, int hotY, const QByteArray& png) {
    QByteArray d;
    auto put16 = [&d](int v) {
        d.append(char(v & 0xFF));
        d.append(char((v >> 8) & 0xFF));
    };
    auto put32 = [&](quint32 v) {
        put16(int(v & 0xFFFF));
        put16(int(v >> 16));
    };
    put16(0);
    put16(2);
    put16(1);
    d.append(char(32));
    d.append(char(32));
    d.append(char(0));
    d.append(char(0));
    put16(hotX);
    put16(hotY);
    put32(quint32(png.size()));
    put32(22);
    return d + png;
}

QByteArray pngOf(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace

class TestPlatform : public QObject {
    Q_OBJECT
private slots:
    void systemColoursResolveFromTheFixedScheme() {
        QCOMPARE(clBtnFace, TColor(-16777201));
        QCOMPARE(ToQColor(clBtnFace), QColor(212, 208, 200));
        QCOMPARE(ToQColor(clBtnShadow), QColor(128, 128, 128));
        QCOMPARE(ToQColor(cl3DDkShadow), QColor(64, 64, 64));
        QCOMPARE(ToQColor(clHighlight), QColor(10, 36, 106));
        QCOMPARE(ToQColor(clGradientActiveCaption), QColor(166, 202, 240));
        QCOMPARE(ToQColor(clTeal), QColor(0, 128, 128)); // red is the low byte
        QCOMPARE(ToQColor(clCream), QColor(255, 251, 240));
        QCOMPARE(ColorToRGB(clSystemColor | 200), 0u);
    }

    void timersNeverRunFasterThanTenMilliseconds() {
        Timer timer;
        int ticks = 0;
        timer.OnTimer = [&ticks] { ++ticks; };
        timer.SetInterval(1);
        QCoreApplication::processEvents();
        QVERIFY(timer.Running());
        QCOMPARE(timer.EffectiveInterval(), 10);
        QCOMPARE(timer.Interval(), 1);
        timer.SetEnabled(false);
        QVERIFY(!timer.Running());
        timer.Tick();
        QCOMPARE(ticks, 1);
    }

    void keyStateFollowsTheModifiersOfTheEventsDelivered() {
        QWidget target;
        target.show();
        QTest::keyPress(&target, Qt::Key_Alt, Qt::AltModifier);
        QVERIFY(GetKeyState(VK_MENU) < 0);
        QCOMPARE(GetKeyState(VK_CONTROL), std::int16_t(0));
        QTest::keyRelease(&target, Qt::Key_Alt);
        QCOMPARE(GetKeyState(VK_MENU), std::int16_t(0));
        QTest::keyPress(&target, Qt::Key_Control, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_SHIFT) < 0);
        QTest::keyRelease(&target, Qt::Key_Control);
        QCOMPARE(GetKeyState('A'), std::int16_t(0));
    }

    void aDisabledTimerStaysQuietAfterConstruction() {
        Timer timer;
        timer.SetEnabled(false);
        QCoreApplication::processEvents();
        QVERIFY(!timer.Running());
    }

    void aFrame3DHasItsTopLeftAndBottomRightColours() {
        QImage image(10, 8, QImage::Format_RGB32);
        image.fill(Qt::black);
        TRect r = Rect(0, 0, 10, 8);
        {
            QPainter painter(&image);
            Canvas canvas(painter);
            canvas.Frame3D(r, clWhite, clGray, 1);
        }
        QCOMPARE(image.pixel(0, 0), rgbOf(clWhite));
        QCOMPARE(image.pixel(8, 0), rgbOf(clWhite));
        QCOMPARE(image.pixel(9, 0), rgbOf(clGray)); // top-right corner belongs to the bottom
        QCOMPARE(image.pixel(0, 7), rgbOf(clGray)); // and so does bottom-left
        QCOMPARE(image.pixel(0, 6), rgbOf(clWhite));
        QCOMPARE(image.pixel(9, 7), rgbOf(clGray));
        QCOMPARE(image.pixel(1, 1), rgbOf(clBlack));
        QCOMPARE(r.Left, 1);
        QCOMPARE(r.Right, 9);
        QCOMPARE(r.Bottom, 7);
    }

    void cursorFilesGiveTheirHotspot() {
        QImage image(32, 32, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        image.setPixel(5, 7, qRgb(0, 0, 0));
        const auto cursor = CursorFromCurData(curFile(5, 7, pngOf(image)));
        QVERIFY(cursor);
        QCOMPARE(cursor->hotSpot(), QPoint(5, 7));
    }

    void damagedCursorFilesAreRefused() {
        QImage image(32, 32, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        const QByteArray good = curFile(1, 1, pngOf(image));
        QVERIFY(!CursorFromCurData(QByteArray()));
        QVERIFY(!CursorFromCurData(good.left(30)));                // payload cut off
        QVERIFY(!CursorFromCurData(curFile(40, 1, pngOf(image)))); // hotspot outside
        QByteArray icon = good;
        icon[2] = 1; // an icon, not a cursor
        QVERIFY(!CursorFromCurData(icon));
        QVERIFY(!LoadCursor("NO_SUCH_CURSOR"));
        SetScreenCursor(99, std::nullopt);
        QCOMPARE(ScreenCursor(99).shape(), Qt::ArrowCursor);
    }

    void theTemporaryFolderIsPrivate() {
        const TempFolder folder = PrepareTempFolder();
        QVERIFY2(folder.Usable, folder.Problem.c_str());
        QVERIFY(folder.Path.back() == '/');
        QVERIFY(QString::fromStdString(folder.Path).endsWith(QString("/velmar-%1/").arg(getuid())));
        struct stat info {};
        QCOMPARE(lstat(folder.Path.c_str(), &info), 0);
        QCOMPARE(int(info.st_mode & 0777), 0700);
        QCOMPARE(GetTempPath(), folder.Path);
        QVERIFY(PrepareTempFolder().Usable); // and again, once it exists
    }

    void foreignOrPlantedTemporaryFoldersAreRefused_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("symlink to a folder of ours") << "symlink";
        QTest::newRow("open to others") << "open";
        QTest::newRow("a plain file") << "file";
    }
    void foreignOrPlantedTemporaryFoldersAreRefused() {
        QFETCH(QString, kind);
        const QByteArray base = QDir::tempPath().toUtf8() + "/planted-" + kind.toUtf8();
        QDir(QString::fromUtf8(base)).removeRecursively();
        QVERIFY(QDir().mkpath(QString::fromUtf8(base)));
        const QByteArray oldTmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", base);
        const std::string path = GetTempPath();
        const std::string bare = path.substr(0, path.size() - 1);
        if (kind == "symlink") {
            const std::string target = base.toStdString() + "/victim";
            QCOMPARE(mkdir(target.c_str(), 0700), 0);
            QCOMPARE(symlink(target.c_str(), bare.c_str()), 0);
        } else if (kind == "open") {
            // Running as root, a folder open to everybody stands for somebody else's.
            QCOMPARE(mkdir(bare.c_str(), 0700), 0);
            QCOMPARE(chmod(bare.c_str(), 0777), 0);
        } else {
            const int fd = open(bare.c_str(), O_CREAT | O_WRONLY, 0600);
            QVERIFY(fd >= 0);
            close(fd);
        }
        const TempFolder folder = PrepareTempFolder();
        qputenv("TMPDIR", oldTmp);
        QVERIFY(!folder.Usable);
        QVERIFY(!folder.Problem.empty());
        QCOMPARE(folder.Path, path);
    }

    void endSignalsBecomeCallsFromTheMessageLoop() {
        // A signal the runner started us ignoring stays ignored, so it is not sent.
        QList<int> caught;
        for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
            struct sigaction current {};
            if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler != SIG_IGN)
                caught << signal;
        }
        QList<int> received;
        OnEndSignals([&received](int signal) { received << signal; });
        for (int signal : caught)
            QVERIFY(std::raise(signal) == 0);
        QVERIFY(received.isEmpty()); // nothing runs inside the handler itself
        QTRY_COMPARE_WITH_TIMEOUT(received, caught, 30000);
        OnEndSignals({});
        std::raise(SIGTERM); // still caught, and nobody is told
        QCoreApplication::processEvents();
        QCOMPARE(received, caught);
    }

    void escapeAnswersNoInAYesNoBox() {
        SetMessageResponder({});
        QTimer::singleShot(50, [] {
            QWidget* box = QApplication::activeModalWidget();
            QVERIFY(box);
            QTest::keyClick(box, Qt::Key_Escape);
        });
        QCOMPARE(MessageDlg("Sure ?", mtConfirmation, {mbYes, mbNo}), mrNo);
    }

    void theYesButtonAnswersYes() {
        SetMessageResponder({});
        QTimer::singleShot(50, [] {
            QWidget* box = QApplication::activeModalWidget();
            QVERIFY(box);
            QCOMPARE(box->windowTitle(), QString("Confirm / Подтверждение / Підтвердження"));
            const auto buttons = box->findChildren<QPushButton*>();
            QCOMPARE(buttons.size(), 2);
            QCOMPARE(buttons[1]->text(), QString("&No / Нет"));
            QTest::keyClick(box, Qt::Key_Y, Qt::AltModifier);
        });
        QCOMPARE(MessageDlg("Sure ?", mtConfirmation, {mbYes, mbNo}), mrYes);
    }

    // The simple message box has no icon; the information box shows its "i".
    void onlyTheSimpleMessageBoxShowsNoIcon() {
        SetMessageResponder({});
        int icons = -1;
        auto countIconsThenClose = [&icons] {
            QWidget* box = QApplication::activeModalWidget();
            QVERIFY(box);
            icons = 0;
            for (const QLabel* label : box->findChildren<QLabel*>())
                icons += label->pixmap().isNull() ? 0 : 1;
            QTest::keyClick(box, Qt::Key_Return);
        };
        QTimer::singleShot(50, countIconsThenClose);
        ShowMessage("Start the game again");
        QCOMPARE(icons, 0);
        QTimer::singleShot(50, countIconsThenClose);
        InformationBox("You have won", "Velmar", clBtnFace, 0);
        QCOMPARE(icons, 1);
    }

    void anErrorBeforeActivationIsShownAndTheProgramGoesOn() {
        std::vector<MessageBoxRequest> boxes;
        SetMessageResponder([&boxes](const MessageBoxRequest& r) {
            boxes.push_back(r);
            return mrOk;
        });
        Application().SetOnException({});
        QObject thrower;
        QTimer::singleShot(0, &thrower, [] { throw Exception("Cannot open"); });
        QCoreApplication::processEvents();
        QCOMPARE(int(boxes.size()), 1);
        QCOMPARE(boxes.front().Type, mtError);
        QCOMPARE(boxes.front().Text, std::string("Cannot open"));
        QVERIFY(!Application().Terminated());
        SetMessageResponder({});
    }

    // Last: the program stays terminated. An end signal while a start-up error stands must not
    // wait for a player to press OK.
    void anEndBeforeTheLoopRunsAnswersTheBoxesStanding() {
        SetMessageResponder({});
        QObject scope; // the timers go with the test
        bool leftStanding = false;
        QTimer::singleShot(50, &scope, [] {
            QVERIFY(QApplication::activeModalWidget());
            Application().Terminate();
        });
        QTimer::singleShot(5000, &scope, [&leftStanding] {
            if (QWidget* box = QApplication::activeModalWidget()) {
                leftStanding = true;
                box->close();
            }
        });
        QCOMPARE(MessageDlg("Cannot write", mtError, {mbOK}), mrOk);
        QVERIFY(!leftStanding);
        QVERIFY(Application().Terminated());
        QVERIFY(!QApplication::activeModalWidget());
    }
};

int main(int argc, char** argv) {
    PrepareProcess();
    GuardedApplication app(argc, argv);
    PrepareApplication(app);
    TestPlatform test;
    return QTest::qExec(&test, argc, argv);
}
#include "TestPlatform.moc"
