// SPDX-License-Identifier: GPL-3.0-or-later
// Checks the committed cursors, icons, flags and pictures as the game and the platform will read
// them.
#include <QFile>
#include <QImage>
#include <QTest>

#include <algorithm>

namespace {

QByteArray readResource(const QString& name) {
    QFile file(QStringLiteral(VELMAR_RESOURCES_DIR "/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

unsigned u8(const QByteArray& bytes, int at) {
    return unsigned(quint8(bytes.at(at)));
}
unsigned u16(const QByteArray& bytes, int at) {
    return u8(bytes, at) | u8(bytes, at + 1) << 8;
}
unsigned u32(const QByteArray& bytes, int at) {
    return u16(bytes, at) | u16(bytes, at + 2) << 16;
}

QImage readPng(const QString& name) {
    QImage image;
    image.loadFromData(readResource(name), "PNG");
    return image.convertToFormat(QImage::Format_ARGB32);
}

bool opaqueAt(const QImage& image, int x, int y) {
    return qAlpha(image.pixel(x, y)) == 255;
}

QList<int> alphas(const QImage& image) {
    QList<int> result;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            result.append(qAlpha(image.pixel(x, y)));
        }
    }
    return result;
}

// Drawn without antialiasing, so every pixel is either fully clear or fully opaque.
bool isCrisp(const QImage& image) {
    return std::ranges::all_of(alphas(image), [](int alpha) { return alpha == 0 || alpha == 255; });
}

bool isOpaque(const QImage& image) {
    return std::ranges::all_of(alphas(image), [](int alpha) { return alpha == 255; });
}

int count(const QImage& image, QRgb colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            n += image.pixel(x, y) == colour ? 1 : 0;
        }
    }
    return n;
}

QRect opaqueBounds(const QImage& image) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (opaqueAt(image, x, y)) {
                bounds |= QRect(x, y, 1, 1);
            }
        }
    }
    return bounds;
}

// Where a cursor's hotspot belongs relative to its drawing.
enum class Hotspot { TopRow, TopLeftCorner, BottomLeftCorner, Centre };

} // namespace

Q_DECLARE_METATYPE(Hotspot)

