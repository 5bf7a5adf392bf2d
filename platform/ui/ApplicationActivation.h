// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusContext>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

namespace platform {

// The desktop's way to ask a running application to come forward: the interface launchers
// call on a D-Bus activatable application, and what a second start of the game calls too.
// It answers on the session bus and on the private socket of the lock, on the UI thread.
class ApplicationActivation : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")

public:
    static constexpr const char* kInterface = "org.freedesktop.Application";
    // The platform data keys of a start's proof that the player asked for it.
    static constexpr const char* kActivationToken = "activation-token";
    static constexpr const char* kStartupId = "desktop-startup-id";

    using QObject::QObject;

public Q_SLOTS:
    void Activate(const QVariantMap& platformData);
    // The game opens no documents; it comes forward all the same.
    void Open(const QStringList& uris, const QVariantMap& platformData);
    void ActivateAction(const QString& name, const QVariantList& parameter,
                        const QVariantMap& platformData);
};

// Unminimises, raises and focuses the application's main window, or the modal dialog standing
// over it. The Wayland activation token, when there is one, lets the compositor allow it.
void BringForward(const QString& activationToken);

// The object path the interface lives on, derived from the application id.
QString ActivationPath(const QString& applicationId);

} // namespace platform
