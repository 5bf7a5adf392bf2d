// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace media {

// Starts one of the game's clips ("CLICK", "FINALLY", "GAMEOVER", "KEY", "MOVE") in the
// background; the result is not looked at.
void StartSound(const std::string& name);

} // namespace media
