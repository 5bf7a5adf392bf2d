// SPDX-License-Identifier: GPL-3.0-or-later
// Loaded into the game with LD_PRELOAD where the desktop gives a test no input of its own (a
// headless Wayland compositor has no seat): answers one command a line on the local socket
// named by VELMAR_DRIVER_SOCKET, each with one line of JSON.
//   windows          the visible top-level windows: title, kind, state, size, scale, focus
//   key KEYS         presses KEYS (QKeySequence text) in the window that would get them
//   keys             how many key commands the game has taken up: pressed, and handled or
//                    waiting in a window they opened
//   press NAME       presses and releases the left button on the widget of that object name
//   close TITLE      closes that window as its title bar's close button does
//   moves            how often the game asked for a system move, and how often it was given
// Keys and presses run after the answer, so one that opens a modal dialog answers at once.
#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeySequence>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <dlfcn.h>

namespace {

int movesAsked = 0;
int movesGiven = 0;
int keysTaken = 0;

QWidget* mainWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->inherits("app::TForm1"))
            return w;
    return nullptr;
}

// Where a key goes on a desktop: the open menu, else the modal dialog, else the main window.
QWidget* keyTarget() {
    if (QWidget* popup = QApplication::activePopupWidget())
        return popup;
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowType() == Qt::Window && !w->inherits("app::TForm1"))
            return w; // a window of its own, such as the help viewer
    return mainWindow();
}

QJsonObject describe(QWidget* w) {
    QJsonObject o;
    o["title"] = w->windowTitle();
    o["class"] = QString::fromLatin1(w->metaObject()->className());
    o["popup"] = w->windowType() == Qt::Popup;
    o["modal"] = w->isModal();
    o["minimized"] = w->isMinimized();
    o["active"] = w->isActiveWindow();
    o["width"] = w->width();
    o["height"] = w->height();
    o["scale"] = w->devicePixelRatio();
    const QWidget* focus = w->focusWidget();
    o["focus"] = focus ? QString::fromLatin1(focus->metaObject()->className()) + QLatin1Char(' ') +
                             focus->objectName()
                       : QString();
    const QWindow* parent = w->windowHandle() ? w->windowHandle()->transientParent() : nullptr;
    o["parent"] = parent ? parent->title() : QString();
    return o;
}

QJsonArray windows() {
    QJsonArray list;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible())
            list.append(describe(w));
    return list;
}

void pressKeys(const QString& text) {
    const QKeySequence keys(text);
    for (int i = 0; i < keys.count(); ++i) {
        QWidget* target = keyTarget();
        if (!target)
            return;
        // Nothing is active without a seat's keyboard; shortcuts go to the active window only.
        QApplication::setActiveWindow(target->window());
        QWidget* receiver = target->focusWidget() ? target->focusWidget() : target;
        QTest::keyClick(receiver, keys[i].key(), keys[i].keyboardModifiers());
    }
}

QWidget* named(const QString& name) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (!w->isVisible())
            continue;
        if (w->objectName() == name)
            return w;
        if (auto* child = w->findChild<QWidget*>(name))
            return child;
    }
    return nullptr;
}

QJsonObject run(const QString& line) {
    const QString command = line.section(QLatin1Char(' '), 0, 0);
    const QString argument = line.section(QLatin1Char(' '), 1);
    QJsonObject answer{{"ok", true}};
    if (command == QLatin1String("windows")) {
        answer["windows"] = windows();
    } else if (command == QLatin1String("key")) {
        QTimer::singleShot(0, qApp, [argument] {
            // Counted first: a key that opens a modal dialog returns only once it closes, and
            // the next command is read in the dialog's loop.
            ++keysTaken;
            pressKeys(argument);
        });
    } else if (command == QLatin1String("keys")) {
        answer["taken"] = keysTaken;
    } else if (command == QLatin1String("press")) {
        QPointer<QWidget> target = named(argument);
        answer["ok"] = !target.isNull();
        QTimer::singleShot(0, qApp, [target] {
            if (!target)
                return;
            const QPoint centre = target->rect().center();
            QTest::mousePress(target, Qt::LeftButton, {}, centre);
            if (target)
                QTest::mouseRelease(target, Qt::LeftButton, {}, centre);
        });
    } else if (command == QLatin1String("close")) {
        QPointer<QWidget> target;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->windowTitle() == argument)
                target = w;
        answer["ok"] = !target.isNull();
        QTimer::singleShot(0, qApp, [target] {
            if (target && target->windowHandle())
                target->windowHandle()->close();
        });
    } else if (command == QLatin1String("moves")) {
        answer["asked"] = movesAsked;
        answer["given"] = movesGiven;
    } else {
        answer["ok"] = false;
    }
    return answer;
}

void serve() {
    const QString path = qEnvironmentVariable("VELMAR_DRIVER_SOCKET");
    if (path.isEmpty())
        return;
    auto* server = new QLocalServer(qApp);
    if (!server->listen(path)) {
        qWarning("driver: cannot listen on %s", qPrintable(path));
        return;
    }
    QObject::connect(server, &QLocalServer::newConnection, server, [server] {
        while (QLocalSocket* socket = server->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket] {
                while (socket->canReadLine()) {
                    const QString line = QString::fromUtf8(socket->readLine()).trimmed();
                    socket->write(QJsonDocument(run(line)).toJson(QJsonDocument::Compact) + "\n");
                    socket->flush();
                }
            });
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

// The application object exists only later; Qt calls this once it does.
void startServing() {
    QTimer::singleShot(0, [] { serve(); });
}
Q_COREAPP_STARTUP_FUNCTION(startServing)

} // namespace

// Stands in for Qt's own, so the test sees each request the game makes and what it got.
bool QWindow::startSystemMove() {
    using Real = bool (*)(QWindow*);
    static const auto real =
        reinterpret_cast<Real>(dlsym(RTLD_NEXT, "_ZN7QWindow15startSystemMoveEv"));
    ++movesAsked;
    const bool given = real && real(this);
    movesGiven += given ? 1 : 0;
    return given;
}
