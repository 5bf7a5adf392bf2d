// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gdi/Pictures.h"

#include <QPixmap>

namespace platform {

QImage LoadPng(const std::string& path) {
    return QImage(QString::fromStdString(path), "PNG");
}

QIcon LoadPngIcon(const std::string& path) {
    const QPixmap pixmap(QString::fromStdString(path), "PNG");
    return pixmap.isNull() ? QIcon() : QIcon(pixmap);
}

} // namespace platform
