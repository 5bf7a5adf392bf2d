// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/gdi/Colors.h"

#include <QComboBox>
#include <functional>

namespace platform {

constexpr TColor clNone = 0x1FFFFFFF;

enum TColorBoxStyle : unsigned { cbStandardColors = 1, cbIncludeNone = 2 };

// The colour chooser: a drop-down list of colours, each with its swatch and its name. A colour
// that is none of the entries, selected by the program, shows as one extra entry named by its
// hexadecimal value, so it is kept as it was.
class TColorBox : public QComboBox {
    Q_OBJECT
public:
    explicit TColorBox(QWidget* parent = nullptr, unsigned style = cbStandardColors);

    TColor Selected() const;
    // Selecting from the program runs no OnClick.
    void SetSelected(TColor color);
    TColor Colors(int index) const;
    void SetItemHeight(int height);
    // The list's background and its text colour.
    void SetColors(TColor background, TColor text);

    // The player picked an entry.
    std::function<void(QObject* Sender)> OnClick;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void addColor(TColor color, const QString& name);
    int customIndex() const;
    int itemHeight_ = 16;
};

} // namespace platform
