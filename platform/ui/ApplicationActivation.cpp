// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ui/ApplicationActivation.h"

#include "platform/ui/Application.h"

#include <QApplication>
#include <QDBusError>
#include <QGuiApplication>
#include <QWidget>

namespace platform {

void ApplicationActivation::Activate(const QVariantMap& platformData) {
    BringForward(platformData.value(QLatin1String(kActivationToken)).toString());
}

void ApplicationActivation::Open(const QStringList&, const QVariantMap& platformData) {
    Activate(platformData);
}

void ApplicationActivation::ActivateAction(const QString& name, const QVariantList&,
                                           const QVariantMap&) {
    if (calledFromDBus())
        sendErrorReply(QDBusError::NotSupported,
                       QStringLiteral("The game has no action '%1'").arg(name));
}

void BringForward(const QString& activationToken) {
    QWidget* main = Application().MainForm();
    if (!main)
        return; // still starting: its window is about to come up anyway
    if (main->isMinimized())
        main->showNormal();
    main->raise();
    QWidget* target = QApplication::activeModalWidget();
    if (target)
        target->raise();
    else
        target = main;
    // Qt's Wayland plugin takes the token from the environment when it asks for the focus.
    if (!activationToken.isEmpty() && QGuiApplication::platformName() == QLatin1String("wayland"))
        qputenv("XDG_ACTIVATION_TOKEN", activationToken.toUtf8());
    target->activateWindow();
}

QString ActivationPath(const QString& applicationId) {
    QString path = QLatin1Char('/') + applicationId;
    path.replace(QLatin1Char('.'), QLatin1Char('/'));
    path.replace(QLatin1Char('-'), QLatin1Char('_'));
    return path;
}

} // namespace platform
