// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/gdi/Colors.h"

class QComboBox;

namespace platform {

// A drop-down list's colours, on the box and on its open list alike.
void SetComboColors(QComboBox& box, TColor background, TColor text);

} // namespace platform
