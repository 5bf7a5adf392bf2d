// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace platform {

// How the desktop's sound server lists the game: the application's name, its output's name
// and media role, and the icon of its desktop entry.
struct SoundOutputNames {
    std::string application;
    std::string stream;
    std::string role;
    std::string icon;
};

// Names every sound output opened from now on. Call it first thing in main(): the icon goes
// to the sound server's client library through the environment, which is safe to change only
// while the process has one thread. A name the user set in the environment stays.
void NameSoundOutput(const SoundOutputNames& names);

// Renames the output in the player's language: an output opened from now on takes `stream` as
// its name (one already open keeps its own). Any thread.
void NameSoundStream(const std::string& stream);

// The names given, from any thread (empty fields when none were).
SoundOutputNames SoundOutputName();

} // namespace platform
