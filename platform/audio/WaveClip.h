// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <optional>
#include <vector>

namespace platform {

// A clip converted once to the engine's output: mono float samples at `rate` Hz.
struct WaveClip {
    std::vector<float> samples;
};

// Reads a RIFF WAVE file of uncompressed 8- or 16-bit PCM, mono or stereo, at any rate;
// anything else is no clip.
std::optional<WaveClip> ConvertWave(const QByteArray& file, int rate);

// The short beep played for a clip that cannot be found.
WaveClip DefaultBeep(int rate);

} // namespace platform
