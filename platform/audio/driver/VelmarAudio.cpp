// SPDX-License-Identifier: GPL-3.0-or-later
// The loadable audio module: SDL2 output and the FluidSynth synthesizer behind plain C calls.
#include "platform/audio/AudioDriver.h"

#include <SDL.h>
#include <fluidsynth.h>

#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <mutex>
#include <new>

namespace {

constexpr int kChannels = 16;

// Output

struct FillTarget {
    VelmarFill fill;
    void* user;
};

void sdlCallback(void* user, Uint8* stream, int bytes) {
    auto* target = static_cast<FillTarget*>(user);
    target->fill(target->user, reinterpret_cast<float*>(stream), bytes / int(2 * sizeof(float)));
}

void quietAlsa(const char*, int, const char*, int, const char*, ...) {}

using AlsaHandler = void (*)(const char*, int, const char*, int, const char*, ...);
using AlsaSetHandler = int (*)(AlsaHandler);
void* gAlsa = nullptr;

// Without a sound card ALSA prints its failures into the player's terminal, several lines at
// every start; the game runs silently instead. SDL loads the library by name, so setting the
// handler in the copy loaded here silences SDL's use of it too. Held until shutdown.
void silenceAlsa() {
    gAlsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
    if (!gAlsa)
        return;
    if (auto set = reinterpret_cast<AlsaSetHandler>(dlsym(gAlsa, "snd_lib_error_set_handler")))
        set(quietAlsa);
}

// The handler lives in this module: ALSA must not keep it once the module is gone, nor its
// configuration, which it would keep for good once its library is unloaded.
void releaseAlsa() {
    if (!gAlsa)
        return;
    if (auto set = reinterpret_cast<AlsaSetHandler>(dlsym(gAlsa, "snd_lib_error_set_handler")))
        set(nullptr);
    if (auto free = reinterpret_cast<int (*)()>(dlsym(gAlsa, "snd_config_update_free_global")))
        free();
    dlclose(gAlsa);
    gAlsa = nullptr;
}

// SDL keeps each calling thread's error text for good, which would outlive the module once it
// is unloaded; every call lets its thread's go again.
struct ThreadDataCleanup {
    ThreadDataCleanup() = default;
    ThreadDataCleanup(const ThreadDataCleanup&) = delete;
    ThreadDataCleanup& operator=(const ThreadDataCleanup&) = delete;
    ~ThreadDataCleanup() { SDL_TLSCleanup(); }
};

void setHint(const char* hint, const char* value) {
    if (value && *value)
        SDL_SetHint(hint, value);
}

int startOutput(const VelmarOutputNames* names) {
    const ThreadDataCleanup cleanup;
    // SIGINT and SIGTERM belong to the game: SDL would turn them into quit events nobody reads,
    // should it ever start its events here. Set at every start, since a shutdown clears SDL's
    // hints.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (!gAlsa)
        silenceAlsa();
    // Read when the subsystem connects to the server and when a device opens.
    if (names) {
        setHint(SDL_HINT_APP_NAME, names->application);
        setHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, names->application);
        setHint(SDL_HINT_AUDIO_DEVICE_STREAM_NAME, names->stream);
        setHint(SDL_HINT_AUDIO_DEVICE_STREAM_ROLE, names->role);
    }
    // The audio subsystem alone: SDL_InitSubSystem would start SDL's events with it (queues,
    // the session bus), some 0.4 MiB for device notices the game never reads.
    return SDL_AudioInit(nullptr) == 0 ? 1 : 0;
}

void stopOutput() {
    const ThreadDataCleanup cleanup;
    SDL_AudioQuit();
}

// Everything SDL keeps for the process (its hints) and ALSA's hold on this module go, so the
// module can be unloaded. The audio subsystem is stopped.
void shutdown() {
    {
        const ThreadDataCleanup cleanup;
        SDL_AudioQuit();
        SDL_Quit();
    }
    releaseAlsa();
}

// One fill target per open device; the game opens one device at a time.
FillTarget gTarget{};

