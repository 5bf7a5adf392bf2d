// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QRect>
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

// One rectangle of the icon's artwork on its 16x16 grid, painted in list order.
struct IconShape {
    QRect rect;
    QRgb colour;
};

std::vector<Cursor> cursors();
std::vector<Picture> iconFrames();
// The window icon's first frame (the solved board), as pixels and as the rectangles it is
// painted from; the desktop icons are made from these.
QImage iconImage();
std::vector<IconShape> iconShapes();
std::vector<Picture> flags();
// The splash, the about box's picture and the volume window's wedge.
std::vector<Picture> pictures();

// Creates the folders on the way; false when nothing or not everything was written.
bool writeFile(const QString& path, const QByteArray& bytes);

// Empty on failure.
QByteArray pngBytes(const QImage& image);
QByteArray curBytes(const QImage& image, QPoint hotspot);

} // namespace velmar::gen
