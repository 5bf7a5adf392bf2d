// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/Image.h"

#include <QPainter>

namespace platform {

TImage::TImage(QWidget* parent) : QWidget(parent) {
    resize(105, 105);
}

void TImage::SetPicture(const QImage& picture) {
    picture_ = picture;
    prepare();
}

void TImage::SetTransparent(bool value) {
    if (transparent_ == value)
        return;
    transparent_ = value;
    prepare();
}

void TImage::prepare() {
    shown_ = picture_.convertToFormat(QImage::Format_ARGB32);
    if (transparent_ && !shown_.isNull()) {
        const QRgb key = shown_.pixel(0, shown_.height() - 1);
        for (int y = 0; y < shown_.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(shown_.scanLine(y));
            for (int x = 0; x < shown_.width(); ++x)
                if (row[x] == key)
                    row[x] = qRgba(0, 0, 0, 0);
        }
    }
    update();
}

void TImage::paintEvent(QPaintEvent*) {
    if (shown_.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(0, 0, shown_);
}

} // namespace platform
