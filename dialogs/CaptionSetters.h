// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Setters for the framework's elements a language pass labels, so a window's share of the
// pass is a table with one line per element.

#include "i18n/LanguagePasses.h"

#include <QString>
#include <QWidget>

namespace dialogs {

// An element whose caption is its text: a menu item, a label, a push button.
template <class Element>
i18n::CaptionSetter SetsText(i18n::CaptionTarget target, Element* element) {
    return {target,
            [element](const std::string& text) { element->setText(QString::fromStdString(text)); }};
}

// An element whose caption is its title: a menu, a group box.
template <class Element>
i18n::CaptionSetter SetsTitle(i18n::CaptionTarget target, Element* element) {
    return {target, [element](const std::string& text) {
                element->setTitle(QString::fromStdString(text));
            }};
}

// One of the game's own controls, which keeps its caption as the design's text.
template <class Control>
i18n::CaptionSetter SetsCaption(i18n::CaptionTarget target, Control* control) {
    return {target, [control](const std::string& text) { control->SetCaption(text); }};
}

inline i18n::CaptionSetter SetsWindowTitle(i18n::CaptionTarget target, QWidget* window) {
    return {target, [window](const std::string& text) {
                window->setWindowTitle(QString::fromStdString(text));
            }};
}

} // namespace dialogs
