// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/audio/SoundfontWriter.h"

#include <algorithm>
#include <set>

namespace sf2_writer {

void put(Bytes& b, std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i)
        b.push_back(std::uint8_t((v >> (8 * i)) & 0xFF));
}
void putText(Bytes& b, std::string_view s, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i)
        b.push_back(i < s.size() ? std::uint8_t(s[i]) : 0);
}
void set16(Bytes& b, std::size_t at, std::uint32_t v) {
    b[at] = std::uint8_t(v & 0xFF);
    b[at + 1] = std::uint8_t((v >> 8) & 0xFF);
}

Bytes serialize(const Chunk& c) {
    Bytes b(c.id.begin(), c.id.end());
    put(b, std::uint32_t(c.body.size()), 4);
    b.insert(b.end(), c.body.begin(), c.body.end());
    if (c.body.size() & 1)
        b.push_back(0);
    return b;
}

Chunk list(std::string_view type, const std::vector<Chunk>& subs) {
    Chunk c{"LIST", Bytes(type.begin(), type.end())};
    for (const Chunk& s : subs) {
        const Bytes b = serialize(s);
        c.body.insert(c.body.end(), b.begin(), b.end());
    }
    return c;
}

Bytes riff(const std::vector<Chunk>& top) {
    Chunk c{"RIFF", {'s', 'f', 'b', 'k'}};
    for (const Chunk& s : top) {
        const Bytes b = serialize(s);
        c.body.insert(c.body.end(), b.begin(), b.end());
    }
    return serialize(c);
}

// The header, bag, modulator and generator lists of presets or instruments.
template <typename Header, typename WriteHeader>
void zoneLists(const std::vector<Header>& headers, WriteHeader&& writeHeader,
               std::string_view terminal, Bytes& hdr, Bytes& bag, Bytes& mod, Bytes& gen) {
    int bags = 0, mods = 0, gens = 0;
    for (const Header& h : headers) {
        writeHeader(hdr, h, bags);
        for (const Zone& z : h.zones) {
            put(bag, std::uint32_t(gens), 2);
            put(bag, std::uint32_t(mods), 2);
            ++bags;
            for (const auto& g : z.gens) {
                put(gen, g[0], 2);
                put(gen, g[1], 2);
                ++gens;
            }
            for (const auto& m : z.mods) {
                for (std::uint16_t v : m)
                    put(mod, v, 2);
                ++mods;
            }
        }
    }
    Header end{};
    end.name = terminal;
    writeHeader(hdr, end, bags);
    put(bag, std::uint32_t(gens), 2);
    put(bag, std::uint32_t(mods), 2);
    mod.resize(mod.size() + 10, 0);
    gen.resize(gen.size() + 4, 0);
}

Parts parts(const Font& f) {
    Parts p;
    p.info = {{"ifil", {2, 0, 1, 0}},
              {"isng", {'E', 'M', 'U', '8', '0', '0', '0', 0}},
              {"INAM", {'T', 'i', 'n', 'y', 0}}};
    Bytes smpl;
    for (int i = 0; i < f.samples * kSampleFrames; ++i)
        put(smpl, std::uint32_t((i % kSampleFrames) < 64 ? (i * 37) % 4000 : 0), 2);
    p.sdta = {{"smpl", smpl}};
    if (f.sm24) {
        Bytes low;
        for (int i = 0; i < f.samples * kSampleFrames; ++i)
            low.push_back(std::uint8_t(i * 11));
        p.sdta.push_back({"sm24", low});
    }
    Bytes phdr, pbag, pmod, pgen, inst, ibag, imod, igen, shdr;
    zoneLists(
        f.presets,
        [](Bytes& b, const Preset& pr, int bag) {
            putText(b, pr.name, 20);
            put(b, std::uint32_t(pr.program), 2);
            put(b, std::uint32_t(pr.bank), 2);
            put(b, std::uint32_t(bag), 2);
            b.resize(b.size() + 12, 0); // library, genre, morphology
        },
        "EOP", phdr, pbag, pmod, pgen);
    zoneLists(
        f.instruments,
        [](Bytes& b, const Instrument& in, int bag) {
            putText(b, in.name, 20);
            put(b, std::uint32_t(bag), 2);
        },
        "EOI", inst, ibag, imod, igen);
    std::vector<int> headers = f.headers.value_or(std::vector<int>());
    if (!f.headers) {
        for (int i = 0; i < f.samples; ++i)
            headers.push_back(i);
    }
    headers.push_back(-1);
    for (int i : headers) {
        const bool end = i < 0;
        const std::uint32_t start = std::uint32_t(i * kSampleFrames);
        putText(shdr, end ? "EOS" : "S" + std::to_string(i), 20);
        for (std::uint32_t v : {start, start + 64, start + 8, start + 56})
            put(shdr, end ? 0 : v, 4);
        put(shdr, end ? 0 : 22050, 4);
        put(shdr, end ? 0 : 60, 1);
        put(shdr, 0, 1);
        const auto stereo = f.stereo.find(i);
        const auto link = stereo == f.stereo.end()
                              ? headers.end()
                              : std::find(headers.begin(), headers.end(), stereo->second[1]);
        put(shdr, link == headers.end() ? 0 : std::uint32_t(link - headers.begin()), 2);
        put(shdr, end ? 0 : stereo == f.stereo.end() ? 1 : std::uint32_t(stereo->second[0]), 2);
    }
    p.pdta = {{"phdr", phdr}, {"pbag", pbag}, {"pmod", pmod}, {"pgen", pgen}, {"inst", inst},
              {"ibag", ibag}, {"imod", imod}, {"igen", igen}, {"shdr", shdr}};
    return p;
}

