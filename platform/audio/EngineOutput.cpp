// SPDX-License-Identifier: GPL-3.0-or-later
// The engine's output: opened on the worker, run only while something sounds, paused at once
// when nothing does and closed after a while of it. A device that cannot be opened leaves the
// silent clock in charge until a later try succeeds.
#include "platform/audio/EngineState.h"
#include "platform/audio/OutputNames.h"

#include <QCoreApplication>

#include <malloc.h>

namespace platform {

namespace {

constexpr int kTickMs = 250;

void audioCallback(void* user, float* out, int frames) {
    static_cast<AudioEngine::State*>(user)->mix(out, frames);
}

std::uint64_t durationToFrames(AudioEngine::Clock::duration d) {
    const double seconds = std::chrono::duration<double>(d).count();
    return seconds > 0 ? std::uint64_t(seconds * AudioEngine::kRate) : 0;
}

} // namespace

// Output lock held. The open itself runs on the worker, so a slow sound server never stalls
// the window.
void AudioEngine::State::beginOpen(bool wantedNow) {
    opening = true;
    wanted = wantedNow;
    lastTry = now();
    worker.Post([this] { openOutput(); });
}

// Worker thread: the module's libraries load here, never on the UI thread.
void AudioEngine::State::openOutput() {
    const VelmarAudioDriver* d = nullptr;
    bool running = false;
    {
        std::lock_guard lock(outputMutex);
        d = driver;
        running = started;
    }
    if (!d)
        d = module.Load();
    if (d && !running) {
        const SoundOutputNames names = SoundOutputName();
        const VelmarOutputNames given{names.application.c_str(), names.stream.c_str(),
                                      names.role.c_str()};
        running = d->startOutput(&given) != 0;
    }
    const unsigned opened = running ? d->openOutput(kRate, kBlock, audioCallback, this) : 0;
    if (running && !opened) {
        // The subsystem may still hold a connection to a sound server that has gone; the next
        // try starts it afresh, so a server that came back is found.
        d->stopOutput();
        running = false;
    }

    std::lock_guard lock(outputMutex);
    const bool first = !settled;
    const bool wasSilent = silent();
    driver = d;
    started = running;
    settled = true;
    opening = false;
    hasDevice = opened != 0;
    device = opened;
    paused = true;
    lastTry = now();
    if (hasDevice) {
        if (!first) // the first sound of a game waits for the libraries, as it always did
            catchUp(wasSilent);
        if (wanted)
            resume();
    }
    wanted = false;
    outputSettled.notify_all();
}

// Worker thread, output lock held, before the device first runs: a clip asked for too long
// ago is dropped, and a melody the silent clock ran goes on from where that clock got.
void AudioEngine::State::catchUp(bool wasSilent) {
    const Clock::time_point at = now();
    std::lock_guard lock(mutex);
    if (clip && clipPos == 0 && at - clipAsked > kLateClip)
        clip = nullptr;
    if (wasSilent && playing && melody)
        seekTo = durationToFrames(at - melodyStarted);
}

// Output lock held. The device is gone (its sound server ended): silent from now on, with the
// silent clock running the music; the worker lets the device and the subsystem go, and the
// usual retries open a new one once a server is there again.
void AudioEngine::State::loseOutput() {
    const unsigned lost = device;
    device = 0;
    hasDevice = false;
    paused = true;
    lastTry = now();
    worker.Post([this, lost] { dropOutput(lost); });
}

// Worker thread, once the output has closed for being idle: the synthesizer, the audio
// subsystem (whose end joins the sound server's threads) and then the module itself go, and
// with them their libraries. The next sound loads them again. A sound asked for since, or a
// melody whose instruments are loaded, keeps them.
void AudioEngine::State::unloadModule() {
    {
        std::lock_guard lock(outputMutex);
        if (device || opening || !driver || !synth.Unload())
            return;
        driver = nullptr;
        started = false;
    }
    module.Unload();
}

// Worker thread: closing waits for the device's own thread, so never on the UI thread.
void AudioEngine::State::dropOutput(unsigned lost) {
    const VelmarAudioDriver* d = nullptr;
    bool running = false;
    {
        std::lock_guard lock(outputMutex);
        d = driver;
        running = started;
        started = false;
    }
    d->closeOutput(lost);
    if (running)
        d->stopOutput();
}

void AudioEngine::State::resume() {
    if (paused) {
        driver->pauseOutput(device, 0);
        paused = false;
    }
}

// The output runs only while something sounds, so an idle game costs no CPU.
void AudioEngine::wake() {
    State& s = *state_;
    s.idle = false;
    if (s.output == Output::Offline)
        return;
    s.idleSince.reset();
    {
        std::lock_guard lock(s.outputMutex);
        if (!s.settled || s.opening)
            s.wanted = true; // the worker resumes it once the device is open
        else if (s.device)
            s.resume();
        else if (s.hasDevice || s.now() - s.lastTry >= State::kRetry)
            s.beginOpen(); // closed for being idle, or the last try was a while ago
    }
    if (!s.idleTimer && QCoreApplication::instance()) {
        s.idleTimer = new QTimer(QCoreApplication::instance());
        s.idleTimer->setInterval(kTickMs);
        QObject::connect(s.idleTimer, &QTimer::timeout, [this] { tick(); });
    }
    if (s.idleTimer && !s.idleTimer->isActive())
        s.idleTimer->start();
}

// Every quarter second while the output is open or the silent clock runs something.
void AudioEngine::tick() {
    State& s = *state_;
    if (s.synth.HasRetired())
        s.synth.Reap();
    const Clock::time_point at = s.now();
    std::lock_guard lock(s.outputMutex);
    if (!s.settled || s.opening)
        return;
    if (s.silent()) {
        // Tried again now and then while something should sound.
        if (at >= s.clipEnds && at >= s.melodyEnds)
            s.idleTimer->stop();
        else if (at - s.lastTry >= State::kRetry)
            s.beginOpen();
        return;
    }
    if (!s.device) {
        s.idleTimer->stop();
        return;
    }
    if (s.driver->outputLost(s.device)) {
        s.loseOutput();
        return;
    }
    if (!s.idle) { // the callback has not found silence yet
        s.idleSince.reset();
        return;
    }
    if (!s.paused) {
        s.driver->pauseOutput(s.device, 1);
        s.paused = true;
    }
    // Closed after a while of silence, so an idle game costs nothing at all.
    if (!s.idleSince)
        s.idleSince = at;
    else if (at - *s.idleSince >= State::kIdleClose) {
        s.driver->closeOutput(s.device);
        s.device = 0;
        s.idleTimer->stop();
        // What the melody, the device and the module used goes back to the system, not only
        // to the heap.
        s.worker.Post([&s] {
            s.unloadModule();
            malloc_trim(0);
        });
    }
}

} // namespace platform
