// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QString>

#include <vector>

namespace velmar::gen {

struct Cursor {
    QString path; // relative to the resources directory
    QImage image;
    QPoint hotspot;
};

struct Picture {
    QString path; // relative to the resources directory
    QImage image;
};

std::vector<Cursor> cursors();
std::vector<Picture> iconFrames();
std::vector<Picture> flags();
// The splash, the about box's picture and the volume window's wedge.
std::vector<Picture> pictures();

// Empty on failure.
QByteArray pngBytes(const QImage& image);
QByteArray curBytes(const QImage& image, QPoint hotspot);

} // namespace velmar::gen
