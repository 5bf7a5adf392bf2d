// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/audio/AudioModule.h"

#include "platform/files/PrivateFiles.h"

#include <dlfcn.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace platform {

namespace {

constexpr const char* kModuleName = "libvelmar_audio.so";

// Beside the program (the build tree), then in the installed tree's private library folder,
// then where the build put it; VELMAR_AUDIO_MODULE overrides them all.
std::vector<std::string> candidates() {
    if (const char* chosen = std::getenv("VELMAR_AUDIO_MODULE"))
        return {chosen};
    std::vector<std::string> paths = PrivateFileCandidates(kModuleName);
#ifdef VELMAR_AUDIO_MODULE_PATH
    paths.emplace_back(VELMAR_AUDIO_MODULE_PATH);
#endif
    return paths;
}

} // namespace

AudioModule::~AudioModule() {
    Unload();
}

const VelmarAudioDriver* AudioModule::Load() {
    if (driver_)
        return driver_;
    for (const std::string& path : candidates()) {
        // Bound lazily: resolving every symbol of its forty-odd libraries up front costs more
        // than the rest of the load and dirties their relocation pages, when a few dozen
        // functions are ever called.
        void* module = dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
        if (!module)
            continue;
        auto entry = reinterpret_cast<VelmarAudioDriverEntry>(dlsym(module, "velmar_audio_driver"));
        const VelmarAudioDriver* driver = entry ? entry() : nullptr;
        if (driver && driver->version == kVelmarAudioDriverVersion) {
            handle_ = module;
            driver_ = driver;
            loaded_ = true;
            return driver_;
        }
        dlclose(module);
    }
    return nullptr;
}

// The sound server's threads end with the audio subsystem (SDL joins them), so nothing of the
// module runs once its shutdown has returned.
void AudioModule::Unload() {
    if (!handle_)
        return;
    driver_->shutdown();
    dlclose(handle_);
    handle_ = nullptr;
    driver_ = nullptr;
    loaded_ = false;
}

} // namespace platform
