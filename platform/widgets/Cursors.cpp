// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/Cursors.h"

#include "platform/files/Resources.h"
#include "platform/gdi/Pictures.h"

#include <QPixmap>
#include <map>

namespace platform {

namespace {

std::map<int, QCursor>& table() {
    static std::map<int, QCursor> cursors;
    return cursors;
}

unsigned le16(const QByteArray& d, int at) {
    return static_cast<unsigned char>(d[at]) | (static_cast<unsigned char>(d[at + 1]) << 8);
}

quint32 le32(const QByteArray& d, int at) {
    return le16(d, at) | (quint32(le16(d, at + 2)) << 16);
}

} // namespace

std::optional<QCursor> CursorFromCurData(const QByteArray& data) {
    constexpr int headerSize = 6;
    constexpr int entrySize = 16;
    if (data.size() < headerSize + entrySize || le16(data, 0) != 0 || le16(data, 2) != 2 ||
        le16(data, 4) < 1)
        return std::nullopt;
    const int hotX = static_cast<int>(le16(data, headerSize + 4));
    const int hotY = static_cast<int>(le16(data, headerSize + 6));
    const quint32 size = le32(data, headerSize + 8);
    const quint32 offset = le32(data, headerSize + 12);
    if (offset > quint32(data.size()) || size > quint32(data.size()) - offset)
        return std::nullopt;
    const QImage image =
        DecodePng(data.mid(static_cast<qsizetype>(offset), static_cast<qsizetype>(size)));
    if (image.isNull())
        return std::nullopt;
    if (hotX >= image.width() || hotY >= image.height())
        return std::nullopt;
    return QCursor(QPixmap::fromImage(image), hotX, hotY);
}

std::optional<QCursor> LoadCursor(const std::string& name) {
    const auto data = FindResource("CURSOR", name);
    if (!data)
        return std::nullopt;
    return CursorFromCurData(*data);
}

void SetScreenCursor(int number, std::optional<QCursor> cursor) {
    if (cursor)
        table()[number] = *cursor;
    else
        table().erase(number);
}

QCursor ScreenCursor(int number) {
    const auto found = table().find(number);
    return found == table().end() ? QCursor(Qt::ArrowCursor) : found->second;
}

} // namespace platform
