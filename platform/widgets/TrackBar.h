// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/gdi/Canvas.h"
#include "platform/gdi/CanvasControl.h"

#include <QTimer>
#include <QWidget>
#include <functional>

namespace platform {

enum TTrackBarOrientation { trHorizontal, trVertical };
enum TTickMark { tmBottomRight, tmTopLeft, tmBoth };
enum TTickStyle { tsNone, tsAuto, tsManual };

// The classic track bar: a sunken white channel, a raised thumb ThumbLength pixels across it,
// tick marks beside it. Min is at the left or the top. Only the user's moves (dragging,
// clicking beside the thumb, keys, the wheel) raise OnChange; a position set by the program
// never does.
class TTrackBar : public TCanvasControl<QWidget> {
    Q_OBJECT
public:
    explicit TTrackBar(QWidget* parent = nullptr);

    int Min() const { return FMin; }
    void SetMin(int value);
    int Max() const { return FMax; }
    void SetMax(int value);
    int Position() const { return FPosition; }
    void SetPosition(int value);
    // A move the user made (drag, keys, wheel, a screen reader): OnChange follows a change.
    void UserMove(int position);
    TTrackBarOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TTrackBarOrientation value);
    int ThumbLength() const { return FThumbLength; }
    void SetThumbLength(int value);
    TTickMark TickMarks() const { return FTickMarks; }
    void SetTickMarks(TTickMark value);
    TTickStyle TickStyle() const { return FTickStyle; }
    void SetTickStyle(TTickStyle value);
    // The step of the automatic ticks; manual ticks stand only at Min and Max.
    int Frequency() const { return FFrequency; }
    void SetFrequency(int value);
    int LineSize() const { return FLineSize; }
    void SetLineSize(int value) { FLineSize = value; }
    int PageSize() const { return FPageSize; }
    void SetPageSize(int value) { FPageSize = value; }

    std::function<void(QObject* sender)> OnChange;

    // Where the parts stand for the current size and settings.
    TRect ChannelRect() const;
    TRect ThumbRect() const;
    // The centre line of the thumb at `position`, along the channel; the ticks stand there.
    int TickCoordinate(int position) const;

    void PaintTo(Canvas& canvas) const override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool vertical() const { return FOrientation == trVertical; }
    bool ticksBefore() const;
    bool ticksAfter() const;
    int thumbDepth() const;
    int along(const QPointF& p) const;
    TRect oriented(int alongFrom, int acrossFrom, int alongTo, int acrossTo) const;
    struct Travel {
        int from;
        int length;
    };
    Travel travel() const;
    int thumbStart(int position) const;
    int positionOfThumbStart(int start) const;
    void moveBy(int delta);
    void pageTowardsPress();
    void drawTicks(Canvas& canvas) const;
    void drawThumb(Canvas& canvas) const;

    int FMin = 0;
    int FMax = 10;
    int FPosition = 0;
    TTrackBarOrientation FOrientation = trHorizontal;
    int FThumbLength = 20;
    TTickMark FTickMarks = tmBottomRight;
    TTickStyle FTickStyle = tsAuto;
    int FFrequency = 1;
    int FLineSize = 1;
    int FPageSize = 2;

    bool dragging_ = false;
    int wheelRemainder_ = 0; // eighths of a degree short of a whole notch
    int grabOffset_ = 0;     // from the thumb's start to where it was grabbed
    int pressAlong_ = 0;     // where a press beside the thumb pages towards
    QTimer pageRepeat_;
};

} // namespace platform
