// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/audio/AudioEngine.h"

#include "platform/audio/EngineState.h"
#include "platform/audio/MidiFile.h"
#include "platform/files/Files.h"

#include <QCoreApplication>

#include <algorithm>
#include <future>

namespace platform {

namespace {

using Clock = AudioEngine::Clock;

Clock::duration framesToDuration(std::uint64_t frames) {
    return std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(double(frames) / AudioEngine::kRate));
}

} // namespace

AudioEngine::AudioEngine(Output output, std::string soundfont,
                         std::function<Clock::time_point()> now, std::chrono::milliseconds holdWork)
    : state_(std::make_unique<State>(output, std::move(soundfont), std::move(now),
                                     std::chrono::steady_clock::now() + holdWork)) {
    if (output == Output::Device) {
        std::lock_guard lock(state_->outputMutex);
        state_->beginOpen(false);
    }
}

AudioEngine::~AudioEngine() {
    State& s = *state_;
    s.worker.Stop(); // an open under way ends first
    {
        std::lock_guard lock(s.outputMutex);
        if (s.device)
            s.driver->closeOutput(s.device); // the callback has returned for good after this
        s.device = 0;
        if (s.started)
            s.driver->stopOutput();
        s.started = false;
    }
    delete s.idleTimer.data();
    delete s.endTimer.data();
}

AudioEngine& AudioEngine::Shared(std::chrono::milliseconds holdWork) {
    static AudioEngine engine(Output::Device, kDefaultSoundfont, {}, holdWork);
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
    const Clock::time_point now = state_->now();
    {
        std::lock_guard lock(state_->mutex);
        state_->clip = clip;
        state_->clipPos = 0;
        state_->clipAsked = now;
    }
    state_->clipEnds = now + framesToDuration(clip->samples.size());
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
        return state_->now() < state_->clipEnds;
    std::lock_guard lock(state_->mutex);
    return state_->clip != nullptr;
}

bool AudioEngine::OpenMidi(const std::string& path) {
    CloseMidi();
    std::string bytes;
    if (ReadFileBytes(path, bytes, kMidiFileLimit) != ReadResult::Ok)
        return false;
    auto song = ParseMidi(QByteArray::fromStdString(bytes), kRate);
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
    const Clock::time_point now = state_->now();
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
        state_->seekTo.reset();
        state_->resetSynth = true;
        state_->melodyStarted = now;
        state_->melodyEnds = now + framesToDuration(state_->melody->song->lengthFrames);
    }
    wake();
    watchEnd();
}

// Looked at from the UI thread when the melody should end, at least every second on the way
// (the clock may be a test's), then every tenth of a second, since the soundfont may have
// held its start back.
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
                const auto left =
                    std::chrono::ceil<std::chrono::milliseconds>(st.melodyEnds - st.now());
                st.endTimer->start(int(std::clamp<std::int64_t>(left.count(), 100, 1000)));
                return;
            }
            releaseEnded();
            auto done = std::move(st.onEnd);
            st.onEnd = {};
            if (done)
                done();
        });
    }
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(s.melodyEnds - s.now());
    s.endTimer->start(int(std::clamp<std::int64_t>(left.count(), 10, 1000)));
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
    const bool silent = state_->silentDevice(); // the output lock comes before the state lock
    std::lock_guard lock(state_->mutex);
    if (silent)
        return state_->playing && state_->now() < state_->melodyEnds;
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

double AudioEngine::MidiPositionSeconds() const {
    const bool silent = state_->silentDevice();
    const Clock::time_point now = state_->now();
    std::lock_guard lock(state_->mutex);
    const State& s = *state_;
    if (!s.melody)
        return 0.0;
    const double length = double(s.melody->song->lengthFrames) / kRate;
    if (silent && s.melodyStarted != Clock::time_point{})
        return std::clamp(std::chrono::duration<double>(now - s.melodyStarted).count(), 0.0,
                          length);
    // A device that has just come back has not mixed its first block yet: the melody is
    // already where the silent clock got, not where the lost device left it.
    if (s.seekTo)
        return double(std::min(*s.seekTo, s.melody->song->lengthFrames)) / kRate;
    return double(s.songPos) / kRate;
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

bool AudioEngine::OutputOpening() const {
    std::lock_guard lock(state_->outputMutex);
    return state_->opening;
}

bool AudioEngine::ModuleLoaded() const {
    return state_->module.Loaded();
}

bool AudioEngine::WaitWorker(std::chrono::milliseconds timeout) const {
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> ran = done->get_future();
    state_->worker.Post([done] { done->set_value(); });
    return ran.wait_for(timeout) == std::future_status::ready;
}

void AudioEngine::ReleaseWork() {
    state_->worker.Release();
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

} // namespace platform
