// SPDX-License-Identifier: GPL-3.0-or-later
// The about box: its window and components, Help > About, the memory lines, the caption that
// no language reaches, both buttons closing it, dragging, and the timers of the hidden box
// and volume window.
#include "app/FormFixture.h"
#include "platform/ui/MemoryStatus.h"
#include "platform/ui/Timer.h"
#include "platform/winmm/VolumeDevices.h"

#include <Version.h>

#include <QApplication>
#include <QFontMetrics>
#include <QLocale>

using dialogs::TAboutBox;

namespace {

// A machine with `total` bytes of memory of which `load` per cent are in use.
void feedMemory(std::uint64_t total, std::uint32_t load) {
    platform::SetMemoryStatusSource([total, load](platform::MEMORYSTATUSEX& s) {
        s.ullTotalPhys = total;
        s.ullAvailPhys = total / 100 * (100 - load);
        s.dwMemoryLoad = load;
        return true;
    });
}

// Runs `inside` while the box is open modally from Help > About, then closes it if still open.
void whileOpen(FormFixture& f, const std::function<void()>& inside) {
    QTimer::singleShot(0, f.about, [&f, inside] {
        inside();
        if (f.about->isVisible())
            f.about->close();
    });
    f.form->HelpGame->trigger();
}

} // namespace

class TestAboutBox : public QObject {
    Q_OBJECT

