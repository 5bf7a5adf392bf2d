// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/audio/AudioDriver.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

namespace platform {

namespace {

constexpr const char* kModuleName = "libvelmar_audio.so";

std::string executableFolder() {
    std::vector<char> path(4096);
    const ssize_t n = readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (n <= 0)
        return {};
    std::string exe(path.data(), std::size_t(n));
    return exe.substr(0, exe.rfind('/') + 1);
}

// Beside the program (the build tree), then in the installed tree's private library folder,
// then where the build put it; VELMAR_AUDIO_MODULE overrides them all.
std::vector<std::string> candidates() {
    if (const char* chosen = std::getenv("VELMAR_AUDIO_MODULE"))
        return {chosen};
    const std::string folder = executableFolder();
    std::vector<std::string> paths{folder + kModuleName};
#ifdef VELMAR_AUDIO_MODULE_FROM_BIN
    if (!folder.empty())
        paths.push_back(folder + VELMAR_AUDIO_MODULE_FROM_BIN + kModuleName);
#endif
#ifdef VELMAR_AUDIO_MODULE_PATH
    paths.emplace_back(VELMAR_AUDIO_MODULE_PATH);
#endif
    return paths;
}

const VelmarAudioDriver* load() {
    for (const std::string& path : candidates()) {
        // Never unloaded: the sound server's threads may outlive any point we could pick.
        // Bound lazily: resolving every symbol of its forty-odd libraries up front costs more
        // than the rest of the load and dirties their relocation pages, when a few dozen
        // functions are ever called.
        void* module = dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
        if (!module)
            continue;
        auto entry = reinterpret_cast<VelmarAudioDriverEntry>(dlsym(module, "velmar_audio_driver"));
        const VelmarAudioDriver* driver = entry ? entry() : nullptr;
        if (driver && driver->version == kVelmarAudioDriverVersion)
            return driver;
    }
    return nullptr;
}

} // namespace

const VelmarAudioDriver* LoadAudioDriver() {
    static std::once_flag once;
    static const VelmarAudioDriver* driver = nullptr;
    std::call_once(once, [] { driver = load(); });
    return driver;
}

} // namespace platform
