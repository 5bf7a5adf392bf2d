// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QIcon>
#include <QImage>
#include <string>

namespace platform {

// A PNG picture by path, a resource's included (its name has no suffix). Naming the format
// spares the look-ups by content and by mime type, which at start-up cost milliseconds and
// would keep the mime database in memory. A missing or broken file gives a null result.
QImage LoadPng(const std::string& path);
QIcon LoadPngIcon(const std::string& path);

// PNG bytes decoded by the toolkit's own reader alone: the image format plugins are never
// loaded to be asked whether they know better. Anything but a whole PNG gives a null image.
QImage DecodePng(const QByteArray& bytes);

} // namespace platform
