// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/audio/Synth.h"

#include "platform/audio/AudioModule.h"
#include "platform/audio/SoundfontView.h"
#include "platform/audio/Worker.h"

#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <bitset>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

namespace platform {

namespace {

constexpr int kSongChannels = 16;
constexpr int kDrumChannel = 9;
constexpr int kDrumBank = 128;

// The soundfont file, read at any offset from any thread.
class FontFile {
public:
    explicit FontFile(const std::string& path) : fd_(open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
        struct stat st {};
        if (fd_ >= 0 && fstat(fd_, &st) == 0 && S_ISREG(st.st_mode))
            size_ = std::uint64_t(st.st_size);
    }
    ~FontFile() {
        if (fd_ >= 0)
            close(fd_);
    }
    FontFile(const FontFile&) = delete;
    FontFile& operator=(const FontFile&) = delete;

    std::uint64_t Size() const { return size_; }
    bool Read(std::uint64_t offset, std::uint64_t count, void* out) const {
        auto* to = static_cast<char*>(out);
        while (count > 0) {
            const ssize_t n = pread(fd_, to, count, off_t(offset));
            if (n <= 0)
                return false;
            to += n;
            offset += std::uint64_t(n);
            count -= std::uint64_t(n);
        }
        return true;
    }

private:
    int fd_;
    std::uint64_t size_ = 0;
};

// A view as the module reads it; it must outlive the font loaded from it.
struct LoadedView {
    const FontFile* file;
    SoundfontView view;
    VelmarFontSource source{};

    LoadedView(const FontFile& f, SoundfontView v) : file(&f), view(std::move(v)) {
        source.user = this;
        source.size = static_cast<long long>(view.Size());
        source.read = [](void* user, unsigned long long offset, void* out,
                         unsigned long long count) -> long long {
            auto* self = static_cast<LoadedView*>(user);
            return self->view.Read(offset, out, count,
                                   [self](std::uint64_t at, std::uint64_t n, void* to) {
                                       return self->file->Read(at, n, to);
                                   });
        };
    }
};

} // namespace

struct Synth::Impl {
    std::string soundfont;
    int rate = 0;
    AudioModule* module = nullptr;
    // Set and cleared on the worker with synthMutex held; the callback reads them under it.
    const VelmarAudioDriver* driver = nullptr;
    void* synth = nullptr;
    std::unique_ptr<FontFile> file;
    std::optional<SoundfontIndex> index;
    std::mutex synthMutex; // the worker and the audio callback

    // The font of the melody last prepared, and what it holds.
    std::unique_ptr<LoadedView> view;
    int font = -1;
    std::vector<SoundfontPreset> presets;

    // Fonts let go whose silenced voices may still hold samples (synthMutex).
    struct Retired {
        int font;
        std::unique_ptr<LoadedView> view;
        std::uint64_t silencedAt; // in rendered blocks
        bool voiceless;           // nothing sounded when it was silenced
    };
    std::vector<Retired> retired;
    std::uint64_t blocks = 0; // rendered so far

