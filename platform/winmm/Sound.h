// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>

namespace platform {

constexpr unsigned SND_SYNC = 0x0000;
constexpr unsigned SND_ASYNC = 0x0001;
constexpr unsigned SND_NODEFAULT = 0x0002;
constexpr unsigned SND_LOOP = 0x0008;
constexpr unsigned SND_NOSTOP = 0x0010;
constexpr unsigned SND_RESOURCE = 0x00040004;

// Starts a clip from a "WAVE" resource (SND_RESOURCE) or a file, always in the background;
// a new clip cuts off the one playing. An empty name stops the clip. Without a sound device
// the call behaves the same, silently.
bool PlaySound(const std::string& name, unsigned flags);

// Tests watch which clips the game starts through this seam.
using SoundObserver = std::function<void(const std::string& name, unsigned flags)>;
void SetSoundObserver(SoundObserver observer);

} // namespace platform
