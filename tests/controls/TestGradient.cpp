// SPDX-License-Identifier: GPL-3.0-or-later
// The gradient routine: its colour table, its stripes, its noise and the tiling of the noise.
#include "controls/Gradient.h"

#include <QTest>

using namespace platform;
using controls::DrawGradient;
using controls::GradientColors;

namespace {

int red(const TBitmap& bitmap, int x, int y) {
    return qRed(bitmap.Image().pixel(x, y));
}

} // namespace

class TestGradient : public QObject {
    Q_OBJECT

private slots:
    void theTableRunsFromTheFirstColourToTheLast() {
        const auto table = GradientColors(0xFFFFFF, 0xE7EBEF, 32, 1);
        QCOMPARE(int(table.size()), 32);
        QCOMPARE(table.front(), 0xFFFFFFu);
        QCOMPARE(table.back(), 0xE7EBEFu);
        // red 255 - 15.48, green 255 - 19.35, blue 255 - 23.23
        QCOMPARE(table[30], 0xE8ECF0u);
    }

    void halfwayStepsRoundToEven() {
        // Steps of 2.5: 2.5 rounds down to 2, 7.5 up to 8.
        const auto up = GradientColors(0x000000, 0x00000A, 5, 1);
        QCOMPARE(up[1], 0x000002u);
        QCOMPARE(up[3], 0x000008u);
        const auto down = GradientColors(0x00000A, 0x000000, 5, 1);
        QCOMPARE(down[1], 0x000008u);
        QCOMPARE(down[3], 0x000002u);
    }

    void stylesTwoAndThreeSwapTheColours() {
        const auto table = GradientColors(0x0000FF, 0xFF0000, 4, 2);
        QCOMPARE(table.front(), 0xFF0000u);
        QCOMPARE(table.back(), 0x0000FFu);
    }

    void systemColoursAreResolvedFirst() {
        const auto table = GradientColors(clBtnFace, clBtnFace, 2, 1);
        QCOMPARE(table[0], GetSysColor(COLOR_BTNFACE));
    }

    void stripesFollowMulDivOnAWidthThatDoesNotDivide() {
        // Entry i has red i, so a column's red names its stripe. 50 / 32 columns each:
        // the bounds are 0, 2, 3, 5, 6, 8, ... 48, 50.
        TBitmap bitmap;
        DrawGradient(50, 4, 0x000000, 0x00001F, 32, 0, false, bitmap);
        QCOMPARE(bitmap.Width(), 50);
        QCOMPARE(bitmap.Height(), 4);
        const int expected[] = {0, 0, 1, 2, 2, 3, 4, 4, 5};
        for (int x = 0; x < 9; ++x)
            QCOMPARE(red(bitmap, x, 3), expected[x]);
        QCOMPARE(red(bitmap, 25, 0), 16);
        QCOMPARE(red(bitmap, 47, 0), 30);
        QCOMPARE(red(bitmap, 48, 0), 31);
        QCOMPARE(red(bitmap, 49, 3), 31);
    }

    void noiseBleedsThePreviousColourAFewPixelsIntoEachStripe() {
        // 310 rows in 32 stripes: each stripe's first ten rows may take the previous colour.
        TBitmap bitmap;
        DrawGradient(40, 310, 0x000000, 0x00001F, 32, 1, true, bitmap);
        bool bled = false;
        for (int i = 1; i < 32; ++i) {
            const int start = MulDiv(i, 310, 32);
            const int stop = MulDiv(i + 1, 310, 32);
            for (int x = 0; x < 16; ++x) {
                QCOMPARE(red(bitmap, x, start), i - 1);
                for (int y = start + 1; y < stop; ++y) {
                    const int r = red(bitmap, x, y);
                    QVERIFY2(r == i || (r == i - 1 && y < start + 10),
                             qPrintable(QString("stripe %1 at %2,%3").arg(i).arg(x).arg(y)));
                    bled = bled || r == i - 1;
                }
            }
        }
        QVERIFY(bled);
    }

    void theFirstSixteenColumnsRepeatAcrossTheBitmap() {
        TBitmap bitmap;
        DrawGradient(40, 310, 0x000000, 0x00001F, 32, 1, true, bitmap);
        for (int y = 0; y < 310; ++y)
            for (int x = 16; x < 40; ++x)
                QCOMPARE(bitmap.Image().pixel(x, y), bitmap.Image().pixel(x % 16, y));
    }

    void verticalStripesTileTheirFirstSixteenRowsDownwards() {
        TBitmap bitmap;
        DrawGradient(310, 40, 0x000000, 0x00001F, 32, 0, true, bitmap);
        for (int y = 16; y < 40; ++y)
            for (int x = 0; x < 310; ++x)
                QCOMPARE(bitmap.Image().pixel(x, y), bitmap.Image().pixel(x, y % 16));
        QCOMPARE(red(bitmap, MulDiv(5, 310, 32), 0), 4);
    }
};

QTEST_MAIN(TestGradient)
#include "TestGradient.moc"