    bool load();
    bool makeSynth();
    void loadPresets(const std::vector<SoundfontPreset>& wanted);
    bool unload();
    void dropFont();
    void endSilenced();
    bool reap();
};

bool Synth::Impl::load() {
    file = std::make_unique<FontFile>(soundfont);
    if (file->Size() == 0)
        return false;
    index = SoundfontIndex::Read(file->Size(), [this](std::uint64_t at, std::uint64_t n, void* to) {
        return file->Read(at, n, to);
    });
    if (!index)
        return false;
    return makeSynth();
}

// Worker thread: the synthesizer, made again after the module was unloaded.
bool Synth::Impl::makeSynth() {
    if (synth)
        return true;
    const VelmarAudioDriver* d = module->Load();
    void* made = d ? d->newSynth(rate) : nullptr;
    std::lock_guard lock(synthMutex);
    driver = d;
    synth = made;
    return synth != nullptr;
}

// Swaps the font for a view holding just `wanted`, each preset pinned, so selecting it in the
// audio callback reads no file.
void Synth::Impl::loadPresets(const std::vector<SoundfontPreset>& wanted) {
    if (font >= 0 && wanted == presets)
        return;
    auto next = std::make_unique<LoadedView>(*file, index->Select(wanted));
    std::lock_guard lock(synthMutex);
    dropFont();
    font = driver->loadFont(synth, &next->source);
    view = std::move(next);
    presets = wanted;
    if (font < 0)
        return; // silent, as without a soundfont
    for (const SoundfontPreset& p : wanted) {
        if (driver->pinPreset(synth, font, p.bank, p.program) == 0)
            continue;
        // What the synthesizer would choose instead.
        if (p.bank == kDrumBank)
            driver->pinPreset(synth, font, kDrumBank, 0);
        else if (p.bank != 0)
            driver->pinPreset(synth, font, 0, p.program);
    }
}

Synth::Synth(std::string soundfont, int rate, Worker& worker, AudioModule& module)
    : impl_(std::make_unique<Impl>()), worker_(worker) {
    impl_->soundfont = std::move(soundfont);
    impl_->rate = rate;
    impl_->module = &module;
    worker_.Post([this] { state_ = impl_->load() ? Loaded : Failed; });
}

// Nothing renders any more: deleting the synthesizer stops its voices first and then frees
// every font at once, on this thread. The views go after it.
Synth::~Synth() {
    if (impl_->synth)
        impl_->driver->deleteSynth(impl_->synth);
}

bool Synth::WaitSettled(std::chrono::milliseconds timeout) const {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!Settled() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return Ready();
}

std::vector<SoundfontPreset> Synth::PresetsOf(const MidiSong& song) {
    // As the synthesizer sees it: a bank select counts from the next program change, the drum
    // channel ignores it, and a note sounds on the channel's current preset.
    std::map<std::pair<int, int>, std::bitset<128>> struck;
    std::array<int, kSongChannels> bank{};
    std::array<std::pair<int, int>, kSongChannels> current{};
    current[kDrumChannel] = {kDrumBank, 0};
    for (const MidiEvent& e : song.events) {
        const auto channel = std::size_t(e.status & 0x0F);
        switch (e.status & 0xF0) {
        case 0xB0:
            if (e.data1 == 0)
                bank[channel] = e.data2;
            break;
        case 0xC0:
            current[channel] = {channel == kDrumChannel ? kDrumBank : bank[channel], e.data1};
            break;
        case 0x90:
            if (e.data2 > 0 && e.data1 < 128)
                struck[current[channel]].set(e.data1);
            break;
        default:
            break;
        }
    }
    std::vector<SoundfontPreset> presets;
    for (const auto& [preset, keys] : struck)
        presets.push_back({preset.first, preset.second, keys});
    return presets;
}

// synthMutex held. The font is silenced and no channel selects it any more; it is unloaded
// once its voices are gone.
void Synth::Impl::dropFont() {
    if (font < 0)
        return;
    const bool voiceless = driver->activeVoices(synth) == 0;
    driver->soundsOff(synth);
    driver->unsetPrograms(synth);
    retired.push_back({font, std::move(view), blocks, voiceless});
    font = -1;
    endSilenced();
    reap();
}

// synthMutex held, everything just silenced. The silenced voices end only in a rendered block,
// and a device that renders none for a while (paused, or kept from the synthesizer by loads in
// a row) would leave every font let go in the meantime loaded; so a few blocks are rendered
// here and thrown away. Nothing sounds in them any more.
void Synth::Impl::endSilenced() {
    constexpr int kFrames = 64;     // FluidSynth's own block
    constexpr int kMostBlocks = 16; // a release cut short ends well within these
    std::array<float, kFrames> left{};
    std::array<float, kFrames> right{};
    for (int i = 0; i < kMostBlocks && driver->activeVoices(synth) > 0; ++i) {
        driver->render(synth, left.data(), right.data(), kFrames);
        ++blocks;
    }
}

// synthMutex held. A voice lets go of its sample in the block that ends it, so once a block
// has been rendered after the silencing and no voice is left, nothing holds the font's
// samples and FluidSynth frees it here and now. True when none is left waiting.
bool Synth::Impl::reap() {
    if (!synth)
        return true;
    const bool quiet = driver->activeVoices(synth) == 0;
    std::erase_if(retired, [&](Retired& r) {
        if (!quiet || (!r.voiceless && blocks <= r.silencedAt))
            return false;
        driver->unloadFont(synth, r.font);
        return true; // the view goes with it, after the font
    });
    return retired.empty();
}

// True when no font is left waiting.
bool Synth::Impl::unload() {
    std::lock_guard lock(synthMutex);
    dropFont();
    view.reset();
    presets.clear();
    return retired.empty();
}

void Synth::Release() {
    worker_.Post([this] {
        if (Ready()) {
            retired_ = !impl_->unload();
            malloc_trim(0);
        }
    });
}

bool Synth::Unload() {
    std::lock_guard lock(impl_->synthMutex);
    if (impl_->view)
        return false;
    if (impl_->synth)
        impl_->driver->deleteSynth(impl_->synth); // and with it every font still retired
    impl_->synth = nullptr;
    impl_->driver = nullptr;
    impl_->retired.clear();
    retired_ = false;
    return true;
}

void Synth::Reap() {
    worker_.Post([this] {
        if (!Ready())
            return;
        std::lock_guard lock(impl_->synthMutex);
        retired_ = !impl_->reap();
    });
}

void Synth::Prepare(std::shared_ptr<const MidiSong> song, std::function<void()> done) {
    worker_.Post([this, song = std::move(song), done = std::move(done)] {
        // A melody replaced while this waited holds its song no more: loading its instruments
        // would only make quick switches queue up loads, and memory, faster than they finish.
        if (Ready() && song.use_count() > 1 && !impl_->makeSynth())
            state_ = Failed; // the module went away: silent from now on, as without one
        if (Ready() && song.use_count() > 1) {
            impl_->loadPresets(PresetsOf(*song));
            {
                std::lock_guard lock(impl_->synthMutex);
                retired_ = !impl_->reap();
            }
            malloc_trim(0); // what loading the font left free goes back to the system
        }
        done();
    });
}

bool Synth::TryLock() {
    if (!Ready() || !impl_->synthMutex.try_lock())
        return false;
    if (impl_->synth)
        return true;
    impl_->synthMutex.unlock();
    return false;
}

void Synth::Unlock() {
    impl_->synthMutex.unlock();
}

void Synth::Send(const MidiEvent& e) {
    impl_->driver->send(impl_->synth, e.status, e.data1, e.data2);
}

void Synth::SoundsOff() {
    impl_->driver->soundsOff(impl_->synth);
}

void Synth::EffectsOn() {
    impl_->driver->effects(impl_->synth, 1);
}

void Synth::Render(float* left, float* right, int frames) {
    impl_->driver->render(impl_->synth, left, right, frames);
    ++impl_->blocks;
}

int Synth::ActiveVoices() {
    return impl_->driver->activeVoices(impl_->synth);
}

} // namespace platform
