// SPDX-License-Identifier: GPL-3.0-or-later
#include "Synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace velmar::media {

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

void putLittleEndian(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

// Rises over attack seconds, then falls as a raised cosine to zero at the end.
double swell(double t, double length, double attack) {
    if (t < attack) {
        return t / attack;
    }
    const double rest = std::max(length - attack, 1e-9);
    return 0.5 * (1 + std::cos(std::numbers::pi * (t - attack) / rest));
}

} // namespace

double Noise::next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<double>(state_) / 2147483648.0 - 1.0;
}

Clip::Clip(int sampleRate, double seconds)
    : rate_(sampleRate), samples_(static_cast<std::size_t>(std::lround(sampleRate * seconds))) {}

double& Clip::at(int index) {
    static double sink = 0;
    if (index < 0 || index >= static_cast<int>(samples_.size())) {
        sink = 0;
        return sink;
    }
    return samples_[static_cast<std::size_t>(index)];
}

void Clip::bell(double start, double length, double frequency, double gain,
                const std::vector<Partial>& partials) {
    const int first = static_cast<int>(std::lround(start * rate_));
    const int count = static_cast<int>(std::lround(length * rate_));
    for (const Partial& p : partials) {
        if (frequency * p.ratio >= rate_ / 2.0) {
            continue;
        }
        for (int i = 0; i < count; ++i) {
            const double t = static_cast<double>(i) / rate_;
            const double attack = std::min(1.0, t / 0.002);
            at(first + i) += gain * p.amplitude * attack * std::exp(-p.decay * t) *
                             std::sin(kTwoPi * frequency * p.ratio * t);
        }
    }
}

void Clip::brass(double start, double length, double frequency, double gain) {
    const int first = static_cast<int>(std::lround(start * rate_));
    const int count = static_cast<int>(std::lround(length * rate_));
    double phase = 0;
    for (int i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / rate_;
        const double vibrato = 1 + 0.004 * std::sin(kTwoPi * 5.5 * t) * std::min(1.0, t / 0.3);
        phase += kTwoPi * frequency * vibrato / rate_;
        // The tone brightens as it opens, as a trumpet does.
        const double brightness = 0.35 + 0.45 * std::min(1.0, t / 0.06);
        double value = 0;
        double weight = 1;
        for (int k = 1; k * frequency < rate_ * 0.45; ++k) {
            value += weight * std::sin(k * phase);
            weight *= brightness;
        }
        at(first + i) +=
            gain * 0.5 * value * swell(t, length, 0.025) * (1 - 0.25 * std::min(1.0, t / length));
    }
}

void Clip::glide(double start, double length, double from, double to, double gain) {
    const int first = static_cast<int>(std::lround(start * rate_));
    const int count = static_cast<int>(std::lround(length * rate_));
    double phase = 0;
    for (int i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / rate_;
        const double frequency = from * std::pow(to / from, t / length);
        phase += kTwoPi * frequency / rate_;
        const double square = std::tanh(3 * std::sin(phase)) * 0.8 + 0.2 * std::sin(2 * phase);
        at(first + i) += gain * square * swell(t, length, 0.01);
    }
}

void Clip::sweptNoise(double start, double length, double fromHz, double toHz, double gain,
                      Noise& noise) {
    const int first = static_cast<int>(std::lround(start * rate_));
    const int count = static_cast<int>(std::lround(length * rate_));
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    for (int i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / rate_;
        const double centre = fromHz * std::pow(toHz / fromHz, t / length);
        // Band-pass biquad (constant peak gain), stable for any centre below half the rate.
        const double w = kTwoPi * centre / rate_;
        const double alpha = std::sin(w) / (2 * 1.5);
        const double a0 = 1 + alpha;
        const double x = noise.next();
        const double y = (alpha * x - alpha * x2 + 2 * std::cos(w) * y1 - (1 - alpha) * y2) / a0;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        at(first + i) += gain * y * swell(t, length, length * 0.3);
    }
}

void Clip::finish(double peakLevel, double fadeSeconds) {
    double peak = 0;
    for (double s : samples_) {
        peak = std::max(peak, std::abs(s));
    }
    if (peak == 0) {
        throw std::logic_error("silent clip");
    }
    const int fade = static_cast<int>(std::lround(fadeSeconds * rate_));
    const int size = static_cast<int>(samples_.size());
    for (int i = 0; i < size; ++i) {
        double& s = samples_[static_cast<std::size_t>(i)];
        s *= peakLevel / peak;
        if (i >= size - fade) {
            s *= static_cast<double>(size - 1 - i) / fade;
        }
    }
}

std::string Clip::wave(int bitsPerSample) const {
    if (bitsPerSample != 8 && bitsPerSample != 16) {
        throw std::invalid_argument("8 or 16 bits");
    }
    std::string data;
    for (double s : samples_) {
        const double clamped = std::clamp(s, -1.0, 1.0);
        if (bitsPerSample == 8) {
            data.push_back(static_cast<char>(std::lround(128 + 127 * clamped)));
        } else {
            putLittleEndian(data, static_cast<std::uint16_t>(std::lround(32767 * clamped)), 2);
        }
    }
    const int bytesPerSample = bitsPerSample / 8;
    std::string out = "RIFF";
    const std::uint32_t padded = static_cast<std::uint32_t>(data.size() + data.size() % 2);
    putLittleEndian(out, 4 + 8 + 16 + 8 + padded, 4);
    out += "WAVEfmt ";
    putLittleEndian(out, 16, 4);
    putLittleEndian(out, 1, 2); // PCM
    putLittleEndian(out, 1, 2); // mono
    putLittleEndian(out, static_cast<std::uint32_t>(rate_), 4);
    putLittleEndian(out, static_cast<std::uint32_t>(rate_ * bytesPerSample), 4);
    putLittleEndian(out, static_cast<std::uint32_t>(bytesPerSample), 2);
    putLittleEndian(out, static_cast<std::uint32_t>(bitsPerSample), 2);
    out += "data";
    putLittleEndian(out, static_cast<std::uint32_t>(data.size()), 4);
    out += data;
    if (data.size() % 2 != 0) {
        out.push_back('\0'); // chunks are word-aligned
    }
    return out;
}

} // namespace velmar::media
