// SPDX-License-Identifier: GPL-3.0-or-later
// Completion notices of the media control layer, with a sequencer the test ends by hand.
#include "platform/files/Resources.h"
#include "platform/winmm/Mci.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

using namespace platform;

namespace {

// Holds each melody's end until the test calls it.
struct Sequencers {
    std::vector<std::function<void()>> ends;

    Sequencers() {
        SetMciSequencerFactory([this] { return std::make_unique<Fake>(*this); });
    }
    ~Sequencers() { SetMciSequencerFactory({}); }

    struct Fake : MciSequencer {
        explicit Fake(Sequencers& owner) : owner_(owner) {}
        bool Load(const std::string&) override { return true; }
        void Play(std::function<void()> onEnd) override { owner_.ends.push_back(std::move(onEnd)); }
        void Stop() override {}
        std::uint32_t LengthMs() const override { return 1000; }
        std::uint32_t PositionMs() const override { return 0; }
        bool Playing() const override { return true; }

    private:
        Sequencers& owner_;
    };
};

// A notify window that keeps the notices it receives.
class Window : public QObject {
public:
    std::vector<std::pair<MCIDEVICEID, unsigned>> notices;

protected:
    bool event(QEvent* e) override {
        if (e->type() != MciNotifyEvent::EventType())
            return QObject::event(e);
        const auto* notice = static_cast<const MciNotifyEvent*>(e);
        notices.emplace_back(notice->Device, notice->Code);
        return true;
    }
};

// Counts the notices delivered anywhere in the program.
class NoticeCounter : public QObject {
public:
    int count = 0;
    NoticeCounter() { QCoreApplication::instance()->installEventFilter(this); }
    ~NoticeCounter() override { QCoreApplication::instance()->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == MciNotifyEvent::EventType())
            ++count;
        return QObject::eventFilter(watched, e);
    }
};

// The layer opens real files only, as the game's melodies are once extracted.
std::string melodyFile() {
    static QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Music.mid"));
    if (!QFile::exists(path))
        QFile::copy(QString::fromStdString(ResourcePath("MUSIC", "MYMUSIC")), path);
    return path.toStdString();
}

MCIDEVICEID openMelody() {
    MCI_OPEN_PARMS open;
    const std::string file = melodyFile();
    open.lpstrElementName = file;
    if (mciSendCommand(0, MCI_OPEN, MCI_WAIT | MCI_OPEN_ELEMENT, &open) != 0)
        return 0;
    return open.wDeviceID;
}

MCIERROR play(MCIDEVICEID device, std::uint32_t flags, QObject* window) {
    MCI_PLAY_PARMS parms;
    parms.dwCallback = window;
    return mciSendCommand(device, MCI_PLAY, flags, &parms);
}

void close(MCIDEVICEID device) {
    MCI_GENERIC_PARMS parms;
    mciSendCommand(device, MCI_CLOSE, MCI_WAIT, &parms);
}

} // namespace

class TestMci : public QObject {
    Q_OBJECT
private slots:
    void theEndOfANotifyingPlayReachesItsWindowOnce() {
        Sequencers sequencers;
        Window window;
        const MCIDEVICEID device = openMelody();
        QVERIFY(device != 0);
        QCOMPARE(play(device, MCI_NOTIFY, &window), MCIERROR(0));
        QCOMPARE(sequencers.ends.size(), std::size_t(1));
        QCoreApplication::processEvents();
        QVERIFY(window.notices.empty()); // nothing before the melody ends

        sequencers.ends.front()();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QCOMPARE(window.notices.size(), std::size_t(1));
        QCOMPARE(window.notices.front().first, device);
        QCOMPARE(window.notices.front().second, MCI_NOTIFY_SUCCESSFUL);
        close(device);
    }

    void aPlayWithoutNotifyOrWithoutAWindowSendsNoNotice() {
        Sequencers sequencers;
        NoticeCounter counter;
        Window window;
        const MCIDEVICEID device = openMelody();
        QCOMPARE(play(device, 0, &window), MCIERROR(0));
        QCOMPARE(play(device, MCI_NOTIFY, nullptr), MCIERROR(0));
        QCOMPARE(sequencers.ends.size(), std::size_t(2));
        for (const auto& end : sequencers.ends)
            end();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QCOMPARE(counter.count, 0);
        close(device);
    }

    // The melody may end on the audio thread just as the window goes.
    void aWindowGoneBeforeTheEndIsLeftOut() {
        Sequencers sequencers;
        NoticeCounter counter;
        auto window = std::make_unique<Window>();
        const MCIDEVICEID device = openMelody();
        QCOMPARE(play(device, MCI_NOTIFY, window.get()), MCIERROR(0));
        window.reset();
        sequencers.ends.front()();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QCOMPARE(counter.count, 0);
        close(device);
    }
};

QTEST_GUILESS_MAIN(TestMci)
#include "TestMci.moc"
