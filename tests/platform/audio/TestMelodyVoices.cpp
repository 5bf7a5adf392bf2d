// SPDX-License-Identifier: GPL-3.0-or-later
// The synthesizer is made with room for a fixed number of voices; a melody that needed more at
// some moment would have notes cut off there. Each of the game's melodies is played through
// the system font without a limit, and its fullest moment must leave room to spare.
#include "platform/audio/AudioDriver.h"
#include "platform/files/Resources.h"

#include <QTest>

#include <fluidsynth.h>

#include <cstdio>

using namespace platform;

namespace {

const char* const kSystemFont = "/usr/share/sounds/sf2/default-GM.sf2";

// The most voices sounding at once while the melody plays and its last notes die away.
int fullestMoment(const QByteArray& melody) {
    fluid_settings_t* settings = new_fluid_settings();
    fluid_settings_setint(settings, "synth.polyphony", 256);
    fluid_settings_setint(settings, "synth.dynamic-sample-loading", 1);
    fluid_settings_setnum(settings, "synth.sample-rate", 44100);
    fluid_synth_t* synth = new_fluid_synth(settings);
    fluid_player_t* player = new_fluid_player(synth);
    int most = -1;
    if (fluid_synth_sfload(synth, kSystemFont, 1) != FLUID_FAILED &&
        fluid_player_add_mem(player, melody.constData(), std::size_t(melody.size())) == FLUID_OK &&
        fluid_player_play(player) == FLUID_OK) {
        std::vector<float> left(64), right(64);
        most = 0;
        for (int block = 0; block < 44100 * 600 / 64; ++block) {
            fluid_synth_write_float(synth, 64, left.data(), 0, 1, right.data(), 0, 1);
            const int voices = fluid_synth_get_active_voice_count(synth);
            most = std::max(most, voices);
            if (fluid_player_get_status(player) != FLUID_PLAYER_PLAYING && voices == 0)
                break;
        }
    }
    delete_fluid_player(player);
    delete_fluid_synth(synth);
    delete_fluid_settings(settings);
    return most;
}

} // namespace

class TestMelodyVoices : public QObject {
    Q_OBJECT

private slots:
    void everyMelodyLeavesRoomInThePolyphony_data() {
        QTest::addColumn<QString>("name");
        for (const char* name : {"MYMUSIC", "MYMUSIC2", "MYMUSIC3"})
            QTest::newRow(name) << name;
    }
    void everyMelodyLeavesRoomInThePolyphony() {
        QFETCH(QString, name);
        if (std::FILE* font = std::fopen(kSystemFont, "rb"))
            std::fclose(font);
        else
            QSKIP("no General MIDI soundfont installed");
        const int most = fullestMoment(FindResource("MUSIC", name.toStdString()).value());
        qInfo("%s: %d voices at its fullest", qPrintable(name), most);
        QVERIFY(most > 0);
        // The engine sends events at their own frames rather than the player's blocks: some
        // voices to spare.
        QVERIFY(most + 8 <= kVelmarPolyphony);
    }
};

QTEST_GUILESS_MAIN(TestMelodyVoices)
#include "TestMelodyVoices.moc"
