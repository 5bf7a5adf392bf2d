// SPDX-License-Identifier: GPL-3.0-or-later
// The soundfont view: small fonts written here are cut down to a few presets, and to the zones
// their keys reach, and compared byte for byte with the same font written with only those;
// malformed fonts give no index; the system's General MIDI font, seen through a view, plays in
// FluidSynth, loading samples only for the keys a melody strikes.
#include "platform/audio/SoundfontView.h"
#include "platform/audio/SoundfontWriter.h"
#include "platform/audio/Synth.h"
#include "platform/files/Resources.h"

#include <QFile>
#include <QTest>

#include <fluidsynth.h>

#include <algorithm>
#include <array>
#include <bitset>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <unistd.h>

using namespace platform;

namespace {

using Presets = std::vector<SoundfontPreset>;
using ReadFile = std::function<bool(std::uint64_t, std::uint64_t, void*)>;
using namespace sf2_writer;

// --- Reading ---

ReadFile reader(const Bytes& file,
                std::vector<std::pair<std::uint64_t, std::uint64_t>>* log = nullptr) {
    return [&file, log](std::uint64_t at, std::uint64_t n, void* dst) {
        if (log)
            log->push_back({at, n});
        if (at > file.size() || n > file.size() - at)
            return false;
        std::memcpy(dst, file.data() + at, n);
        return true;
    };
}

std::optional<SoundfontIndex> indexOf(const Bytes& file) {
    return SoundfontIndex::Read(file.size(), reader(file));
}

Bytes readAll(const SoundfontView& view, const Bytes& original) {
    Bytes out(view.Size());
    if (view.Read(0, out.data(), out.size(), reader(original)) != std::int64_t(out.size()))
        return {};
    return out;
}

std::uint64_t heldSize(const SoundfontView& view) {
    std::uint64_t held = 0;
    for (const SoundfontSegment& s : view.segments)
        held += s.held.size();
    return held;
}

// Where two files first differ, for a readable failure; -1 when they are the same.
long long firstDifference(const Bytes& a, const Bytes& b) {
    const auto [ia, ib] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    if (ia == a.end() && ib == b.end())
        return -1;
    return ia - a.begin();
}

std::uint32_t get32(const Bytes& b, std::size_t at) {
    return std::uint32_t(b[at]) | (std::uint32_t(b[at + 1]) << 8) |
           (std::uint32_t(b[at + 2]) << 16) | (std::uint32_t(b[at + 3]) << 24);
}

std::size_t find(const Bytes& file, std::string_view id) {
    return std::size_t(std::search(file.begin(), file.end(), id.begin(), id.end()) - file.begin());
}

// --- FluidSynth reading a view through its loader's file callbacks ---

// The callbacks carry no user data, so the one view in play is named here.
struct FluidSource {
    std::string original;
    const SoundfontView* view = nullptr;
    std::uint64_t bytesRead = 0; // beyond the preset data, the samples a pinned preset loads
};
FluidSource fluidSource;
constexpr const char* kViewName = "velmar-view.sf2";

struct FluidHandle {
    std::FILE* file = nullptr;
    std::uint64_t pos = 0;
};

void* fluidOpen(const char* name) {
    if (!fluidSource.view || std::strcmp(name, kViewName) != 0)
        return nullptr;
    std::FILE* f = std::fopen(fluidSource.original.c_str(), "rb");
    return f ? new FluidHandle{f, 0} : nullptr;
}

int fluidRead(void* buf, fluid_long_long_t count, void* handle) {
    auto* h = static_cast<FluidHandle*>(handle);
    const std::uint64_t size = fluidSource.view->Size();
    if (count < 0 || h->pos > size || std::uint64_t(count) > size - h->pos)
        return FLUID_FAILED;
    const auto readFile = [h](std::uint64_t at, std::uint64_t n, void* dst) {
        return fseeko(h->file, off_t(at), SEEK_SET) == 0 && std::fread(dst, 1, n, h->file) == n;
    };
    if (fluidSource.view->Read(h->pos, buf, std::uint64_t(count), readFile) != count)
        return FLUID_FAILED;
    h->pos += std::uint64_t(count);
    fluidSource.bytesRead += std::uint64_t(count);
    return FLUID_OK;
}

int fluidSeek(void* handle, fluid_long_long_t offset, int origin) {
    auto* h = static_cast<FluidHandle*>(handle);
    const auto size = fluid_long_long_t(fluidSource.view->Size());
    const fluid_long_long_t base = origin == SEEK_SET   ? 0
                                   : origin == SEEK_CUR ? fluid_long_long_t(h->pos)
                                                        : size;
    if (offset < -base || offset > size - base)
        return FLUID_FAILED;
    h->pos = std::uint64_t(base + offset);
    return FLUID_OK;
}

fluid_long_long_t fluidTell(void* handle) {
    return fluid_long_long_t(static_cast<FluidHandle*>(handle)->pos);
}

int fluidClose(void* handle) {
    auto* h = static_cast<FluidHandle*>(handle);
    std::fclose(h->file);
    delete h;
    return FLUID_OK;
}

double residentMiB() {
    QFile statm("/proc/self/statm");
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * double(sysconf(_SC_PAGESIZE)) / 1048576.0 : 0;
}

float peakOfNote(fluid_synth_t* synth, int channel, int key) {
    std::vector<float> left(11025), right(11025);
    fluid_synth_noteon(synth, channel, key, 110);
    float peak = 0;
    for (int block = 0; block < 2; ++block) {
        fluid_synth_write_float(synth, int(left.size()), left.data(), 0, 1, right.data(), 0, 1);
        for (std::size_t i = 0; i < left.size(); ++i)
            peak = std::max({peak, std::abs(left[i]), std::abs(right[i])});
    }
    fluid_synth_noteoff(synth, channel, key);
    return peak;
}

const char* const kSystemFont = "/usr/share/sounds/sf2/default-GM.sf2";

std::optional<SoundfontIndex> systemIndex() {
    std::FILE* file = std::fopen(kSystemFont, "rb");
    if (!file)
        return std::nullopt;
    fseeko(file, 0, SEEK_END);
    const auto fileSize = std::uint64_t(ftello(file));
    const auto readFile = [file](std::uint64_t at, std::uint64_t n, void* dst) {
        return fseeko(file, off_t(at), SEEK_SET) == 0 && std::fread(dst, 1, n, file) == n;
    };
    auto index = SoundfontIndex::Read(fileSize, readFile);
    std::fclose(file);
    return index;
}

// FluidSynth with one view of the system font loaded, samples read as presets are pinned.
class ViewSynth {
public:
    explicit ViewSynth(const SoundfontView& view) : settings_(new_fluid_settings()) {
        fluid_settings_setint(settings_, "synth.dynamic-sample-loading", 1);
        fluid_settings_setint(settings_, "synth.reverb.active", 0);
        fluid_settings_setint(settings_, "synth.chorus.active", 0);
        synth_ = new_fluid_synth(settings_);
        fluid_sfloader_t* loader = new_fluid_defsfloader(settings_);
        fluid_sfloader_set_callbacks(loader, fluidOpen, fluidRead, fluidSeek, fluidTell,
                                     fluidClose);
        fluid_synth_add_sfloader(synth_, loader);
        fluidSource = {kSystemFont, &view, 0};
        font_ = fluid_synth_sfload(synth_, kViewName, 0);
    }
    // The whole font, loaded by the synthesizer's own reader.
    explicit ViewSynth(const char* file) : settings_(new_fluid_settings()) {
        fluid_settings_setint(settings_, "synth.dynamic-sample-loading", 1);
        fluid_settings_setint(settings_, "synth.reverb.active", 0);
        fluid_settings_setint(settings_, "synth.chorus.active", 0);
        synth_ = new_fluid_synth(settings_);
        font_ = fluid_synth_sfload(synth_, file, 0);
    }
    ~ViewSynth() {
        delete_fluid_synth(synth_);
        delete_fluid_settings(settings_);
        fluidSource = {};
    }
    ViewSynth(const ViewSynth&) = delete;
    ViewSynth& operator=(const ViewSynth&) = delete;

