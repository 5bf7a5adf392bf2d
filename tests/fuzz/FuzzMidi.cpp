// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target over the MIDI file reader: any bytes give a song or none, never a crash,
// and a song's events are in time order inside its length.
#include "platform/audio/MidiFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray file(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto song = platform::ParseMidi(file, 44100);
    if (!song)
        return 0;
    std::uint64_t last = 0;
    for (const platform::MidiEvent& event : song->events) {
        if (event.frame < last || event.frame > song->lengthFrames || event.status < 0x80)
            std::abort();
        last = event.frame;
    }
    return 0;
}
