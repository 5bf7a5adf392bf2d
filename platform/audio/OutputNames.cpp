// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/audio/OutputNames.h"

#include <cstdlib>
#include <mutex>

namespace platform {

namespace {

std::mutex& namesMutex() {
    static std::mutex mutex;
    return mutex;
}

SoundOutputNames& names() {
    static SoundOutputNames given;
    return given;
}

} // namespace

void NameSoundOutput(const SoundOutputNames& given) {
    {
        std::lock_guard lock(namesMutex());
        names() = given;
    }
    // SDL 2.26 has no hint for the icon, and its PulseAudio output passes no role; libpulse
    // (PulseAudio's and PipeWire's service alike) reads both from here when SDL connects.
    if (!given.icon.empty())
        setenv("PULSE_PROP_application.icon_name", given.icon.c_str(), 0);
    if (!given.role.empty())
        setenv("PULSE_PROP_media.role", given.role.c_str(), 0);
}

void NameSoundStream(const std::string& stream) {
    std::lock_guard lock(namesMutex());
    names().stream = stream;
}

SoundOutputNames SoundOutputName() {
    std::lock_guard lock(namesMutex());
    return names();
}

} // namespace platform
