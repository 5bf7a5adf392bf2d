// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ui/Keyboard.h"

#include <QGuiApplication>

namespace platform {

std::int16_t GetKeyState(int virtualKey) {
    // The modifiers as of the events delivered so far, not the keyboard's state this instant,
    // which is what the classic call reports too.
    const Qt::KeyboardModifiers held = QGuiApplication::keyboardModifiers();
    Qt::KeyboardModifier wanted = Qt::NoModifier;
    switch (virtualKey) {
    case VK_SHIFT:
        wanted = Qt::ShiftModifier;
        break;
    case VK_CONTROL:
        wanted = Qt::ControlModifier;
        break;
    case VK_MENU:
        wanted = Qt::AltModifier;
        break;
    default:
        return 0;
    }
    return held.testFlag(wanted) ? static_cast<std::int16_t>(0x8000) : 0;
}

} // namespace platform
