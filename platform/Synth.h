// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/MidiFile.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace platform {

// The General MIDI synthesizer behind the engine. The soundfont loads on a worker thread
// with dynamic sample loading, so only the instruments a melody uses are ever read; the
// worker also reads those instruments before the melody may start, so the audio callback
// never touches a file.
class Synth {
public:
    Synth(std::string soundfont, int rate);
    ~Synth();
    Synth(const Synth&) = delete;
    Synth& operator=(const Synth&) = delete;

    bool Ready() const { return state_.load() == Loaded; }
    bool Settled() const { return state_.load() != Loading; } // loaded or given up
    bool WaitSettled(std::chrono::milliseconds timeout) const;

    // Worker thread: loads the song's instruments, then calls `done` (also when there is no
    // soundfont, so a melody without instruments still runs its course in silence).
    void Prepare(std::shared_ptr<const MidiSong> song, std::function<void()> done);

    // Audio thread only. TryLock fails while the worker loads; the block then skips the synth.
    bool TryLock();
    void Unlock();
    void Send(const MidiEvent& e);
    void SoundsOff(); // also the reverb and chorus, until EffectsOn
    void EffectsOn();
    void Render(float* left, float* right, int frames);
    int ActiveVoices();

    struct Impl;

private:
    enum { Loading, Loaded, Failed };
    std::atomic<int> state_{Loading};
    std::unique_ptr<Impl> impl_;
};

} // namespace platform
