// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ui/HelpPages.h"

#include <QRegularExpression>

namespace platform {

namespace {

QRegularExpressionMatch sectionOf(const QString& document, const QString& code) {
    const QRegularExpression section(
        QStringLiteral("<section lang=\"%1\" title=\"([^\"]*)\">(.*?)</section>")
            .arg(QRegularExpression::escape(code)),
        QRegularExpression::DotMatchesEverythingOption);
    return section.match(document);
}

} // namespace

QString HelpPageFor(const QString& document, const QString& languageCode) {
    QRegularExpressionMatch page = sectionOf(document, languageCode);
    if (!page.hasMatch())
        page = sectionOf(document, QStringLiteral("en"));
    if (!page.hasMatch())
        return document;
    // The title stays escaped as it stood in its attribute, which a title element reads alike.
    return QStringLiteral("<html><head><meta charset=\"utf-8\"><title>%1</title></head><body>%2"
                          "</body></html>")
        .arg(page.captured(1), page.captured(2));
}

} // namespace platform
