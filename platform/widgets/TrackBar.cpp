// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/TrackBar.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>

namespace platform {

namespace {

constexpr int kThumbInset = 2;      // from the edge to the thumb without ticks before it
constexpr int kTickedInset = 10;    // with ticks before it
constexpr int kTickGap = 2;         // between the thumb and its ticks
constexpr int kTickLength = 3;      // an inner tick; the two end ticks are one longer
constexpr int kWheelLines = 3;      // lines per wheel notch, as a scroll bar moves
constexpr int kFirstRepeatMs = 400; // holding the button beside the thumb keeps paging
constexpr int kRepeatMs = 100;

} // namespace

TTrackBar::TTrackBar(QWidget* parent) : TCanvasControl(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(150, 45);
    connect(&pageRepeat_, &QTimer::timeout, this, [this] {
        pageRepeat_.setInterval(kRepeatMs);
        pageTowardsPress();
    });
}

// The volume poll sets the range on every tick; only a change repaints.
void TTrackBar::SetMin(int value) {
    if (FMin == value)
        return;
    FMin = value;
    FMax = std::max(FMax, FMin);
    FPosition = std::clamp(FPosition, FMin, FMax);
    update();
}

void TTrackBar::SetMax(int value) {
    if (FMax == value)
        return;
    FMax = value;
    FMin = std::min(FMin, FMax);
    FPosition = std::clamp(FPosition, FMin, FMax);
    update();
}

void TTrackBar::SetPosition(int value) {
    value = std::clamp(value, FMin, FMax);
    if (value == FPosition)
        return;
    FPosition = value;
    update();
}

void TTrackBar::SetOrientation(TTrackBarOrientation value) {
    if (FOrientation == value)
        return;
    FOrientation = value;
    update();
}

void TTrackBar::SetThumbLength(int value) {
    FThumbLength = std::max(value, 4);
    update();
}

void TTrackBar::SetTickMarks(TTickMark value) {
    FTickMarks = value;
    update();
}

void TTrackBar::SetTickStyle(TTickStyle value) {
    FTickStyle = value;
    update();
}

void TTrackBar::SetFrequency(int value) {
    FFrequency = value;
    update();
}

bool TTrackBar::ticksBefore() const {
    return FTickStyle != tsNone && FTickMarks != tmBottomRight;
}

bool TTrackBar::ticksAfter() const {
    return FTickStyle != tsNone && FTickMarks != tmTopLeft;
}

// The thumb's extent along the channel: about half its length across, always odd so that it
// has a centre pixel for the ticks to line up with.
int TTrackBar::thumbDepth() const {
    return (FThumbLength / 2) | 1;
}

TRect TTrackBar::oriented(int alongFrom, int acrossFrom, int alongTo, int acrossTo) const {
    return vertical() ? Rect(acrossFrom, alongFrom, acrossTo, alongTo)
                      : Rect(alongFrom, acrossFrom, alongTo, acrossTo);
}

int TTrackBar::along(const QPointF& p) const {
    return static_cast<int>(vertical() ? p.y() : p.x());
}

TRect TTrackBar::ChannelRect() const {
    const int length = vertical() ? height() : width();
    const int edge = FThumbLength / 4 + 3;
    const int thickness = FThumbLength / 4 * 3;
    const int thumbAcross = ticksBefore() ? kTickedInset : kThumbInset;
    const int across = thumbAcross + (FThumbLength - thickness) / 2;
    return oriented(edge, across, length - edge, across + thickness);
}

// Where the thumb may start along the channel: from `from`, over `length` pixels.
TTrackBar::Travel TTrackBar::travel() const {
    const TRect channel = ChannelRect();
    const int from = vertical() ? channel.Top : channel.Left;
    const int to = vertical() ? channel.Bottom : channel.Right;
    return {from, to - from - thumbDepth()};
}

// The start of the thumb at `position`.
int TTrackBar::thumbStart(int position) const {
    const Travel t = travel();
    return t.from + std::max(0, t.length) * (position - FMin) / std::max(1, FMax - FMin);
}

TRect TTrackBar::ThumbRect() const {
    const int start = thumbStart(FPosition);
    const int across = ticksBefore() ? kTickedInset : kThumbInset;
    return oriented(start, across, start + thumbDepth(), across + FThumbLength);
}

int TTrackBar::TickCoordinate(int position) const {
    return thumbStart(position) + thumbDepth() / 2;
}

// The position whose thumb starts nearest to `start` along the channel.
int TTrackBar::positionOfThumbStart(int start) const {
    const Travel t = travel();
    if (t.length <= 0)
        return FMin;
    return std::clamp(FMin + MulDiv(start - t.from, FMax - FMin, t.length), FMin, FMax);
}

void TTrackBar::UserMove(int position) {
    const int before = FPosition;
    SetPosition(position);
    if (FPosition != before && OnChange)
        OnChange(this);
}

void TTrackBar::moveBy(int delta) {
    UserMove(FPosition + delta);
}

void TTrackBar::PaintTo(Canvas& canvas) const {
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = clBtnFace;
    canvas.FillRect(Rect(0, 0, width(), height()));

    // The channel is sunk in two rings and white inside, as the classic selection-range bar.
    TRect channel = ChannelRect();
    canvas.Frame3D(channel, clBtnShadow, clBtnHighlight, 1);
    canvas.Frame3D(channel, cl3DDkShadow, cl3DLight, 1);
    canvas.Brush.Color = clWhite;
    canvas.FillRect(channel);

    if (FTickStyle != tsNone)
        drawTicks(canvas);
    drawThumb(canvas);
    if (hasFocus())
        canvas.DrawFocusRect(Rect(0, 0, width(), height()));
}

void TTrackBar::drawTicks(Canvas& canvas) const {
    const TRect thumb = ThumbRect();
    // Ticks before the thumb end kTickGap short of it, ticks after it start kTickGap past it.
    const int beforeEnd = (vertical() ? thumb.Left : thumb.Top) - kTickGap;
    const int afterStart = (vertical() ? thumb.Right : thumb.Bottom) + kTickGap;
    canvas.Pen.Color = clBtnText;
    canvas.Pen.Width = 1;
    canvas.Pen.Style = psSolid;
    auto line = [&](int at, int from, int to) {
        canvas.MoveTo(vertical() ? from : at, vertical() ? at : from);
        canvas.LineTo(vertical() ? to : at, vertical() ? at : to);
    };
    auto tick = [&](int position, int length) {
        const int at = TickCoordinate(position);
        if (ticksBefore())
            line(at, beforeEnd - 1, beforeEnd - 1 - length);
        if (ticksAfter())
            line(at, afterStart, afterStart + length);
    };
    if (FTickStyle == tsAuto && FFrequency > 0)
        for (int p = FMin + FFrequency; p < FMax; p += FFrequency)
            tick(p, kTickLength);
    tick(FMin, kTickLength + 1);
    tick(FMax, kTickLength + 1);
}

void TTrackBar::drawThumb(Canvas& canvas) const {
    TRect face = ThumbRect();
    canvas.DrawFrameControl(face, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT);
    if (!dragging_ && isEnabled())
        return;
    // A held or disabled thumb shows the classic checkered face.
    for (int y = face.Top; y < face.Bottom; ++y)
        for (int x = face.Left; x < face.Right; ++x)
            if ((x + y) & 1)
                canvas.SetPixel(x, y, clBtnHighlight);
}

void TTrackBar::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        moveBy(-FLineSize);
        break;
    case Qt::Key_Right:
    case Qt::Key_Down:
        moveBy(FLineSize);
        break;
    case Qt::Key_PageUp:
        moveBy(-FPageSize);
        break;
    case Qt::Key_PageDown:
        moveBy(FPageSize);
        break;
    case Qt::Key_Home:
        UserMove(FMin);
        break;
    case Qt::Key_End:
        UserMove(FMax);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void TTrackBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const TRect thumb = ThumbRect();
    const QPoint p = event->position().toPoint();
    const bool onThumb =
        p.x() >= thumb.Left && p.x() < thumb.Right && p.y() >= thumb.Top && p.y() < thumb.Bottom;
    if (onThumb) {
        dragging_ = true;
        grabOffset_ = along(event->position()) - (vertical() ? thumb.Top : thumb.Left);
        update();
        return;
    }
    pressAlong_ = along(event->position());
    pageTowardsPress();
    pageRepeat_.start(kFirstRepeatMs);
}

