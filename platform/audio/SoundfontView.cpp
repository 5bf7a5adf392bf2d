// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/audio/SoundfontView.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <cstring>
#include <map>
#include <string_view>

namespace platform {

namespace {

using ReadFile = std::function<bool(std::uint64_t, std::uint64_t, void*)>;

// The preset data of a General MIDI font is a few hundred kilobytes; anything claiming more
// than this is not read at all.
constexpr std::uint64_t kMaxPdta = 64u << 20;

using Keys = std::bitset<128>;

constexpr std::uint16_t kGenInstrument = 41;
constexpr std::uint16_t kGenKeyRange = 43;
constexpr std::uint16_t kGenSampleId = 53;

// The nine lists of "pdta", in the order a file stores them and the synthesizer reads them.
enum List { kPhdr, kPbag, kPmod, kPgen, kInst, kIbag, kImod, kIgen, kShdr, kListCount };
constexpr std::array<std::string_view, kListCount> kListIds = {
    "phdr", "pbag", "pmod", "pgen", "inst", "ibag", "imod", "igen", "shdr"};
constexpr std::array<std::size_t, kListCount> kRecordSizes = {38, 4, 10, 4, 22, 4, 10, 4, 46};

std::uint16_t u16(const std::uint8_t* p) {
    return std::uint16_t(p[0] | (p[1] << 8));
}
std::uint32_t u32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(std::uint8_t(v & 0xFF));
    out.push_back(std::uint8_t((v >> 8) & 0xFF));
}
void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}
void putId(std::vector<std::uint8_t>& out, std::string_view id) {
    out.insert(out.end(), id.begin(), id.end());
}

bool isId(const std::uint8_t* p, std::string_view id) {
    return std::memcmp(p, id.data(), 4) == 0;
}

// Walks the chunks between `begin` and `end`, each padded to an even size, calling
// visit(id, body offset, body size). False when a header or a padded body leaves the range.
template <typename ReadBytes, typename Visit>
bool walkChunks(std::uint64_t begin, std::uint64_t end, ReadBytes&& readBytes, Visit&& visit) {
    std::uint64_t pos = begin;
    while (pos < end) {
        std::uint8_t header[8];
        if (end - pos < 8 || !readBytes(pos, 8, header))
            return false;
        const std::uint64_t size = u32(header + 4);
        const std::uint64_t padded = size + (size & 1);
        if (padded > end - pos - 8)
            return false;
        if (!visit(header, pos + 8, size))
            return false;
        pos += 8 + padded;
    }
    return true;
}

Keys keysBetween(unsigned lo, unsigned hi) {
    Keys keys;
    for (unsigned key = lo; key <= std::min(hi, 127u); ++key)
        keys.set(key);
    return keys;
}

// A zone as the synthesizer reads it: a key range counts only as the zone's first generator,
// and the first instrument (or sample) generator ends the zone; a zone without one is a global
// zone, moved to the front or dropped, wherever it stands.
struct ZoneSense {
    std::optional<std::size_t> index;
    Keys range = Keys().set();
};

} // namespace

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

struct SoundfontIndex::Impl {
    struct Range {
        std::uint64_t offset = 0;
        std::uint64_t size = 0;
    };
    Range info; // whole "LIST" chunks, header included
    Range sdta;
    std::vector<std::uint8_t> pdta;               // the body of "pdta"
    std::array<std::size_t, kListCount> at{};     // where each list's records start in pdta
    std::array<std::size_t, kListCount> count{};  // records, the terminal one included
    std::map<std::uint32_t, std::size_t> presets; // bank << 16 | program to its first header

    const std::uint8_t* record(List list, std::size_t i) const {
        return pdta.data() + at[list] + i * kRecordSizes[list];
    }
    // The first zone of header i (preset or instrument); header i + 1 closes the range.
    std::size_t bagOf(List headers, std::size_t i) const {
        return u16(record(headers, i) + (headers == kPhdr ? 24 : 20));
    }
    std::size_t genOf(List bags, std::size_t z) const { return u16(record(bags, z)); }
    std::size_t modOf(List bags, std::size_t z) const { return u16(record(bags, z) + 2); }

