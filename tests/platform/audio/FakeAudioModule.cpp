// SPDX-License-Identifier: GPL-3.0-or-later
// A stand-in for the audio module: it forwards to the real one, but a test can make the device
// refuse to open, hold its opening or go away as a sound server that ends, and it records what
// the engine asks of it.
#include "platform/audio/AudioDriver.h"

#include <dlfcn.h>
#include <pthread.h>

#include <atomic>
#include <chrono>
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
    return gReal->openOutput(rate, frames, fill, user);
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
}
