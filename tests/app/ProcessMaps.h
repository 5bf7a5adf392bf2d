// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QString>

// Whether this process maps `path`, as /proc/self/maps lists it.
inline bool MapsFile(const QString& path) {
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly))
        return false;
    const QByteArray wanted = QFileInfo(path).absoluteFilePath().toUtf8();
    for (const QByteArray& line : maps.readAll().split('\n'))
        if (line.endsWith(wanted))
            return true;
    return false;
}
