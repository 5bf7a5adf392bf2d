// SPDX-License-Identifier: GPL-3.0-or-later
// The ui layer: the application object, message boxes, timers, shell open, the help viewer
// and memory status. It may use gdi, files and Qt.
#pragma once

#include <QApplication>
#include <QIcon>
#include <QPointer>
#include <QWidget>
#include <exception>
#include <functional>
#include <string>

namespace platform {

// The application object: title, icon, the main window, and where unhandled errors go.
class TApplication {
public:
    using ExceptionHandler = std::function<void(const std::exception&)>;

    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title);

    void SetIcon(const QIcon& icon);
    const QIcon& Icon() const { return icon_; }

    QWidget* MainForm() const { return mainForm_; }
    void SetMainForm(QWidget* form) { mainForm_ = form; }

    void Minimize();
    // Runs the message loop until Terminate or the last window closes.
    int Run();
    // Ends the message loop at once, nested loops included; no window is asked to close.
    // Before Run, the message boxes standing are answered as Esc would answer them.
    void Terminate();
    bool Terminated() const { return terminated_; }
    void ProcessMessages();

    // The standard error display: a message box with the error's text.
    void ShowException(const std::exception& error);

    void SetOnException(ExceptionHandler handler) { onException_ = std::move(handler); }
    bool HasExceptionHandler() const { return static_cast<bool>(onException_); }
    // Where an error that no handler caught ends up: the installed handler, else the display.
    void HandleException(const std::exception& error);

private:
    std::string title_;
    QIcon icon_;
    QPointer<QWidget> mainForm_;
    ExceptionHandler onException_;
    bool terminated_ = false;
    bool running_ = false;
};

TApplication& Application();

// Catches exceptions thrown by any event handler and hands them to the application object,
// so no failure escapes the message loop.
class GuardedApplication : public QApplication {
public:
    GuardedApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// The process-wide set-up that must precede the QApplication: the fixed look without any
// desktop theme plugin, and whole-number scaling so every design pixel stays crisp.
void PrepareProcess();
// The set-up that follows it: Fusion style, the classic palette, the carried fonts.
void PrepareApplication(QApplication& app);

// Whether the desktop shows a window's own icon. A Wayland compositor takes the icon from the
// desktop entry, so a changing window icon is never seen there.
bool WindowIconShown();

} // namespace platform
