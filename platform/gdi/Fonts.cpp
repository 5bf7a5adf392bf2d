// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gdi/Fonts.h"

#include <QByteArray>
#include <QFontDatabase>
#include <QResource>
#include <QStringList>

#include <fontconfig/fontconfig.h>

#include <array>
#include <atomic>
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
    // Informal, and one family for the Latin and Cyrillic of all four languages.
    {"Comic Sans MS", "Andika"},
}};

// The menus' bold is never asked for; a bold Andika would be made from the regular face.
constexpr std::array<const char*, 3> kFontResources = {
    ":/FONT/LiberationSans-Regular.ttf",
    ":/FONT/LiberationSans-Bold.ttf",
    ":/FONT/Andika-Regular.ttf",
};

// The classic interface font's own pixels (Debian's fonts-wine). The toolkit offers one strike
// of a bitmap file: its 8-point face, 11 pixels to the em on a 13-pixel line, with Latin and
// Cyrillic. Other sizes keep the outline substitute.
constexpr std::string_view kClassicName = "MS Sans Serif";
constexpr const char* kClassicFamily = "MS Sans Serif [Wine]";
constexpr int kClassicStrike = 13;
constexpr int kClassicSmallest = 10;
constexpr int kClassicLargest = 12;
// From this size on, the outline bold face's hinted stems are two pixels wide by themselves.
constexpr int kOverstrikeBelowPixels = 14;

// Set once by RegisterFonts, before any window draws text.
std::atomic<bool> classicFaceLoaded{false};

// Mono rendering with the font's own instructions draws the menu font's "t", "1" and "5" with
// two-pixel stems and the rest with one; the autohinter keeps every stem one pixel wide.
constexpr const char* kMenuFontHinting = R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <match target="font">
    <test name="family"><string>Andika</string></test>
    <edit name="autohint" mode="assign"><bool>true</bool></edit>
  </match>
</fontconfig>
)";

// The fonts are stored uncompressed, so the font engine reads them where the executable maps
// them instead of from a copy on the heap.
bool registerResourceFont(const char* path) {
    const QResource resource(QString::fromLatin1(path));
    if (!resource.isValid())
        return false;
    const QByteArray data =
        resource.compressionAlgorithm() == QResource::NoCompression
            ? QByteArray::fromRawData(reinterpret_cast<const char*>(resource.data()),
                                      static_cast<qsizetype>(resource.size()))
            : resource.uncompressedData();
    return QFontDatabase::addApplicationFontFromData(data) >= 0;
}

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

int pixelSizeOf(const TFont& font) {
    if (font.Height > 0)
        return font.Height;
    // points at the classic 96 pixels per inch, whatever the screen reports
    return ((font.Size > 0 ? font.Size : 8) * 96 + 36) / 72;
}

bool drawsClassicFace(const TFont& font) {
    const int pixels = pixelSizeOf(font);
    return classicFaceLoaded.load(std::memory_order_relaxed) &&
           equalsIgnoringCase(font.Name, kClassicName) && pixels >= kClassicSmallest &&
           pixels <= kClassicLargest;
}

} // namespace

bool RegisterFonts() {
    bool all = true;
    for (const char* path : kFontResources)
        all = registerResourceFont(path) && all;
    const bool classic =
        QFontDatabase::addApplicationFont(QStringLiteral(VELMAR_CLASSIC_FONT)) >= 0;
    classicFaceLoaded.store(classic, std::memory_order_relaxed);
    const bool hinting = FcConfigParseAndLoadFromMemory(
                             FcConfigGetCurrent(),
                             reinterpret_cast<const FcChar8*>(kMenuFontHinting), FcTrue) == FcTrue;
    return all && classic && hinting;
}

QString SubstituteFamily(const std::string& designName) {
    for (const auto& s : kSubstitutes)
        if (equalsIgnoringCase(s.designName, designName))
            return QString::fromLatin1(s.family);
    return QString::fromStdString(designName);
}

bool DrawsBoldTwice(const TFont& font) {
    if ((font.Style & fsBold) == 0)
        return false;
    return drawsClassicFace(font) || pixelSizeOf(font) < kOverstrikeBelowPixels;
}

QFont ToQFont(const TFont& font) {
    const bool classic = drawsClassicFace(font);
    QFont f(classic ? QString::fromLatin1(kClassicFamily) : SubstituteFamily(font.Name));
    f.setPixelSize(classic ? kClassicStrike : pixelSizeOf(font));
    if (classic) {
        // The classic bold is the regular face drawn again a pixel to the right (the canvas
        // does it), and each letter a pixel wider for it, so letters stay apart.
        if (font.Style & fsBold)
            f.setLetterSpacing(QFont::AbsoluteSpacing, 1);
    } else {
        f.setBold((font.Style & fsBold) != 0);
    }
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
