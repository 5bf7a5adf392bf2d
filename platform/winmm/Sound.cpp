// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/winmm/Sound.h"

#include "platform/audio/AudioEngine.h"
#include "platform/files/Resources.h"

#include <QFile>

namespace platform {

namespace {

SoundObserver& observer() {
    static SoundObserver current;
    return current;
}

QByteArray readClip(const std::string& name, unsigned flags) {
    if ((flags & SND_RESOURCE) == SND_RESOURCE)
        return FindResource("WAVE", name).value_or(QByteArray());
    QFile file(QString::fromStdString(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

void SetSoundObserver(SoundObserver o) {
    observer() = std::move(o);
}

bool PlaySound(const std::string& name, unsigned flags) {
    if (observer())
        observer()(name, flags);
    AudioEngine& engine = AudioEngine::Shared();
    if (name.empty()) {
        engine.StopClip();
        return true;
    }
    if ((flags & SND_NOSTOP) && engine.ClipPlaying())
        return false;
    const bool resource = (flags & SND_RESOURCE) == SND_RESOURCE;
    return engine.PlayClip((resource ? "WAVE/" : "FILE/") + name,
                           [&] { return readClip(name, flags); }, !(flags & SND_NODEFAULT));
}

} // namespace platform
