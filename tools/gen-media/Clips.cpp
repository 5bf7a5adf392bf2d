// SPDX-License-Identifier: GPL-3.0-or-later
// The five clips, each at the rate, sample size and length the game's design gives it.
#include "Media.h"
#include "Synth.h"

namespace velmar::media {

namespace {

constexpr double kPeak = 0.708; // -3 dBFS

// Pitches of the equal-tempered scale, A4 = 440 Hz.
constexpr double kC4 = 261.63, kE4 = 329.63, kF4 = 349.23, kG4 = 392.00, kA4 = 440.00, kC5 = 523.25,
                 kE5 = 659.26, kG5 = 783.99, kC6 = 1046.50, kE6 = 1318.51, kG6 = 1567.98;

} // namespace

// A new game: a tick and two rising chime strokes.
std::string clickWave() {
    Clip clip(11025, 0.78);
    Noise noise(0xC11C4u);
    clip.sweptNoise(0, 0.012, 3200, 2200, 0.8, noise);
    clip.bell(0.0, 0.78, kC6, 0.55, {{1, 1, 6}, {2, 0.3, 10}, {2.76, 0.12, 16}});
    clip.bell(0.07, 0.71, kG6, 0.5, {{1, 1, 5.5}, {2, 0.2, 11}});
    clip.finish(kPeak, 0.05);
    return clip.wave(8);
}

// A won round: trumpet call, then a held C major chord with glockenspiel sparkle and cymbal.
std::string finallyWave() {
    Clip clip(11025, 2.91);
    Noise noise(0xF1A11u);
    for (double at : {0.0, 0.13, 0.26}) {
        clip.brass(at, 0.12, kG4, 0.8);
    }
    clip.brass(0.39, 0.40, kC5, 0.9);
    clip.brass(0.81, 0.16, kE5, 0.8);
    for (double pitch : {kC4, kC5, kE5, kG5}) {
        clip.brass(1.0, 1.86, pitch, 0.55);
    }
    const std::vector<Partial> glockenspiel{{1, 1, 3}, {2.76, 0.2, 8}};
    clip.bell(1.00, 1.9, kC6, 0.25, glockenspiel);
    clip.bell(1.08, 1.8, kE6, 0.22, glockenspiel);
    clip.bell(1.16, 1.7, kG6, 0.2, glockenspiel);
    clip.sweptNoise(0.98, 1.6, 4500, 3000, 0.25, noise);
    clip.finish(kPeak, 0.2);
    return clip.wave(16);
}

// Time is up, or the window closes: four notes falling, the last one sagging.
std::string gameOverWave() {
    Clip clip(22050, 0.83);
    clip.glide(0.00, 0.16, kE5, kE5, 0.5);
    clip.glide(0.17, 0.16, kC5, kC5, 0.5);
    clip.glide(0.34, 0.16, kA4, kA4, 0.5);
    clip.glide(0.51, 0.32, kF4, kE4, 0.6);
    clip.bell(0.51, 0.32, kF4 / 2, 0.3, {{1, 1, 6}});
    clip.finish(kPeak, 0.04);
    return clip.wave(8);
}

// A menu key: one soft, round blip.
std::string keyWave() {
    Clip clip(22050, 0.30);
    clip.bell(0.0, 0.30, 987.77, 1.0, {{1, 1, 16}, {2, 0.12, 30}, {3, 0.04, 45}});
    clip.bell(0.0, 0.30, 493.88, 0.3, {{1, 1, 20}});
    clip.finish(kPeak, 0.03);
    return clip.wave(16);
}

// A tile: a short wooden scrape, then the knock of it landing.
std::string moveWave() {
    Clip clip(22050, 0.32);
    Noise noise(0x0A0Eu);
    clip.sweptNoise(0.0, 0.20, 700, 1500, 0.9, noise);
    clip.bell(0.19, 0.13, 610, 0.9, {{1, 1, 38}, {2.29, 0.45, 60}, {3.93, 0.25, 85}});
    clip.finish(kPeak, 0.02);
    return clip.wave(8);
}

} // namespace velmar::media
