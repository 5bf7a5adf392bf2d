// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The sound device and the synthesizer live in a module of their own, loaded on a worker
// thread at the first sound: SDL2 and FluidSynth bring some forty shared libraries, which
// would otherwise be mapped and relocated before the main window could show. The module
// offers plain C functions, so nothing of C++ crosses the boundary.
extern "C" {

struct VelmarFontSource {
    void* user;
    long long size;
    // Copies up to `count` bytes from `offset`; the bytes copied, or -1 on a failed read.
    long long (*read)(void* user, unsigned long long offset, void* out, unsigned long long count);
};

using VelmarFill = void (*)(void* user, float* out, int frames); // interleaved stereo

// How the sound server lists the game's output; a null field keeps SDL's own name.
struct VelmarOutputNames {
    const char* application; // "Velmar"
    const char* stream;      // the stream's own name beside it
    const char* role;        // the media role, "game"
};

struct VelmarAudioDriver {
    int version;

    // The sound device: 0 when there is none. A device opens paused.
    // The audio subsystem, named for the sound server (names may be null); 0 when it cannot
    // start. Stopped and started again, it connects afresh to a server that came back.
    int (*startOutput)(const VelmarOutputNames* names);
    void (*stopOutput)(void);
    unsigned (*openOutput)(int rate, int frames, VelmarFill fill, void* user);
    void (*pauseOutput)(unsigned device, int pause);
    void (*closeOutput)(unsigned device);
    // 1 once the device has gone (its sound server ended); it stays gone until closed.
    int (*outputLost)(unsigned device);
    // Before the module is unloaded, with no device open and no synthesizer left: stops the
    // audio subsystem and lets go of what would otherwise outlive the module.
    void (*shutdown)(void);

    // The synthesizer; none of these is thread-safe, the caller serialises them.
    void* (*newSynth)(int rate);
    void (*deleteSynth)(void* synth);
    int (*loadFont)(void* synth, const VelmarFontSource* source); // -1 on failure
    void (*unloadFont)(void* synth, int font);
    int (*pinPreset)(void* synth, int font, int bank, int program); // 0 when pinned
    void (*send)(void* synth, int status, int data1, int data2);
    void (*unsetPrograms)(void* synth);
    void (*soundsOff)(void* synth); // also the reverb and chorus, until effects(1)
    void (*effects)(void* synth, int on);
    void (*render)(void* synth, float* left, float* right, int frames);
    int (*activeVoices)(void* synth);
};

constexpr int kVelmarAudioDriverVersion = 3;
// The game's melodies sound 51 voices at their fullest, and render the same with 64 as with
// 256; every voice costs some 10 KiB of the synthesizer's memory.
constexpr int kVelmarPolyphony = 64;
using VelmarAudioDriverEntry = const VelmarAudioDriver* (*)(void);
}
