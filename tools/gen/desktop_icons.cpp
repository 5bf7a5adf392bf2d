// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the desktop's icons of the game: the window icon's artwork at the sizes a desktop
// asks for, as a scalable drawing, and as a one-colour symbolic drawing. Only the files'
// base names are fixed here; the install names them after the application id.
#include "art.h"
#include "pixels.h"

#include <QImage>
#include <QString>

#include <cstdio>

namespace {

using namespace velmar::gen;

constexpr int kSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
constexpr const char* kSymbolicColour = "#2e3436";

QString colourName(QRgb colour) {
    return QStringLiteral("#%1").arg(colour & 0xffffffu, 6, 16, QLatin1Char('0'));
}

// The 16x16 outline with its corner pixels left out, as the pixel frames have it.
QString notchedSquare() {
    return QStringLiteral("M1 0h14v1h1v14h-1v1h-14v-1h-1v-14h1z");
}

QString rectElement(const QRect& rect, const QString& fill) {
    return QStringLiteral("  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" fill=\"%5\"/>\n")
        .arg(rect.x())
        .arg(rect.y())
        .arg(rect.width())
        .arg(rect.height())
        .arg(fill);
}

QString svgOpening(int size) {
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" "
                          "viewBox=\"0 0 16 16\" shape-rendering=\"crispEdges\">\n")
        .arg(size);
}

// Every rectangle of the artwork; the first, the board's outline, gets the rounded corners.
QByteArray scalableSvg() {
    QString svg = svgOpening(128);
    const std::vector<IconShape> shapes = iconShapes();
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        const QString fill = colourName(shapes[i].colour);
        if (i == 0) {
            svg += QStringLiteral("  <path d=\"%1\" fill=\"%2\"/>\n").arg(notchedSquare(), fill);
        } else {
            svg += rectElement(shapes[i].rect, fill);
        }
    }
    svg += QStringLiteral("</svg>\n");
    return svg.toUtf8();
}

// The board's rim and the faces of the tiles in one colour; the empty cell stays open.
QByteArray symbolicSvg() {
    const QString fill = QString::fromLatin1(kSymbolicColour);
    QString svg = svgOpening(16);
    svg += QStringLiteral("  <path d=\"%1M1 1v14h14v-14z\" fill=\"%2\" fill-rule=\"evenodd\"/>\n")
               .arg(notchedSquare(), fill);
    for (const IconShape& shape : iconShapes()) {
        if (shape.rect.size() == QSize(2, 2)) { // a tile's face
            svg += rectElement(shape.rect, fill);
        }
    }
    svg += QStringLiteral("</svg>\n");
    return svg.toUtf8();
}

// Pixel (x, y) of the result is pixel (x * 16 / size, y * 16 / size) of the 16x16 frame.
QImage grown(const QImage& frame, int size) {
    QImage image = blank(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            image.setPixel(x, y, frame.pixel(x * frame.width() / size, y * frame.height() / size));
        }
    }
    return image;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 || argv[1][0] == '-') {
        std::fputs("usage: velmar_gen_desktop_icons <icons-dir>\n", stderr);
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]) + QLatin1Char('/');
    bool ok = true;
    auto write = [&ok, &dir](const QString& name, const QByteArray& bytes) {
        if (!writeFile(dir + name, bytes)) {
            std::fprintf(stderr, "velmar_gen_desktop_icons: cannot write %s\n",
                         qPrintable(dir + name));
            ok = false;
        }
    };
    // Pixel for pixel the window icon, every pixel a square block, so each size stays crisp.
    const QImage icon = iconImage();
    for (int size : kSizes) {
        write(QStringLiteral("velmar-%1.png").arg(size), pngBytes(grown(icon, size)));
    }
    write(QStringLiteral("velmar.svg"), scalableSvg());
    write(QStringLiteral("velmar-symbolic.svg"), symbolicSvg());
    return ok ? 0 : 1;
}
