// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/widgets/Panel.h"

#include <QWidget>

namespace dialogs {

// The splash window shown while the game loads.
class TLogotip : public QWidget {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 212;
    static constexpr int ClientHeight = 43;

    explicit TLogotip(QWidget* parent = nullptr);

    platform::TPanel* Panel1;

private:
    void Panel1Click();
};

} // namespace dialogs
