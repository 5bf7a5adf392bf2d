// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QWidget>
#include <functional>

namespace platform {

// The classic picture control: the picture at its top-left corner, clipped to the control,
// not stretched. A transparent picture leaves out every pixel of its bottom-left pixel's
// colour, so the window shows through.
class TImage : public QWidget {
    Q_OBJECT
public:
    explicit TImage(QWidget* parent = nullptr);

    const QImage& Picture() const;
    void SetPicture(const QImage& picture);
    // The picture `load` gives, read when it is first painted or asked for: a window made at
    // the start and shown later decodes it only then.
    void SetPictureFrom(std::function<QImage()> load);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    void prepare();
    void loadPending() const;

    // The picture and `shown_` are made from `pending_` at the first need.
    mutable std::function<QImage()> pending_;
    mutable QImage picture_;
    mutable QImage shown_; // the picture with its transparent colour keyed out
    bool transparent_ = false;
};

} // namespace platform
