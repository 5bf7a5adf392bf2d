// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gdi/Fonts.h"

#include <QFontDatabase>
#include <QResource>
#include <QStringList>

#include <array>
#include <string_view>

namespace platform {

namespace {

struct Substitution {
    std::string_view designName;
    const char* family;
};

constexpr std::array<Substitution, 3> kSubstitutes = {{
    {"MS Sans Serif", "Liberation Sans"},
    {"Arial", "Liberation Sans"},
    {"Comic Sans MS", "Comic Neue"},
}};

constexpr std::array<const char*, 4> kFontResources = {
    ":/FONT/LiberationSans-Regular.ttf",
    ":/FONT/LiberationSans-Bold.ttf",
    ":/FONT/ComicNeue-Regular.otf",
    ":/FONT/ComicNeue-Bold.otf",
};

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

// The font engine keeps the bytes it was given for good; an uncompressed resource is handed
// over in place, so neither the registration nor each face loaded copies the whole file.
bool registerFont(const char* path) {
    const QResource resource(QString::fromLatin1(path));
    if (!resource.isValid())
        return false;
    const QByteArray bytes =
        resource.compressionAlgorithm() == QResource::NoCompression
            ? QByteArray::fromRawData(reinterpret_cast<const char*>(resource.data()),
                                      static_cast<qsizetype>(resource.size()))
            : resource.uncompressedData();
    return QFontDatabase::addApplicationFontFromData(bytes) >= 0;
}

} // namespace

bool RegisterFonts() {
    bool all = true;
    for (const char* path : kFontResources)
        all = registerFont(path) && all;
    return all;
}

QString SubstituteFamily(const std::string& designName) {
    for (const auto& s : kSubstitutes)
        if (equalsIgnoringCase(s.designName, designName))
            return QString::fromLatin1(s.family);
    return QString::fromStdString(designName);
}

QFont ToQFont(const TFont& font) {
    QFont f(SubstituteFamily(font.Name));
    if (font.Height > 0)
        f.setPixelSize(font.Height);
    else // points at the classic 96 pixels per inch, whatever the screen reports
        f.setPixelSize(((font.Size > 0 ? font.Size : 8) * 96 + 36) / 72);
    f.setBold((font.Style & fsBold) != 0);
    f.setItalic((font.Style & fsItalic) != 0);
    f.setUnderline((font.Style & fsUnderline) != 0);
    f.setStrikeOut((font.Style & fsStrikeOut) != 0);
    // The classic look has no smoothed text, and the outcome must not depend on the
    // machine's font configuration.
    f.setStyleStrategy(QFont::NoAntialias);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

} // namespace platform