std::vector<Chunk> lists(const Parts& p) {
    return {list("INFO", p.info), list("sdta", p.sdta), list("pdta", p.pdta)};
}

Bytes write(const Font& f) {
    return riff(lists(parts(f)));
}

Bytes writeWith(const Font& f, const std::vector<Chunk>& extra) {
    std::vector<Chunk> top = lists(parts(f));
    top.insert(top.end(), extra.begin(), extra.end());
    return riff(top);
}

Bytes& body(std::vector<Chunk>& chunks, std::string_view id) {
    return std::find_if(chunks.begin(), chunks.end(), [&](const Chunk& c) { return c.id == id; })
        ->body;
}

Font baseFont() {
    Font f;
    f.instruments = {
        {"Piano", {{{{43, 0x3C00}, {53, 0}}, {}}, {{{43, 0x7F3D}, {53, 1}}, {}}}},
        {"Drums", {{{{8, 9000}}, {}}, {{{54, 0}, {53, 2}}, {}}, {{{53, 0}}, {}}}},
        {"Strings", {{{{17, 100}, {53, 1}}, {{0x0081, 17, 500, 0, 0}}}}},
    };
    f.presets = {
        {"Grand Piano", 0, 0, {{{{41, 0}}, {}}}},
        {"Strings",
         48,
         0,
         {{{{48, 20}}, {{0x0502, 48, 960, 0, 0}}}, {{{43, 0x7F00}, {41, 2}}, {}}}},
        {"Standard", 0, 128, {{{{43, 0x3C24}, {41, 1}}, {}}, {{{43, 0x7F3D}, {41, 1}}, {}}}},
    };
    return f;
}

void keepNamedSamples(Font& f) {
    std::set<int> named;
    for (const Instrument& in : f.instruments) {
        for (const Zone& z : in.zones) {
            for (const auto& g : z.gens) {
                if (g[0] == 53)
                    named.insert(g[1]);
            }
        }
    }
    for (std::size_t before = 0; before != named.size();) {
        before = named.size();
        for (int i : std::set<int>(named)) {
            if (const auto stereo = f.stereo.find(i); stereo != f.stereo.end())
                named.insert(stereo->second[1]);
        }
    }
    f.headers = std::vector<int>(named.begin(), named.end());
    for (Instrument& in : f.instruments) {
        for (Zone& z : in.zones) {
            for (auto& g : z.gens) {
                if (g[0] == 53)
                    g[1] = std::uint16_t(std::distance(named.begin(), named.find(g[1])));
            }
        }
    }
}

Font expectedFont(const Font& base, const std::vector<int>& presets,
                  const std::vector<int>& instruments) {
    Font f;
    f.samples = base.samples;
    f.sm24 = base.sm24;
    f.stereo = base.stereo;
    for (int i : instruments)
        f.instruments.push_back(base.instruments[std::size_t(i)]);
    keepNamedSamples(f);
    for (int i : presets) {
        Preset p = base.presets[std::size_t(i)];
        for (Zone& z : p.zones) {
            for (auto& g : z.gens) {
                if (g[0] == 41)
                    g[1] = std::uint16_t(std::find(instruments.begin(), instruments.end(), g[1]) -
                                         instruments.begin());
            }
        }
        f.presets.push_back(p);
    }
    return f;
}

