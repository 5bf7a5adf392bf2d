// SPDX-License-Identifier: GPL-3.0-or-later
// The file formats the game reads its artwork in.
#include "art.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>

namespace velmar::gen {

bool writeFile(const QString& path, const QByteArray& bytes) {
    if (bytes.isEmpty() || !QDir().mkpath(QFileInfo(path).absolutePath())) {
        return false;
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size() && file.flush();
}

QByteArray pngBytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image)) {
        return {};
    }
    return bytes;
}

QByteArray curBytes(const QImage& image, QPoint hotspot) {
    const QByteArray png = pngBytes(image);
    if (png.isEmpty() || image.width() > 256 || image.height() > 256) {
        return {};
    }
    QByteArray out;
    auto u8 = [&out](unsigned value) { out.append(char(value & 0xffu)); };
    auto u16 = [&u8](unsigned value) {
        u8(value);
        u8(value >> 8);
    };
    auto u32 = [&u16](unsigned value) {
        u16(value & 0xffffu);
        u16(value >> 16);
    };
    constexpr unsigned kHeaderSize = 6 + 16;
    u16(0);                      // reserved
    u16(2);                      // cursor
    u16(1);                      // image count
    u8(unsigned(image.width())); // 256 wraps to 0, which is how the format spells it
    u8(unsigned(image.height()));
    u8(0); // colour count: not a palette image
    u8(0); // reserved
    u16(unsigned(hotspot.x()));
    u16(unsigned(hotspot.y()));
    u32(unsigned(png.size()));
    u32(kHeaderSize);
    out.append(png);
    return out;
}

} // namespace velmar::gen
