// SPDX-License-Identifier: GPL-3.0-or-later
// The carried fonts and pictures load the cheap way: fonts read in place from the executable,
// pictures by their named format, since a resource's name has no suffix to go by.
#include "platform/files/Resources.h"
#include "platform/gdi/Fonts.h"
#include "platform/gdi/Pictures.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QResource>
#include <QTest>

using namespace platform;

class TestCarriedResources : public QObject {
    Q_OBJECT

private slots:
    // A compressed font would be decompressed into a heap copy that the font engine keeps,
    // and a second one for every face it loads.
    void fontsAreStoredUncompressedAndRegisterFromTheirOwnBytes() {
        const QStringList fonts{":/FONT/LiberationSans-Regular.ttf",
                                ":/FONT/LiberationSans-Bold.ttf", ":/FONT/Andika-Regular.ttf"};
        for (const QString& path : fonts) {
            const QResource resource(path);
            QVERIFY2(resource.isValid(), qPrintable(path));
            QCOMPARE(resource.compressionAlgorithm(), QResource::NoCompression);
        }
        QVERIFY(RegisterFonts());
        // A fresh process numbers its application fonts from 0, in the order registered.
        QCOMPARE(QFontDatabase::applicationFontFamilies(0), QStringList{"Liberation Sans"});
        QCOMPARE(QFontDatabase::applicationFontFamilies(1), QStringList{"Liberation Sans"});
        QCOMPARE(QFontDatabase::applicationFontFamilies(2), QStringList{"Andika"});
    }

    void picturesAndIconsLoadByNameAndAMissingOneIsNull() {
        const QImage about = LoadPng(ResourcePath("PICTURE", "About"));
        QVERIFY(!about.isNull());
        QCOMPARE(about.size(), QSize(109, 169));
        const QIcon frame = LoadPngIcon(ResourcePath("ICON", "Frame0"));
        QCOMPARE(frame.availableSizes(), QList<QSize>{QSize(16, 16)});
        QVERIFY(!frame.pixmap(16, 16).isNull());
        QVERIFY(LoadPng(ResourcePath("PICTURE", "Missing")).isNull());
        QVERIFY(LoadPngIcon(ResourcePath("ICON", "Missing")).isNull());
    }

    // Even with the format named, a reader allowed to detect formats first loads every image
    // format plugin installed, and with one of them the JPEG library, to offer it the picture.
    void noPictureLoadsAnImageFormatPlugin() {
        for (const char* name : {"Frame0", "Frame4"})
            QVERIFY(!LoadPngIcon(ResourcePath("ICON", name)).isNull());
        QVERIFY(!LoadPng(ResourcePath("PICTURE", "About")).isNull());
        const QByteArray png = FindResource("FLAG", "French").value_or(QByteArray());
        QCOMPARE(DecodePng(png).size(), QSize(16, 16));
        QVERIFY(DecodePng(png.left(png.size() / 2)).isNull());
        QVERIFY(DecodePng(QByteArray("BM not a png at all")).isNull());
        QFile maps(QStringLiteral("/proc/self/maps"));
        QVERIFY(maps.open(QIODevice::ReadOnly));
        QVERIFY(!maps.readAll().contains("imageformats"));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    TestCarriedResources test;
    return QTest::qExec(&test, argc, argv);
}
#include "TestCarriedResources.moc"
