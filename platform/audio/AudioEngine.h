// SPDX-License-Identifier: GPL-3.0-or-later
// The audio layer: the engine behind the multimedia front (output, synthesizer, soundfont
// views, MIDI reader, wave clips, the worker, the driver module). It may use files and Qt;
// only the driver module includes SDL2 and FluidSynth.
#pragma once

#include <QByteArray>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

constexpr const char* kDefaultSoundfont = "/usr/share/sounds/sf2/default-GM.sf2";

// The one audio engine: the current clip mixed with a General MIDI synthesizer. It plays
// through the sound device, or renders offline into a buffer so tests can hear it. Every call
// comes from the UI thread; the audio module, the device and the soundfont load on a worker,
// which also opens the device again after it was closed for being idle. When the device
// cannot be opened, a silent clock runs clips and melodies for their lengths, and the worker
// tries again every few seconds while something should sound.
//
// Threads: the UI thread, the worker, the audio callback (on SDL's thread, holding SDL's
// device lock) and, inside the synthesizer, none of FluidSynth's own. Locks are taken only in
// this order, never backwards:
//   output lock -> SDL's device lock -> state lock -> synthesizer lock -> worker queue lock
// So nothing holding the state lock touches the output, and the callback never takes the
// output lock. The callback only tries the synthesizer lock and skips the synthesizer for a
// block while the worker holds it.
class AudioEngine {
public:
    enum class Output { Device, Offline };
    using Clock = std::chrono::steady_clock;
    static constexpr int kRate = 44100;
    static constexpr std::uint32_t kFullVolume = 0xFFFFFFFF;

    // `now` is the wall clock of the silent clock, the retries and the idle close; tests pass
    // their own. It is called from the UI thread and the worker. The worker's loading (the
    // module, the device, the soundfont) may be held from the start for up to `holdWork`,
    // until ReleaseWork: the game holds it while its window first paints, which it would slow
    // down on a small machine.
    explicit AudioEngine(Output output, std::string soundfont = kDefaultSoundfont,
                         std::function<Clock::time_point()> now = {},
                         std::chrono::milliseconds holdWork = {});
    ~AudioEngine();
    AudioEngine(const AudioEngine&) = delete;
    AudioEngine& operator=(const AudioEngine&) = delete;

    // The engine the game plays through, opened on first use; the first call may hold its work
    // (see the constructor), later calls ignore `holdWork`.
    static AudioEngine& Shared(std::chrono::milliseconds holdWork = {});

    // Starts a converted clip, cutting off the one playing. A clip that is not a playable
    // WAVE file plays the default beep unless `useDefault` is false; the result says
    // whether anything started.
    // `read` gives the WAVE file's bytes; it is called once per key.
    bool PlayClip(const std::string& key, const std::function<QByteArray()>& read,
                  bool useDefault = true);
    void StopClip();
    bool ClipPlaying() const;

    // The melody: one standard MIDI file at a time.
    bool OpenMidi(const std::string& path);
    // From the start; waits for the soundfont if it is still loading. `onEnd` runs on the UI
    // thread once the melody has played to its end, not when it is closed or played again.
    void PlayMidi(std::function<void()> onEnd = {});
    void CloseMidi();
    bool MidiOpen() const;
    bool MidiPlaying() const;
    bool MidiPrepared() const; // its instruments are loaded, so a play starts at once
    double MidiLengthSeconds() const;
    double MidiPositionSeconds() const; // how far the melody has played, or its silent clock

    // Volume words of wave device 0 and MIDI device 0: left in the low 16 bits, right high.
    void SetWaveVolume(std::uint32_t word);
    std::uint32_t WaveVolume() const;
    void SetMidiVolume(std::uint32_t word);
    std::uint32_t MidiVolume() const;

    bool SoundfontReady() const;
    bool WaitSoundfont(std::chrono::milliseconds timeout) const; // false if never ready
    // The device opens on the worker; until then HasDevice is false and sounds wait for it.
    bool HasDevice() const; // false: everything runs silently, with the same results
    bool WaitOutput(std::chrono::milliseconds timeout) const; // HasDevice, once known
    bool OutputPaused() const;                                // paused at once when nothing sounds
    bool OutputClosed() const;                                // and closed after ten seconds of it
    bool OutputOpening() const;                               // the worker is opening it
    bool ModuleLoaded() const; // the driver module; let go once the output has closed
    bool WaitWorker(std::chrono::milliseconds timeout) const; // it ran what was posted so far
    // Ends the hold on the worker's loading (see the constructor); what was asked meanwhile
    // then happens in order.
    void ReleaseWork();

    // Offline only: the next `frames` stereo frames, interleaved left/right.
    std::vector<float> Render(std::size_t frames);

    struct State; // shared with the audio callback

private:
    void wake();
    void tick();
    void watchEnd();
    void releaseEnded();
    struct Melody;
    void prepare(const std::shared_ptr<Melody>& melody);

    std::unique_ptr<State> state_;
};

} // namespace platform
