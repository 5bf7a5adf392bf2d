// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/AccessibleControls.h"

#include "controls/Button3d.h"
#include "controls/XPBordered.h"
#include "controls/XPButton.h"
#include "controls/XPLabel.h"
#include "platform/widgets/AccessibleWidgets.h"

#include <QMetaObject>

namespace controls {

namespace {

// After the reader's call has returned: a click may open a modal window, whose loop would
// hold the reader's request until it closed.
template <typename Button> std::function<void()> clickLater(Button* button) {
    return [button] {
        QMetaObject::invokeMethod(
            button, [button] { button->Click(); }, Qt::QueuedConnection);
    };
}

} // namespace

QAccessibleInterface* AccessibleControlFactory(QObject* object) {
    using platform::CaptionAccessible;
    if (auto* button = qobject_cast<TXPButton*>(object))
        return new CaptionAccessible(
            button, QAccessible::PushButton, [button] { return button->Caption(); },
            clickLater(button));
    if (auto* button = qobject_cast<TButton3d*>(object))
        return new CaptionAccessible(
            button, QAccessible::PushButton, [button] { return button->Caption(); },
            clickLater(button));
    if (auto* label = qobject_cast<TXPLabel*>(object))
        return new CaptionAccessible(label, QAccessible::StaticText,
                                     [label] { return label->Caption(); });
    if (auto* box = qobject_cast<TXPBorderedControl*>(object))
        return new CaptionAccessible(box, QAccessible::Grouping, [box] { return box->Caption(); });
    return nullptr;
}

} // namespace controls