unsigned openOutput(int rate, int frames, VelmarFill fill, void* user) {
    const ThreadDataCleanup cleanup;
    gTarget = {fill, user};
    SDL_AudioSpec want{};
    want.freq = rate;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = Uint16(frames);
    want.callback = sdlCallback;
    want.userdata = &gTarget;
    return SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0); // opens paused
}

void pauseOutput(unsigned device, int pause) {
    const ThreadDataCleanup cleanup;
    SDL_PauseAudioDevice(device, pause);
}

void closeOutput(unsigned device) {
    const ThreadDataCleanup cleanup;
    SDL_CloseAudioDevice(device);
}

// SDL keeps calling a lost device's callback at its pace, so the game's clocks run on; only
// its status tells that nothing is heard.
int outputLost(unsigned device) {
    const ThreadDataCleanup cleanup;
    return SDL_GetAudioDeviceStatus(device) == SDL_AUDIO_STOPPED ? 1 : 0;
}

// Fonts come from the caller's source, named to FluidSynth as "velmar-font:<address>"; it
// opens the name again each time it reads samples.

struct FontHandle {
    const VelmarFontSource* source;
    long long pos;
};

void* fontOpen(const char* name) {
    void* address = nullptr;
    if (std::sscanf(name, "velmar-font:%p", &address) != 1 || !address)
        return nullptr;
    return new (std::nothrow) FontHandle{static_cast<const VelmarFontSource*>(address), 0};
}

int fontRead(void* buf, fluid_long_long_t count, void* handle) {
    auto* h = static_cast<FontHandle*>(handle);
    if (count < 0 || h->pos < 0 || count > h->source->size - h->pos)
        return FLUID_FAILED;
    if (h->source->read(h->source->user, static_cast<unsigned long long>(h->pos), buf,
                        static_cast<unsigned long long>(count)) != count)
        return FLUID_FAILED;
    h->pos += count;
    return FLUID_OK;
}

int fontSeek(void* handle, fluid_long_long_t offset, int origin) {
    auto* h = static_cast<FontHandle*>(handle);
    long long to = offset;
    if (origin == SEEK_CUR)
        to += h->pos;
    else if (origin == SEEK_END)
        to += h->source->size;
    else if (origin != SEEK_SET)
        return FLUID_FAILED;
    if (to < 0 || to > h->source->size)
        return FLUID_FAILED;
    h->pos = to;
    return FLUID_OK;
}

fluid_long_long_t fontTell(void* handle) {
    return static_cast<FontHandle*>(handle)->pos;
}

int fontClose(void* handle) {
    delete static_cast<FontHandle*>(handle);
    return FLUID_OK;
}

void quietLog(int, const char*, void*) {}

// Synthesizer

struct Synth {
    fluid_settings_t* settings;
    fluid_synth_t* synth;
};

