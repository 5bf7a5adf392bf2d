// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the cursors, icon frames, flags and pictures under a resources directory. The output
// depends on nothing but this program, so the committed copies can be checked against a fresh run.
#include "art.h"

#include <QColor>
#include <QFileInfo>
#include <QPainter>

#include <cstdio>
#include <vector>

namespace {

using namespace velmar::gen;

// Scaled up 8x over a light and a dark backdrop, with the hotspot (if any) boxed in red.
QImage previewSheet(const QImage& image, QPoint hotspot) {
    constexpr int kScale = 8;
    const QImage big =
        image.scaled(image.size() * kScale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    QImage sheet(big.width() * 2 + kScale * 3, big.height() + kScale * 2, QImage::Format_ARGB32);
    sheet.fill(QColor(128, 128, 128));
    QPainter painter(&sheet);
    const QColor backdrops[] = {QColor(240, 240, 240), QColor(32, 32, 32)};
    for (int i = 0; i < 2; ++i) {
        const QPoint at(kScale + i * (big.width() + kScale), kScale);
        painter.fillRect(QRect(at, big.size()), backdrops[i]);
        painter.drawImage(at, big);
        if (hotspot.x() >= 0) {
            painter.setPen(Qt::red);
            painter.drawRect(QRect(at + hotspot * kScale, QSize(kScale - 1, kScale - 1)));
        }
    }
    return sheet;
}

bool writePreview(const QString& dir, const QString& path, const QImage& image, QPoint hotspot) {
    const QString name = QFileInfo(path).completeBaseName() + QStringLiteral(".png");
    return writeFile(dir + QLatin1Char('/') + name, pngBytes(previewSheet(image, hotspot)));
}

int usage() {
    std::fputs("usage: velmar_gen_images <resources-dir> [--preview <dir>]\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    QString resources;
    QString preview;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == QLatin1String("--preview") && i + 1 < argc) {
            preview = QString::fromLocal8Bit(argv[++i]);
        } else if (arg.startsWith(QLatin1Char('-')) || !resources.isEmpty()) {
            return usage();
        } else {
            resources = arg;
        }
    }
    if (resources.isEmpty()) {
        return usage();
    }

    bool ok = true;
    auto report = [&ok](bool written, const QString& path) {
        if (!written) {
            std::fprintf(stderr, "velmar_gen_images: cannot write %s\n", qPrintable(path));
            ok = false;
        }
    };
    for (const Cursor& cursor : cursors()) {
        const QString path = resources + QLatin1Char('/') + cursor.path;
        report(writeFile(path, curBytes(cursor.image, cursor.hotspot)), path);
        if (!preview.isEmpty()) {
            report(writePreview(preview, cursor.path, cursor.image, cursor.hotspot), preview);
        }
    }
    std::vector<Picture> all = iconFrames();
    for (std::vector<Picture> more : {flags(), pictures()}) {
        all.insert(all.end(), more.begin(), more.end());
    }
    for (const Picture& picture : all) {
        const QString path = resources + QLatin1Char('/') + picture.path;
        report(writeFile(path, pngBytes(picture.image)), path);
        if (!preview.isEmpty()) {
            report(writePreview(preview, picture.path, picture.image, {-1, -1}), preview);
        }
    }
    return ok ? 0 : 1;
}
