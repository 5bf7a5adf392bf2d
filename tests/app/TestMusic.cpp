// SPDX-License-Identifier: GPL-3.0-or-later
// The music player's commands as the media control layer sees them.
#include "FormFixture.h"

#include "media/TMediaPlayer.h"
#include "media/TempFiles.h"
#include "platform/audio/AudioEngine.h"
#include "platform/winmm/Mci.h"

#include <QFile>

using platform::MciCommandRecord;
using namespace std::string_literals;

namespace {

struct Recorder {
    std::vector<MciCommandRecord> commands;
    Recorder() {
        platform::SetMciObserver([this](const MciCommandRecord& r) { commands.push_back(r); });
    }
    ~Recorder() { platform::SetMciObserver({}); }
    // The commands as "command/flags" words, for whole-sequence comparisons.
    QStringList words() const {
        QStringList out;
        for (const auto& c : commands)
            out << QString("%1/%2").arg(c.Command, 0, 16).arg(c.Flags, 0, 16);
        return out;
    }
};

const QStringList kOpenAndPlay = {"803/202", "814/102", "814/102", "806/1"};

// A melody of one track in the private folder: a format-0 file of 480 ticks a quarter note
// around the track's events.
std::string writeMelody(const char* name, const std::string& events) {
    const std::string path = media::TempFolderPath() + name;
    std::string bytes("MThd\0\0\0\x06\0\0\0\x01\x01\xE0MTrk\0\0\0", 21);
    bytes += static_cast<char>(events.size());
    bytes += events;
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes.data(), qint64(bytes.size())) < 0)
        qFatal("cannot write %s", path.c_str());
    return path;
}

} // namespace

class TestMusic : public QObject {
    Q_OBJECT
private slots:
    void melodyOneStartsWithTheGame() {
        Recorder mci;
        FormFixture f;
        QCOMPARE(mci.words(), kOpenAndPlay);
        QVERIFY(QString::fromStdString(mci.commands.front().Element).endsWith("/Music.mid"));
        QVERIFY(f.form->MediaPlayer1.Opened());
        QVERIFY(platform::AudioEngine::Shared().MidiOpen()); // the synthesizer has the melody
        QVERIFY(f.boxes.empty());
    }

    void choosingAMelodyClosesTheOldOneFirst() {
        FormFixture f;
        Recorder mci;
        f.form->PlayMusic2->trigger();
        QCOMPARE(mci.words(), QStringList{"804/2"} + kOpenAndPlay);
        QVERIFY(QString::fromStdString(mci.commands[1].Element).endsWith("/Music2.mid"));
        mci.commands.clear();
        f.form->PlayMusic2->trigger(); // the playing one starts again from its beginning
        QCOMPARE(mci.words(), QStringList{"804/2"} + kOpenAndPlay);
        QVERIFY(f.sounds.empty()); // the music commands have no clip
    }

    void aSecondStopSendsNothing() {
        FormFixture f;
        Recorder mci;
        f.form->Stoped->trigger();
        f.form->Stoped->trigger();
        QCOMPARE(mci.words(), QStringList{"804/2"});
        QVERIFY(!f.form->MediaPlayer1.Opened());
        QCOMPARE(f.form->MediaPlayer1.DeviceID(), platform::MCIDEVICEID(0));
        QVERIFY(!platform::AudioEngine::Shared().MidiOpen());
    }

    void minimisingClosesTheMusic() {
        FormFixture f;
        Recorder mci;
        f.form->Minimisets->trigger();
        QCOMPARE(mci.words(), QStringList{"804/2"});
        f.form->showNormal();
        QVERIFY(!f.form->MediaPlayer1.Opened());
    }

    void aMelodyFileGoneFromTheMenuIsWrittenAgain() {
        FormFixture f;
        const QString file = QString::fromStdString(media::TempFolderPath() + "Music3.mid");
        QVERIFY(QFile::remove(file));
        f.form->PlayMusic3->trigger();
        QVERIFY(QFile::exists(file));
        QVERIFY(f.form->MediaPlayer1.Opened());
        QVERIFY(f.boxes.empty());
    }

    void theConfirmedCloseClosesThePlayerFirst() {
        FormFixture f;
        Recorder mci;
        f.answer = platform::mrYes;
        QVERIFY(f.form->close());
        QCOMPARE(mci.words(), QStringList{"804/2"});
    }

    void openingAMissingFileRaisesTheDevicesText() {
        media::TMediaPlayer player;
        player.FileName = media::TempFolderPath() + "none.mid";
        QString text;
        try {
            player.Open();
        } catch (const media::EMCIDeviceError& error) {
            text = QString::fromStdString(error.Message());
        }
        QCOMPARE(text, QString("The specified file was not found. Make sure the path and filename "
                               "are correct."));
        QVERIFY(!player.Opened());
        QCOMPARE(player.Error(), platform::MCIERR_FILE_NOT_FOUND);
        QVERIFY_THROWS_EXCEPTION(media::EMCIDeviceError, player.Play());
    }