Keys keysOf(std::initializer_list<int> keys) {
    Keys k;
    for (int key : keys)
        k.set(std::size_t(key));
    return k;
}

Keys keysBetween(int lo, int hi) {
    Keys k;
    for (int key = lo; key <= hi; ++key)
        k.set(std::size_t(key));
    return k;
}

Font keyedFont() {
    Font f;
    f.samples = 8;
    // Left and right halves of two stereo pairs; the second pair's left half is named only by
    // the zones that take it for keys up to 59.
    f.stereo = {{1, {4, 2}}, {2, {2, 1}}, {5, {4, 6}}, {6, {2, 5}}};
    f.instruments = {
        {"Kit",
         {{{{8, 9000}}, {}},
          {{{43, range(35, 35)}, {53, 0}}, {}},
          {{{43, range(38, 38)}, {53, 1}}, {}},
          {{{43, range(38, 38)}, {53, 2}}, {}}, // the other side of a stereo pair
          {{{43, range(42, 42)}, {53, 3}}, {}},
          {{{43, range(46, 46)}, {53, 4}}, {}}}},
        {"Violins",
         {{{{17, 100}}, {{0x0081, 17, 500, 0, 0}}},
          {{{43, range(0, 59)}, {53, 5}}, {}},
          {{{43, range(60, 71)}, {53, 6}}, {{0x0502, 48, 960, 0, 0}}},
          {{{43, range(72, 127)}, {53, 7}}, {}}}},
        {"Bells", {{{{43, range(0, 63)}, {53, 6}}, {}}, {{{43, range(64, 127)}, {53, 7}}, {}}}},
        {"Odd",
         {{{{43, range(10, 20)}, {53, 0}}, {}},
          {{{8, 500}}, {}},                             // global, though not first
          {{{8, 100}, {43, range(0, 0)}, {53, 1}}, {}}, // a range not first counts for nothing
          {{{43, range(90, 80)}, {53, 2}}, {}},         // an empty range
          {{{43, range(100, 255)}, {53, 3}}, {}}}},     // past the last key
    };
    f.presets = {
        {"Orchestra Kit",
         48,
         128,
         {{{{16, 600}}, {}},
          {{{43, range(35, 46)}, {41, 0}}, {}},
          {{{43, range(60, 72)}, {41, 2}}, {}}}},
        {"Strings", // two velocity layers over the whole keyboard
         48,
         0,
         {{{{48, 20}}, {{0x0502, 48, 960, 0, 0}}},
          {{{44, range(0, 90)}, {41, 1}}, {}},
          {{{44, range(91, 127)}, {41, 1}}, {}}}},
        {"Pad",
         90,
         0,
         {{{{43, range(0, 59)}, {41, 2}}, {}}, {{{43, range(60, 127)}, {41, 1}}, {}}}},
        {"Celesta", 8, 0, {{{{41, 2}}, {}}}},
        {"Standard", 0, 128, {{{{43, range(0, 127)}, {41, 0}}, {}}}},
        // The synthesizer ignores what follows a zone's instrument, here a second one.
        {"Odd", 100, 0, {{{{41, 3}}, {}}, {{{41, 3}, {41, 0}}, {}}}},
    };
    return f;
}

Font expectedZones(const Font& base, const Kept& presets, const Kept& instruments) {
    Font cut = base;
    std::vector<int> presetIndices, instrumentIndices;
    const auto keep = [](std::vector<Zone>& zones, const std::vector<int>& which) {
        std::vector<Zone> kept;
        for (int z : which)
            kept.push_back(zones[std::size_t(z)]);
        zones = kept;
    };
    for (const auto& [p, zones] : presets) {
        keep(cut.presets[std::size_t(p)].zones, zones);
        presetIndices.push_back(p);
    }
    for (const auto& [i, zones] : instruments) {
        keep(cut.instruments[std::size_t(i)].zones, zones);
        instrumentIndices.push_back(i);
    }
    return expectedFont(cut, presetIndices, instrumentIndices);
}

} // namespace sf2_writer
