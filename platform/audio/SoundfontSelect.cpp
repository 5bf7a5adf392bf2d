// SPDX-License-Identifier: GPL-3.0-or-later
// A view of the font holding only the presets a melody plays and the zones its keys reach.
#include "platform/audio/SoundfontFormat.h"

namespace platform {

using namespace sf2;

namespace {

using Zones = std::map<std::size_t, std::vector<std::size_t>>;

// The zones of the chosen presets, and of the instruments they lead to, that can sound for the
// keys struck; the kept instruments renumbered in file order.
struct Selection {
    Zones presetZones;
    Zones instrumentZones;
    std::map<std::size_t, std::size_t> instruments; // old index to new
    std::map<std::size_t, std::size_t> samples;     // old index to new
};

class ZoneSelector {
public:
    explicit ZoneSelector(const SoundfontIndex::Impl& d) : d_(d) {}

    Selection Select(const std::map<std::size_t, Keys>& chosen) {
        gatherPresetZones(chosen);
        keepSoundingZones();
        std::size_t next = 0;
        for (auto& [old, renumbered] : s_.instruments)
            renumbered = next++;
        for (const auto& [old, renumbered] : s_.instruments)
            zonesOf(old);
        keepSamples();
        next = 0;
        for (auto& [old, renumbered] : s_.samples)
            renumbered = next++;
        return std::move(s_);
    }

private:
    // Each instrument gathers the keys that reach it through the zones kept.
    void gatherPresetZones(const std::map<std::size_t, Keys>& chosen) {
        for (const auto& [p, keys] : chosen) {
            std::vector<std::size_t>& zones = s_.presetZones[p];
            for (std::size_t z = d_.bagOf(kPhdr, p); z < d_.bagOf(kPhdr, p + 1); ++z) {
                const ZoneSense sense = d_.zoneOf(kPbag, kPgen, kGenInstrument, z);
                const Keys reach = keys & sense.range;
                if (sense.index && reach.none())
                    continue;
                zones.push_back(z);
                if (sense.index)
                    reaching_[*sense.index] |= reach;
            }
        }
    }

    // Of an instrument, the zones those keys can sound.
    const std::vector<std::size_t>& zonesOf(std::size_t i) {
        const auto [at, added] = s_.instrumentZones.try_emplace(i);
        if (added) {
            const auto keys = reaching_.find(i);
            for (std::size_t z = d_.bagOf(kInst, i); z < d_.bagOf(kInst, i + 1); ++z) {
                const ZoneSense sense = d_.zoneOf(kIbag, kIgen, kGenSampleId, z);
                if (!sense.index || (keys != reaching_.end() && (keys->second & sense.range).any()))
                    at->second.push_back(z);
            }
        }
        return at->second;
    }

    bool sounds(std::size_t i) {
        const std::vector<std::size_t>& zones = zonesOf(i);
        return std::any_of(zones.begin(), zones.end(), [&](std::size_t z) {
            return d_.zoneOf(kIbag, kIgen, kGenSampleId, z).index.has_value();
        });
    }

    // With none of its samples left, the preset zones leading to an instrument sound nothing
    // either.
    void keepSoundingZones() {
        for (auto& [p, zones] : s_.presetZones) {
            std::erase_if(zones, [&](std::size_t z) {
                const ZoneSense sense = d_.zoneOf(kPbag, kPgen, kGenInstrument, z);
                return sense.index && !sounds(*sense.index);
            });
            // Every instrument generator of a kept zone is renumbered, also those the
            // synthesizer ignores after the first.
            for (std::size_t z : zones) {
                for (std::size_t g = d_.genOf(kPbag, z); g < d_.genOf(kPbag, z + 1); ++g) {
                    const std::uint8_t* r = d_.record(kPgen, g);
                    if (u16(r) == kGenInstrument)
                        s_.instruments.emplace(u16(r + 2), 0);
                }
            }
        }
    }

    // The samples the kept instrument zones name (every sample generator, as for instruments),
    // and the other half of each stereo pair among them. The synthesizer makes an object of
    // every sample header of a font it loads, some 0.3 MiB for a General MIDI font.
    void keepSamples() {
        std::vector<std::size_t> pending;
        for (const auto& [i, zones] : s_.instrumentZones) {
            if (!s_.instruments.count(i))
                continue;
            for (std::size_t z : zones) {
                for (std::size_t g = d_.genOf(kIbag, z); g < d_.genOf(kIbag, z + 1); ++g) {
                    const std::uint8_t* r = d_.record(kIgen, g);
                    if (u16(r) == kGenSampleId && s_.samples.emplace(u16(r + 2), 0).second)
                        pending.push_back(u16(r + 2));
                }
            }
        }
        while (!pending.empty()) {
            const std::uint8_t* h = d_.record(kShdr, pending.back());
            pending.pop_back();
            const std::size_t link = u16(h + kSampleLinkField);
            if ((u16(h + kSampleTypeField) & kStereoTypes) && link + 1 < d_.count[kShdr] &&
                s_.samples.emplace(link, 0).second)
                pending.push_back(link);
        }
    }

    const SoundfontIndex::Impl& d_;
    Selection s_;
    std::map<std::size_t, Keys> reaching_;
};

using Lists = std::array<std::vector<std::uint8_t>, kListCount>;

// The closing record of a header list, with its empty bag, modulator and generator.
void appendTerminal(Lists& lists, List headers, List bags, List mods, List gens,
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
}

// The kept sample headers in file order, stereo links renumbered, and the closing one.
void copySamples(const SoundfontIndex::Impl& d, const Selection& selection,
                 std::vector<std::uint8_t>& out) {
    const auto append = [&](std::size_t i) {
        const std::uint8_t* h = d.record(kShdr, i);
        out.insert(out.end(), h, h + kRecordSizes[kShdr]);
    };
    for (const auto& [old, renumbered] : selection.samples) {
        append(old);
        const auto link = selection.samples.find(u16(d.record(kShdr, old) + kSampleLinkField));
        if (link != selection.samples.end()) {
            std::uint8_t* field = out.data() + out.size() - kRecordSizes[kShdr] + kSampleLinkField;
            field[0] = std::uint8_t(link->second & 0xFF);
            field[1] = std::uint8_t(link->second >> 8);
        }
    }
    append(d.count[kShdr] - 1);
}

Lists listsOf(const SoundfontIndex::Impl& d, Selection& selection) {
    Lists lists;
    for (const auto& [p, zones] : selection.presetZones)
        d.copyZones(kPhdr, p, zones, kPbag, kPmod, kPgen, lists, selection.instruments);
    for (const auto& [old, renumbered] : selection.instruments)
        d.copyZones(kInst, old, selection.instrumentZones.at(old), kIbag, kImod, kIgen, lists,
                    selection.samples);
    appendTerminal(lists, kPhdr, kPbag, kPmod, kPgen, "EOP");
    appendTerminal(lists, kInst, kIbag, kImod, kIgen, "EOI");
    copySamples(d, selection, lists[kShdr]);
    return lists;
}

std::vector<std::uint8_t> pdtaChunk(const Lists& lists) {
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
    return pdta;
}

} // namespace

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
    Selection selection = ZoneSelector(d).Select(chosen);

    SoundfontView view;
    view.segments.push_back({12, 0, {}});
    for (const Impl::Range& r : {d.info, d.sdta}) {
        view.segments.push_back({r.size, r.offset, {}});
        if (r.size & 1)
            view.segments.push_back({1, 0, {0}});
    }
    std::vector<std::uint8_t> pdta = pdtaChunk(listsOf(d, selection));
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
