// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Stands in front of real modal windows as a player would: each time another one comes on
// top, the test's handler runs inside that window's own message loop, so timers, further boxes
// and answers all happen while it stays open.

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <string>

class ModalPlayer : public QObject {
public:
    explicit ModalPlayer(std::function<void(QDialog*)> onWindow) : onWindow_(std::move(onWindow)) {
        watch();
    }

    static std::string textOf(const QDialog* box) {
        for (const QLabel* label : box->findChildren<QLabel*>())
            if (!label->text().isEmpty())
                return label->text().toStdString();
        return {};
    }

    static void press(QDialog* box, const char* caption) {
        for (QPushButton* button : box->findChildren<QPushButton*>())
            if (button->text() == QString::fromUtf8(caption)) {
                button->click();
                return;
            }
    }

private:
    // A fresh single shot each time: a running timer never fires again inside its own handler,
    // and the handler may itself open the next window.
    void watch() {
        QTimer::singleShot(0, this, [this] {
            watch();
            auto* top = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!top || top == last_)
                return;
            last_ = top;
            onWindow_(top);
        });
    }

    std::function<void(QDialog*)> onWindow_;
    QPointer<QDialog> last_;
};
