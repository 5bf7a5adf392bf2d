// SPDX-License-Identifier: GPL-3.0-or-later
// The fonts the game carries: the menu font draws every language in one family, and bold text
// reads bold at the classic sizes without smoothing any text.
#include "CanvasImages.h"
#include "i18n/StringTable.h"
#include "platform/ui/Application.h"

#include <QFontInfo>
#include <QFontMetrics>
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
int stemWidth(const TFont& font, const char* letter = "l") {
    const QImage image = paint(30, 30, [&](Canvas& c) {
        c.Font = font;
        c.TextOut(8, 4, letter);
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

// How many groups of inked columns the text makes: one a letter when letters stand apart.
int inkGroups(const TFont& font, const char* text) {
    const QImage image = paint(200, 30, [&](Canvas& c) {
        c.Font = font;
        c.TextOut(4, 4, text);
    });
    int groups = 0;
    bool inInk = false;
    for (int x = 0; x < image.width(); ++x) {
        bool ink = false;
        for (int y = 0; y < image.height() && !ink; ++y)
            ink = image.pixel(x, y) == rgbOf(clBlack);
        groups += ink && !inInk ? 1 : 0;
        inInk = ink;
    }
    return groups;
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

    // The classic interface font's 8-point face: its own pixels on a 13-pixel line. The board's
    // 16 pixels have no bitmap face and keep the outline substitute.
    void theDesignFontIsTheClassicBitmapFaceAtEightPoints() {
        const QFont classic = ToQFont(fontOf("MS Sans Serif", 11, 0));
        QCOMPARE(QFontInfo(classic).family(), QStringLiteral("MS Sans Serif"));
        QCOMPARE(QFontMetrics(classic).height(), 13);
        QCOMPARE(QFontMetrics(classic).ascent(), 11);
        TFont eightPoints = fontOf("ms sans serif", 0, 0);
        eightPoints.Size = 8;
        QCOMPARE(QFontInfo(ToQFont(eightPoints)).family(), QStringLiteral("MS Sans Serif"));
        QCOMPARE(QFontInfo(ToQFont(fontOf("MS Sans Serif", 16, fsBold))).family(),
                 QStringLiteral("Liberation Sans"));
    }

    // Letters that merged in the outline face: "І" and "Т" of the Ukrainian win message, "IT"
    // of the French one, and the bold headers of the records window.
    void capitalsAndBoldLettersStandApart_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<int>("letters");
        // The face's own "АЄ" and "ед" share a column; "І" and "Т" must not.
        QTest::newRow("Ukrainian win") << QStringLiteral("ВІТ") << false << 3;
        QTest::newRow("French win") << QStringLiteral("FÉLICITÉ") << false << 8;
        QTest::newRow("Ukrainian win, bold") << QStringLiteral("ВІТ") << true << 3;
        QTest::newRow("French win, bold") << QStringLiteral("FÉLICITÉ") << true << 8;
        QTest::newRow("Russian header") << QStringLiteral("время") << true << 5;
        QTest::newRow("Russian header 2") << QStringLiteral("Побе") << true << 4;
    }

    void capitalsAndBoldLettersStandApart() {
        QFETCH(QString, text);
        QFETCH(bool, bold);
        QFETCH(int, letters);
        const QByteArray utf8 = text.toUtf8();
        QCOMPARE(
            inkGroups(fontOf("MS Sans Serif", 11, bold ? unsigned{fsBold} : 0u), utf8.constData()),
            letters);
    }

    // Full hinting drew "t" and "1" of the menu font with two-pixel stems among one-pixel ones.
    void theMenuFontsStemsAreEven_data() {
        QTest::addColumn<QString>("letter");
        QTest::newRow("t") << QStringLiteral("t");
        QTest::newRow("1") << QStringLiteral("1");
        QTest::newRow("i") << QStringLiteral("i");
        QTest::newRow("Cyrillic п") << QStringLiteral("п");
    }

    void theMenuFontsStemsAreEven() {
        QFETCH(QString, letter);
        TFont menu = fontOf("Comic Sans MS", 0, 0);
        menu.Size = 10;
        QCOMPARE(stemWidth(menu, letter.toUtf8().constData()), 1);
        QCOMPARE(stemWidth(menu, "l"), 1);
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