void TTrackBar::pageTowardsPress() {
    const TRect thumb = ThumbRect();
    const int start = vertical() ? thumb.Top : thumb.Left;
    if (pressAlong_ < start)
        moveBy(-FPageSize);
    else if (pressAlong_ >= start + thumbDepth())
        moveBy(FPageSize);
    else
        pageRepeat_.stop();
}

void TTrackBar::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_)
        UserMove(positionOfThumbStart(along(event->position()) - grabOffset_));
}

void TTrackBar::mouseReleaseEvent(QMouseEvent* event) {
    pageRepeat_.stop();
    if (dragging_ && event->button() == Qt::LeftButton) {
        dragging_ = false;
        update();
    }
}

void TTrackBar::wheelEvent(QWheelEvent* event) {
    const QPoint delta = event->angleDelta();
    // Smooth scrolling sends parts of a notch; they add up until a whole notch is reached.
    wheelRemainder_ += delta.y() != 0 ? delta.y() : delta.x();
    const int notches = wheelRemainder_ / 120;
    wheelRemainder_ -= notches * 120;
    if (notches == 0) {
        event->accept();
        return;
    }
    // Turning the wheel away moves towards Min, as it scrolls a scroll bar up.
    moveBy(-notches * kWheelLines * FLineSize);
    event->accept();
}

void TTrackBar::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void TTrackBar::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

} // namespace platform