    bool Loaded() const { return font_ != FLUID_FAILED; }

    // The sample bytes pinning the presets reads, or nothing when one fails to pin.
    std::optional<std::uint64_t> Pin(const Presets& presets) {
        const std::uint64_t before = fluidSource.bytesRead;
        for (const SoundfontPreset& p : presets) {
            if (fluid_synth_pin_preset(synth_, font_, p.bank, p.program) != FLUID_OK)
                return std::nullopt;
        }
        return fluidSource.bytesRead - before;
    }

    // Both channels of a tenth of a second of the key held, then as long released.
    std::vector<float> Note(int bank, int program, int key) {
        const int channel = bank == 128 ? 9 : 0;
        if (fluid_synth_program_select(synth_, channel, font_, bank, program) != FLUID_OK)
            return {};
        constexpr int kFrames = 69 * 64; // whole blocks of the synthesizer, so none carries over
        std::vector<float> out(4 * kFrames);
        fluid_synth_noteon(synth_, channel, key, 100);
        fluid_synth_write_float(synth_, kFrames, out.data(), 0, 1, out.data() + kFrames, 0, 1);
        fluid_synth_noteoff(synth_, channel, key);
        fluid_synth_write_float(synth_, kFrames, out.data() + 2 * kFrames, 0, 1,
                                out.data() + 3 * kFrames, 0, 1);
        // Stopped voices sound on to the end of a block; the next note starts in silence.
        fluid_synth_all_sounds_off(synth_, -1);
        std::vector<float> flush(2 * kFrames);
        fluid_synth_write_float(synth_, kFrames, flush.data(), 0, 1, flush.data() + kFrames, 0, 1);
        return out;
    }

private:
    fluid_settings_t* settings_;
    fluid_synth_t* synth_ = nullptr;
    int font_ = FLUID_FAILED;
};

float peakOf(const std::vector<float>& samples) {
    float peak = 0;
    for (float v : samples)
        peak = std::max(peak, std::abs(v));
    return peak;
}

// The same voices, but for the order in which the synthesizer summed them.
bool sameSound(const std::vector<float>& a, const std::vector<float>& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::abs(a[i] - b[i]) > 1e-5f)
            return false;
    }
    return true;
}

Presets everyKey(Presets presets) {
    for (SoundfontPreset& p : presets)
        p.keys.set();
    return presets;
}

std::optional<Bytes> seedFile(const char* name) {
    QFile f(QStringLiteral(VELMAR_SF2_SEEDS "/") + QLatin1String(name));
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray d = f.readAll();
    return Bytes(d.begin(), d.end());
}

} // namespace

class TestSoundfontView : public QObject {
    Q_OBJECT

    // What a view keeps: the presets asked for with their keys, and the zones of presets and
    // instruments that should remain.
    struct ZoneCase {
        const char* name;
        Presets ask;
        Kept presets, instruments;
    };

