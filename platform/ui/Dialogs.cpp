// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ui/Dialogs.h"

#include "platform/ui/Application.h"
#include "platform/ui/SharedPaletteStyle.h"

#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace platform {

namespace {

MessageResponder& responder() {
    static MessageResponder current;
    return current;
}

// The window manager's frame and caption, which the classic outer height includes.
constexpr int kFrameAndCaption = 25;

const char* defaultCaption(TMsgDlgType type) {
    switch (type) {
    case mtWarning:
        return "Warning";
    case mtError:
        return "Error";
    case mtInformation:
        return "Information";
    case mtConfirmation:
        return ConfirmCaption;
    case mtCustom:
        break;
    }
    return "";
}

QStyle::StandardPixmap iconOf(TMsgDlgType type) {
    switch (type) {
    case mtWarning:
        return QStyle::SP_MessageBoxWarning;
    case mtError:
        return QStyle::SP_MessageBoxCritical;
    case mtConfirmation:
        return QStyle::SP_MessageBoxQuestion;
    case mtInformation:
    case mtCustom:
        break;
    }
    return QStyle::SP_MessageBoxInformation;
}

struct ButtonInfo {
    const char* caption;
    int result;
    bool platformText = false; // the platform's own, translated to the desktop's language
};

ButtonInfo infoOf(TMsgDlgBtn button) {
    switch (button) {
    case mbYes:
        return {YesCaption, mrYes};
    case mbNo:
        return {NoCaption, mrNo};
    case mbCancel:
        return {"Cancel", mrCancel, true};
    case mbOK:
        break;
    }
    return {"OK", mrOk, true};
}

// OK and Cancel are the platform's own texts, in the desktop's language; Yes and No are the
// game's library texts, in two languages at once.
QString captionOf(const ButtonInfo& info) {
    return info.platformText ? QCoreApplication::translate("QPlatformTheme", info.caption)
                             : QString::fromUtf8(info.caption);
}

// Esc answers with Cancel, else No, else OK, as the classic box does.
TMsgDlgBtn escapeButton(const std::vector<TMsgDlgBtn>& buttons) {
    for (TMsgDlgBtn candidate : {mbCancel, mbNo, mbOK})
        if (std::find(buttons.begin(), buttons.end(), candidate) != buttons.end())
            return candidate;
    return mbOK;
}

// The game's boxes stand over its main window, whichever of its windows has the focus.
QWidget* ownerOfBoxes() {
    QWidget* main = Application().MainForm();
    return main && main->isVisible() ? main : QApplication::activeWindow();
}

// The buttons in a centred row, the first the default; the one Esc stands for also answers
// the close box.
QHBoxLayout* buttonRow(QDialog& box, const std::vector<TMsgDlgBtn>& asked) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    const std::vector<TMsgDlgBtn> buttons = asked.empty() ? std::vector<TMsgDlgBtn>{mbOK} : asked;
    const TMsgDlgBtn escape = escapeButton(buttons);
    const int escapeResult = infoOf(escape).result;
    bool first = true;
    for (TMsgDlgBtn b : buttons) {
        const ButtonInfo info = infoOf(b);
        auto* button = new QPushButton(captionOf(info));
        button->setMinimumWidth(75);
        button->setDefault(first);
        first = false;
        const int result = info.result;
        QObject::connect(button, &QPushButton::clicked, &box, [&box, result] { box.done(result); });
        if (b == escape)
            QObject::connect(&box, &QDialog::rejected, &box,
                             [&box, escapeResult] { box.setResult(escapeResult); });
        row->addWidget(button);
    }
    row->addStretch();
    return row;
}

int showModal(const MessageBoxRequest& request) {
    QDialog box(ownerOfBoxes());
    box.setWindowTitle(QString::fromStdString(request.Caption));
    box.setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    QPalette palette = box.palette();
    palette.setColor(QPalette::Window, ToQColor(request.Color));
    box.setPalette(palette);
    box.setAutoFillBackground(true);

    QString text = QString::fromStdString(request.Text);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    auto* label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);

    auto* top = new QHBoxLayout;
    top->setSpacing(12);
    // The simple message box is text and a button, without the information box's icon.
    if (request.Type != mtCustom) {
        auto* icon = new QLabel;
        const int iconSize = 32;
        icon->setPixmap(SharedPalettes()
                            .standardIcon(iconOf(request.Type), nullptr, nullptr)
                            .pixmap(iconSize, iconSize));
        icon->setAlignment(Qt::AlignTop);
        top->addWidget(icon);
    }
    top->addWidget(label, 1);

    auto* layout = new QVBoxLayout(&box);
    layout->setContentsMargins(16, 14, 16, 10);
    layout->addLayout(top);
    layout->addStretch();
    layout->addLayout(buttonRow(box, request.Buttons));
    box.adjustSize();
    if (request.Height > 0)
        box.setFixedHeight(std::max(request.Height - kFrameAndCaption, box.sizeHint().height()));
    UseSharedPalettes(box); // else each box leaves its drawings' names behind for good
    return box.exec();
}

} // namespace

void SetMessageResponder(MessageResponder r) {
    responder() = std::move(r);
}

int ShowMessageBox(const MessageBoxRequest& request) {
    if (responder())
        return responder()(request);
    return showModal(request);
}

int MessageDlg(const std::string& text, TMsgDlgType type, std::vector<TMsgDlgBtn> buttons) {
    MessageBoxRequest request;
    request.Type = type;
    request.Caption = type == mtCustom ? Application().Title() : defaultCaption(type);
    request.Text = text;
    request.Buttons = std::move(buttons);
    return ShowMessageBox(request);
}

int InformationBox(const std::string& text, const std::string& caption, TColor color, int height) {
    MessageBoxRequest request;
    request.Type = mtInformation;
    request.Caption = caption;
    request.Text = text;
    request.Buttons = {mbOK};
    request.Color = color;
    request.Height = height;
    return ShowMessageBox(request);
}

void ShowMessage(const std::string& text) {
    MessageBoxRequest request;
    request.Type = mtCustom;
    request.Caption = Application().Title();
    request.Text = text;
    request.Buttons = {mbOK};
    ShowMessageBox(request);
}

void ShowErrorBox(const std::string& text, const std::string& caption) {
    MessageBoxRequest request;
    request.Type = mtError;
    request.Caption = caption;
    request.Text = text;
    request.Buttons = {mbOK};
    ShowMessageBox(request);
}

} // namespace platform
