// SPDX-License-Identifier: GPL-3.0-or-later
// The item state bits an owner-drawn button or menu item is painted for.
#pragma once

namespace platform {

constexpr unsigned ODS_SELECTED = 0x0001;
constexpr unsigned ODS_GRAYED = 0x0002;
constexpr unsigned ODS_DISABLED = 0x0004;
constexpr unsigned ODS_CHECKED = 0x0008;
constexpr unsigned ODS_FOCUS = 0x0010;
constexpr unsigned ODS_DEFAULT = 0x0020;
constexpr unsigned ODS_HOTLIGHT = 0x0040;
constexpr unsigned ODS_INACTIVE = 0x0080;
constexpr unsigned ODS_NOACCEL = 0x0100;
constexpr unsigned ODS_NOFOCUSRECT = 0x0200;

} // namespace platform