    static std::vector<ZoneCase> zoneCases() {
        return {
            {"a kit: the struck keys' samples, both sides of a pair",
             {{128, 48, keysOf({35, 38})}},
             {{0, {0, 1}}},
             {{0, {0, 1, 2, 3}}}},
            {"a kit zone leading to another instrument",
             {{128, 48, keysOf({42, 64})}},
             {{0, {0, 1, 2}}},
             {{0, {0, 4}}, {2, {1}}}},
            {"split ranges: the ones a run of keys touches",
             {{0, 48, keysBetween(61, 86)}},
             {{1, {0, 1, 2}}},
             {{1, {0, 2, 3}}}},
            {"an instrument shared by two presets: the keys of both",
             {{0, 90, keysOf({10})}, {0, 8, keysOf({100})}},
             {{2, {0}}, {3, {0}}},
             {{2, {0, 1}}}},
            {"shared, both on one side",
             {{0, 90, keysOf({10})}, {0, 8, keysOf({20})}},
             {{2, {0}}, {3, {0}}},
             {{2, {0}}}},
            {"a zone out of range goes, though its instrument stays for another",
             {{0, 90, keysOf({10})}, {0, 48, keysOf({70})}},
             {{1, {0, 1, 2}}, {2, {0}}},
             {{1, {0, 2}}, {2, {0}}}},
            {"no keys: the presets stay, with their global zones",
             {{128, 48, {}}, {0, 90, {}}},
             {{0, {0}}, {2, {}}},
             {}},
            {"a key no sample plays: its zones go", {{128, 48, keysOf({37})}}, {{0, {0}}}, {}},
            {"every key: every zone",
             {{128, 48}},
             {{0, {0, 1, 2}}},
             {{0, {0, 1, 2, 3, 4, 5}}, {2, {0, 1}}}},
            {"a kit standing in plays the keys it stands in for",
             {{128, 5, keysOf({35})}},
             {{4, {0}}},
             {{0, {0, 1}}}},
            {"what resolves to one preset unites its keys",
             {{128, 0, keysOf({35})}, {128, 7, keysOf({42})}, {128, 9, {}}},
             {{4, {0}}},
             {{0, {0, 1, 4}}}},
            {"a melodic bank standing in",
             {{8, 48, keysBetween(61, 86)}},
             {{1, {0, 1, 2}}},
             {{1, {0, 2, 3}}}},
            // Global zones stay wherever they stand, a range counts only as a zone's first
            // generator, and an instrument named after the first of a zone comes along, bare.
            {"read as the synthesizer reads: a low key",
             {{0, 100, keysOf({15})}},
             {{5, {0, 1}}},
             {{0, {0}}, {3, {0, 1, 2}}}},
            {"read as the synthesizer reads: the top key",
             {{0, 100, keysOf({127})}},
             {{5, {0, 1}}},
             {{0, {0}}, {3, {1, 2, 4}}}},
        };
    }

private slots:
    void viewHoldsTheSelectedPresetsAndTheirInstruments() {
        const Font base = baseFont();
        const Bytes original = write(base);
        const auto index = indexOf(original);
        QVERIFY(index);
        struct Case {
            const char* name;
            Presets ask;
            std::vector<int> presets, instruments;
        };
        const std::vector<Case> cases = {
            {"one preset, its instrument renumbered", {{0, 48}}, {1}, {2}},
            {"drum kit", {{128, 0}}, {2}, {1}},
            {"asked out of order", {{128, 0}, {0, 48}}, {1, 2}, {1, 2}},
            {"all", {{0, 48}, {0, 0}, {128, 0}}, {0, 1, 2}, {0, 1, 2}},
            {"a melodic bank falls back to bank 0", {{8, 48}}, {1}, {2}},
            {"a drum kit falls back to kit 0", {{128, 5}}, {2}, {1}},
            {"absent everywhere: dropped", {{0, 99}, {3, 99}}, {}, {}},
            {"nothing asked", {}, {}, {}},
            {"each once", {{8, 48}, {0, 48}, {128, 5}, {128, 0}, {0, 99}, {0, 48}}, {1, 2}, {1, 2}},
            {"negative numbers", {{-1, 48}, {0, -48}, {128, -1}}, {1, 2}, {1, 2}},
        };
        for (const Case& c : cases) {
            const SoundfontView view = index->Select(c.ask);
            const Bytes expected = write(expectedFont(base, c.presets, c.instruments));
            QVERIFY2(firstDifference(readAll(view, original), expected) == -1, c.name);
        }

        // The INFO and sdta lists come through unchanged, at the offsets the canonical layout
        // gives them, read from the original.
        const SoundfontView view = index->Select({{0, 48}});
        const Bytes bytes = readAll(view, original);
        QCOMPARE(view.segments.size(), std::size_t(4));
        QCOMPARE(view.segments[1].fileOffset, std::uint64_t(12));
        QCOMPARE(view.segments[2].fileOffset, std::uint64_t(12 + view.segments[1].size));
        QVERIFY(view.segments[1].held.empty() && view.segments[2].held.empty());
        QCOMPARE(find(bytes, "INFO"), std::size_t(12 + 8));
        QCOMPARE(find(bytes, "sdta"), std::size_t(12 + view.segments[1].size + 8));
        for (std::string_view id : {"INFO", "sdta"}) {
            // A list's type follows its header.
            const std::size_t at = find(bytes, id) - 8;
            const std::size_t there = find(original, id) - 8;
            const std::size_t size = 8 + get32(bytes, at + 4);
            QVERIFY(at + size <= bytes.size());
            QVERIFY(std::equal(bytes.begin() + long(at), bytes.begin() + long(at + size),
                               original.begin() + long(there)));
        }
    }

