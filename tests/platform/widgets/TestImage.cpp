// SPDX-License-Identifier: GPL-3.0-or-later
// The picture control: a picture given by a loader is read only when first needed, once, and
// then shows exactly as the same picture given directly.
#include "platform/ui/Application.h"
#include "platform/widgets/Image.h"

#include <QTest>

using namespace platform;

namespace {

// Red with a blue bottom row: the bottom-left pixel's colour is the one keyed out.
QImage sample() {
    QImage image(6, 4, QImage::Format_RGB32);
    image.fill(qRgb(200, 0, 0));
    for (int x = 0; x < image.width(); ++x)
        image.setPixel(x, 3, qRgb(0, 0, 255));
    return image;
}

QImage shown(TImage& control) {
    return control.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

class TestImage : public QObject {
    Q_OBJECT

private slots:
    void aLoadedPictureIsReadAtItsFirstNeedAndShowsAsAGivenOne_data() {
        QTest::addColumn<bool>("transparent");
        QTest::addColumn<bool>("paintedFirst");
        QTest::newRow("opaque, painted first") << false << true;
        QTest::newRow("transparent, painted first") << true << true;
        QTest::newRow("transparent, asked for first") << true << false;
    }
    void aLoadedPictureIsReadAtItsFirstNeedAndShowsAsAGivenOne() {
        QFETCH(bool, transparent);
        QFETCH(bool, paintedFirst);
        QWidget window;
        window.setStyleSheet(QStringLiteral("background: rgb(0, 128, 0)"));
        window.resize(20, 20);
        TImage given(&window);
        given.setGeometry(0, 0, 8, 8);
        given.SetTransparent(transparent);
        given.SetPicture(sample());

        TImage loaded(&window);
        loaded.setGeometry(10, 10, 8, 8);
        int reads = 0;
        loaded.SetPictureFrom([&reads] {
            ++reads;
            return sample();
        });
        loaded.SetTransparent(transparent); // after the loader too: still nothing read
        QCOMPARE(reads, 0);
        if (!paintedFirst)
            QCOMPARE(loaded.Picture().size(), QSize(6, 4));
        QCOMPARE(shown(loaded), shown(given));
        QCOMPARE(shown(loaded), shown(loaded));
        QCOMPARE(loaded.Picture(), sample());
        QCOMPARE(reads, 1);
    }

    void aPictureGivenLaterReplacesAPendingOne() {
        TImage control;
        control.resize(8, 8);
        bool read = false;
        control.SetPictureFrom([&read] {
            read = true;
            return QImage();
        });
        control.SetPicture(sample());
        QCOMPARE(control.Picture(), sample());
        QVERIFY(!read);
    }
};

int main(int argc, char** argv) {
    PrepareProcess();
    GuardedApplication app(argc, argv);
    PrepareApplication(app);
    TestImage test;
    return QTest::qExec(&test, argc, argv);
}
#include "TestImage.moc"
