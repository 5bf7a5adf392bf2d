// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/Resources.h"

#include <QFile>

namespace platform {

std::string ResourcePath(const std::string& type, const std::string& name) {
    return ":/" + type + "/" + name;
}

std::optional<QByteArray> FindResource(const std::string& type, const std::string& name) {
    QFile file(QString::fromStdString(ResourcePath(type, name)));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

} // namespace platform