class ImageFilesTest : public QObject {
    Q_OBJECT

private slots:
    void cursor_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<Hotspot>("hotspotRule");
        QTest::newRow("hand over tiles") << QStringLiteral("cursors/ORV_22.cur") << Hotspot::TopRow;
        QTest::newRow("arrow over board")
            << QStringLiteral("cursors/ORV_33.cur") << Hotspot::TopLeftCorner;
        QTest::newRow("move over status bar")
            << QStringLiteral("cursors/ORV_66.cur") << Hotspot::Centre;
        QTest::newRow("brush over colour choosers")
            << QStringLiteral("cursors/ORV_44.cur") << Hotspot::BottomLeftCorner;
        QTest::newRow("arrow over parameters panel")
            << QStringLiteral("cursors/ORV_77.cur") << Hotspot::TopLeftCorner;
    }

    void cursor() {
        QFETCH(QString, name);
        QFETCH(Hotspot, hotspotRule);

        const QByteArray file = readResource(name);
        QVERIFY2(file.size() > 22, qPrintable(name + QStringLiteral(" is missing or truncated")));
        QCOMPARE(u16(file, 0), 0u);
        QCOMPARE(u16(file, 2), 2u); // cursor, not icon
        QCOMPARE(u16(file, 4), 1u);
        QCOMPARE(u8(file, 6), 32u);
        QCOMPARE(u8(file, 7), 32u);
        QCOMPARE(u8(file, 8), 0u);
        QCOMPARE(u8(file, 9), 0u);
        const QPoint hotspot(int(u16(file, 10)), int(u16(file, 12)));
        QVERIFY(hotspot.x() >= 0 && hotspot.x() < 32);
        QVERIFY(hotspot.y() >= 0 && hotspot.y() < 32);
        QCOMPARE(u32(file, 14), unsigned(file.size() - 22));
        QCOMPARE(u32(file, 18), 22u);

        // Readers tell a PNG payload from a bitmap one by its signature alone.
        const QByteArray payload = file.mid(22);
        QVERIFY(payload.startsWith("\x89PNG\r\n\x1a\n"));
        QImage image;
        QVERIFY(image.loadFromData(payload, "PNG"));
        QCOMPARE(image.size(), QSize(32, 32));
        QVERIFY(image.hasAlphaChannel());
        QCOMPARE(qAlpha(image.pixel(31, 31)), 0);
        QVERIFY(isCrisp(image));

        // A hotspot left behind when the drawing moves would click beside the pointer.
        const QRect bounds = opaqueBounds(image);
        QVERIFY(!bounds.isEmpty());
        QVERIFY(opaqueAt(image, hotspot.x(), hotspot.y()));
        switch (hotspotRule) {
        case Hotspot::TopRow:
            QCOMPARE(hotspot.y(), bounds.top());
            break;
        case Hotspot::TopLeftCorner:
            QCOMPARE(hotspot, bounds.topLeft());
            break;
        case Hotspot::BottomLeftCorner:
            QCOMPARE(hotspot, QPoint(bounds.left(), bounds.bottom()));
            break;
        case Hotspot::Centre:
            QCOMPARE(hotspot, bounds.center());
            QCOMPARE(bounds.width() % 2, 1); // otherwise there is no centre pixel
            break;
        }
    }

    void cursorsAreDistinct() {
        QList<QImage> images;
        for (const char* name : {"cursors/ORV_22.cur", "cursors/ORV_33.cur", "cursors/ORV_44.cur",
                                 "cursors/ORV_66.cur", "cursors/ORV_77.cur"}) {
            QImage image;
            QVERIFY(image.loadFromData(readResource(QLatin1String(name)).mid(22), "PNG"));
            for (const QImage& other : std::as_const(images)) {
                QVERIFY(image != other);
            }
            images.append(image);
        }
    }

    void iconFrames() {
        QList<QImage> frames;
        for (int i = 0; i < 5; ++i) {
            const QString name = QStringLiteral("icons/Frame%1.png").arg(i);
            QImage frame;
            QVERIFY2(frame.loadFromData(readResource(name), "PNG"), qPrintable(name));
            QCOMPARE(frame.size(), QSize(16, 16));
            QVERIFY(frame.hasAlphaChannel());
            QVERIFY(isCrisp(frame));
            frames.append(frame.convertToFormat(QImage::Format_ARGB32));
        }
        // A repeated frame would show up as a stall in the animation.
        for (int a = 0; a < frames.size(); ++a) {
            for (int b = a + 1; b < frames.size(); ++b) {
                QVERIFY2(frames[a] != frames[b],
                         qPrintable(QStringLiteral("Frame%1 == Frame%2").arg(a).arg(b)));
            }
        }
    }
    void flags() {
        QList<QImage> flags;
        for (const char* language : {"English", "Russian", "Ukrainian", "French"}) {
            const QString name = QStringLiteral("flags/%1.png").arg(QLatin1String(language));
            const QImage flag = readPng(name);
            QCOMPARE(flag.size(), QSize(16, 16));
            QVERIFY2(isCrisp(flag), qPrintable(name));
            // A flag shape centred in the list's square picture, with no holes in it.
            QCOMPARE(opaqueBounds(flag), QRect(0, 2, 16, 12));
            QVERIFY2(isOpaque(flag.copy(0, 2, 16, 12)), qPrintable(name));
            // One picture copied for two languages would leave the chooser ambiguous.
            for (const QImage& other : std::as_const(flags)) {
                QVERIFY2(flag != other, qPrintable(name));
            }
            flags.append(flag);
        }
    }

    void pictures_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::newRow("splash fills its window")
            << QStringLiteral("pictures/Splash.png") << QSize(212, 43);
        QTest::newRow("about box's bitmap")
            << QStringLiteral("pictures/About.png") << QSize(109, 169);
        QTest::newRow("volume wedge")
            << QStringLiteral("pictures/VolumeWedge.png") << QSize(64, 64);
    }

    // Windows show these on their own background colour, so any clear pixel would be a hole.
    void pictures() {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        const QImage picture = readPng(name);
        QCOMPARE(picture.size(), size);
        QVERIFY(isOpaque(picture));
    }

    void splashIsABevelledBlackPanelWithARedCaption() {
        const QImage splash = readPng(QStringLiteral("pictures/Splash.png"));
        QCOMPARE(splash.pixel(0, 0), qRgb(255, 255, 255)); // raised outside
        QCOMPARE(splash.pixel(211, 42), qRgb(128, 128, 128));
        QCOMPARE(splash.pixel(1, 1), qRgb(128, 128, 128)); // lowered inside
        QCOMPARE(splash.pixel(210, 41), qRgb(255, 255, 255));
        QCOMPARE(splash.pixel(105, 3), qRgb(0, 0, 0));
        QVERIFY(count(splash, qRgb(255, 0, 0)) > 100);
    }

    void wedgeNarrowsFromElevenPixelsToAPoint() {
        const QRgb silver = qRgb(192, 192, 192);
        const QRgb white = qRgb(255, 255, 255);
        const QRgb grey = qRgb(128, 128, 128);
        const QImage wedge = readPng(QStringLiteral("pictures/VolumeWedge.png"));
        QCOMPARE(count(wedge, silver) + count(wedge, white) + count(wedge, grey), 64 * 64);
        // The window keys out the colour of the bottom-left pixel.
        QCOMPARE(wedge.pixel(0, 63), silver);

        int previousRight = 11;
        int pointRow = -1;
        for (int y = 0; y < 64; ++y) {
            int right = -1;
            for (int x = 0; x < 64; ++x) {
                if (wedge.pixel(x, y) != silver) {
                    right = x;
                }
            }
            if (right < 0) {
                pointRow = pointRow < 0 ? y - 1 : pointRow;
                continue;
            }
            QVERIFY2(pointRow < 0, "the wedge is broken below its point");
            QVERIFY(right <= previousRight);
            QCOMPARE(wedge.pixel(right, y), grey); // shadow on the right edge
            if (right > 0) {
                QCOMPARE(wedge.pixel(0, y), white); // light on the left edge
            }
            previousRight = right;
        }
        QCOMPARE(previousRight, 0);
        QVERIFY(pointRow > 48);
        // Light along the top, 11 pixels wide with the shadow's corner.
        for (int x = 0; x < 10; ++x) {
            QCOMPARE(wedge.pixel(x, 0), white);
        }
        QCOMPARE(wedge.pixel(10, 0), grey);
        QCOMPARE(wedge.pixel(11, 0), silver);
    }

    // Every size is the window icon's first frame with each pixel grown to a block.
    void desktopIconsAreTheWindowIconAtEverySize() {
        const QImage frame = readPng(QStringLiteral("icons/Frame0.png"));
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
            QImage icon;
            const QString name = QStringLiteral("velmar-%1.png").arg(size);
            QVERIFY2(icon.load(QStringLiteral(VELMAR_DESKTOP_ICONS_DIR "/") + name),
                     qPrintable(name));
            icon = icon.convertToFormat(QImage::Format_ARGB32);
            QCOMPARE(icon.size(), QSize(size, size));
            for (int y = 0; y < size; ++y) {
                for (int x = 0; x < size; ++x) {
                    QCOMPARE(icon.pixel(x, y), frame.pixel(x * 16 / size, y * 16 / size));
                }
            }
        }
    }

    void symbolicIconIsOneColourAndScalableIconHasEveryColourOfTheFrame() {
        QFile symbolic(QStringLiteral(VELMAR_DESKTOP_ICONS_DIR "/velmar-symbolic.svg"));
        QVERIFY(symbolic.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(symbolic.readAll());
        QCOMPARE(text.count(QStringLiteral("fill=\"")),
                 text.count(QStringLiteral("fill=\"#2e3436\"")));
        QCOMPARE(text.count(QStringLiteral("<rect")), 15); // the tiles; the empty cell stays open

        QFile scalable(QStringLiteral(VELMAR_DESKTOP_ICONS_DIR "/velmar.svg"));
        QVERIFY(scalable.open(QIODevice::ReadOnly));
        const QString drawing = QString::fromUtf8(scalable.readAll());
        const QImage frame = readPng(QStringLiteral("icons/Frame0.png"));
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                if (qAlpha(frame.pixel(x, y)) == 0)
                    continue;
                const QString colour = QStringLiteral("#%1").arg(frame.pixel(x, y) & 0xffffffu, 6,
                                                                 16, QLatin1Char('0'));
                QVERIFY2(drawing.contains(colour), qPrintable(colour));
            }
        }
    }
};

QTEST_GUILESS_MAIN(ImageFilesTest)
#include "test_image_files.moc"
