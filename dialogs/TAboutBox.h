// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/Button3d.h"
#include "controls/Movbut.h"
#include "controls/XPLabel.h"
#include "controls/XPPanel.h"
#include "platform/widgets/Image.h"

#include <QDialog>
#include <cstdint>
#include <string>

namespace dialogs {

// The about box: the program's picture and texts on a large rounded panel, a "Play Game"
// button wandering in a framed area, the machine's memory under the panel, and "OK". It is
// dragged by its background, its panel or its picture. While hidden, its moving button keeps
// no timer and catches up when the box is shown again.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 356;
    static constexpr int ClientHeight = 232;
    static constexpr platform::TColor FormColor = 2500666;
    static constexpr platform::TColor PanelFontColor = 13652736;

    explicit TAboutBox(QWidget* parent = nullptr);

    controls::TXPPanel* XPPanel1;
    platform::TImage* ProgramIcon;
    controls::TXPLabel* XPLabel3;
    controls::TXPLabel* XPLabel4;
    controls::TXPLabel* XPLabel5;
    controls::TXPLabel* XPLabel6;
    controls::TXPPanel* XPPanel2;
    controls::TMovingButton* MovingButton1;
    controls::TXPLabel* XPLabel2;
    controls::TXPLabel* XPLabel1;
    controls::TXPLabel* Label1;
    controls::TXPLabel* Label2;
    controls::TButton3d* Button3d1;

    void FormCreate();
    void FormShow();
    void Button3d1Click();
    void MovingButton1Click();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createPanel();
    void createMovingButton();
    void createFooter();
    void startDrag();

    std::uint64_t FHiddenSince = 0;
};

// "1,234,567 KB": a whole number of kilobytes with the player's thousands separator.
std::string KilobytesText(std::uint64_t bytes);

} // namespace dialogs
