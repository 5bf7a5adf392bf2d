// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/audio/AudioEngine.h"

#include "platform/audio/AudioDriver.h"
#include "platform/audio/MidiFile.h"
#include "platform/audio/Synth.h"
#include "platform/audio/WaveClip.h"
#include "platform/audio/Worker.h"

#include <QCoreApplication>
#include <QFile>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kBlock = 1024;
constexpr int kIdleCheckMs = 250;
constexpr int kIdleChecksBeforeClose = 40; // a paused SDL device still wakes to write silence

float leftGain(std::uint32_t word) {
    return float(word & 0xFFFF) / 65535.0f;
}

float rightGain(std::uint32_t word) {
    return float(word >> 16) / 65535.0f;
}

Clock::duration framesToDuration(std::uint64_t frames) {
    return std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(double(frames) / AudioEngine::kRate));
}

} // namespace

struct AudioEngine::Melody {
    std::shared_ptr<const MidiSong> song;
    std::atomic<bool> prepared{false};
    bool released = false; // UI thread: its instruments were let go after it ended
};

struct AudioEngine::State {
    State(Output o, std::string soundfont)
        : output(o), synth(std::move(soundfont), kRate, worker) {}
    ~State() { worker.Stop(); } // before anything its jobs use goes

    Output output;
    Worker worker;
    Synth synth;
    std::atomic<std::uint32_t> waveVolume{kFullVolume};
    std::atomic<std::uint32_t> midiVolume{kFullVolume};
    std::atomic<bool> idle{true};

    std::mutex mutex; // what the UI thread changes and the callback reads, nothing slow inside
    const WaveClip* clip = nullptr;
    std::size_t clipPos = 0;
    std::shared_ptr<Melody> melody;
    bool playing = false;
    bool resetSynth = false;
    std::uint64_t songPos = 0;
    std::size_t nextEvent = 0;
    std::array<float, kBlock> left{};
    std::array<float, kBlock> right{};

    // The output, opened on the worker and then driven from the UI thread.
    mutable std::mutex outputMutex;
    std::condition_variable outputSettled;
    const VelmarAudioDriver* driver = nullptr;
    bool settled = false; // the worker has tried to open the device
    bool hasDevice = false;
    bool started = false; // the audio subsystem runs
    unsigned device = 0;  // 0 also while closed for being idle
    bool paused = true;
    bool wanted = false; // something asked to sound before the device was there

    // UI thread only. Clips are never dropped, so the callback never frees one.
    std::map<std::string, std::unique_ptr<WaveClip>> clips;
    WaveClip beep = DefaultBeep(kRate);
    int idleChecks = 0;
    QPointer<QTimer> idleTimer;
    QPointer<QTimer> endTimer;
    std::function<void()> onEnd;
    Clock::time_point clipEnds;
    Clock::time_point melodyEnds;

    bool silentDevice() const {
        std::lock_guard lock(outputMutex);
        return output == Output::Device && settled && !hasDevice;
    }
    void startOutput();
    bool openDevice(); // outputMutex held
    void resume();     // outputMutex held
    void mix(float* out, int frames);
    void mixBlock(float* out, int frames);
    bool renderSynth(int frames);
    void advanceMelody(int frames);
};

void AudioEngine::State::mix(float* out, int frames) {
    for (int done = 0; done < frames; done += kBlock)
        mixBlock(out + 2 * done, std::min(kBlock, frames - done));
}

