// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QWidget>

namespace platform {

// The classic picture control: the picture at its top-left corner, clipped to the control,
// not stretched. A transparent picture leaves out every pixel of its bottom-left pixel's
// colour, so the window shows through.
class TImage : public QWidget {
    Q_OBJECT
public:
    explicit TImage(QWidget* parent = nullptr);

    const QImage& Picture() const { return picture_; }
    void SetPicture(const QImage& picture);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    void prepare();

    QImage picture_;
    QImage shown_; // the picture with its transparent colour keyed out
    bool transparent_ = false;
};

} // namespace platform
