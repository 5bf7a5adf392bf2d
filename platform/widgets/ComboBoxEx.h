// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/gdi/Colors.h"

#include <QComboBox>
#include <QIcon>
#include <functional>
#include <string>

namespace platform {

// The combo box with a picture beside each item, used as a drop-down list without typing.
class TComboBoxEx : public QComboBox {
    Q_OBJECT
public:
    explicit TComboBoxEx(QWidget* parent = nullptr);

    void AddItem(const std::string& caption, const QIcon& picture);
    int ItemIndex() const { return currentIndex(); }
    // Setting the index from the program runs no OnChange.
    void SetItemIndex(int index);
    // The list's background and its text colour.
    void SetColors(TColor background, TColor text);

    // The player picked an item.
    std::function<void(QObject* Sender)> OnChange;
};

} // namespace platform