    void mciErrorsCarryTheirClassicNumbers_data() {
        QTest::addColumn<unsigned>("error");
        QTest::addColumn<unsigned>("classic");
        QTest::newRow("invalid device id") << platform::MCIERR_INVALID_DEVICE_ID << 256u + 1;
        QTest::newRow("unrecognized command") << platform::MCIERR_UNRECOGNIZED_COMMAND << 256u + 5;
        QTest::newRow("file not found") << platform::MCIERR_FILE_NOT_FOUND << 256u + 19;
        QTest::newRow("invalid file") << platform::MCIERR_INVALID_FILE << 256u + 40;
    }
    void mciErrorsCarryTheirClassicNumbers() {
        QFETCH(unsigned, error);
        QFETCH(unsigned, classic);
        QCOMPARE(error, classic);
        std::string text;
        QVERIFY(platform::mciGetErrorString(error, text));
    }

    void aFileThatIsNoMelodyIsRefused() {
        const std::string path = media::TempFolderPath() + "fake.mid";
        QFile fake(QString::fromStdString(path));
        QVERIFY(fake.open(QIODevice::WriteOnly));
        fake.write("RIFF....");
        fake.close();
        media::TMediaPlayer player;
        player.FileName = path;
        QVERIFY_THROWS_EXCEPTION(media::EMCIDeviceError, player.Open());
        QCOMPARE(player.Error(), platform::MCIERR_INVALID_FILE);
    }

    // One note: the notice comes when it has played, and only then; once, and never for a
    // melody closed before its end. The melody played last is the witness: its own notice, a
    // longer note's, is the last to come, so anything sent before it is seen by then.
    void theEndOfAMelodyIsNoticedOnceAndChangesNothing() {
        // 480 ticks a quarter note at 120 beats a minute: a tenth of a second, then half a one.
        const std::string brief = writeMelody("brief.mid", "\x00\x90\x3C\x64"
                                                           "\x60\x80\x3C\x00"
                                                           "\x00\xFF\x2F\x00"s);
        const std::string longer = writeMelody("longer.mid", "\x00\x90\x3C\x64"
                                                             "\x83\x60\x80\x3C\x00"
                                                             "\x00\xFF\x2F\x00"s);
        media::TMediaPlayer player;
        std::vector<std::string> ended; // the file open at each notice
        player.OnNotify = [&] { ended.push_back(player.FileName); };
        player.FileName = brief;
        player.Open();
        player.Play();
        QVERIFY(ended.empty());
        QTRY_COMPARE_WITH_TIMEOUT(ended.size(), std::size_t{1}, 10000);
        QCOMPARE(player.NotifyValue(), media::nvSuccessful);
        QVERIFY(player.Opened()); // open and silent until closed

        player.Open();
        player.Play();
        player.Close();
        player.FileName = longer;
        player.Open();
        player.Play();
        QTRY_VERIFY_WITH_TIMEOUT(ended.back() == longer, 10000);
        QCOMPARE(ended, (std::vector<std::string>{brief, longer}));
    }

    // Only a device that is open answers, and it says what a sequencer is.
    void anOpenSequencerReportsItsCapabilities() {
        media::ExtractMediaFiles();
        platform::MCI_OPEN_PARMS open;
        open.lpstrElementName = media::TempFolderPath() + "Music.mid";
        QCOMPARE(platform::mciSendCommand(0, platform::MCI_OPEN,
                                          platform::MCI_WAIT | platform::MCI_OPEN_ELEMENT, &open),
                 0u);
        const auto ask = [&](std::uint32_t item, std::uint32_t& value) {
            platform::MCI_GETDEVCAPS_PARMS caps;
            caps.dwItem = item;
            const auto result =
                platform::mciSendCommand(open.wDeviceID, platform::MCI_GETDEVCAPS,
                                         platform::MCI_WAIT | platform::MCI_GETDEVCAPS_ITEM, &caps);
            value = caps.dwReturn;
            return result;
        };
        std::uint32_t value = 0;
        QCOMPARE(ask(platform::MCI_GETDEVCAPS_DEVICE_TYPE, value), 0u);
        QCOMPARE(value, platform::MCI_DEVTYPE_SEQUENCER);
        QCOMPARE(ask(platform::MCI_GETDEVCAPS_CAN_PLAY, value), 0u);
        QCOMPARE(value, 1u);
        QCOMPARE(ask(platform::MCI_GETDEVCAPS_CAN_RECORD, value), 0u);
        QCOMPARE(value, 0u);
        QCOMPARE(ask(99, value), platform::MCIERR_UNRECOGNIZED_COMMAND);
        platform::MCI_GETDEVCAPS_PARMS caps;
        QCOMPARE(platform::mciSendCommand(open.wDeviceID, platform::MCI_GETDEVCAPS,
                                          platform::MCI_WAIT, &caps),
                 platform::MCIERR_UNRECOGNIZED_COMMAND); // no item asked for
        platform::MCI_GENERIC_PARMS generic;
        QCOMPARE(platform::mciSendCommand(open.wDeviceID, platform::MCI_CLOSE, platform::MCI_WAIT,
                                          &generic),
                 0u);
        QCOMPARE(ask(platform::MCI_GETDEVCAPS_CAN_PLAY, value), platform::MCIERR_INVALID_DEVICE_ID);
    }

    void destroyingAnOpenPlayerClosesItsDevice() {
        media::ExtractMediaFiles();
        Recorder mci;
        {
            media::TMediaPlayer player;
            player.FileName = media::TempFolderPath() + "Music.mid";
            player.Open();
        }
        QCOMPARE(mci.words(), (QStringList{"803/202", "804/2"}));
    }
};

VELMAR_TEST_MAIN(TestMusic)
#include "TestMusic.moc"