    void viewKeepsTheZonesTheKeysReach() {
        const Font base = keyedFont();
        const Bytes original = write(base);
        const auto index = indexOf(original);
        QVERIFY(index);
        const std::vector<ZoneCase> cases = zoneCases();
        for (const ZoneCase& c : cases) {
            const Bytes expected = write(expectedZones(base, c.presets, c.instruments));
            QVERIFY2(firstDifference(readAll(index->Select(c.ask), original), expected) == -1,
                     c.name);
        }

        // A keyed view is a font whose view of the same keys is itself.
        for (const ZoneCase& c : cases) {
            const Bytes bytes = readAll(index->Select(c.ask), original);
            const auto again = indexOf(bytes);
            QVERIFY2(again, c.name);
            QVERIFY2(firstDifference(readAll(again->Select(c.ask), bytes), bytes) == -1, c.name);
        }
    }

    // Which keys sound on which preset, as the synthesizer will play the song.
    void presetsOfASongCarryTheirKeys() {
        const auto song = [](std::vector<std::array<int, 3>> events) {
            MidiSong s;
            for (const auto& [status, a, b] : events)
                s.events.push_back({0, std::uint8_t(status), std::uint8_t(a), std::uint8_t(b)});
            return s;
        };
        struct Case {
            const char* name;
            MidiSong song;
            Presets expected;
        };
        const std::vector<Case> cases = {
            {"nothing played", song({}), {}},
            {"the default instruments before any program change",
             song({{0x90, 60, 100}, {0x99, 38, 90}, {0x91, 64, 1}}),
             {{0, 0, keysOf({60, 64})}, {128, 0, keysOf({38})}}},
            {"a note of velocity 0 and a note-off strike nothing",
             song({{0x90, 60, 0}, {0x80, 61, 64}, {0xC0, 5, 0}, {0x90, 62, 0}}),
             {}},
            {"a program chosen but never struck is left out",
             song({{0xC0, 5, 0}, {0xC0, 48, 0}, {0x90, 70, 80}, {0xC1, 9, 0}}),
             {{0, 48, keysOf({70})}}},
            {"notes before and after a program change",
             song({{0x90, 40, 80}, {0xC0, 48, 0}, {0x90, 41, 80}}),
             {{0, 0, keysOf({40})}, {0, 48, keysOf({41})}}},
            {"a bank counts from the next program change",
             song({{0xB0, 0, 8},
                   {0x90, 50, 80},
                   {0xC0, 48, 0},
                   {0x90, 51, 80},
                   {0xB0, 0, 0},
                   {0x90, 52, 80}}),
             {{0, 0, keysOf({50})}, {8, 48, keysOf({51, 52})}}},
            {"the drum channel is bank 128 whatever its bank select",
             song({{0xB9, 0, 5}, {0xC9, 48, 0}, {0x99, 36, 90}, {0x99, 42, 90}}),
             {{128, 48, keysOf({36, 42})}}},
            {"two channels on one preset unite their keys, sorted by bank and program",
             song({{0xC2, 48, 0},
                   {0xC3, 48, 0},
                   {0xC4, 1, 0},
                   {0x92, 61, 80},
                   {0x93, 86, 80},
                   {0x94, 30, 80},
                   {0xB5, 0, 8},
                   {0xC5, 1, 0},
                   {0x95, 30, 80}}),
             {{0, 1, keysOf({30})}, {0, 48, keysOf({61, 86})}, {8, 1, keysOf({30})}}},
            {"other messages change nothing",
             song({{0xB0, 7, 100},
                   {0xE0, 0, 64},
                   {0xA0, 60, 10},
                   {0xD0, 10, 0},
                   {0xB0, 32, 3},
                   {0x90, 60, 80}}),
             {{0, 0, keysOf({60})}}},
        };
        for (const Case& c : cases)
            QVERIFY2(Synth::PresetsOf(c.song) == c.expected, c.name);
    }

    void hasNamesThePresetsOfTheFont() {
        const auto index = indexOf(write(baseFont()));
        QVERIFY(index);
        QVERIFY(index->Has(0, 0) && index->Has(0, 48) && index->Has(128, 0));
        QVERIFY(!index->Has(0, 49) && !index->Has(8, 48) && !index->Has(128, 48));
        QVERIFY(!index->Has(-128, 0) && !index->Has(0, 48 + 65536) && !index->Has(65536, 48));
        QVERIFY(!SoundfontIndex().Has(0, 0));
        QCOMPARE(SoundfontIndex().Select({{0, 0}}).Size(), std::uint64_t(0));
    }

    void anyLayoutOfTheOriginalGivesTheSameView() {
        Font base = baseFont();
        const Bytes expected = write(expectedFont(base, {1}, {2}));
        const Parts p = parts(base);
        const std::vector<Chunk> l = lists(p);
        Bytes trailing = riff(l);
        trailing.insert(trailing.end(), {'x', 'y', 'z'});
        const std::vector<std::pair<const char*, Bytes>> layouts = {
            {"pdta first", riff({l[2], l[0], l[1]})},
            {"odd chunks padded", riff({{"junk", {1, 2, 3}}, l[0], {"odd ", {7}}, l[1], l[2]})},
            {"unknown lists", riff({list("XTRA", {{"abcd", {1}}}), l[0], l[1], l[2]})},
            {"bytes after the RIFF chunk", trailing},
        };
        for (const auto& [name, file] : layouts) {
            const auto index = indexOf(file);
            QVERIFY2(index, name);
            QVERIFY2(firstDifference(readAll(index->Select({{0, 48}}), file), expected) == -1,
                     name);
        }

        // The 24-bit sample bytes travel with the sdta list.
        base.sm24 = true;
        const Bytes with24 = write(base);
        const auto index = indexOf(with24);
        QVERIFY(index);
        QCOMPARE(firstDifference(readAll(index->Select({{0, 48}}), with24),
                                 write(expectedFont(base, {1}, {2}))),
                 -1LL);
    }