// libinstpatch, which FluidSynth starts for its DLS loader, registers its object types with
// GObject for good. Unloaded and loaded again, it would register them afresh, and that hangs
// in GLib's once-only initialisation; so it stays once loaded, as GObject and GLib do.
void pinInstpatch() {
    dlopen("libinstpatch-1.0.so.2", RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
}

// FluidSynth sets up its default modulators at the first synthesizer of a load, after it has
// marked that done: another engine's worker making one at the same moment would copy them
// unset, and its instruments would play several times too loud. Its start and end of
// libinstpatch are not thread-safe either.
std::mutex gSynthsMutex;

void* newSynth(int rate) {
    std::lock_guard lock(gSynthsMutex);
    pinInstpatch();
    // Nothing is reported, as on the classic desktop.
    for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
        fluid_set_log_function(level, quietLog, nullptr);
    fluid_settings_t* settings = new_fluid_settings();
    if (!settings)
        return nullptr;
    fluid_settings_setint(settings, "synth.dynamic-sample-loading", 1);
    fluid_settings_setnum(settings, "synth.sample-rate", rate);
    fluid_settings_setint(settings, "synth.threadsafe-api", 0); // the caller serialises
    fluid_settings_setint(settings, "synth.cpu-cores", 1);
    fluid_settings_setint(settings, "synth.polyphony", kVelmarPolyphony);
    fluid_synth_t* synth = new_fluid_synth(settings);
    if (!synth) {
        delete_fluid_settings(settings);
        return nullptr;
    }
    fluid_sfloader_t* loader = new_fluid_defsfloader(settings);
    if (!loader || fluid_sfloader_set_callbacks(loader, fontOpen, fontRead, fontSeek, fontTell,
                                                fontClose) != FLUID_OK) {
        if (loader)
            delete_fluid_sfloader(loader);
        delete_fluid_synth(synth);
        delete_fluid_settings(settings);
        return nullptr;
    }
    fluid_synth_add_sfloader(synth, loader); // owned by the synthesizer from here
    return new (std::nothrow) Synth{settings, synth};
}

void deleteSynth(void* s) {
    auto* synth = static_cast<Synth*>(s);
    if (!synth)
        return;
    std::lock_guard lock(gSynthsMutex);
    delete_fluid_synth(synth->synth);
    delete_fluid_settings(synth->settings);
    delete synth;
}

fluid_synth_t* fs(void* s) {
    return static_cast<Synth*>(s)->synth;
}

int loadFont(void* s, const VelmarFontSource* source) {
    char name[64];
    std::snprintf(name, sizeof name, "velmar-font:%p", static_cast<const void*>(source));
    const int id = fluid_synth_sfload(fs(s), name, 0);
    return id == FLUID_FAILED ? -1 : id;
}

void unloadFont(void* s, int font) {
    fluid_synth_sfunload(fs(s), font, 0);
}

int pinPreset(void* s, int font, int bank, int program) {
    return fluid_synth_pin_preset(fs(s), font, bank, program) == FLUID_OK ? 0 : -1;
}

void send(void* s, int status, int data1, int data2) {
    fluid_synth_t* synth = fs(s);
    const int channel = status & 0x0F;
    switch (status & 0xF0) {
    case 0x80:
        fluid_synth_noteoff(synth, channel, data1);
        break;
    case 0x90:
        fluid_synth_noteon(synth, channel, data1, data2);
        break;
    case 0xA0:
        fluid_synth_key_pressure(synth, channel, data1, data2);
        break;
    case 0xB0:
        fluid_synth_cc(synth, channel, data1, data2);
        break;
    case 0xC0:
        fluid_synth_program_change(synth, channel, data1);
        break;
    case 0xD0:
        fluid_synth_channel_pressure(synth, channel, data1);
        break;
    case 0xE0:
        fluid_synth_pitch_bend(synth, channel, data1 | (data2 << 7));
        break;
    default:
        break;
    }
}

void unsetPrograms(void* s) {
    for (int channel = 0; channel < kChannels; ++channel)
        fluid_synth_unset_program(fs(s), channel);
}

void soundsOff(void* s) {
    fluid_synth_t* synth = fs(s);
    fluid_synth_all_sounds_off(synth, -1);
    // Their echo would ring on for a second; a stopped melody goes silent at once.
    fluid_synth_reverb_on(synth, -1, 0);
    fluid_synth_chorus_on(synth, -1, 0);
    for (int channel = 0; channel < kChannels; ++channel) {
        fluid_synth_cc(synth, channel, 121, 0); // reset controllers
        fluid_synth_cc(synth, channel, 0, 0);
        fluid_synth_program_change(synth, channel, 0); // the default instruments, pinned
    }
}

void effects(void* s, int on) {
    fluid_synth_reverb_on(fs(s), -1, on);
    fluid_synth_chorus_on(fs(s), -1, on);
}

void render(void* s, float* left, float* right, int frames) {
    fluid_synth_write_float(fs(s), frames, left, 0, 1, right, 0, 1);
}

int activeVoices(void* s) {
    return fluid_synth_get_active_voice_count(fs(s));
}

const VelmarAudioDriver kDriver = {
    kVelmarAudioDriverVersion,
    startOutput,
    stopOutput,
    openOutput,
    pauseOutput,
    closeOutput,
    outputLost,
    shutdown,
    newSynth,
    deleteSynth,
    loadFont,
    unloadFont,
    pinPreset,
    send,
    unsetPrograms,
    soundsOff,
    effects,
    render,
    activeVoices,
};

} // namespace

extern "C" __attribute__((visibility("default"))) const VelmarAudioDriver* velmar_audio_driver() {
    return &kDriver;
}
