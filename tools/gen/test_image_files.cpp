// SPDX-License-Identifier: GPL-3.0-or-later
// Checks the committed cursors and icon frames as the game and the platform will read them.
#include <QFile>
#include <QImage>
#include <QTest>

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

bool opaqueAt(const QImage& image, int x, int y) {
    return qAlpha(image.pixel(x, y)) == 255;
}

// Drawn without antialiasing, so every pixel is either fully clear or fully opaque.
bool isCrisp(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int alpha = qAlpha(image.pixel(x, y));
            if (alpha != 0 && alpha != 255) {
                return false;
            }
        }
    }
    return true;
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
enum class Hotspot { TopRow, TopLeftCorner, Centre };

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
        case Hotspot::Centre:
            QCOMPARE(hotspot, bounds.center());
            QCOMPARE(bounds.width() % 2, 1); // otherwise there is no centre pixel
            break;
        }
    }

    void cursorsAreDistinct() {
        QList<QImage> images;
        for (const char* name :
             {"cursors/ORV_22.cur", "cursors/ORV_33.cur", "cursors/ORV_66.cur"}) {
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
};

QTEST_GUILESS_MAIN(ImageFilesTest)
#include "test_image_files.moc"
