// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/SoundEffects.h"

#include "platform/winmm/Sound.h"

namespace media {

void StartSound(const std::string& name) {
    platform::PlaySound(name, platform::SND_RESOURCE | platform::SND_ASYNC);
}

} // namespace media
