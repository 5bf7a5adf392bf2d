// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessible>
#include <QAccessibleWidget>
#include <QString>

#include <functional>
#include <string>

class QComboBox;
class QObject;

namespace platform {

// A control that paints its own caption: it reads as `role` named by that caption, without
// its access key's '&'; with `press`, a reader's press action runs it as a click would.
class CaptionAccessible : public QAccessibleWidget {
public:
    CaptionAccessible(QWidget* widget, QAccessible::Role role, std::function<std::string()> caption,
                      std::function<void()> press = {});

    QString text(QAccessible::Text t) const override;
    QStringList actionNames() const override;
    void doAction(const QString& name) override;

private:
    std::function<std::string()> caption_;
    std::function<void()> press_;
};

// "&Play Game" as a reader says it: "Play Game" ("&&" stays one '&').
QString AccessibleCaption(const std::string& caption);

// The platform's own widgets for a screen reader: the status bar, whose panels read as static
// texts and whose own name is all their texts in a row, the track bar, a slider with its
// position as value, and the panel and the bitmap button by their captions. Null for any
// other object, so a factory can hand every object to it.
QAccessibleInterface* AccessibleWidgetFactory(QObject* object);

class TStatusBar;

// Lets a screen reader hear the new choice of a closed combo box as the arrow keys change it:
// Qt 6.4 reports that change in a form Orca 43 passes over, so the chosen entry of the list
// is reported as the focus, as an open list reports it.
void SpeakChoiceChanges(QComboBox* box);

// Says `text` to screen readers at once, whatever holds the focus: the bar's notice, a
// notification after its panels, shows it. Does nothing more than keep the text while no tool
// listens.
void AnnounceNotice(TStatusBar* bar, const QString& text);
// The bar's last notice; empty before the first.
QString NoticeText(const TStatusBar* bar);

// Tells assistive tools that panel `index` of `bar` reads differently now.
void AnnouncePanelText(QObject* bar, int index);

} // namespace platform