    void viewIsAFontOfItsOwn() {
        // A font may leave out the terminal modulators; the view writes them.
        Font plain = baseFont();
        for (auto* zoned : {&plain.presets[1].zones, &plain.instruments[2].zones}) {
            for (Zone& z : *zoned)
                z.mods.clear();
        }
        Parts noMods = parts(plain);
        body(noMods.pdta, "pmod").clear();
        body(noMods.pdta, "imod").clear();
        // An INFO list of odd size: its last string is not padded within the list.
        std::vector<Chunk> oddInfo = lists(parts(baseFont()));
        oddInfo[0].body.pop_back();
        for (const Bytes& original : {write(baseFont()), riff(lists(noMods)), riff(oddInfo)}) {
            const auto index = indexOf(original);
            QVERIFY(index);
            for (const Presets& ask : {Presets{{0, 48}}, Presets{{128, 0}, {0, 0}}, Presets{}}) {
                const Bytes bytes = readAll(index->Select(ask), original);
                const auto again = indexOf(bytes);
                QVERIFY(again);
                QCOMPARE(firstDifference(readAll(again->Select(ask), bytes), bytes), -1LL);
                for (const SoundfontPreset& p : ask)
                    QVERIFY(again->Has(p.bank, p.program));
                QCOMPARE(again->Has(0, 0), ask.size() == 2);
            }
        }
    }

    void readCopiesAcrossSegments() {
        const Bytes original = write(baseFont());
        const auto index = indexOf(original);
        QVERIFY(index);
        const SoundfontView view = index->Select({{0, 48}, {128, 0}});
        const Bytes whole = readAll(view, original);
        QCOMPARE(std::uint64_t(whole.size()), view.Size());

        // Only the INFO and sdta lists are read from the original, nothing else of it.
        std::vector<std::pair<std::uint64_t, std::uint64_t>> log;
        Bytes pieces;
        for (std::uint64_t at = 0; at < view.Size(); at += 7) {
            std::uint8_t buf[7];
            const std::int64_t n = view.Read(at, buf, 7, reader(original, &log));
            QCOMPARE(n, std::int64_t(std::min<std::uint64_t>(7, view.Size() - at)));
            pieces.insert(pieces.end(), buf, buf + n);
        }
        QCOMPARE(firstDifference(pieces, whole), -1LL);
        const std::uint64_t listsEnd = 12 + view.segments[1].size + view.segments[2].size;
        for (const auto& [at, n] : log)
            QVERIFY(at >= 12 && at + n <= listsEnd);

        // A read straddling every boundary, and reads at and past the end.
        Bytes all(whole.size() + 100, 0xEE);
        QCOMPARE(view.Read(5, all.data(), all.size(), reader(original)),
                 std::int64_t(whole.size() - 5));
        QVERIFY(std::equal(whole.begin() + 5, whole.end(), all.begin()));
        QCOMPARE(all[whole.size() - 5], std::uint8_t(0xEE));
        QCOMPARE(view.Read(view.Size(), all.data(), 10, reader(original)), std::int64_t(0));
        QCOMPARE(view.Read(~std::uint64_t(0) - 3, all.data(), 10, reader(original)),
                 std::int64_t(0));
        QCOMPARE(view.Read(view.Size() - 3, all.data(), 10, reader(original)), std::int64_t(3));

        // A failed read of the original fails the read; held bytes need no reading.
        const auto failing = [](std::uint64_t, std::uint64_t, void*) { return false; };
        QCOMPARE(view.Read(0, all.data(), 20, failing), std::int64_t(-1));
        QCOMPARE(view.Read(0, all.data(), 12, failing), std::int64_t(12));
        QCOMPARE(view.Read(view.Size() - 9, all.data(), 9, failing), std::int64_t(9));
        QCOMPARE(view.Read(listsEnd, all.data(), 9, failing), std::int64_t(9));
    }

    void indexReadsNoSampleData() {
        const Bytes original = write(baseFont());
        std::vector<std::pair<std::uint64_t, std::uint64_t>> log;
        QVERIFY(SoundfontIndex::Read(original.size(), reader(original, &log)));
        const std::uint64_t smpl = find(original, "smpl") + 8;
        const std::uint64_t smplEnd = smpl + 2 * 3 * kSampleFrames;
        for (const auto& [at, n] : log)
            QVERIFY(at + n <= smpl || at >= smplEnd);
    }

