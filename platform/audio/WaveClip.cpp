// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/audio/WaveClip.h"

#include <cmath>
#include <cstdint>
#include <numbers>

namespace platform {

namespace {

struct Format {
    int channels = 0;
    int rate = 0;
    int bits = 0;
};

std::uint32_t le(const QByteArray& d, qsizetype at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | std::uint8_t(d[at + i]);
    return v;
}

// One sample of the interleaved PCM data, as -1..1.
float sampleAt(const char* p, int bits) {
    if (bits == 8)
        return (float(std::uint8_t(*p)) - 128.0f) / 128.0f;
    auto v = std::int16_t(std::uint16_t(std::uint8_t(p[0]) | (std::uint8_t(p[1]) << 8)));
    return float(v) / 32768.0f;
}

std::vector<float> toMono(const char* data, qsizetype bytes, const Format& f) {
    const int frameBytes = f.channels * f.bits / 8;
    std::vector<float> mono(std::size_t(bytes / frameBytes));
    for (std::size_t i = 0; i < mono.size(); ++i) {
        float sum = 0;
        for (int c = 0; c < f.channels; ++c)
            sum += sampleAt(data + qsizetype(i) * frameBytes + c * f.bits / 8, f.bits);
        mono[i] = sum / float(f.channels);
    }
    return mono;
}

// Linear interpolation is plenty for short effects recorded at 11 and 22 kHz.
std::vector<float> resample(const std::vector<float>& in, int from, int to) {
    if (in.empty() || from == to)
        return in;
    const auto n = std::size_t(double(in.size()) * to / from);
    std::vector<float> out(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double pos = double(i) * from / to;
        const auto k = std::size_t(pos);
        const float a = in[std::min(k, in.size() - 1)];
        const float b = in[std::min(k + 1, in.size() - 1)];
        out[i] = a + float(pos - double(k)) * (b - a);
    }
    return out;
}

} // namespace

std::optional<WaveClip> ConvertWave(const QByteArray& d, int rate) {
    if (d.size() < 12 || !d.startsWith("RIFF") || d.mid(8, 4) != "WAVE")
        return std::nullopt;
    Format f;
    for (qsizetype at = 12; at + 8 <= d.size();) {
        const QByteArray id = d.mid(at, 4);
        const qsizetype size = qsizetype(le(d, at + 4, 4));
        const qsizetype body = at + 8;
        if (size < 0 || body + size > d.size())
            return std::nullopt;
        if (id == "fmt " && size >= 16) {
            if (le(d, body, 2) != 1) // only uncompressed PCM
                return std::nullopt;
            f = {int(le(d, body + 2, 2)), int(le(d, body + 4, 4)), int(le(d, body + 14, 2))};
        } else if (id == "data") {
            if ((f.bits != 8 && f.bits != 16) || f.channels < 1 || f.channels > 2 ||
                f.rate < 1000 || f.rate > 192000)
                return std::nullopt;
            return WaveClip{resample(toMono(d.constData() + body, size, f), f.rate, rate)};
        }
        at = body + size + (size & 1);
    }
    return std::nullopt;
}

WaveClip DefaultBeep(int rate) {
    // 0.15 s of 880 Hz with short ramps, so it does not click.
    const int n = rate * 15 / 100;
    const int ramp = rate / 200;
    WaveClip beep;
    beep.samples.resize(std::size_t(n));
    for (int i = 0; i < n; ++i) {
        const float edge = float(std::min({i, n - 1 - i, ramp})) / float(ramp);
        beep.samples[std::size_t(i)] =
            0.4f * edge * float(std::sin(2 * std::numbers::pi * 880.0 * i / rate));
    }
    return beep;
}

} // namespace platform
