// SPDX-License-Identifier: GPL-3.0-or-later
// The audio callback's side of the engine: the clip and the synthesizer mixed block by block.
#include "platform/audio/EngineState.h"

#include <algorithm>

namespace platform {

namespace {

float leftGain(std::uint32_t word) {
    return float(word & 0xFFFF) / 65535.0f;
}

float rightGain(std::uint32_t word) {
    return float(word >> 16) / 65535.0f;
}

} // namespace

void AudioEngine::State::mix(float* out, int frames) {
    for (int done = 0; done < frames; done += kBlock)
        mixBlock(out + 2 * done, std::min(kBlock, frames - done));
}

void AudioEngine::State::mixBlock(float* out, int frames) {
    std::fill(out, out + 2 * frames, 0.0f);
    std::lock_guard lock(mutex);
    if (synth.TryLock()) {
        synthSounds = renderSynth(frames);
        synth.Unlock();
        const std::uint32_t word = midiVolume;
        for (int i = 0; i < frames; ++i) {
            out[2 * i] += left[std::size_t(i)] * leftGain(word);
            out[2 * i + 1] += right[std::size_t(i)] * rightGain(word);
        }
    } else if (synth.Settled() && !synth.Ready() && playing && melody->prepared) {
        // No soundfont: the melody runs its course in silence.
        seek(false);
        while (nextEvent < melody->song->events.size() &&
               melody->song->events[nextEvent].frame < songPos + std::uint64_t(frames))
            ++nextEvent;
        advanceMelody(frames);
    }
    if (clip) {
        const std::uint32_t word = waveVolume;
        const int n =
            int(std::min<std::size_t>(std::size_t(frames), clip->samples.size() - clipPos));
        for (int i = 0; i < n; ++i) {
            const float s = clip->samples[clipPos + std::size_t(i)];
            out[2 * i] += s * leftGain(word);
            out[2 * i + 1] += s * rightGain(word);
        }
        clipPos += std::size_t(n);
        if (clipPos >= clip->samples.size())
            clip = nullptr;
    }
    // A block the worker kept from the synthesizer keeps what it last knew of its voices.
    idle = !clip && !playing && !synthSounds;
}

// Renders the synthesizer into left/right, sending each event at its own frame.
bool AudioEngine::State::renderSynth(int frames) {
    if (resetSynth) {
        synth.SoundsOff();
        if (playing)
            synth.EffectsOn();
        resetSynth = false;
    }
    seek(true);
    for (int done = 0; done < frames;) {
        int chunk = frames - done;
        if (playing && melody->prepared) {
            const auto& events = melody->song->events;
            while (nextEvent < events.size() && events[nextEvent].frame <= songPos)
                synth.Send(events[nextEvent++]);
            const std::uint64_t until = nextEvent < events.size()
                                            ? events[nextEvent].frame
                                            : std::max(melody->song->lengthFrames, songPos + 1);
            chunk = int(std::min<std::uint64_t>(std::uint64_t(chunk), until - songPos));
            advanceMelody(chunk);
        }
        synth.Render(left.data() + done, right.data() + done, chunk);
        done += chunk;
    }
    return synth.ActiveVoices() > 0;
}

// Skips to where the silent clock got while there was no device. The instruments, controllers
// and bends set on the way are sent (`send`), the notes are not: they would all strike at once.
void AudioEngine::State::seek(bool send) {
    if (!seekTo || !playing || !melody->prepared)
        return;
    const auto& events = melody->song->events;
    const std::uint64_t to = std::min(*seekTo, melody->song->lengthFrames);
    seekTo.reset();
    for (; nextEvent < events.size() && events[nextEvent].frame < to; ++nextEvent) {
        const MidiEvent& e = events[nextEvent];
        const bool noteOn = (e.status & 0xF0) == 0x90 && e.data2 > 0;
        if (send && !noteOn)
            synth.Send(e);
    }
    if (to > songPos)
        advanceMelody(int(to - songPos));
}

void AudioEngine::State::advanceMelody(int frames) {
    if (!playing || !melody->prepared)
        return;
    songPos += std::uint64_t(frames);
    if (songPos >= melody->song->lengthFrames && nextEvent >= melody->song->events.size())
        playing = false; // played once; stays open and silent
}

} // namespace platform