    void malformedFontsGiveNoIndex() {
        const Font base = baseFont();
        const auto mutated = [&](const std::function<void(Parts&)>& change) {
            Parts p = parts(base);
            change(p);
            return riff(lists(p));
        };
        const Bytes good = write(base);
        QVERIFY(indexOf(good));
        Bytes longRiff = good;
        set16(longRiff, 4, std::uint32_t(good.size() - 8 + 2));
        Bytes notSf = good;
        notSf[8] = 'X';
        Bytes pastRiff = good;
        set16(pastRiff, find(good, "pdta") - 4, get32(good, find(good, "pdta") - 4) + 2);
        Bytes subPastPdta = good;
        set16(subPastPdta, find(good, "pgen") + 4, 0x7000);
        Bytes unpadded = writeWith(base, {{"junk", {1, 2, 3}}});
        unpadded.pop_back();
        set16(unpadded, 4, std::uint32_t(unpadded.size() - 8));

        std::vector<std::pair<std::string, Bytes>> cases = {
            {"empty", {}},
            {"RIFX", Bytes{'R', 'I', 'F', 'X', 4, 0, 0, 0, 's', 'f', 'b', 'k'}},
            {"not sfbk", notSf},
            {"RIFF larger than the file", longRiff},
            {"sub-chunk past pdta", subPastPdta},
            {"odd chunk without its pad", unpadded},
            {"LIST without a type", writeWith(base, {{"LIST", {1, 2}}})},
            {"top-level chunk past RIFF", pastRiff},
            // Missing and duplicate chunks.
            {"no INFO", riff({lists(parts(base))[1], lists(parts(base))[2]})},
            {"two INFO", writeWith(base, {lists(parts(base))[0]})},
            {"two sdta", writeWith(base, {lists(parts(base))[1]})},
            {"two pdta", writeWith(base, {lists(parts(base))[2]})},
            {"no sdta", riff({lists(parts(base))[0], lists(parts(base))[2]})},
            {"no pdta", riff({lists(parts(base))[0], lists(parts(base))[1]})},
            {"no smpl", mutated([](Parts& p) {
                 p.sdta = {{"sm24", {1, 2}}};
             })},
            {"two smpl", mutated([](Parts& p) { p.sdta.push_back(p.sdta[0]); })},
            {"two sm24", mutated([](Parts& p) {
                 p.sdta.push_back({"sm24", {1, 2}});
                 p.sdta.push_back({"sm24", {1, 2}});
             })},
        };
        for (int drop = 0; drop < 9; ++drop) {
            const std::string id = parts(base).pdta[std::size_t(drop)].id;
            cases.push_back(
                {"no " + id, mutated([drop](Parts& p) { p.pdta.erase(p.pdta.begin() + drop); })});
            cases.push_back({"two " + id, mutated([drop](Parts& p) {
                                 p.pdta.push_back(p.pdta[std::size_t(drop)]);
                             })});
        }
        for (const auto& [name, file] : cases)
            QVERIFY2(!indexOf(file), name.c_str());

        // Every prefix of a good file is a truncated one.
        for (std::size_t n = 0; n < good.size(); ++n)
            QVERIFY(!indexOf(Bytes(good.begin(), good.begin() + long(n))));
    }

    // Records whose counts or indices do not fit their chunks.
    void brokenRecordsGiveNoIndex() {
        const Font base = baseFont();
        const auto mutated = [&](const std::function<void(Parts&)>& change) {
            Parts p = parts(base);
            change(p);
            return riff(lists(p));
        };
        const auto patched = [&](std::string_view id, std::size_t at, std::uint32_t v) {
            return mutated([=](Parts& p) { set16(body(p.pdta, id), at, v); });
        };
        const auto withGen = [&](std::string_view id, std::uint16_t oper, std::uint16_t v) {
            return mutated([=](Parts& p) {
                Bytes& g = body(p.pdta, id);
                for (std::size_t at = 0; at + 4 <= g.size(); at += 4) {
                    if ((g[at] | (g[at + 1] << 8)) == oper) {
                        set16(g, at + 2, v);
                        break;
                    }
                }
            });
        };
        const std::vector<std::pair<std::string, Bytes>> cases = {
            // Record counts that are no whole multiple.
            {"pbag + 2", mutated([](Parts& p) { body(p.pdta, "pbag").resize(26); })},
            {"phdr + 1", mutated([](Parts& p) { body(p.pdta, "phdr").push_back(0); })},
            {"shdr - 3", mutated([](Parts& p) { body(p.pdta, "shdr").resize(46 * 4 - 3); })},
            {"no phdr records", mutated([](Parts& p) { body(p.pdta, "phdr").clear(); })},
            {"no ibag records", mutated([](Parts& p) { body(p.pdta, "ibag").clear(); })},
            // Indices: phdr bag at 24 of 38, inst bag at 20 of 22, pbag/ibag gen then mod.
            {"preset bags not monotonic", patched("phdr", 2 * 38 + 24, 0)},
            {"terminal preset bag past pbag", patched("phdr", 3 * 38 + 24, 6)},
            // The chunk after pbag would pass for a terminal bag: (8 generators, 1 modulator).
            {"terminal preset bag just past pbag", mutated([](Parts& p) {
                 set16(body(p.pdta, "phdr"), 3 * 38 + 24, 6);
                 p.pdta.insert(p.pdta.begin() + 2, {std::string("\x08\0\x01\0", 4), {}});
             })},
            {"preset generators not monotonic", patched("pbag", 2 * 4, 0)},
            {"terminal preset generator past pgen", patched("pbag", 5 * 4, 10)},
            {"preset modulators not monotonic", patched("pbag", 3 * 4 + 2, 0)},
            {"terminal preset modulator past pmod", patched("pbag", 5 * 4 + 2, 3)},
            {"instrument bags not monotonic", patched("inst", 2 * 22 + 20, 1)},
            {"terminal instrument bag past ibag", patched("inst", 3 * 22 + 20, 7)},
            {"instrument generators not monotonic", patched("ibag", 3 * 4, 1)},
            {"terminal instrument generator past igen", patched("ibag", 6 * 4, 12)},
            {"terminal instrument modulator past imod", patched("ibag", 6 * 4 + 2, 3)},
            {"instrument index past the instruments", withGen("pgen", 41, 3)},
            {"sample index past the samples", withGen("igen", 53, 3)},
        };
        for (const auto& [name, file] : cases)
            QVERIFY2(!indexOf(file), name.c_str());
    }