    ZoneSense zoneOf(List bags, List gens, std::uint16_t indexGen, std::size_t z) const;
    bool parsePdta();
    bool checkZones(List headers, List bags, List mods, List gens, std::uint16_t indexGen,
                    std::size_t indexLimit) const;
    void copyZones(List headers, std::size_t i, const std::vector<std::size_t>& zones, List bags,
                   List mods, List gens, std::array<std::vector<std::uint8_t>, kListCount>& out,
                   const std::map<std::size_t, std::size_t>* instruments) const;
};

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
// anew; with `instruments`, the instrument generators are renumbered through it.
void SoundfontIndex::Impl::copyZones(List headers, std::size_t i,
                                     const std::vector<std::size_t>& zones, List bags, List mods,
                                     List gens,
                                     std::array<std::vector<std::uint8_t>, kListCount>& out,
                                     const std::map<std::size_t, std::size_t>* instruments) const {
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
            if (instruments && u16(r) == kGenInstrument) {
                put16(out[gens], kGenInstrument);
                put16(out[gens], std::uint32_t(instruments->at(u16(r + 2))));
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

SoundfontView SoundfontIndex::Select(const std::vector<SoundfontPreset>& presets) const {
    if (!impl_)
        return {};
    const Impl& d = *impl_;
    const auto find = [&](int bank, int program) -> std::optional<std::size_t> {
        if (!Has(bank, program))
            return std::nullopt;
        return d.presets.at((std::uint32_t(bank) << 16) | std::uint32_t(program));
    };
    // In file order, each once, with the keys of all that resolve to it.
    std::map<std::size_t, Keys> chosen;
    for (const SoundfontPreset& want : presets) {
        std::optional<std::size_t> p = find(want.bank, want.program);
        if (!p)
            p = want.bank == 128 ? find(128, 0) : find(0, want.program);
        if (p)
            chosen[*p] |= want.keys;
    }

    // The preset zones that can sound for their preset's keys; each instrument gathers the
    // keys that reach it through them.
    std::map<std::size_t, std::vector<std::size_t>> presetZones;
    std::map<std::size_t, Keys> reaching;
    for (const auto& [p, keys] : chosen) {
        std::vector<std::size_t>& zones = presetZones[p];
        for (std::size_t z = d.bagOf(kPhdr, p); z < d.bagOf(kPhdr, p + 1); ++z) {
            const ZoneSense sense = d.zoneOf(kPbag, kPgen, kGenInstrument, z);
            const Keys reach = keys & sense.range;
            if (sense.index && reach.none())
                continue;
            zones.push_back(z);
            if (sense.index)
                reaching[*sense.index] |= reach;
        }
    }
    // Of an instrument, the zones those keys can sound; with none of its samples left, the
    // preset zones leading to it sound nothing either.
    std::map<std::size_t, std::vector<std::size_t>> instrumentZones;
    const auto zonesOf = [&](std::size_t i) -> const std::vector<std::size_t>& {
        const auto [at, added] = instrumentZones.try_emplace(i);
        if (added) {
            const auto keys = reaching.find(i);
            for (std::size_t z = d.bagOf(kInst, i); z < d.bagOf(kInst, i + 1); ++z) {
                const ZoneSense sense = d.zoneOf(kIbag, kIgen, kGenSampleId, z);
                if (!sense.index || (keys != reaching.end() && (keys->second & sense.range).any()))
                    at->second.push_back(z);
            }
        }
        return at->second;
    };
    const auto sounds = [&](std::size_t i) {
        const std::vector<std::size_t>& zones = zonesOf(i);
        return std::any_of(zones.begin(), zones.end(), [&](std::size_t z) {
            return d.zoneOf(kIbag, kIgen, kGenSampleId, z).index.has_value();
        });
    };
    std::map<std::size_t, std::size_t> instruments; // old index to new, in file order
    for (auto& [p, zones] : presetZones) {
        std::erase_if(zones, [&](std::size_t z) {
            const ZoneSense sense = d.zoneOf(kPbag, kPgen, kGenInstrument, z);
            return sense.index && !sounds(*sense.index);
        });
        // Every instrument generator of a kept zone is renumbered, also those the synthesizer
        // ignores after the first.
        for (std::size_t z : zones) {
            for (std::size_t g = d.genOf(kPbag, z); g < d.genOf(kPbag, z + 1); ++g) {
                const std::uint8_t* r = d.record(kPgen, g);
                if (u16(r) == kGenInstrument)
                    instruments.emplace(u16(r + 2), 0);
            }
        }
    }
    std::size_t next = 0;
    for (auto& [old, renumbered] : instruments)
        renumbered = next++;

    std::array<std::vector<std::uint8_t>, kListCount> lists;
    for (const auto& [p, zones] : presetZones)
        d.copyZones(kPhdr, p, zones, kPbag, kPmod, kPgen, lists, &instruments);
    for (const auto& [old, renumbered] : instruments)
        d.copyZones(kInst, old, zonesOf(old), kIbag, kImod, kIgen, lists, nullptr);
    const auto terminal = [&](List headers, List bags, List mods, List gens,
                              std::string_view name) {
        std::vector<std::uint8_t> h(kRecordSizes[headers], 0);
        std::copy(name.begin(), name.end(), h.begin());
        lists[headers].insert(lists[headers].end(), h.begin(), h.end());
        const std::size_t bag = lists[bags].size() / kRecordSizes[bags];
        const std::size_t bagField = headers == kPhdr ? 24 : 20;
        lists[headers][lists[headers].size() - h.size() + bagField] = std::uint8_t(bag & 0xFF);
        lists[headers][lists[headers].size() - h.size() + bagField + 1] = std::uint8_t(bag >> 8);
        put16(lists[bags], std::uint32_t(lists[gens].size() / kRecordSizes[gens]));
        put16(lists[bags], std::uint32_t(lists[mods].size() / kRecordSizes[mods]));
        lists[mods].resize(lists[mods].size() + kRecordSizes[mods], 0);
        lists[gens].resize(lists[gens].size() + kRecordSizes[gens], 0);
    };
    terminal(kPhdr, kPbag, kPmod, kPgen, "EOP");
    terminal(kInst, kIbag, kImod, kIgen, "EOI");
    const std::uint8_t* shdr = d.record(kShdr, 0);
    lists[kShdr].assign(shdr, shdr + d.count[kShdr] * kRecordSizes[kShdr]);

    std::vector<std::uint8_t> pdta;
    std::uint64_t pdtaBody = 4;
    for (const auto& l : lists)
        pdtaBody += 8 + l.size();
    putId(pdta, "LIST");
    put32(pdta, std::uint32_t(pdtaBody));
    putId(pdta, "pdta");
    for (int l = 0; l < kListCount; ++l) {
        putId(pdta, kListIds[l]);
        put32(pdta, std::uint32_t(lists[l].size()));
        pdta.insert(pdta.end(), lists[l].begin(), lists[l].end());
    }

    SoundfontView view;
    view.segments.push_back({12, 0, {}});
    for (const Impl::Range& r : {d.info, d.sdta}) {
        view.segments.push_back({r.size, r.offset, {}});
        if (r.size & 1)
            view.segments.push_back({1, 0, {0}});
    }
    view.segments.push_back({pdta.size(), 0, std::move(pdta)});
    const std::uint64_t riffSize = view.Size() - 8;
    if (riffSize > 0xFFFFFFFFu)
        return {};
    std::vector<std::uint8_t>& riff = view.segments.front().held;
    putId(riff, "RIFF");
    put32(riff, std::uint32_t(riffSize));
    putId(riff, "sfbk");
    return view;
}

} // namespace platform
