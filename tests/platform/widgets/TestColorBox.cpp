// SPDX-License-Identifier: GPL-3.0-or-later
// The colour chooser's look: its dropped list keeps the entries' height, and the closed box is a
// flat field in its background colour.
#include "platform/ui/Application.h"
#include "platform/widgets/ColorBox.h"

#include <QAbstractItemView>
#include <QTest>

using namespace platform;

class TestColorBox : public QObject {
    Q_OBJECT

private slots:
    void theDroppedListRepeatsEveryItemHeight() {
        TColorBox box(nullptr, cbStandardColors | cbIncludeNone);
        box.SetItemHeight(16);
        box.resize(145, 22);
        box.show();
        box.showPopup();
        QAbstractItemView* list = box.view();
        QCOMPARE(box.count(), 17);
        for (int i = 0; i < box.count(); ++i)
            QCOMPARE(list->visualRect(box.model()->index(i, 0)).height(), 16);
        const QRect last = list->visualRect(box.model()->index(16, 0));
        const QRect first = list->visualRect(box.model()->index(0, 0));
        QCOMPARE(last.bottom() - first.top() + 1, 272);
        box.hidePopup();
    }

    // Each entry's swatch: its colour (white for "None") inside a one-pixel black frame.
    void everySwatchIsItsColourInABlackFrame() {
        TColorBox box(nullptr, cbStandardColors | cbIncludeNone);
        QCOMPARE(box.count(), 17);
        for (int i = 0; i < box.count(); ++i) {
            const QImage image = box.itemIcon(i)
                                     .pixmap(QSize(14, 12))
                                     .toImage()
                                     .convertToFormat(QImage::Format_RGB32);
            QCOMPARE(image.size(), QSize(14, 12));
            const TColor color = box.Colors(i);
            const QRgb inside = color == clNone ? qRgb(255, 255, 255) : ToQColor(color).rgb();
            for (int y = 0; y < 12; ++y) {
                for (int x = 0; x < 14; ++x) {
                    const bool edge = x == 0 || y == 0 || x == 13 || y == 11;
                    QCOMPARE(image.pixel(x, y), edge ? qRgb(0, 0, 0) : inside);
                }
            }
        }
    }

    void theClosedBoxIsFlatInItsBackground_data() {
        QTest::addColumn<TColor>("background");
        QTest::newRow("cream") << clCream;
        QTest::newRow("window") << TColor(clWindow);
    }

    void theClosedBoxIsFlatInItsBackground() {
        QFETCH(TColor, background);
        TColorBox box;
        box.SetColors(background, clMaroon);
        box.SetSelected(clWhite); // a white swatch, so only the field's own colour is read
        box.resize(145, 22);
        const QImage image = box.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QRgb face = ToQColor(background).rgb();
        // Above and below the text, across the field left of the drop button.
        for (int x = 4; x < 100; x += 8) {
            QCOMPARE(image.pixel(x, 3), face);
            QCOMPARE(image.pixel(x, image.height() - 4), face);
        }
    }
};

int main(int argc, char** argv) {
    PrepareProcess();
    GuardedApplication app(argc, argv);
    PrepareApplication(app);
    TestColorBox test;
    return QTest::qExec(&test, argc, argv);
}
#include "TestColorBox.moc"
