// SPDX-License-Identifier: GPL-3.0-or-later
// Settings files as other editors save them, made with Qt's own text handling.
#pragma once

#include <QByteArray>
#include <QString>

// `utf8` as a file of `encoding` would hold it: "ansi" (Windows-1251, Russian letters only),
// "utf8", "utf8 bom", "utf16le" or "utf16be", the two UTF-16 ones with their mark.
inline QByteArray inEncoding(const QByteArray& utf8, const QString& encoding) {
    const QString text = QString::fromUtf8(utf8);
    if (encoding == "ansi") {
        QByteArray bytes;
        for (const QChar c : text)
            bytes += c.unicode() < 0x80 ? char(c.unicode()) : char(c.unicode() - 0x410 + 0xC0);
        return bytes;
    }
    if (encoding.startsWith("utf8"))
        return (encoding == "utf8 bom" ? QByteArray("\xEF\xBB\xBF") : QByteArray()) + utf8;
    const bool big = encoding == "utf16be";
    QByteArray bytes = big ? QByteArray("\xFE\xFF") : QByteArray("\xFF\xFE");
    for (const QChar c : text) {
        const char high = char(c.unicode() >> 8);
        const char low = char(c.unicode() & 0xFF);
        bytes += big ? high : low;
        bytes += big ? low : high;
    }
    return bytes;
}
