// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/ComboColors.h"

#include <QAbstractItemView>
#include <QComboBox>

namespace platform {

void SetComboColors(QComboBox& box, TColor background, TColor text) {
    QPalette p = box.palette();
    for (QPalette::ColorRole role : {QPalette::Base, QPalette::Button, QPalette::Window})
        p.setColor(role, ToQColor(background));
    for (QPalette::ColorRole role : {QPalette::Text, QPalette::ButtonText, QPalette::WindowText})
        p.setColor(role, ToQColor(text));
    box.setPalette(p);
    box.view()->setPalette(p);
}

} // namespace platform
