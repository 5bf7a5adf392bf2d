// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/audio/AudioDriver.h"

#include <atomic>

namespace platform {

// The driver module of one engine: loaded on the worker at the first sound, and unloaded once
// the output has closed for being idle, so a quiet game maps none of its forty-odd libraries
// but those that stay once loaded (GLib, GObject, the sound server's client library). Worker
// thread only, but for Loaded; the engine's destruction unloads it after the worker stopped.
class AudioModule {
public:
    AudioModule() = default;
    ~AudioModule();
    AudioModule(const AudioModule&) = delete;
    AudioModule& operator=(const AudioModule&) = delete;

    // The driver, loaded if it is not; null when the module is missing or of another version,
    // and the game then runs silently.
    const VelmarAudioDriver* Load();
    // Nothing of the module may be in use: no device open, no synthesizer left.
    void Unload();
    bool Loaded() const { return loaded_; }

private:
    void* handle_ = nullptr;
    const VelmarAudioDriver* driver_ = nullptr;
    std::atomic<bool> loaded_{false};
};

} // namespace platform
