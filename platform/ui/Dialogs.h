// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/gdi/Colors.h"

#include <functional>
#include <string>
#include <vector>

namespace platform {

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel };

// Modal results, with the classic values.
constexpr int mrNone = 0;
constexpr int mrOk = 1;
constexpr int mrCancel = 2;
constexpr int mrYes = 6;
constexpr int mrNo = 7;

// Everything a standard message box shows, so that a test can check it and answer it.
struct MessageBoxRequest {
    TMsgDlgType Type = mtInformation;
    std::string Caption;
    std::string Text; // line breaks as CR LF or LF
    std::vector<TMsgDlgBtn> Buttons;
    TColor Color = clBtnFace;
    int Height = 0; // outer height in pixels; 0 sizes the box to its text
};

// Returns the modal result. The default shows a real modal box; tests install their own.
using MessageResponder = std::function<int(const MessageBoxRequest&)>;
void SetMessageResponder(MessageResponder responder);

int ShowMessageBox(const MessageBoxRequest& request);

// The confirmation box with this program's fixed captions; returns mrYes or mrNo.
int MessageDlg(const std::string& text, TMsgDlgType type, std::vector<TMsgDlgBtn> buttons);
// An information box with OK, as the game's end-of-round messages use it.
int InformationBox(const std::string& text, const std::string& caption, TColor color, int height);
// A simple message with OK, captioned with the application title.
void ShowMessage(const std::string& text);
// The standard error display.
void ShowErrorBox(const std::string& text, const std::string& caption);

inline constexpr const char* ConfirmCaption = "Confirm / Подтверждение / Підтвердження";
inline constexpr const char* YesCaption = "&Yes / Да";
inline constexpr const char* NoCaption = "&No / Нет";

} // namespace platform
