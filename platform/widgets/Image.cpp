// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/Image.h"

#include <QPainter>

#include <utility>

namespace platform {

namespace {

QImage keyedOut(const QImage& picture, bool transparent) {
    QImage shown = picture.convertToFormat(QImage::Format_ARGB32);
    if (transparent && !shown.isNull()) {
        const QRgb key = shown.pixel(0, shown.height() - 1);
        for (int y = 0; y < shown.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(shown.scanLine(y));
            for (int x = 0; x < shown.width(); ++x)
                if (row[x] == key)
                    row[x] = qRgba(0, 0, 0, 0);
        }
    }
    return shown;
}

} // namespace

TImage::TImage(QWidget* parent) : QWidget(parent) {
    resize(105, 105);
}

const QImage& TImage::Picture() const {
    loadPending();
    return picture_;
}

void TImage::SetPicture(const QImage& picture) {
    pending_ = nullptr;
    picture_ = picture;
    prepare();
}

void TImage::SetPictureFrom(std::function<QImage()> load) {
    pending_ = std::move(load);
    picture_ = QImage();
    shown_ = QImage();
    update();
}

void TImage::loadPending() const {
    if (!pending_)
        return;
    picture_ = std::exchange(pending_, nullptr)();
    shown_ = keyedOut(picture_, transparent_);
}

void TImage::SetTransparent(bool value) {
    if (transparent_ == value)
        return;
    transparent_ = value;
    prepare();
}

void TImage::prepare() {
    if (pending_)
        return; // made when the picture is read
    shown_ = keyedOut(picture_, transparent_);
    update();
}

void TImage::paintEvent(QPaintEvent*) {
    loadPending();
    if (shown_.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(0, 0, shown_);
}

} // namespace platform
