// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/TControllPanel.h"

#include "dialogs/CaptionSetters.h"
#include "i18n/StringTable.h"
#include "platform/files/IniFile.h"
#include "platform/files/Resources.h"

#include <QVBoxLayout>

namespace dialogs {

namespace {

QLabel* hiddenLabel(QWidget* parent, const char* name, const char* text) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->hide();
    return label;
}

QGroupBox* groupBox(QWidget* parent, const char* name, const char* title) {
    auto* box = new QGroupBox(QString::fromUtf8(title), parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

} // namespace

TControllPanel::TControllPanel(QWidget* parent)
    : QDialog(parent), Label1(hiddenLabel(this, "Label1", "You have won - we CONGRATULATE!")),
      Label2(hiddenLabel(this, "Label2", "Time has left - you HAVE LOST!")),
      Label3(hiddenLabel(this, "Label3", "You really want to abandon the game ?")),
      ZATTIME(hiddenLabel(this, "ZATTIME", "Is expended of time")),
      LabelTime(hiddenLabel(this, "LabelTime", "")),
      XPGroupBox1(groupBox(this, "XPGroupBox1", " Panel Color ")),
      XPGroupBox3(groupBox(this, "XPGroupBox3", " Buttons ")),
      LanguageBox(groupBox(this, "LanguageBox", " Language ")), ComboBox1(new QComboBox),
      Buttondefault(new QPushButton(QStringLiteral("&Parameters by default"), this)) {
    setObjectName(QStringLiteral("ControllPanel"));
    setWindowTitle(QStringLiteral("Parameters"));
    setModal(true);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    for (const i18n::Language& language : i18n::Languages)
        ComboBox1->addItem(
            QIcon(QString::fromStdString(platform::ResourcePath("FLAG", language.Section))),
            QString::fromLatin1(language.Section));
    ComboBox1->setCurrentIndex(0);
    // Only the player's choice runs the change pass, never an index set by the program.
    connect(ComboBox1, &QComboBox::activated, this, [this] { ComboBox1Change(); });
    Buttondefault->setObjectName(QStringLiteral("Buttondefault"));
    (new QVBoxLayout(LanguageBox))->addWidget(ComboBox1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(XPGroupBox1);
    layout->addWidget(XPGroupBox3);
    layout->addWidget(LanguageBox);
    layout->addWidget(Buttondefault);
}

int TControllPanel::StoredLanguage() {
    const int select = platform::TIniFile(SettingsFileName).ReadInteger("USER", "Select", 0);
    return select >= 0 && select < i18n::LanguageCount ? select : 0;
}

std::vector<i18n::CaptionSetter> TControllPanel::CaptionSetters() {
    using T = i18n::CaptionTarget;
    return {
        SetsWindowTitle(T::DialogCaption, this),
        SetsText(T::Buttondefault, Buttondefault),
        SetsTitle(T::XPGroupBox1, XPGroupBox1),
        SetsTitle(T::XPGroupBox3, XPGroupBox3),
        SetsTitle(T::LanguageBox, LanguageBox),
        SetsText(T::Label1, Label1),
        SetsText(T::Label2, Label2),
        SetsText(T::Label3, Label3),
        SetsText(T::ZATTIME, ZATTIME),
    };
}

void TControllPanel::ApplyLanguage(const i18n::LanguageTexts& texts) {
    i18n::ApplyCaptions(texts, CaptionSetters());
}

void TControllPanel::ComboBox1Change() {
    const i18n::LanguageTexts texts =
        i18n::ReadLanguage(ComboBox1->currentText().toStdString(), i18n::Pass::Change);
    if (OnLanguageChanged)
        OnLanguageChanged(texts);
    ApplyLanguage(texts);
}

std::string TextOf(const QLabel* label) {
    return label->text().toStdString();
}

void SetText(QLabel* label, const std::string& text) {
    label->setText(QString::fromStdString(text));
}

} // namespace dialogs
