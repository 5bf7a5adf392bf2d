// SPDX-License-Identifier: GPL-3.0-or-later
// The enumerations the custom controls share.
#pragma once

#include "platform/gdi/Canvas.h"

namespace controls {

enum TCaptionAlignment { caLeft = 0, caRight = 1, caCenter = 2 };

enum TButton3dStyle { bsRecessed = 0, bsShadowed = 1 };

// The DrawText flag that places a caption as the alignment asks.
constexpr unsigned CaptionAlignmentFlag(TCaptionAlignment alignment) {
    switch (alignment) {
    case caRight:
        return platform::DT_RIGHT;
    case caCenter:
        return platform::DT_CENTER;
    case caLeft:
        break;
    }
    return platform::DT_LEFT;
}

} // namespace controls
