// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Sound.h"

namespace platform {

namespace {

SoundObserver& observer() {
    static SoundObserver current;
    return current;
}

} // namespace

void SetSoundObserver(SoundObserver o) {
    observer() = std::move(o);
}

bool PlaySound(const std::string& name, unsigned flags) {
    if (observer())
        observer()(name, flags);
    return true;
}

} // namespace platform