    void hugePdtaIsNeverRead() {
        const std::vector<Chunk> l = lists(parts(baseFont()));
        Bytes head = riff({l[0], l[1]});
        const std::uint32_t claimed = 100u << 20;
        head.insert(head.end(), {'L', 'I', 'S', 'T'});
        put(head, claimed, 4);
        head.insert(head.end(), {'p', 'd', 't', 'a'});
        const std::uint64_t fileSize = head.size() - 4 + claimed;
        set16(head, 4, std::uint32_t((fileSize - 8) & 0xFFFF));
        set16(head, 6, std::uint32_t((fileSize - 8) >> 16));
        std::uint64_t largest = 0;
        const auto readFile = [&](std::uint64_t at, std::uint64_t n, void* dst) {
            largest = std::max(largest, n);
            auto* d = static_cast<std::uint8_t*>(dst);
            for (std::uint64_t i = 0; i < n; ++i)
                d[i] = at + i < head.size() ? head[at + i] : 0;
            return true;
        };
        QVERIFY(!SoundfontIndex::Read(fileSize, readFile));
        QVERIFY(largest < 4096);
    }

    // The fuzzer's seeds are fonts of this writer; VELMAR_UPDATE_SEEDS=1 writes them anew.
    void fuzzSeedsAreTheWritersFonts() {
        Font with24 = baseFont();
        with24.sm24 = true;
        const std::vector<Chunk> l = lists(parts(baseFont()));
        const std::vector<std::pair<const char*, Bytes>> seeds = {
            {"three-presets.sf2", write(baseFont())},
            {"sm24.sf2", write(with24)},
            {"reordered.sf2", riff({{"junk", {1, 2, 3}}, l[2], l[0], l[1]})},
            {"keyed.sf2", write(keyedFont())},
        };
        for (const auto& [name, bytes] : seeds) {
            if (qEnvironmentVariableIsSet("VELMAR_UPDATE_SEEDS")) {
                QFile f(QStringLiteral(VELMAR_SF2_SEEDS "/") + QLatin1String(name));
                QVERIFY(f.open(QIODevice::WriteOnly));
                f.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
            }
            QVERIFY2(seedFile(name) == bytes, name);
        }
    }

    void systemFontPlaysThroughAView() {
        std::FILE* file = std::fopen(kSystemFont, "rb");
        if (!file)
            QSKIP("no General MIDI soundfont installed");
        fseeko(file, 0, SEEK_END);
        const auto fileSize = std::uint64_t(ftello(file));
        const auto readFile = [file](std::uint64_t at, std::uint64_t n, void* dst) {
            return fseeko(file, off_t(at), SEEK_SET) == 0 && std::fread(dst, 1, n, file) == n;
        };
        const auto index = SoundfontIndex::Read(fileSize, readFile);
        std::fclose(file);
        QVERIFY(index);
        QVERIFY(index->Has(0, 48) && index->Has(0, 73) && index->Has(128, 0));
        const SoundfontView view = index->Select({{0, 48}, {0, 73}, {128, 0}, {128, 90}});
        QVERIFY(heldSize(view) < 1u << 20);
        qInfo("view: %llu bytes held, %llu in all", (unsigned long long)heldSize(view),
              (unsigned long long)view.Size());

        fluid_settings_t* settings = new_fluid_settings();
        fluid_settings_setint(settings, "synth.dynamic-sample-loading", 1);
        fluid_settings_setint(settings, "synth.reverb.active", 0);
        fluid_settings_setint(settings, "synth.chorus.active", 0);
        fluid_synth_t* synth = new_fluid_synth(settings);
        fluid_sfloader_t* loader = new_fluid_defsfloader(settings);
        fluid_sfloader_set_callbacks(loader, fluidOpen, fluidRead, fluidSeek, fluidTell,
                                     fluidClose);
        fluid_synth_add_sfloader(synth, loader); // the synthesizer owns it now
        fluidSource = {kSystemFont, &view};

        const double before = residentMiB();
        const int id = fluid_synth_sfload(synth, kViewName, 0);
        const double viewCost = residentMiB() - before;
        QVERIFY(id != FLUID_FAILED);
        for (const auto& [channel, bank, program, key] :
             {std::array{0, 0, 48, 60}, std::array{1, 0, 73, 72}, std::array{9, 128, 0, 38}}) {
            QCOMPARE(fluid_synth_program_select(synth, channel, id, bank, program), FLUID_OK);
            QVERIFY(peakOfNote(synth, channel, key) > 0.01f);
        }
        QVERIFY(fluid_synth_program_select(synth, 2, id, 0, 0) == FLUID_FAILED);

        // The whole font, loaded the usual way, for comparison.
        fluid_synth_t* whole = new_fluid_synth(settings);
        const double beforeWhole = residentMiB();
        QVERIFY(fluid_synth_sfload(whole, kSystemFont, 0) != FLUID_FAILED);
        const double wholeCost = residentMiB() - beforeWhole;
        qInfo("resident memory added: %.1f MiB by the view, %.1f MiB by the whole font", viewCost,
              wholeCost);
        delete_fluid_synth(whole);
        delete_fluid_synth(synth);
        delete_fluid_settings(settings);
        fluidSource = {};
        QVERIFY(viewCost * 5 < wholeCost);
    }

