// SPDX-License-Identifier: GPL-3.0-or-later
// Offline synthesis for the sound clips: a mono buffer, a few voices, and the WAVE encoder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velmar::media {

// xorshift32: the same noise on every machine and every run.
class Noise {
public:
    explicit Noise(std::uint32_t seed) : state_(seed) {}
    double next(); // uniform in [-1, 1)

private:
    std::uint32_t state_;
};

struct Partial {
    double ratio; // of the fundamental
    double amplitude;
    double decay; // per second; 0 holds
};

class Clip {
public:
    Clip(int sampleRate, double seconds);

    int rate() const { return rate_; }
    std::vector<double>& samples() { return samples_; }

    // A struck tone: partials above the fundamental, each fading on its own.
    void bell(double start, double length, double frequency, double gain,
              const std::vector<Partial>& partials);
    // A sustained brass-like tone: harmonics up to the rate's limit, soft attack, slight vibrato.
    void brass(double start, double length, double frequency, double gain);
    // A tone that glides from one frequency to another, in a rounded square wave.
    void glide(double start, double length, double from, double to, double gain);
    // Noise through a band-pass that sweeps from one centre to another, shaped by a swell.
    void sweptNoise(double start, double length, double fromHz, double toHz, double gain,
                    Noise& noise);

    // Scales the peak to peakLevel (full scale 1) and fades the last fadeSeconds to silence.
    void finish(double peakLevel, double fadeSeconds);

    std::string wave(int bitsPerSample) const;

private:
    double& at(int index);

    int rate_;
    std::vector<double> samples_;
};

} // namespace velmar::media