    std::uint64_t now = 1000;

private slots:
    void init() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        feedMemory(512ull << 20, 57);
        now = 1000;
        platform::SetTickCountSource([this] { return now; });
    }

    void cleanup() {
        platform::SetMemoryStatusSource({});
        platform::SetTickCountSource({});
        QLocale::setDefault(QLocale::system());
    }

    void theBoxIsTheDarkToolWindowOfTheDesign() {
        FormFixture f;
        TAboutBox& a = *f.about;
        QCOMPARE(a.windowTitle(), QString("About  Velmar"));
        QCOMPARE(a.size(), QSize(356, 232));
        QVERIFY(a.windowFlags() & Qt::Tool);
        QVERIFY(!(a.windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint)));
        QCOMPARE(a.palette().color(QPalette::Window), QColor(58, 40, 38));
        // The classic 8-point face: 11 pixels to the em on a 13-pixel line.
        QCOMPARE(QFontMetrics(a.font()).height(), 13);
        QVERIFY(a.isHidden());
        QCOMPARE(a.XPPanel1->geometry(), QRect(8, 8, 337, 185));
        QCOMPARE(a.XPPanel1->Font().Color, platform::TColor(13652736));
        QCOMPARE(a.ProgramIcon->geometry(), QRect(8, 8, 113, 169));
        QCOMPARE(a.ProgramIcon->Picture().size(), QSize(109, 169));
        QCOMPARE(a.XPPanel2->parentWidget(), a.XPPanel1);
        QCOMPARE(a.XPPanel2->geometry(), QRect(136, 56, 193, 81));
        QCOMPARE(a.MovingButton1->parentWidget(), a.XPPanel2);
        QCOMPARE(a.MovingButton1->geometry(), QRect(30, 49, 80, 29));
        QCOMPARE(a.MovingButton1->Caption(), std::string("Play Game"));
        QCOMPARE(a.MovingButton1->MoveInterval(), 50);
        QCOMPARE(a.MovingButton1->Layout(), platform::blGlyphRight);
        QCOMPARE(a.MovingButton1->Font().Color, platform::clBlue);
        QCOMPARE(a.MovingButton1->Font().Style, unsigned(platform::fsBold));
        QCOMPARE(a.MovingButton1->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(a.Button3d1->geometry(), QRect(296, 200, 49, 25));
        QCOMPARE(a.Button3d1->Caption(), std::string("OK"));
        QCOMPARE(a.Button3d1->Style(), controls::bsShadowed);
        QCOMPARE(a.Button3d1->Font().Color, platform::clYellow);
        QCOMPARE(a.Button3d1->cursor().shape(), Qt::PointingHandCursor);
        const std::pair<controls::TXPLabel*, QPoint> places[] = {
            {a.XPLabel3, {136, 8}},  {a.XPLabel4, {240, 8}},   {a.XPLabel5, {136, 24}},
            {a.XPLabel6, {136, 40}}, {a.XPLabel2, {136, 144}}, {a.XPLabel1, {136, 160}},
            {a.Label1, {8, 200}},    {a.Label2, {8, 216}}};
        for (const auto& [label, at] : places)
            QCOMPARE(label->pos(), at);
        QCOMPARE(a.XPLabel3->ForegroundColor(), platform::clYellow);
        QCOMPARE(a.XPLabel5->ForegroundColor(), platform::clCream);
        QCOMPARE(a.XPLabel1->ForegroundColor(), platform::clWhite);
        QVERIFY(a.XPLabel4->Caption().find(VELMAR_VERSION) != std::string::npos);
        // The systems this build runs on, in the classic form.
        QVERIFY(a.XPLabel2->Caption().rfind("System: ", 0) == 0);
        QVERIFY(a.XPLabel2->Caption().find("Linux") != std::string::npos);
        QVERIFY(a.XPLabel2->Caption().find("Windows") == std::string::npos);
    }

    void helpAboutPlaysKeyThenShowsTheBoxModally() {
        FormFixture f;
        QWidget* modal = nullptr;
        std::vector<std::string> soundsAtShow;
        f.sounds.clear();
        whileOpen(f, [&] {
            modal = QApplication::activeModalWidget();
            soundsAtShow = f.sounds;
        });
        QCOMPARE(modal, static_cast<QWidget*>(f.about));
        QCOMPARE(soundsAtShow, std::vector<std::string>{"KEY"});
        QVERIFY(f.about->isHidden());
    }

    void theMemoryLinesShowKilobytesGroupedAndTheLoad() {
        FormFixture f;
        whileOpen(f, [] {});
        QCOMPARE(f.about->Label1->Caption(),
                 std::string("Physical Memory Available to Linux: 524,288 KB"));
        QCOMPARE(f.about->Label2->Caption(), std::string("Memory in Use:   57 %"));
    }

    void moreThanFourGibibytesShowTheirTrueSize() {
        FormFixture f;
        feedMemory(48ull << 30, 9);
        whileOpen(f, [] {});
        QCOMPARE(f.about->Label1->Caption(),
                 std::string("Physical Memory Available to Linux: 50,331,648 KB"));
        QCOMPARE(f.about->Label2->Caption(), std::string("Memory in Use:   9 %"));
    }

    void theKilobytesAreRoundedAndGroupedByThePlayersSeparator() {
        QCOMPARE(dialogs::KilobytesText(0), std::string("0 KB"));
        QCOMPARE(dialogs::KilobytesText(511), std::string("0 KB"));
        QCOMPARE(dialogs::KilobytesText(1536), std::string("2 KB"));
        QCOMPARE(dialogs::KilobytesText(999ull * 1024), std::string("999 KB"));
        QCOMPARE(dialogs::KilobytesText(1000ull * 1024), std::string("1,000 KB"));
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(dialogs::KilobytesText(1234567ull * 1024), std::string("1.234.567 KB"));
    }

    void theCaptionStaysAfterALanguageChangeWhileTheMemoryIsReadAgain() {
        FormFixture f;
        whileOpen(f, [] {});
        const QString caption = f.about->windowTitle();
        f.panel->ComboBox1->setCurrentIndex(3);
        f.panel->ComboBox1Change();
        // Every language titles the game alike; a title of its own must not reach the box either.
        platform::Application().SetTitle("Velmar (fr)");
        feedMemory(1ull << 30, 80);
        whileOpen(f, [] {});
        QCOMPARE(f.about->windowTitle(), caption);
        QCOMPARE(f.about->Label1->Caption(),
                 std::string("Physical Memory Available to Linux: 1,048,576 KB"));
        QCOMPARE(f.about->Label2->Caption(), std::string("Memory in Use:   80 %"));
    }

    void bothButtonsCloseTheBoxAndNothingElse_data() {
        QTest::addColumn<bool>("play");
        QTest::newRow("OK") << false;
        QTest::newRow("Play Game") << true;
    }

    void bothButtonsCloseTheBoxAndNothingElse() {
        QFETCH(bool, play);
        FormFixture f;
        const auto board = app::Game.Board;
        const std::string moves = f.panelText(0);
        f.sounds.clear();
        whileOpen(f, [&f, play] {
            QWidget* button = play ? static_cast<QWidget*>(f.about->MovingButton1)
                                   : static_cast<QWidget*>(f.about->Button3d1);
            QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(10, 10));
            QVERIFY(f.about->isHidden());
        });
        QVERIFY(f.about->isHidden());
        QCOMPARE(f.sounds, std::vector<std::string>{"KEY"}); // Help > About's own
        QVERIFY(app::Game.Board == board);
        QCOMPARE(f.panelText(0), moves);
        QVERIFY(f.boxes.empty());
        QVERIFY(!f.form->TimerST.Running());
    }

    // No button of the box is a default one: Enter on "OK" leaves "Play Game" alone, and
    // Space clicks the button that has the focus.
    void enterOnOkClicksNoOtherButtonAndSpaceClicksTheFocusedOne() {
        FormFixture f;
        int plays = 0;
        QObject::connect(f.about->MovingButton1, &QPushButton::clicked, [&plays] { ++plays; });
        whileOpen(f, [&f, &plays] {
            f.about->Button3d1->setFocus();
            QTest::keyClick(f.about->Button3d1, Qt::Key_Return);
            QTest::keyClick(f.about->Button3d1, Qt::Key_Enter);
            QCOMPARE(plays, 0);
            QVERIFY(f.about->isVisible());
            f.about->MovingButton1->setFocus();
            QTest::keyClick(f.about->MovingButton1, Qt::Key_Space);
            QCOMPARE(plays, 1);
            QVERIFY(f.about->isHidden());
        });
        QCOMPARE(plays, 1);
    }

    void anyButtonOnTheBackgroundPanelOrPictureDragsTheBox_data() {
        QTest::addColumn<QString>("surface");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("drags");
        QTest::newRow("background, left")
            << "AboutBox" << QPoint(2, 2) << int(Qt::LeftButton) << true;
        QTest::newRow("background, right")
            << "AboutBox" << QPoint(2, 2) << int(Qt::RightButton) << true;
        QTest::newRow("panel") << "XPPanel1" << QPoint(126, 100) << int(Qt::MiddleButton) << true;
        QTest::newRow("picture") << "ProgramIcon" << QPoint(50, 50) << int(Qt::RightButton) << true;
        QTest::newRow("label") << "XPLabel3" << QPoint(2, 2) << int(Qt::LeftButton) << false;
        QTest::newRow("frame") << "XPPanel2" << QPoint(2, 2) << int(Qt::LeftButton) << false;
        QTest::newRow("OK") << "Button3d1" << QPoint(5, 5) << int(Qt::RightButton) << false;
    }

    void anyButtonOnTheBackgroundPanelOrPictureDragsTheBox() {
        QFETCH(QString, surface);
        QFETCH(QPoint, at);
        QFETCH(int, button);
        QFETCH(bool, drags);
        FormFixture f;
        f.about->show();
        QWidget* target = surface == "AboutBox" ? f.about : f.about->findChild<QWidget*>(surface);
        QVERIFY(target);
        const auto b = static_cast<Qt::MouseButton>(button);
        QTest::mousePress(target, b, {}, at);
        // Without a window manager the box follows the mouse itself, holding it.
        QCOMPARE(QWidget::mouseGrabber() == f.about, drags);
        QTest::mouseRelease(QWidget::mouseGrabber() ? QWidget::mouseGrabber() : target, b, {}, at);
        QCOMPARE(QWidget::mouseGrabber(), static_cast<QWidget*>(nullptr));
        f.about->hide();
    }

    void theHiddenBoxKeepsNoTimerAndShowsTheButtonWhereTheTicksWouldHave() {
        FormFixture f;
        controls::TMovingButton* b = f.about->MovingButton1;
        QApplication::processEvents();
        QVERIFY(!b->MoveTimer().Running());
        // The same button in the same frame, ticked one by one.
        QWidget frame;
        frame.resize(193, 81);
        controls::TMovingButton ticked(&frame);
        ticked.setGeometry(30, 49, 80, 29);
        ticked.MoveTimer().SetEnabled(false);

        // 300 ticks, the first 100 ms after the button was made: both side edges and the
        // bottom and top ones.
        now += 100 + 50 * 299 + 20;
        f.about->show();
        for (int i = 0; i < 300; ++i)
            ticked.ButtonTimerTimer();
        QCOMPARE(b->pos(), ticked.pos());
        QVERIFY(b->MoveTimer().Running());
        QCOMPARE(b->MoveTimer().Interval(), 50);

        f.about->hide();
        QVERIFY(!b->MoveTimer().Running());
        now += 50 * 1000;
        f.about->show();
        for (int i = 0; i < 1000; ++i)
            ticked.ButtonTimerTimer();
        QCOMPARE(b->pos(), ticked.pos());
        f.about->hide();
    }

    void theHiddenVolumeWindowPollsNothingAndReadsTheDeviceWhenShown() {
        FormFixture f;
        media::TVolumeControl* control = f.volume->VolumeControl1;
        QApplication::processEvents();
        QVERIFY(!control->PollTimer().Running());
        platform::midiOutSetVolume(0, 0x40004000);
        f.volume->show();
        QCOMPARE(f.volume->TrackBar1->Position(), 255 - 64);
        QVERIFY(control->PollTimer().Running());
        f.volume->hide();
        QVERIFY(!control->PollTimer().Running());
        platform::midiOutSetVolume(0, 0x10001000);
        QCOMPARE(f.volume->TrackBar1->Position(), 255 - 64);
        f.volume->show();
        QCOMPARE(f.volume->TrackBar1->Position(), 255 - 16);
        f.volume->hide();
        platform::midiOutSetVolume(0, 0xFFFFFFFF);
    }
};

VELMAR_TEST_MAIN(TestAboutBox)
#include "TestAboutBox.moc"
