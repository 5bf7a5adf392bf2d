// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Synth.h"

#include <fluidsynth.h>

#include <algorithm>
#include <array>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace platform {

namespace {

constexpr int kSongChannels = 16;
constexpr int kDrumChannel = 9;
constexpr int kDrumBank = 128;

void quietLog(int, const char*, void*) {}

} // namespace

struct Synth::Impl {
    std::string soundfont;
    int rate = 0;
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    int sfont = -1;
    std::mutex synthMutex; // the worker and the audio callback
    std::vector<std::pair<int, int>> pinned;

    std::mutex jobsMutex;
    std::condition_variable jobsChanged;
    std::deque<std::function<void()>> jobs;
    bool stopping = false;
    std::thread worker;

    bool load();
    void pin(int bank, int program);
    void run();
};

bool Synth::Impl::load() {
    static std::once_flag quiet; // nothing is reported, as on the classic desktop
    std::call_once(quiet, [] {
        for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
            fluid_set_log_function(level, quietLog, nullptr);
    });
    if (access(soundfont.c_str(), R_OK) != 0)
        return false;
    settings = new_fluid_settings();
    fluid_settings_setint(settings, "synth.dynamic-sample-loading", 1);
    fluid_settings_setnum(settings, "synth.sample-rate", rate);
    fluid_settings_setint(settings, "synth.threadsafe-api", 0); // synthMutex guards it
    fluid_settings_setint(settings, "synth.cpu-cores", 1);
    synth = new_fluid_synth(settings);
    if (!synth)
        return false;
    sfont = fluid_synth_sfload(synth, soundfont.c_str(), 1);
    return sfont != FLUID_FAILED;
}

// A pinned instrument stays loaded, so selecting it in the audio callback reads no file.
void Synth::Impl::pin(int bank, int program) {
    const std::pair<int, int> preset{bank, program};
    if (std::find(pinned.begin(), pinned.end(), preset) != pinned.end())
        return;
    {
        std::lock_guard lock(synthMutex);
        if (fluid_synth_pin_preset(synth, sfont, bank, program) == FLUID_OK) {
            pinned.push_back(preset);
            return;
        }
    }
    if (bank != 0 && bank != kDrumBank)
        pin(0, program); // the General MIDI fallback the synthesizer would choose
}
void Synth::Impl::run() {
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(jobsMutex);
            jobsChanged.wait(lock, [this] { return stopping || !jobs.empty(); });
            if (stopping)
                return;
            job = std::move(jobs.front());
            jobs.pop_front();
        }
        job();
    }
}

Synth::Synth(std::string soundfont, int rate) : impl_(std::make_unique<Impl>()) {
    impl_->soundfont = std::move(soundfont);
    impl_->rate = rate;
    impl_->jobs.push_back([this] {
        const bool ok = impl_->load();
        if (ok) {
            impl_->pin(0, 0);
            impl_->pin(kDrumBank, 0);
        }
        state_ = ok ? Loaded : Failed;
    });
    impl_->worker = std::thread([this] { impl_->run(); });
}

Synth::~Synth() {
    {
        std::lock_guard lock(impl_->jobsMutex);
        impl_->stopping = true;
    }
    impl_->jobsChanged.notify_all();
    impl_->worker.join();
    if (impl_->synth)
        delete_fluid_synth(impl_->synth);
    if (impl_->settings)
        delete_fluid_settings(impl_->settings);
}

bool Synth::WaitSettled(std::chrono::milliseconds timeout) const {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!Settled() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return Ready();
}

void Synth::Prepare(std::shared_ptr<const MidiSong> song, std::function<void()> done) {
    {
        std::lock_guard lock(impl_->jobsMutex);
        impl_->jobs.push_back([this, song = std::move(song), done = std::move(done)] {
            if (Ready()) {
                std::array<int, kSongChannels> bank{};
                for (const MidiEvent& e : song->events) {
                    const int channel = e.status & 0x0F;
                    if ((e.status & 0xF0) == 0xB0 && e.data1 == 0)
                        bank[std::size_t(channel)] = e.data2;
                    else if ((e.status & 0xF0) == 0xC0)
                        impl_->pin(channel == kDrumChannel ? kDrumBank : bank[std::size_t(channel)],
                                   e.data1);
                }
            }
            done();
        });
    }
    impl_->jobsChanged.notify_all();
}

bool Synth::TryLock() {
    return Ready() && impl_->synthMutex.try_lock();
}

void Synth::Unlock() {
    impl_->synthMutex.unlock();
}

void Synth::Send(const MidiEvent& e) {
    fluid_synth_t* s = impl_->synth;
    const int channel = e.status & 0x0F;
    switch (e.status & 0xF0) {
    case 0x80:
        fluid_synth_noteoff(s, channel, e.data1);
        break;
    case 0x90:
        fluid_synth_noteon(s, channel, e.data1, e.data2);
        break;
    case 0xA0:
        fluid_synth_key_pressure(s, channel, e.data1, e.data2);
        break;
    case 0xB0:
        fluid_synth_cc(s, channel, e.data1, e.data2);
        break;
    case 0xC0:
        fluid_synth_program_change(s, channel, e.data1);
        break;
    case 0xD0:
        fluid_synth_channel_pressure(s, channel, e.data1);
        break;
    case 0xE0:
        fluid_synth_pitch_bend(s, channel, e.data1 | (e.data2 << 7));
        break;
    default:
        break;
    }
}

void Synth::SoundsOff() {
    fluid_synth_t* s = impl_->synth;
    fluid_synth_all_sounds_off(s, -1);
    // Their echo would ring on for a second; a stopped melody goes silent at once.
    fluid_synth_reverb_on(s, -1, 0);
    fluid_synth_chorus_on(s, -1, 0);
    for (int channel = 0; channel < kSongChannels; ++channel) {
        fluid_synth_cc(s, channel, 121, 0); // reset controllers
        fluid_synth_cc(s, channel, 0, 0);
        fluid_synth_program_change(s, channel, 0); // pinned, so nothing loads
    }
}

void Synth::EffectsOn() {
    fluid_synth_reverb_on(impl_->synth, -1, 1);
    fluid_synth_chorus_on(impl_->synth, -1, 1);
}

void Synth::Render(float* left, float* right, int frames) {
    fluid_synth_write_float(impl_->synth, frames, left, 0, 1, right, 0, 1);
}

int Synth::ActiveVoices() {
    return fluid_synth_get_active_voice_count(impl_->synth);
}

} // namespace platform
