// SPDX-License-Identifier: GPL-3.0-or-later
// The carried fonts and pictures load the cheap way: fonts read in place from the executable,
// pictures by their named format, since a resource's name has no suffix to go by.
#include "platform/files/Resources.h"
#include "platform/gdi/Fonts.h"
#include "platform/gdi/Pictures.h"

#include <QApplication>
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
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    TestCarriedResources test;
    return QTest::qExec(&test, argc, argv);
}
#include "TestCarriedResources.moc"
