// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gdi/Pictures.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPixmap>

namespace platform {

namespace {

// Even with the format named, a reader that may detect formats first loads every image format
// plugin installed (and the JPEG library with one of them) to offer it the picture.
QImage readPng(QIODevice& device) {
    QImageReader reader(&device, QByteArrayLiteral("png"));
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

} // namespace

QImage LoadPng(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return readPng(file);
}

QIcon LoadPngIcon(const std::string& path) {
    const QImage image = LoadPng(path);
    return image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image));
}

QImage DecodePng(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    return readPng(buffer);
}

} // namespace platform
