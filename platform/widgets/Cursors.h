// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QCursor>
#include <optional>
#include <string>

namespace platform {

constexpr int crDefault = 0;

// Reads a classic .CUR file whose image is stored as PNG; the hotspot comes from its entry.
std::optional<QCursor> CursorFromCurData(const QByteArray& data);

// Loads cursor resource `name`; a missing or damaged one gives no cursor.
std::optional<QCursor> LoadCursor(const std::string& name);

// The screen's cursor table: numbers the program chose, mapped to cursors. An unknown
// number, or one whose cursor could not be loaded, is the default arrow.
void SetScreenCursor(int number, std::optional<QCursor> cursor);
QCursor ScreenCursor(int number);

} // namespace platform
