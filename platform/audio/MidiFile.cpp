// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/audio/MidiFile.h"

#include <algorithm>

namespace platform {

namespace {

struct TickEvent {
    std::uint64_t tick = 0;
    std::uint32_t tempo = 0; // microseconds per quarter note; 0 for a channel message
    MidiEvent message;
};

class Reader {
public:
    Reader(const QByteArray& d, qsizetype at, qsizetype end) : d_(d), at_(at), end_(end) {}
    bool more() const { return at_ < end_; }
    bool ok() const { return ok_; }
    std::uint8_t byte() {
        if (at_ >= end_) {
            ok_ = false;
            return 0;
        }
        return std::uint8_t(d_[at_++]);
    }
    std::uint32_t number(int bytes) {
        std::uint32_t v = 0;
        for (int i = 0; i < bytes; ++i)
            v = (v << 8) | byte();
        return v;
    }
    std::uint32_t varLen() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            const std::uint8_t b = byte();
            v = (v << 7) | (b & 0x7F);
            if (!(b & 0x80))
                return v;
        }
        ok_ = false;
        return v;
    }
    void skip(std::uint32_t n) {
        if (qsizetype(n) > end_ - at_)
            ok_ = false;
        at_ = std::min(end_, at_ + qsizetype(n));
    }

private:
    const QByteArray& d_;
    qsizetype at_;
    qsizetype end_;
    bool ok_ = true;
};

int dataBytes(std::uint8_t status) {
    const int kind = status >> 4;
    return (kind == 0xC || kind == 0xD) ? 1 : 2;
}

// Reads one track's events into `out`; returns false on a malformed track.
bool readTrack(Reader r, std::vector<TickEvent>& out) {
    std::uint64_t tick = 0;
    std::uint8_t running = 0;
    while (r.more() && r.ok()) {
        tick += r.varLen();
        std::uint8_t status = r.byte();
        if (status == 0xFF) {
            const std::uint8_t type = r.byte();
            const std::uint32_t len = r.varLen();
            if (type == 0x2F) {
                out.push_back({tick, 0, {}}); // only sets the song's length
                return r.ok();
            }
            if (type == 0x51 && len == 3)
                out.push_back({tick, std::max(1u, r.number(3)), {}});
            else
                r.skip(len);
            continue;
        }
        if (status == 0xF0 || status == 0xF7) {
            r.skip(r.varLen());
            continue;
        }
        std::uint8_t first;
        if (status & 0x80) {
            running = status;
            first = r.byte();
        } else {
            if (!running)
                return false;
            first = status;
            status = running;
        }
        const std::uint8_t second = dataBytes(status) == 2 ? r.byte() : 0;
        out.push_back(
            {tick, 0, {0, status, std::uint8_t(first & 0x7F), std::uint8_t(second & 0x7F)}});
    }
    return r.ok();
}

} // namespace

std::optional<MidiSong> ParseMidi(const QByteArray& d, int rate) {
    if (d.size() < 14 || !d.startsWith("MThd"))
        return std::nullopt;
    Reader header(d, 4, d.size());
    const std::uint32_t headerLen = header.number(4);
    const std::uint32_t format = header.number(2);
    const std::uint32_t tracks = header.number(2);
    const std::uint32_t division = header.number(2);
    if (headerLen < 6 || format > 1 || tracks == 0 || division == 0 || (division & 0x8000))
        return std::nullopt;
    std::vector<TickEvent> all;
    qsizetype at = 8 + qsizetype(headerLen);
    for (std::uint32_t t = 0; t < tracks; ++t) {
        if (at + 8 > d.size() || d.mid(at, 4) != "MTrk")
            return std::nullopt;
        const qsizetype len = qsizetype(Reader(d, at + 4, at + 8).number(4));
        if (len > d.size() - at - 8 || !readTrack(Reader(d, at + 8, at + 8 + len), all))
            return std::nullopt;
        at += 8 + len;
    }
    std::stable_sort(all.begin(), all.end(),
                     [](const TickEvent& a, const TickEvent& b) { return a.tick < b.tick; });
    MidiSong song;
    double tempo = 500000, seconds = 0;
    std::uint64_t lastTick = 0;
    for (const TickEvent& e : all) {
        seconds += double(e.tick - lastTick) * tempo / 1e6 / division;
        lastTick = e.tick;
        const auto frame = std::uint64_t(seconds * rate);
        song.lengthFrames = std::max(song.lengthFrames, frame);
        if (e.tempo)
            tempo = e.tempo;
        else if (e.message.status) {
            song.events.push_back(e.message);
            song.events.back().frame = frame;
        }
    }
    return song;
}

} // namespace platform
