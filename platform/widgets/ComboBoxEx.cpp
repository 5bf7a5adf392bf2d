// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/ComboBoxEx.h"

#include <QAbstractItemView>

namespace platform {

TComboBoxEx::TComboBoxEx(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    setIconSize(QSize(16, 16));
    setMaxVisibleItems(8);
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
    QPalette p = palette();
    for (QPalette::ColorRole role : {QPalette::Base, QPalette::Button, QPalette::Window})
        p.setColor(role, ToQColor(background));
    for (QPalette::ColorRole role : {QPalette::Text, QPalette::ButtonText, QPalette::WindowText})
        p.setColor(role, ToQColor(text));
    setPalette(p);
    view()->setPalette(p);
}

} // namespace platform
