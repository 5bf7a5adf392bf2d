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
