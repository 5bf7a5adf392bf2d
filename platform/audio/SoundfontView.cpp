// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/audio/SoundfontView.h"

#include "platform/audio/SoundfontFormat.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <cstring>
#include <map>
#include <string_view>

namespace platform {

using namespace sf2;

std::uint64_t SoundfontView::Size() const {
    std::uint64_t total = 0;
    for (const SoundfontSegment& s : segments)
        total += s.size;
    return total;
}

std::int64_t SoundfontView::Read(std::uint64_t offset, void* out, std::uint64_t count,
                                 const ReadFile& readFile) const {
    auto* dst = static_cast<std::uint8_t*>(out);
    std::uint64_t done = 0;
    std::uint64_t segStart = 0;
    for (const SoundfontSegment& s : segments) {
        if (done == count)
            break;
        const std::uint64_t segEnd = segStart + s.size;
        const std::uint64_t at = offset + done;
        if (at >= segStart && at < segEnd) {
            const std::uint64_t within = at - segStart;
            const std::uint64_t n = std::min(segEnd - at, count - done);
            if (!s.held.empty()) {
                const std::uint64_t have =
                    within < s.held.size() ? std::min<std::uint64_t>(n, s.held.size() - within) : 0;
                if (have > 0)
                    std::memcpy(dst + done, s.held.data() + within, have);
                std::memset(dst + done + have, 0, n - have);
            } else if (!readFile(s.fileOffset + within, n, dst + done)) {
                return -1;
            }
            done += n;
        }
        segStart = segEnd;
    }
    return std::int64_t(done);
}

ZoneSense SoundfontIndex::Impl::zoneOf(List bags, List gens, std::uint16_t indexGen,
                                       std::size_t z) const {
    ZoneSense sense;
    const std::size_t first = genOf(bags, z);
    for (std::size_t g = first; g < genOf(bags, z + 1); ++g) {
        const std::uint8_t* r = record(gens, g);
        if (g == first && u16(r) == kGenKeyRange)
            sense.range = keysBetween(r[2], r[3]);
        if (u16(r) == indexGen) {
            sense.index = u16(r + 2);
            break;
        }
    }
    return sense;
}

bool SoundfontIndex::Impl::parsePdta() {
    std::array<bool, kListCount> seen{};
    const auto readBytes = [this](std::uint64_t pos, std::uint64_t n, void* dst) {
        std::memcpy(dst, pdta.data() + pos, n);
        return true;
    };
    const auto visit = [&](const std::uint8_t* id, std::uint64_t body, std::uint64_t size) {
        for (int l = 0; l < kListCount; ++l) {
            if (!isId(id, kListIds[l]))
                continue;
            if (seen[l] || size % kRecordSizes[l] != 0)
                return false;
            seen[l] = true;
            at[l] = body;
            count[l] = size / kRecordSizes[l];
        }
        return true;
    };
    if (!walkChunks(0, pdta.size(), readBytes, visit))
        return false;
    if (!std::all_of(seen.begin(), seen.end(), [](bool s) { return s; }))
        return false;
    // Headers and bags end with a terminal record that closes the last range; a file may leave
    // out the terminal modulator and generator, as the synthesizer allows.
    if (count[kPhdr] < 1 || count[kPbag] < 1 || count[kInst] < 1 || count[kIbag] < 1 ||
        count[kShdr] < 1)
        return false;
    if (!checkZones(kInst, kIbag, kImod, kIgen, kGenSampleId, count[kShdr] - 1) ||
        !checkZones(kPhdr, kPbag, kPmod, kPgen, kGenInstrument, count[kInst] - 1))
        return false;
    for (std::size_t i = 0; i + 1 < count[kPhdr]; ++i) {
        const std::uint8_t* r = record(kPhdr, i);
        presets.emplace((std::uint32_t(u16(r + 22)) << 16) | u16(r + 20), i);
    }
    return true;
}

// Every header's zones lie within the bag list, every zone's generators and modulators within
// theirs, all in order; the generator naming an instrument or sample names one that exists.
bool SoundfontIndex::Impl::checkZones(List headers, List bags, List mods, List gens,
                                      std::uint16_t indexGen, std::size_t indexLimit) const {
    const std::size_t last = count[headers] - 1;
    for (std::size_t i = 0; i < last; ++i) {
        if (bagOf(headers, i + 1) < bagOf(headers, i))
            return false;
    }
    const std::size_t firstBag = bagOf(headers, 0);
    const std::size_t endBag = bagOf(headers, last);
    if (endBag >= count[bags])
        return false;
    for (std::size_t z = firstBag; z < endBag; ++z) {
        if (genOf(bags, z + 1) < genOf(bags, z) || modOf(bags, z + 1) < modOf(bags, z))
            return false;
    }
    if (genOf(bags, endBag) > count[gens] || modOf(bags, endBag) > count[mods])
        return false;
    for (std::size_t g = genOf(bags, firstBag); g < genOf(bags, endBag); ++g) {
        const std::uint8_t* r = record(gens, g);
        if (u16(r) == indexGen && u16(r + 2) >= indexLimit)
            return false;
    }
    return true;
}

// Appends header i with `zones` of its own, their generators and modulators, indices counted
// anew; the generators naming an instrument (of a preset) or a sample (of an instrument) are
// renumbered through `renumbered`.
void SoundfontIndex::Impl::copyZones(List headers, std::size_t i,
                                     const std::vector<std::size_t>& zones, List bags, List mods,
                                     List gens,
                                     std::array<std::vector<std::uint8_t>, kListCount>& out,
                                     const std::map<std::size_t, std::size_t>& renumbered) const {
    const std::uint16_t indexGen = headers == kPhdr ? kGenInstrument : kGenSampleId;
    const std::size_t bagField = headers == kPhdr ? 24 : 20;
    const std::uint8_t* h = record(headers, i);
    std::vector<std::uint8_t>& head = out[headers];
    head.insert(head.end(), h, h + kRecordSizes[headers]);
    const std::size_t newBag = out[bags].size() / kRecordSizes[bags];
    head[head.size() - kRecordSizes[headers] + bagField] = std::uint8_t(newBag & 0xFF);
    head[head.size() - kRecordSizes[headers] + bagField + 1] = std::uint8_t(newBag >> 8);
    for (std::size_t z : zones) {
        put16(out[bags], std::uint32_t(out[gens].size() / kRecordSizes[gens]));
        put16(out[bags], std::uint32_t(out[mods].size() / kRecordSizes[mods]));
        for (std::size_t g = genOf(bags, z); g < genOf(bags, z + 1); ++g) {
            const std::uint8_t* r = record(gens, g);
            if (u16(r) == indexGen) {
                put16(out[gens], indexGen);
                put16(out[gens], std::uint32_t(renumbered.at(u16(r + 2))));
            } else {
                out[gens].insert(out[gens].end(), r, r + kRecordSizes[gens]);
            }
        }
        const std::uint8_t* m = record(mods, modOf(bags, z));
        out[mods].insert(out[mods].end(), m,
                         m + (modOf(bags, z + 1) - modOf(bags, z)) * kRecordSizes[mods]);
    }
}

SoundfontIndex::SoundfontIndex() = default;
SoundfontIndex::SoundfontIndex(SoundfontIndex&&) noexcept = default;
SoundfontIndex& SoundfontIndex::operator=(SoundfontIndex&&) noexcept = default;
SoundfontIndex::~SoundfontIndex() = default;

std::optional<SoundfontIndex> SoundfontIndex::Read(std::uint64_t fileSize,
                                                   const ReadFile& readFile) {
    std::uint8_t header[12];
    if (fileSize < 12 || !readFile(0, 12, header))
        return std::nullopt;
    if (!isId(header, "RIFF") || !isId(header + 8, "sfbk"))
        return std::nullopt;
    const std::uint64_t riffEnd = 8 + std::uint64_t(u32(header + 4));
    if (riffEnd < 12 || riffEnd > fileSize)
        return std::nullopt;

    auto impl = std::make_unique<Impl>();
    bool haveInfo = false, haveSdta = false, havePdta = false;
    const auto visitTop = [&](const std::uint8_t* id, std::uint64_t body, std::uint64_t size) {
        std::uint8_t type[4];
        if (!isId(id, "LIST"))
            return true;
        if (size < 4 || !readFile(body, 4, type))
            return false;
        const Impl::Range whole{body - 8, size + 8};
        if (isId(type, "INFO")) {
            if (haveInfo)
                return false;
            haveInfo = true;
            impl->info = whole;
        } else if (isId(type, "sdta")) {
            if (haveSdta)
                return false;
            haveSdta = true;
            impl->sdta = whole;
            int smpl = 0, sm24 = 0;
            const auto visitSdta = [&](const std::uint8_t* sub, std::uint64_t, std::uint64_t) {
                smpl += isId(sub, "smpl");
                sm24 += isId(sub, "sm24");
                return true;
            };
            if (!walkChunks(body + 4, body + size, readFile, visitSdta) || smpl != 1 || sm24 > 1)
                return false;
        } else if (isId(type, "pdta")) {
            if (havePdta || size - 4 > kMaxPdta)
                return false;
            havePdta = true;
            impl->pdta.resize(size - 4);
            if (!impl->pdta.empty() && !readFile(body + 4, size - 4, impl->pdta.data()))
                return false;
        }
        return true;
    };
    if (!walkChunks(12, riffEnd, readFile, visitTop))
        return std::nullopt;
    if (!haveInfo || !haveSdta || !havePdta || !impl->parsePdta())
        return std::nullopt;
    SoundfontIndex index;
    index.impl_ = std::move(impl);
    return index;
}

bool SoundfontIndex::Has(int bank, int program) const {
    if (!impl_ || bank < 0 || bank > 0xFFFF || program < 0 || program > 0xFFFF)
        return false;
    return impl_->presets.count((std::uint32_t(bank) << 16) | std::uint32_t(program)) > 0;
}

} // namespace platform
