// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/TControllPanel.h"

#include "dialogs/CaptionSetters.h"
#include "i18n/StringTable.h"
#include "platform/files/IniFile.h"
#include "platform/files/Resources.h"
#include "platform/gdi/Pictures.h"
#include "platform/widgets/Cursors.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

namespace dialogs {

using platform::TColor;

const char* const RestartNotice =
    "En: - > Please, make new start of game.\r\n"
    "Ru: - > Пожалуйста, произведите новый запуск игры.\r\n"
    "Uk: - > Будь ласка, зробіть повторний запуск гри.\r\n"
    "Fr: - > Sil vous plaît, produisez une nouvelle mise en marche du jeu.";

const char* const ExitCaption = "Exit / Выход / Вихід / La sortie";

namespace {

platform::TFont fontIn(TColor color) {
    platform::TFont font; // MS Sans Serif, 11 pixels
    font.Color = color;
    return font;
}

controls::TXPGroupBox* groupBox(QWidget* parent, const char* name, const char* caption, int top) {
    auto* box = new controls::TXPGroupBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(8, top, 161, 49);
    box->SetCaption(caption);
    box->SetFont(fontIn(platform::clYellow));
    return box;
}

controls::TXPButton* button(QWidget* parent, const char* name, const char* caption, int top) {
    auto* b = new controls::TXPButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(8, top, 161, b->height());
    b->SetCaption(caption);
    b->SetFont(fontIn(platform::clNavy));
    b->setCursor(Qt::PointingHandCursor);
    return b;
}

QLabel* hiddenLabel(QWidget* parent, const char* name, const char* text, int top, bool white) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(16, top);
    if (white) {
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, Qt::white);
        label->setPalette(p);
    }
    label->hide();
    return label;
}

} // namespace

TControllPanel::TControllPanel(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("ControllPanel"));
    setWindowTitle(QStringLiteral("Parameters"));
    setModal(true);
    QPalette face = palette();
    face.setColor(QPalette::Window, platform::ToQColor(platform::clGradientActiveCaption));
    setPalette(face);
    setFont(platform::ToQFont(platform::TFont{}));
    setFixedSize(ClientWidth, ClientHeight);
    createControls();
    FormCreate();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TControllPanel::createControls() {
    XPPanel1 = new controls::TXPPanel(this);
    XPPanel1->setObjectName(QStringLiteral("XPPanel1"));
    XPPanel1->setGeometry(0, 0, ClientWidth, ClientHeight);
    XPPanel1->SetColor(platform::clBlack);
    XPPanel1->SetFont(fontIn(platform::clNavy));
    XPGroupBox1 = groupBox(XPPanel1, "XPGroupBox1", "Color", 8);
    XPGroupBox3 = groupBox(XPPanel1, "XPGroupBox3", "Button", 64);
    LanguageBox = groupBox(XPPanel1, "LanguageBox", "Language", 120);
    createChoosers();
    Buttondefault = button(XPPanel1, "Buttondefault", "Parameters by default", 176);
    Buttondefault->OnClick = [this](QObject*) { ButtondefaultClick(); };
    Bevel1 = new platform::TBevel(XPPanel1);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setGeometry(8, 200, 161, 9);
    XPButton1 = button(XPPanel1, "XPButton1", ExitCaption, 216);
    XPButton1->OnClick = [this](QObject*) { XPButton1Click(); };
    createLabels();
}

void TControllPanel::createChoosers() {
    ColorBox1 =
        new platform::TColorBox(XPGroupBox1, platform::cbStandardColors | platform::cbIncludeNone);
    ColorBox1->setObjectName(QStringLiteral("ColorBox1"));
    ColorBox1->setGeometry(8, 16, 145, 22);
    ColorBox1->SetColors(platform::clCream, platform::clMaroon);
    ColorBox1->SetSelected(platform::clBlack);
    ColorBox1->OnClick = [this](QObject*) { ColorBox1Click(); };

    ColorBox3 = new platform::TColorBox(XPGroupBox3, platform::cbStandardColors);
    ColorBox3->setObjectName(QStringLiteral("ColorBox3"));
    ColorBox3->setGeometry(8, 16, 145, 22);
    ColorBox3->SetColors(platform::clWindow, platform::clMaroon);
    ColorBox3->SetSelected(platform::clYellow);

    ComboBox1 = new platform::TComboBoxEx(LanguageBox);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setGeometry(8, 16, 145, 22);
    ComboBox1->SetColors(platform::clWindow, platform::clMaroon);
    ComboBox1->setCursor(Qt::PointingHandCursor);
    for (const i18n::Language& language : i18n::Languages)
        ComboBox1->AddItem(language.Section,
                           platform::LoadPngIcon(platform::ResourcePath("FLAG", language.Section)));
    ComboBox1->SetItemIndex(0);
    // Only the player's choice runs the change pass, never an index set by the program.
    ComboBox1->OnChange = [this](QObject*) { ComboBox1Change(); };
}

void TControllPanel::createLabels() {
    Label1 = hiddenLabel(XPPanel1, "Label1", "TEXT", 256, false);
    Label2 = hiddenLabel(XPPanel1, "Label2", "TEXT", 272, false);
    Label3 = hiddenLabel(XPPanel1, "Label3", "TEXT", 288, false);
    LabelTime = hiddenLabel(XPPanel1, "LabelTime", "Time", 304, true);
    ZATTIME = hiddenLabel(XPPanel1, "ZATTIME", "00:00", 320, true);
}

int TControllPanel::StoredLanguage() {
    const int select =
        platform::TIniFile(SettingsFileName).ReadInteger(SettingsSection, "Select", 0);
    return select >= 0 && select < i18n::LanguageCount ? select : 0;
}

std::vector<i18n::CaptionSetter> TControllPanel::CaptionSetters() {
    using T = i18n::CaptionTarget;
    return {
        SetsWindowTitle(T::DialogCaption, this),
        SetsCaption(T::Buttondefault, Buttondefault),
        SetsCaption(T::XPGroupBox1, XPGroupBox1),
        SetsCaption(T::XPGroupBox3, XPGroupBox3),
        SetsCaption(T::LanguageBox, LanguageBox),
        SetsText(T::Label1, Label1),
        SetsText(T::Label2, Label2),
        SetsText(T::Label3, Label3),
        SetsText(T::ZATTIME, ZATTIME),
    };
}

void TControllPanel::ApplyLanguage(const i18n::LanguageTexts& texts) {
    i18n::ApplyCaptions(texts, CaptionSetters());
}

void TControllPanel::ColorBox1Click() {
    if (OnBoardColorChanged)
        OnBoardColorChanged(ColorBox1->Selected());
}

void TControllPanel::ComboBox1Change() {
    const i18n::LanguageTexts texts =
        i18n::ReadLanguage(ComboBox1->currentText().toStdString(), i18n::Pass::Change);
    if (OnLanguageChanged)
        OnLanguageChanged(texts);
    ApplyLanguage(texts);
}

void TControllPanel::XPButton1Click() {
    close();
}

void TControllPanel::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
    // Ends the modal loop with the result a button may have set.
    QDialog::done(result());
}

void TControllPanel::keyPressEvent(QKeyEvent* event) {
    // The dialog has no cancel button: Esc neither closes it nor loses the choices.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

std::string TextOf(const QLabel* label) {
    return label->text().toStdString();
}

void SetText(QLabel* label, const std::string& text) {
    label->setText(QString::fromStdString(text));
}

} // namespace dialogs
