// SPDX-License-Identifier: GPL-3.0-or-later
// The fonts the game carries: the menu font draws every language in one family, and bold text
// reads bold at the classic sizes without smoothing any text.
#include "CanvasImages.h"
#include "i18n/StringTable.h"
#include "platform/ui/Application.h"

#include <QFontInfo>
#include <QRawFont>
#include <QSet>
#include <QTest>

using namespace platform;
using namespace canvas_images;

namespace {

TFont fontOf(const char* name, int height, unsigned style) {
    TFont font;
    font.Name = name;
    font.Height = height;
    font.Style = style;
    font.Color = clBlack;
    return font;
}

// The widest run of black pixels across the middle row of the letter's ink: its stem.
int stemWidth(const TFont& font) {
    const QImage image = paint(30, 30, [&](Canvas& c) {
        c.Font = font;
        c.TextOut(8, 4, "l");
    });
    const QRect ink = inkOf(image, rgbOf(clBlack));
    int widest = 0;
    int run = 0;
    for (int x = 0; x < image.width(); ++x) {
        run = image.pixel(x, ink.center().y()) == rgbOf(clBlack) ? run + 1 : 0;
        widest = std::max(widest, run);
    }
    return widest;
}

} // namespace

class TestFonts : public QObject {
    Q_OBJECT

private slots:
    void theMenuFontHasEveryLetterOfEveryLanguage() {
        TFont menu = fontOf("Comic Sans MS", 0, 0);
        menu.Size = 10;
        const QFont font = ToQFont(menu);
        // The carried face itself, not whatever the machine would fall back to.
        QCOMPARE(QFontInfo(font).family(), QStringLiteral("Andika"));
        const QRawFont raw = QRawFont::fromFont(font);
        QSet<QChar> missing;
        for (int language = 0; language < i18n::LanguageCount; ++language)
            for (int key = 1; key <= i18n::KeyCount; ++key)
                for (const QChar c : QString::fromUtf8(i18n::StringTableText(language, key)))
                    if (!raw.supportsCharacter(c))
                        missing.insert(c);
        for (const QChar c : QStringLiteral("іїєґІЇЄҐ"))
            if (!raw.supportsCharacter(c))
                missing.insert(c);
        QVERIFY2(missing.isEmpty(),
                 qPrintable(QStringList(missing.begin(), missing.end()).join(u' ')));
    }

    void smallBoldTextHasTwoPixelStemsAndRegularOne_data() {
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("boldStem");
        QTest::addColumn<int>("regularStem");
        // The about box and the splash, the dialogs; the tiles and the board's text.
        QTest::newRow("11 pixels") << 11 << 2 << 1;
        QTest::newRow("16 pixels") << 16 << 2 << 1;
    }

    void smallBoldTextHasTwoPixelStemsAndRegularOne() {
        QFETCH(int, height);
        QFETCH(int, boldStem);
        QFETCH(int, regularStem);
        QCOMPARE(stemWidth(fontOf("MS Sans Serif", height, fsBold)), boldStem);
        QCOMPARE(stemWidth(fontOf("MS Sans Serif", height, 0)), regularStem);
    }

    void boldTextStaysUnsmoothed() {
        const QImage image = paint(90, 20, [](Canvas& c) {
            c.Font = fontOf("MS Sans Serif", 11, fsBold);
            c.TextOut(2, 2, "Play Game");
        });
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                QVERIFY(image.pixel(x, y) == rgbOf(clBlack) || image.pixel(x, y) == rgbOf(clWhite));
    }
};

int main(int argc, char** argv) {
    PrepareProcess();
    GuardedApplication app(argc, argv);
    PrepareApplication(app);
    TestFonts test;
    return QTest::qExec(&test, argc, argv);
}
#include "TestFonts.moc"
