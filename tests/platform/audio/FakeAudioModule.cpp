// SPDX-License-Identifier: GPL-3.0-or-later
// A stand-in for the audio module: it forwards to the real one, but a test can make the device
// refuse to open, hold its opening or go away as a sound server that ends, and it records what
// the engine asks of it.
#include "platform/audio/AudioDriver.h"

#include <dlfcn.h>
#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>

namespace {

const VelmarAudioDriver* gReal = nullptr;
VelmarAudioDriver gFake{};

std::atomic<int> gRefuse{0};
std::atomic<int> gAttempts{0};
std::atomic<unsigned long> gLastOpener{0};
std::atomic<int> gUnloads{0};
std::atomic<int> gUnloadsWithVoices{0};
std::atomic<int> gLost{0};
std::atomic<int> gStarts{0};
std::atomic<int> gStops{0};
std::atomic<int> gLoads{0};
std::atomic<int> gShutdowns{0};
std::atomic<int> gSynths{0};
std::atomic<float> gPeak{0};
std::atomic<int> gStalled{0};

// What the engine mixed, the loudest sample since the test last asked.
VelmarFill gFill = nullptr;
void recordingFill(void* user, float* out, int frames) {
    if (gStalled) { // a device that plays on without asking the engine for anything
        std::fill(out, out + 2 * frames, 0.0f);
        return;
    }
    gFill(user, out, frames);
    float peak = gPeak;
    for (int i = 0; i < 2 * frames; ++i)
        peak = std::max(peak, std::abs(out[i]));
    gPeak = peak;
}

std::mutex gGateMutex;
std::condition_variable gGateChanged;
bool gHeld = false;

unsigned openOutput(int rate, int frames, VelmarFill fill, void* user) {
    ++gAttempts;
    gLastOpener = static_cast<unsigned long>(pthread_self());
    {
        // Bounded, so a fault that opens on the test's own thread fails instead of hanging.
        std::unique_lock lock(gGateMutex);
        gGateChanged.wait_for(lock, std::chrono::seconds(5), [] { return !gHeld; });
    }
    if (gRefuse)
        return 0;
    gFill = fill; // the device opens paused: the callback does not run yet
    return gReal->openOutput(rate, frames, recordingFill, user);
}

void shutdown() {
    ++gShutdowns;
    gReal->shutdown();
}

void* newSynth(int rate) {
    ++gSynths;
    return gReal->newSynth(rate);
}

int startOutput(const VelmarOutputNames* names) {
    ++gStarts;
    return gReal->startOutput(names);
}

void stopOutput() {
    ++gStops;
    gReal->stopOutput();
}

int outputLost(unsigned device) {
    return gLost ? 1 : gReal->outputLost(device);
}

void unloadFont(void* synth, int font) {
    ++gUnloads;
    if (gReal->activeVoices(synth) > 0)
        ++gUnloadsWithVoices; // FluidSynth would free it later on a thread of its own
    gReal->unloadFont(synth, font);
}

} // namespace

extern "C" {

__attribute__((visibility("default"))) const VelmarAudioDriver* velmar_audio_driver() {
    ++gLoads;
    static std::once_flag once;
    std::call_once(once, [] {
        void* real = dlopen(VELMAR_REAL_AUDIO_MODULE, RTLD_NOW | RTLD_LOCAL);
        auto entry =
            real ? reinterpret_cast<VelmarAudioDriverEntry>(dlsym(real, "velmar_audio_driver"))
                 : nullptr;
        gReal = entry ? entry() : nullptr;
        if (!gReal)
            return;
        gFake = *gReal;
        gFake.openOutput = openOutput;
        gFake.startOutput = startOutput;
        gFake.stopOutput = stopOutput;
        gFake.outputLost = outputLost;
        gFake.unloadFont = unloadFont;
        gFake.shutdown = shutdown;
        gFake.newSynth = newSynth;
    });
    return gReal ? &gFake : nullptr;
}

__attribute__((visibility("default"))) void velmar_fake_refuse_open(int refuse) {
    gRefuse = refuse;
}

// While set, every open device reads as gone.
__attribute__((visibility("default"))) void velmar_fake_lose_device(int lost) {
    gLost = lost;
}

__attribute__((visibility("default"))) int velmar_fake_starts() {
    return gStarts;
}

__attribute__((visibility("default"))) int velmar_fake_stops() {
    return gStops;
}

__attribute__((visibility("default"))) void velmar_fake_hold_open(int hold) {
    {
        std::lock_guard lock(gGateMutex);
        gHeld = hold != 0;
    }
    gGateChanged.notify_all();
}

__attribute__((visibility("default"))) int velmar_fake_open_attempts() {
    return gAttempts;
}

__attribute__((visibility("default"))) unsigned long velmar_fake_last_opener() {
    return gLastOpener;
}

__attribute__((visibility("default"))) int velmar_fake_unloads() {
    return gUnloads;
}

__attribute__((visibility("default"))) int velmar_fake_unloads_with_voices() {
    return gUnloadsWithVoices;
}

// While set, the device's callback mixes nothing: the engine renders no block.
__attribute__((visibility("default"))) void velmar_fake_stall_device(int stalled) {
    gStalled = stalled;
}

// Times the engine loaded the module, shut it down to unload it, and made a synthesizer.
__attribute__((visibility("default"))) int velmar_fake_loads() {
    return gLoads;
}

__attribute__((visibility("default"))) int velmar_fake_shutdowns() {
    return gShutdowns;
}

__attribute__((visibility("default"))) int velmar_fake_synths() {
    return gSynths;
}

// The loudest sample the device was given since the last call.
__attribute__((visibility("default"))) float velmar_fake_take_peak() {
    return gPeak.exchange(0);
}
}
