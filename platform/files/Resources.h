// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <optional>
#include <string>

namespace platform {

// A resource carried in the executable, found by its type and name ("CURSOR", "ORV_22").
std::optional<QByteArray> FindResource(const std::string& type, const std::string& name);

// The resource path of a type and name, for Qt loaders that take a file name.
std::string ResourcePath(const std::string& type, const std::string& name);

} // namespace platform