    // A kit of three struck keys and strings over two octaves load a fraction of the samples
    // of the whole presets; every struck key plays as it does with all of them, and many a key
    // not struck falls silent.
    void keyedViewLoadsOnlyTheStruckSamples() {
        const auto index = systemIndex();
        if (!index)
            QSKIP("no General MIDI soundfont installed");
        QVERIFY(index->Has(128, 48) && index->Has(0, 48));
        const Presets keyed = {{128, 48, keysOf({35, 49, 81})}, {0, 48, keysBetween(61, 86)}};
        struct Heard {
            bool loaded = false;
            std::uint64_t bytes = 0;
            double resident = 0;
            std::vector<std::vector<float>> struck; // the keys of `keyed`, in order
            std::vector<float> kitPeaks;            // every key of the kit, after them
        };
        const auto hear = [&](const Presets& presets) {
            Heard h;
            const SoundfontView view = index->Select(presets);
            ViewSynth synth(view);
            h.loaded = synth.Loaded();
            const double before = residentMiB();
            h.bytes = synth.Pin(presets).value_or(0);
            h.resident = residentMiB() - before;
            for (const SoundfontPreset& p : keyed) {
                for (int key = 0; key < 128; ++key) {
                    if (p.keys.test(std::size_t(key)))
                        h.struck.push_back(synth.Note(p.bank, p.program, key));
                }
            }
            for (int key = 0; key < 128; ++key)
                h.kitPeaks.push_back(peakOf(synth.Note(128, 48, key)));
            return h;
        };
        const Heard cut = hear(keyed);
        const Heard whole = hear(everyKey(keyed));
        qInfo("samples loaded on pinning: %.2f MiB for the struck keys (resident %+.1f MiB), "
              "%.2f MiB for all (resident %+.1f MiB)",
              double(cut.bytes) / 1048576.0, cut.resident, double(whole.bytes) / 1048576.0,
              whole.resident);
        QVERIFY(cut.loaded && whole.loaded);
        QVERIFY(cut.bytes > 0);
        QVERIFY(cut.bytes * 4 < whole.bytes);
        QCOMPARE(cut.struck.size(), std::size_t(3 + 26));
        for (std::size_t i = 0; i < cut.struck.size(); ++i) {
            QVERIFY2(peakOf(cut.struck[i]) > 0.01f, std::to_string(i).c_str());
            QVERIFY2(sameSound(cut.struck[i], whole.struck[i]), std::to_string(i).c_str());
        }
        int silenced = 0;
        for (int key = 0; key < 128; ++key) {
            const auto k = std::size_t(key);
            if (cut.kitPeaks[k] > 0)
                QVERIFY2(whole.kitPeaks[k] > 0, std::to_string(key).c_str());
            else if (whole.kitPeaks[k] > 0.01f)
                ++silenced;
        }
        QVERIFY(silenced > 20);
    }

    // The game's first melody, its presets cut to the keys it strikes, sounds as through the
    // whole font.
    void firstMelodyLoadsLessThanItsWholePresets() {
        const auto index = systemIndex();
        if (!index)
            QSKIP("no General MIDI soundfont installed");
        const std::optional<MidiSong> song =
            ParseMidi(FindResource("MUSIC", "MYMUSIC").value_or(QByteArray()), 44100);
        QVERIFY(song);
        const Presets presets = Synth::PresetsOf(*song);
        QVERIFY(!presets.empty());
        std::size_t struck = 0;
        for (const SoundfontPreset& p : presets) {
            QVERIFY(p.keys.any() && index->Has(p.bank, p.program));
            struck += p.keys.count();
        }
        const auto measure = [&](const Presets& ask) {
            const SoundfontView view = index->Select(ask);
            ViewSynth synth(view);
            const std::uint64_t bytes = synth.Pin(ask).value_or(0);
            std::vector<std::vector<float>> notes;
            for (const SoundfontPreset& p : presets) {
                for (int key = 0; key < 128; ++key) {
                    if (p.keys.test(std::size_t(key)))
                        notes.push_back(synth.Note(p.bank, p.program, key));
                }
            }
            return std::pair{bytes, notes};
        };
        const auto [keyedBytes, keyedNotes] = measure(presets);
        const auto [wholeBytes, wholeNotes] = measure(everyKey(presets));
        std::vector<std::vector<float>> fontNotes; // the font itself, not a view of it
        {
            ViewSynth synth(kSystemFont);
            QVERIFY(synth.Loaded());
            for (const SoundfontPreset& p : presets) {
                for (int key = 0; key < 128; ++key) {
                    if (p.keys.test(std::size_t(key)))
                        fontNotes.push_back(synth.Note(p.bank, p.program, key));
                }
            }
        }
        qInfo("first melody: %zu presets, %zu keys; samples %.2f MiB for the struck keys, "
              "%.2f MiB for the whole presets",
              presets.size(), struck, double(keyedBytes) / 1048576.0,
              double(wholeBytes) / 1048576.0);
        QVERIFY(keyedBytes > 0);
        QVERIFY(keyedBytes + (4u << 20) < wholeBytes);
        QCOMPARE(keyedNotes.size(), struck);
        QCOMPARE(wholeNotes.size(), struck);
        QCOMPARE(fontNotes.size(), struck);
        for (std::size_t i = 0; i < struck; ++i) {
            QVERIFY(peakOf(keyedNotes[i]) > 0.001f);
            QVERIFY(sameSound(keyedNotes[i], wholeNotes[i]));
            QVERIFY(sameSound(keyedNotes[i], fontNotes[i]));
        }
    }
};

QTEST_GUILESS_MAIN(TestSoundfontView)
#include "TestSoundfontView.moc"
