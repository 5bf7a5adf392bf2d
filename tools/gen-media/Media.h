// SPDX-License-Identifier: GPL-3.0-or-later
// The game's melodies and sound clips, each as the bytes of its file.
#pragma once

#include <string>

namespace velmar::media {

std::string waltzMidi(); // Music.mid
std::string marchMidi(); // Music2.mid
std::string popMidi();   // Music3.mid

std::string clickWave();
std::string finallyWave();
std::string gameOverWave();
std::string keyWave();
std::string moveWave();

} // namespace velmar::media