void AudioEngine::State::mixBlock(float* out, int frames) {
    std::fill(out, out + 2 * frames, 0.0f);
    std::lock_guard lock(mutex);
    bool synthSounds = false;
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

void AudioEngine::State::advanceMelody(int frames) {
    if (!playing || !melody->prepared)
        return;
    songPos += std::uint64_t(frames);
    if (songPos >= melody->song->lengthFrames && nextEvent >= melody->song->events.size())
        playing = false; // played once; stays open and silent
}

namespace {

void audioCallback(void* user, float* out, int frames) {
    static_cast<AudioEngine::State*>(user)->mix(out, frames);
}

} // namespace

AudioEngine::AudioEngine(Output output, std::string soundfont)
    : state_(std::make_unique<State>(output, std::move(soundfont))) {
    if (output == Output::Device)
        state_->worker.Post([s = state_.get()] { s->startOutput(); });
}

// Worker thread: the module's libraries load here, never on the UI thread.
void AudioEngine::State::startOutput() {
    const VelmarAudioDriver* d = LoadAudioDriver();
    const bool running = d && d->startOutput();
    std::lock_guard lock(outputMutex);
    driver = d;
    started = running;
    hasDevice = running && openDevice();
    if (hasDevice && wanted)
        resume();
    settled = true;
    outputSettled.notify_all();
}

bool AudioEngine::State::openDevice() {
    device = driver->openOutput(kRate, kBlock, audioCallback, this);
    paused = true;
    return device != 0;
}

void AudioEngine::State::resume() {
    if (paused) {
        driver->pauseOutput(device, 0);
        paused = false;
    }
}

AudioEngine::~AudioEngine() {
    State& s = *state_;
    s.worker.Stop();
    if (s.device)
        s.driver->closeOutput(s.device);
    if (s.started)
        s.driver->stopOutput();
    delete s.idleTimer.data();
    delete s.endTimer.data();
}

AudioEngine& AudioEngine::Shared() {
    static AudioEngine engine(Output::Device);
    return engine;
}

bool AudioEngine::PlayClip(const std::string& key, const std::function<QByteArray()>& read,
                           bool useDefault) {
    auto found = state_->clips.find(key);
    if (found == state_->clips.end()) {
        auto converted = ConvertWave(read(), kRate); // once per clip
        found = state_->clips
                    .emplace(key, converted ? std::make_unique<WaveClip>(std::move(*converted))
                                            : nullptr)
                    .first;
    }
    const WaveClip* clip = found->second ? found->second.get() : &state_->beep;
    if (!found->second && !useDefault)
        return false;
    {
        std::lock_guard lock(state_->mutex);
        state_->clip = clip;
        state_->clipPos = 0;
    }
    state_->clipEnds = Clock::now() + framesToDuration(clip->samples.size());
    wake();
    return true;
}

void AudioEngine::StopClip() {
    std::lock_guard lock(state_->mutex);
    state_->clip = nullptr;
    state_->clipEnds = {};
}

bool AudioEngine::ClipPlaying() const {
    if (state_->silentDevice())
        return Clock::now() < state_->clipEnds;
    std::lock_guard lock(state_->mutex);
    return state_->clip != nullptr;
}

bool AudioEngine::OpenMidi(const std::string& path) {
    CloseMidi();
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    auto song = ParseMidi(file.readAll(), kRate);
    if (!song)
        return false;
    auto melody = std::make_shared<Melody>();
    melody->song = std::make_shared<const MidiSong>(std::move(*song));
    prepare(melody);
    std::lock_guard lock(state_->mutex);
    state_->melody = std::move(melody);
    state_->playing = false;
    return true;
}

// The worker loads the instruments; a play asked for before that starts once it is done.
void AudioEngine::prepare(const std::shared_ptr<Melody>& melody) {
    std::weak_ptr<Melody> weak = melody;
    state_->synth.Prepare(melody->song, [weak] {
        if (auto m = weak.lock())
            m->prepared = true;
    });
}

void AudioEngine::PlayMidi(std::function<void()> onEnd) {
    {
        std::lock_guard lock(state_->mutex);
        if (!state_->melody)
            return;
        if (state_->melody->released) {
            state_->melody->released = false;
            prepare(state_->melody);
        }
        state_->onEnd = std::move(onEnd);
        state_->playing = true;
        state_->songPos = 0;
        state_->nextEvent = 0;
        state_->resetSynth = true;
        state_->melodyEnds = Clock::now() + framesToDuration(state_->melody->song->lengthFrames);
    }
    wake();
    watchEnd();
}

// Looked at from the UI thread, first when the melody should end, then every tenth of a
// second, since the soundfont may have held its start back.
void AudioEngine::watchEnd() {
    State& s = *state_;
    if ((!s.onEnd && s.output == Output::Offline) || !QCoreApplication::instance())
        return;
    if (!s.endTimer) {
        s.endTimer = new QTimer(QCoreApplication::instance());
        s.endTimer->setSingleShot(true);
        QObject::connect(s.endTimer, &QTimer::timeout, [this] {
            State& st = *state_;
            if (MidiPlaying()) {
                st.endTimer->start(100);
                return;
            }
            releaseEnded();
            auto done = std::move(st.onEnd);
            st.onEnd = {};
            if (done)
                done();
        });
    }
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(s.melodyEnds - Clock::now());
    s.endTimer->start(int(std::max<std::int64_t>(10, left.count())));
}

// An ended melody stays open and silent; its instruments go until it is played again.
void AudioEngine::releaseEnded() {
    std::lock_guard lock(state_->mutex);
    Melody* melody = state_->melody.get();
    if (state_->output == Output::Offline || !melody || melody->released)
        return;
    state_->playing = false; // also where no device ran it
    melody->prepared = false;
    melody->released = true;
    state_->synth.Release();
}

void AudioEngine::CloseMidi() {
    std::shared_ptr<Melody> old; // freed here, after the lock, never in the callback
    {
        std::lock_guard lock(state_->mutex);
        old = std::move(state_->melody);
        state_->onEnd = {};
        state_->playing = false;
        state_->resetSynth = true;
        state_->melodyEnds = {};
    }
    if (old && !old->released)
        state_->synth.Release();
    if (state_->endTimer)
        state_->endTimer->stop();
}

bool AudioEngine::MidiOpen() const {
    std::lock_guard lock(state_->mutex);
    return state_->melody != nullptr;
}

bool AudioEngine::MidiPlaying() const {
    std::lock_guard lock(state_->mutex);
    if (state_->silentDevice())
        return state_->playing && Clock::now() < state_->melodyEnds;
    return state_->playing;
}

bool AudioEngine::MidiPrepared() const {
    std::lock_guard lock(state_->mutex);
    return state_->melody && state_->melody->prepared;
}

double AudioEngine::MidiLengthSeconds() const {
    std::lock_guard lock(state_->mutex);
    return state_->melody ? double(state_->melody->song->lengthFrames) / kRate : 0.0;
}

void AudioEngine::SetWaveVolume(std::uint32_t word) {
    state_->waveVolume = word;
}

std::uint32_t AudioEngine::WaveVolume() const {
    return state_->waveVolume;
}

void AudioEngine::SetMidiVolume(std::uint32_t word) {
    state_->midiVolume = word;
}

std::uint32_t AudioEngine::MidiVolume() const {
    return state_->midiVolume;
}

bool AudioEngine::SoundfontReady() const {
    return state_->synth.Ready();
}

bool AudioEngine::WaitSoundfont(std::chrono::milliseconds timeout) const {
    return state_->synth.WaitSettled(timeout);
}

bool AudioEngine::HasDevice() const {
    std::lock_guard lock(state_->outputMutex);
    return state_->hasDevice;
}

bool AudioEngine::WaitOutput(std::chrono::milliseconds timeout) const {
    std::unique_lock lock(state_->outputMutex);
    state_->outputSettled.wait_for(lock, timeout, [this] { return state_->settled; });
    return state_->hasDevice;
}

bool AudioEngine::OutputClosed() const {
    std::lock_guard lock(state_->outputMutex);
    return state_->device == 0;
}

bool AudioEngine::OutputPaused() const {
    std::lock_guard lock(state_->outputMutex);
    return state_->device == 0 || state_->paused;
}

std::vector<float> AudioEngine::Render(std::size_t frames) {
    std::vector<float> out(2 * frames);
    if (state_->output == Output::Offline)
        state_->mix(out.data(), int(frames));
    return out;
}

// The output runs only while something sounds, so an idle game costs no CPU.
void AudioEngine::wake() {
    State& s = *state_;
    s.idle = false;
    {
        std::lock_guard lock(s.outputMutex);
        if (s.output == Output::Offline || (s.settled && !s.hasDevice))
            return;
        s.idleChecks = 0;
        if (!s.settled) {
            s.wanted = true; // the worker resumes it once the device is open
        } else {
            if (!s.device && !s.openDevice())
                return;
            s.resume();
        }
    }
    if (!s.idleTimer && QCoreApplication::instance()) {
        s.idleTimer = new QTimer(QCoreApplication::instance());
        s.idleTimer->setInterval(kIdleCheckMs);
        QObject::connect(s.idleTimer, &QTimer::timeout, [this] { pauseIfIdle(); });
    }
    if (s.idleTimer)
        s.idleTimer->start();
}

void AudioEngine::pauseIfIdle() {
    State& s = *state_;
    std::lock_guard lock(s.outputMutex);
    if (!s.idle || !s.settled) // the worker still opens it, or the callback has not run yet
        return;
    if (!s.device) {
        s.idleTimer->stop();
        return;
    }
    if (!s.paused) {
        s.driver->pauseOutput(s.device, 1);
        s.paused = true;
    }
    // Closed after a while of silence, so an idle game costs nothing at all.
    if (++s.idleChecks >= kIdleChecksBeforeClose) {
        s.driver->closeOutput(s.device);
        s.device = 0;
        s.idleTimer->stop();
    }
}

} // namespace platform
