// SPDX-License-Identifier: GPL-3.0-or-later
// The state of the modifier keys as the last input event left it.
#pragma once

#include <cstdint>

namespace platform {

constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_MENU = 0x12;

// Negative (high bit set) while the key is down, as the classic call answers; only the modifier
// keys are tracked.
std::int16_t GetKeyState(int virtualKey);

} // namespace platform
