// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/ComboBoxEx.h"

#include "platform/widgets/AccessibleWidgets.h"
#include "platform/widgets/ComboColors.h"

namespace platform {

TComboBoxEx::TComboBoxEx(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    setIconSize(QSize(16, 16));
    setMaxVisibleItems(8);
    SpeakChoiceChanges(this);
    connect(this, &QComboBox::activated, this, [this] {
        if (OnChange)
            OnChange(this);
    });
}

void TComboBoxEx::AddItem(const std::string& caption, const QIcon& picture) {
    addItem(picture, QString::fromStdString(caption));
}

void TComboBoxEx::SetItemIndex(int index) {
    const QSignalBlocker quiet(this);
    setCurrentIndex(index);
}

void TComboBoxEx::SetColors(TColor background, TColor text) {
    SetComboColors(*this, background, text);
}

} // namespace platform
