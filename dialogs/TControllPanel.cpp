// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/TControllPanel.h"

namespace dialogs {

namespace {

QLabel* hiddenLabel(QWidget* parent, const char* name, const char* text) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->hide();
    return label;
}

} // namespace

TControllPanel::TControllPanel(QWidget* parent)
    : QDialog(parent), Label1(hiddenLabel(this, "Label1", "You have won - we CONGRATULATE!")),
      Label2(hiddenLabel(this, "Label2", "Time has left - you HAVE LOST!")),
      Label3(hiddenLabel(this, "Label3", "You really want to abandon the game ?")),
      ZATTIME(hiddenLabel(this, "ZATTIME", "Is expended of time")),
      LabelTime(hiddenLabel(this, "LabelTime", "")) {
    setObjectName(QStringLiteral("ControllPanel"));
    setModal(true);
}

std::string TextOf(const QLabel* label) {
    return label->text().toStdString();
}

void SetText(QLabel* label, const std::string& text) {
    label->setText(QString::fromStdString(text));
}

} // namespace dialogs
