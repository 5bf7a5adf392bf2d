// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/audio/MidiFile.h"
#include "platform/audio/SoundfontView.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace platform {

class AudioModule;
class Worker;

// Lock order: the engine's state lock, then the synthesizer lock, then the worker's queue.
// The General MIDI synthesizer behind the engine. On the worker thread it loads the audio
// module and indexes the soundfont; for each melody it then loads a view of the font holding
// just that melody's instruments and reads their samples, so the audio callback never
// touches a file and memory holds only what plays.
class Synth {
public:
    // The worker must be stopped before the synthesizer is destroyed, and the module must
    // outlive it.
    Synth(std::string soundfont, int rate, Worker& worker, AudioModule& module);
    ~Synth();
    Synth(const Synth&) = delete;
    Synth& operator=(const Synth&) = delete;

    bool Ready() const { return state_.load() == Loaded; }
    bool Settled() const { return state_.load() != Loading; } // loaded or given up
    bool WaitSettled(std::chrono::milliseconds timeout) const;

    // Worker thread: loads the song's instruments, then calls `done` (also when there is no
    // soundfont, so a melody without instruments still runs its course in silence).
    void Prepare(std::shared_ptr<const MidiSong> song, std::function<void()> done);
    // Worker thread, after the jobs before it: lets the last melody's instruments go, so a
    // game without music holds none.
    void Release();
    // A font let go stays loaded until no voice uses its samples: its voices are silenced at
    // once, but they end only in a rendered block, which the worker renders itself and throws
    // away. One whose voices outlast those blocks is freed on the worker by the jobs that
    // follow, or by Reap; FluidSynth would otherwise free it on a timer thread of its own,
    // racing the audio callback.
    bool HasRetired() const { return retired_.load(); }
    void Reap();
    // Worker thread, with no device open: deletes the synthesizer, so the module can go, unless
    // a melody's instruments are loaded (then false). The next melody makes a new one; until
    // then the callback finds none to lock. The soundfont's index stays.
    bool Unload();

    // Audio thread only. TryLock fails while the worker loads, and while there is no
    // synthesizer; the block then skips it.
    bool TryLock();
    void Unlock();
    void Send(const MidiEvent& e);
    void SoundsOff(); // also the reverb and chorus, until EffectsOn
    void EffectsOn();
    void Render(float* left, float* right, int frames);
    int ActiveVoices();

    // The presets a song plays, by (bank, program), each with the keys struck on it: those
    // its channels choose, and the default instrument of a channel that sounds before choosing
    // one. A preset chosen but never struck is left out.
    static std::vector<SoundfontPreset> PresetsOf(const MidiSong& song);

    struct Impl;

private:
    enum { Loading, Loaded, Failed };
    std::atomic<int> state_{Loading};
    std::atomic<bool> retired_{false};
    std::unique_ptr<Impl> impl_;
    Worker& worker_;
};

} // namespace platform
