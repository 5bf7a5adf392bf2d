// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace platform {

// A help document may hold one page per language, each a <section lang="xx" title="...">.
// The page for `languageCode` (ISO 639, "ru"), else the English one, as a document of its own
// titled with its section's title; a document without such sections is its own page.
QString HelpPageFor(const QString& document, const QString& languageCode);

} // namespace platform
