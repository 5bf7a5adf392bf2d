// SPDX-License-Identifier: GPL-3.0-or-later
#include "Smf.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace velmar::media {

namespace {

void putBigEndian(std::string& out, std::uint32_t value, int bytes) {
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8) {
        out.push_back(static_cast<char>((value >> shift) & 0xFF));
    }
}

void putVariableLength(std::string& out, std::uint32_t value) {
    char groups[5];
    int count = 0;
    do {
        groups[count++] = static_cast<char>(value & 0x7F);
        value >>= 7;
    } while (value != 0);
    while (count > 1) {
        out.push_back(static_cast<char>(groups[--count] | 0x80));
    }
    out.push_back(groups[0]);
}

std::string metaEvent(int type, std::string_view data) {
    std::string bytes{'\xFF', static_cast<char>(type)};
    putVariableLength(bytes, static_cast<std::uint32_t>(data.size()));
    bytes.append(data);
    return bytes;
}

char byte(int value) {
    if (value < 0 || value > 255) {
        throw std::out_of_range("MIDI byte out of range");
    }
    return static_cast<char>(value);
}

} // namespace

Track::Track(std::string_view name) {
    add(0, 0, metaEvent(0x03, name));
}

Track::Track(std::string_view name, int channel, int program, int volume, int pan) : Track(name) {
    if (channel < 1 || channel > 16) {
        throw std::out_of_range("MIDI channel");
    }
    channel_ = channel;
    controller(0, 121, 0); // reset all controllers
    add(0, 1, std::string{byte(0xC0 + channel - 1), byte(program)});
    controller(0, 7, volume);
    controller(0, 10, pan);
    controller(0, 91, 40); // a little reverb
}

void Track::add(int tick, int order, std::string bytes) {
    if (tick < 0) {
        throw std::out_of_range("negative tick");
    }
    events_.push_back({tick, order, static_cast<int>(events_.size()), std::move(bytes)});
}

void Track::note(int tick, int length, int pitch, int velocity) {
    if (channel_ == 0 || length <= 0 || pitch < 0 || pitch > 127 || velocity < 1 ||
        velocity > 127) {
        throw std::invalid_argument("bad note");
    }
    const char status = byte(0x90 + channel_ - 1);
    add(tick, 2, std::string{status, byte(pitch), byte(velocity)});
    add(tick + length, 0, std::string{status, byte(pitch), '\0'});
}

void Track::controller(int tick, int number, int value) {
    add(tick, 1, std::string{byte(0xB0 + channel_ - 1), byte(number), byte(value)});
}

void Track::tempo(int tick, double quarterNotesPerMinute) {
    std::string data;
    putBigEndian(data, static_cast<std::uint32_t>(std::lround(60e6 / quarterNotesPerMinute)), 3);
    add(tick, 1, metaEvent(0x51, data));
}

void Track::timeSignature(int tick, int numerator, int denominatorPower) {
    add(tick, 1, metaEvent(0x58, std::string{byte(numerator), byte(denominatorPower), 24, 8}));
}

void Track::keySignature(int tick, int sharps, bool minor) {
    add(tick, 1, metaEvent(0x59, std::string{static_cast<char>(sharps), byte(minor ? 1 : 0)}));
}

int Track::endTick() const {
    int end = 0;
    for (const Event& event : events_) {
        end = std::max(end, event.tick);
    }
    return end;
}

std::string Track::chunk(int endTick) const {
    std::vector<const Event*> sorted;
    for (const Event& event : events_) {
        sorted.push_back(&event);
    }
    std::sort(sorted.begin(), sorted.end(), [](const Event* a, const Event* b) {
        if (a->tick != b->tick) {
            return a->tick < b->tick;
        }
        return a->order != b->order ? a->order < b->order : a->serial < b->serial;
    });
    std::string body;
    int now = 0;
    for (const Event* event : sorted) {
        putVariableLength(body, static_cast<std::uint32_t>(event->tick - now));
        body += event->bytes;
        now = event->tick;
    }
    putVariableLength(body, static_cast<std::uint32_t>(std::max(0, endTick - now)));
    body += metaEvent(0x2F, {});
    std::string out = "MTrk";
    putBigEndian(out, static_cast<std::uint32_t>(body.size()), 4);
    return out + body;
}

std::string smfFile(const std::vector<Track>& tracks) {
    int end = 0;
    for (const Track& track : tracks) {
        end = std::max(end, track.endTick());
    }
    std::string out = "MThd";
    putBigEndian(out, 6, 4);
    putBigEndian(out, 1, 2);
    putBigEndian(out, static_cast<std::uint32_t>(tracks.size()), 2);
    putBigEndian(out, kDivision, 2);
    for (const Track& track : tracks) {
        out += track.chunk(end);
    }
    return out;
}

} // namespace velmar::media
