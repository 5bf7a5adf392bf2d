// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the engine's threads share; the lock order is in AudioEngine.h.
#include "platform/audio/AudioDriver.h"
#include "platform/audio/AudioEngine.h"
#include "platform/audio/AudioModule.h"
#include "platform/audio/MidiFile.h"
#include "platform/audio/Synth.h"
#include "platform/audio/WaveClip.h"
#include "platform/audio/Worker.h"

#include <QPointer>
#include <QTimer>

#include <array>
#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>

namespace platform {

struct AudioEngine::Melody {
    std::shared_ptr<const MidiSong> song;
    std::atomic<bool> prepared{false};
    bool released = false; // UI thread: its instruments were let go after it ended
};

struct AudioEngine::State {
    static constexpr int kBlock = 1024;
    // A clip that would start later than this after it was asked for is dropped.
    static constexpr std::chrono::milliseconds kLateClip{100};
    // A device that failed to open is tried again no sooner than this.
    static constexpr std::chrono::seconds kRetry{3};
    static constexpr std::chrono::seconds kIdleClose{10};

    State(Output o, std::string soundfont, std::function<Clock::time_point()> clock,
          std::chrono::steady_clock::time_point workHeldUntil)
        : output(o), worker(workHeldUntil), synth(std::move(soundfont), kRate, worker, module),
          now(clock ? std::move(clock) : [] { return Clock::now(); }) {}
    ~State() { worker.Stop(); } // before anything its jobs use goes

    Output output;
    AudioModule module; // outlives the synthesizer
    Worker worker;
    Synth synth;
    const std::function<Clock::time_point()> now;
    std::atomic<std::uint32_t> waveVolume{kFullVolume};
    std::atomic<std::uint32_t> midiVolume{kFullVolume};
    std::atomic<bool> idle{true};

    // The state lock: what the UI thread changes and the callback reads, nothing slow inside.
    mutable std::mutex mutex;
    const WaveClip* clip = nullptr;
    std::size_t clipPos = 0;
    Clock::time_point clipAsked;
    std::shared_ptr<Melody> melody;
    bool playing = false;
    bool resetSynth = false;
    Clock::time_point melodyStarted; // where the silent clock counts from
    std::optional<std::uint64_t> seekTo;
    std::uint64_t songPos = 0;
    std::size_t nextEvent = 0;
    bool synthSounds = false; // as of the last block that reached the synthesizer
    std::array<float, kBlock> left{};
    std::array<float, kBlock> right{};

    // The output lock: the device, opened on the worker and paused from the UI thread.
    mutable std::mutex outputMutex;
    std::condition_variable outputSettled;
    const VelmarAudioDriver* driver = nullptr;
    bool settled = false; // the worker has tried to open the device once
    bool opening = false; // the worker is at it now
    bool hasDevice = false;
    bool started = false; // the audio subsystem runs
    unsigned device = 0;  // 0 also while closed for being idle
    bool paused = true;
    bool wanted = false; // something asked to sound while the device was not there
    Clock::time_point lastTry;

    // UI thread only. Clips are never dropped, so the callback never frees one.
    std::map<std::string, std::unique_ptr<WaveClip>> clips;
    WaveClip beep = DefaultBeep(kRate);
    std::optional<Clock::time_point> idleSince;
    QPointer<QTimer> idleTimer;
    QPointer<QTimer> endTimer;
    std::function<void()> onEnd;
    Clock::time_point clipEnds;
    Clock::time_point melodyEnds;

    // Output lock held.
    bool silent() const { return output == Output::Device && settled && !hasDevice; }
    bool silentDevice() const {
        std::lock_guard lock(outputMutex);
        return silent();
    }
    // `wantedNow`: output runs as soon as the device is open (false for the first open).
    void beginOpen(bool wantedNow = true);
    void resume();
    void loseOutput();
    // Worker thread.
    void openOutput();
    void dropOutput(unsigned lost);
    void unloadModule();
    void catchUp(bool wasSilent);

    // Audio thread, or the test's thread offline.
    void mix(float* out, int frames);
    void mixBlock(float* out, int frames);
    bool renderSynth(int frames);
    void seek(bool send);
    void advanceMelody(int frames);
};

} // namespace platform
