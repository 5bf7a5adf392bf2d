// SPDX-License-Identifier: GPL-3.0-or-later
// The main menu drawn by the window's painter: its items' measures and colours in the real
// menus, their keyboard use, and which items the painter draws.
#include "FormFixture.h"
#include "controls/RyMenuStyle.h"
#include "controls/RyMenus.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QTest>

using namespace platform;

namespace {

QRgb rgbOf(TColor c) {
    return ToQColor(c).rgb();
}

QImage grabbed(QWidget* widget) {
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The menu's picture in design pixels, its item at the top left of `rect`.
QRgb pixelOfItem(const QImage& menu, const QRect& rect, int x, int y) {
    return menu.pixel(rect.x() + x, rect.y() + y);
}

QWidget* openPopup() {
    return QApplication::activePopupWidget();
}

void closePopups() {
    while (QWidget* popup = openPopup())
        popup->close();
}

// One item as the painter draws it in `state`, in a rectangle of `size` at the origin.
QImage paintedItem(const controls::TRyMenu& painter, const QAction& action, bool barItem,
                   QSize size, unsigned state) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter qp(&image);
    Canvas canvas(qp);
    painter.DrawItem(controls::TRyMenu::ItemOf(action, barItem), canvas,
                     Rect(0, 0, size.width(), size.height()), state);
    return image;
}

bool columnHasInk(const QImage& image, int x, int top, int bottom) {
    for (int y = top; y < bottom; ++y)
        if (image.pixel(x, y) == rgbOf(clBlack))
            return true;
    return false;
}

// The widest run of columns without ink between the item's first and last inked column.
int widestGap(const QImage& image) {
    int first = -1;
    int last = -1;
    for (int x = 0; x < image.width(); ++x)
        if (columnHasInk(image, x, 0, image.height())) {
            first = first < 0 ? x : first;
            last = x;
        }
    int widest = 0;
    int run = 0;
    for (int x = first; x >= 0 && x <= last; ++x) {
        run = columnHasInk(image, x, 0, image.height()) ? 0 : run + 1;
        widest = std::max(widest, run);
    }
    return widest;
}

} // namespace

class TestMainMenu : public QObject {
    Q_OBJECT

    std::unique_ptr<FormFixture> f;

    void activate() {
        f->form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f->form.get()));
    }

    // Every shown item of a menu is one column wide, and each caption with its shortcut fits
    // in it in the painter's font; the column's width.
    int checkedColumn(const QMenu& menu) const {
        const QFontMetrics metrics(ToQFont(f->form->MenuPainter->Font));
        int column = -1;
        for (QAction* action : menu.actions()) {
            if (!action->isVisible() || action->isSeparator())
                continue;
            const int width = menu.actionGeometry(action).width();
            if (column < 0)
                column = width;
            if (width != column)
                return -1;
            const QString text =
                action->text() + action->shortcut().toString(QKeySequence::PortableText);
            if (metrics.horizontalAdvance(text) > width)
                return -1;
        }
        return column;
    }

    void showLanguage(int language) {
        f->panel->ComboBox1->setCurrentIndex(language);
        f->panel->ComboBox1Change();
        QCoreApplication::processEvents();
    }

    static void addLanguageRows() {
        QTest::addColumn<int>("language");
        QTest::newRow("English") << 0;
        QTest::newRow("Russian") << 1;
        QTest::newRow("Ukrainian") << 2;
        QTest::newRow("French") << 3;
    }

private slots:
    void init() { f = std::make_unique<FormFixture>(); }

    void cleanup() {
        closePopups();
        f.reset();
    }

    void theShownWindowAttachesItsPainterToEveryItem() {
        const controls::TRyMenu* painter = f->form->MenuPainter.get();
        QVERIFY(painter);
        QCOMPARE(painter->Font.Name, std::string("Comic Sans MS"));
        QCOMPARE(painter->Font.Size, 10);
        for (QMenu* menu : {f->form->Files, f->form->Music, f->form->Parameters, f->form->Helps}) {
            QVERIFY(painter->Hooks(menu->menuAction()));
            for (const QAction* action : menu->actions())
                QVERIFY2(painter->Hooks(action), qPrintable(action->objectName()));
        }
        QVERIFY(!f->form->MainMenu1->isNativeMenuBar());
        // The layout's own painter is never attached.
        QVERIFY(f->form->RyMenu1);
        QVERIFY(!f->form->RyMenu1->Hooks(f->form->Play));
    }

    // The painter's measures themselves are its own suite's; here the real menu takes them.
    void gameItemsTakeThePaintersMeasures() {
        QMenu* files = f->form->Files;
        files->ensurePolished();
        const int h = files->actionGeometry(f->form->Play).height();
        QVERIFY(h >= 18);
        QCOMPARE(files->actionGeometry(f->form->Play1).height(), h);
        QCOMPARE(files->actionGeometry(f->form->Play).x(), controls::TRyMenuStyle::MenuFrameWidth);
        QVERIFY(files->actionGeometry(files->actions().at(1)).height() < h); // the separator
        QVERIFY(checkedColumn(*files) > 0);
    }

    void theBarHoldsItsThreeMenusOnOneRowInEveryLanguage_data() {
        QTest::addColumn<int>("language");
        QTest::newRow("English") << 0;
        QTest::newRow("Russian") << 1;
        QTest::newRow("Ukrainian") << 2;
        QTest::newRow("French") << 3;
    }

    void theBarHoldsItsThreeMenusOnOneRowInEveryLanguage() {
        QFETCH(int, language);
        const int englishHeight = f->form->height();
        f->panel->ComboBox1->setCurrentIndex(language);
        f->panel->ComboBox1Change();
        QCoreApplication::processEvents();
        QMenuBar* bar = f->form->MainMenu1;
        // The bar measures its items in its own font, as the framework does for any bar, and
        // each item holds its caption whole in the painter's font.
        const QFontMetrics barFont(bar->font());
        const QFontMetrics painted(ToQFont(f->form->MenuPainter->Font));
        int left = 0;
        for (QMenu* menu : {f->form->Files, f->form->Parameters, f->form->Helps}) {
            const QRect item = bar->actionGeometry(menu->menuAction());
            QVERIFY2(item.x() >= left && item.right() < bar->width(),
                     qPrintable(QStringLiteral("%1 at %2+%3 of %4")
                                    .arg(menu->title())
                                    .arg(item.x())
                                    .arg(item.width())
                                    .arg(bar->width())));
            QCOMPARE(item.y(), bar->actionGeometry(f->form->Files->menuAction()).y());
            QVERIFY(item.width() >= barFont.size(Qt::TextShowMnemonic, menu->title()).width());
            QVERIFY2(item.width() >= painted.size(Qt::TextShowMnemonic, menu->title()).width(),
                     qPrintable(menu->title()));
            left = item.right() + 1;
        }
        // Nothing falls into the overflow popup, and the window keeps its height.
        const auto* overflow = bar->findChild<QWidget*>(QStringLiteral("qt_menubar_ext_button"));
        QVERIFY(!overflow || !overflow->isVisible());
        QCOMPARE(bar->height(), 20);
        QCOMPARE(f->form->height(), englishHeight);
    }

    // The open item's frame runs round its caption with a clear column and row inside it, the
    // access key's underline included.
    void barCaptionsStayClearOfTheirFrames_data() { addLanguageRows(); }

    void barCaptionsStayClearOfTheirFrames() {
        QFETCH(int, language);
        showLanguage(language);
        for (QMenu* menu : {f->form->Files, f->form->Parameters, f->form->Helps}) {
            const QSize size = f->form->MainMenu1->actionGeometry(menu->menuAction()).size();
            const QImage item =
                paintedItem(*f->form->MenuPainter, *menu->menuAction(), true, size, ODS_SELECTED);
            const int w = size.width();
            const int h = size.height();
            QCOMPARE(item.pixel(0, 0), rgbOf(clBlack)); // the frame
            QVERIFY(columnHasInk(item, 2, 2, h - 2));   // and a caption inside it
            const QString where = menu->title();
            QVERIFY2(!columnHasInk(item, 1, 1, h - 1), qPrintable(where + " left"));
            QVERIFY2(!columnHasInk(item, w - 2, 1, h - 1), qPrintable(where + " right"));
            for (int x = 1; x < w - 1; ++x) {
                QVERIFY2(item.pixel(x, 1) != rgbOf(clBlack), qPrintable(where + " top"));
                QVERIFY2(item.pixel(x, h - 2) != rgbOf(clBlack), qPrintable(where + " bottom"));
            }
        }
    }

    // However long a caption is in a language, its shortcut stays at least 8 pixels away.
    void dropDownCaptionsKeepEightPixelsFromTheirShortcuts_data() { addLanguageRows(); }

    void dropDownCaptionsKeepEightPixelsFromTheirShortcuts() {
        QFETCH(int, language);
        showLanguage(language);
        for (QMenu* menu : {f->form->Files, f->form->Music, f->form->Parameters, f->form->Helps}) {
            menu->ensurePolished();
            for (QAction* action : menu->actions()) {
                if (!action->isVisible() || action->isSeparator() || action->shortcut().isEmpty())
                    continue;
                const QImage item = paintedItem(*f->form->MenuPainter, *action, false,
                                                menu->actionGeometry(action).size(), 0);
                const int gap = widestGap(item);
                QVERIFY2(gap >= 8,
                         qPrintable(QStringLiteral("%1: %2").arg(action->text()).arg(gap)));
            }
        }
    }

    void shortcutsShowTheirClassicTexts() {
        QCOMPARE(controls::TRyMenu::ItemOf(*f->form->Play, false).ShortCut, std::string("F5"));
        QCOMPARE(controls::TRyMenu::ItemOf(*f->form->Stoped, false).ShortCut,
                 std::string("Ctrl+S"));
        QCOMPARE(controls::TRyMenu::ItemOf(*f->form->Volime1, false).ShortCut,
                 std::string("Ctrl+V"));
        QCOMPARE(controls::TRyMenu::ItemOf(*f->form->ExitGame, false).ShortCut, std::string());
    }

    void theOpenGameMenuShowsGutterBodyAndFrame() {
        activate();
        QTest::keyClick(f->form.get(), Qt::Key_G, Qt::AltModifier);
        QCOMPARE(openPopup(), f->form->Files);
        // Opened by the keyboard, the first item is selected.
        QCOMPARE(f->form->Files->activeAction(), f->form->Play);
        const QImage menu = grabbed(f->form->Files);
        const QRect selected = f->form->Files->actionGeometry(f->form->Play);
        QCOMPARE(pixelOfItem(menu, selected, 0, 0), rgbOf(clBlack));
        QCOMPARE(pixelOfItem(menu, selected, 1, 1), rgbOf(clGradientActiveCaption));
        const QRect play = f->form->Files->actionGeometry(f->form->Play1);
        const int h = play.height();
        QCOMPARE(pixelOfItem(menu, play, 0, 0), rgbOf(clBlue));
        QCOMPARE(pixelOfItem(menu, play, h + 3, 0), rgbOf(clBlue));
        QCOMPARE(pixelOfItem(menu, play, h + 4, 0), rgbOf(clTeal));
        QCOMPARE(pixelOfItem(menu, play, play.width() - 1, 0), rgbOf(clTeal));
        QCOMPARE(menu.pixel(0, 0), rgbOf(cl3DLight));
        QCOMPARE(menu.pixel(menu.width() - 1, menu.height() - 1), rgbOf(cl3DDkShadow));
        QCOMPARE(menu.pixel(2, 2), rgbOf(clMenu));
    }

    void altLettersOpenTheMenusAndArrowsAndEnterWork() {
        activate();
        QTest::keyClick(f->form.get(), Qt::Key_P, Qt::AltModifier);
        QCOMPARE(openPopup(), f->form->Parameters);
        closePopups();
        QTest::keyClick(f->form.get(), Qt::Key_H, Qt::AltModifier);
        QCOMPARE(openPopup(), f->form->Helps);
        closePopups();
        QTest::keyClick(f->form.get(), Qt::Key_G, Qt::AltModifier);
        QCOMPARE(openPopup(), f->form->Files);
        QCOMPARE(f->form->Files->activeAction(), f->form->Play);
        QTest::keyClick(openPopup(), Qt::Key_Down);
        // The separator is skipped: the next item down is the 15-minute level.
        QCOMPARE(f->form->Files->activeAction(), f->form->Play1);
        QTest::keyClick(openPopup(), Qt::Key_Return);
        QVERIFY(!openPopup());
        QVERIFY(f->form->Timer2.Enabled());
    }

    void anItemAttachedLaterIsPaintedAndAnotherIsNot() {
        QMenu* helps = f->form->Helps;
        QAction* attached = helps->addAction(QStringLiteral("&Attached"));
        QAction* plain = helps->addAction(QStringLiteral("&Plain"));
        f->form->MenuPainter->Attach(nullptr, attached);
        QVERIFY(f->form->MenuPainter->Hooks(attached));
        QVERIFY(!f->form->MenuPainter->Hooks(plain));
        helps->popup(QPoint(0, 0));
        const QImage menu = grabbed(helps);
        const QRect a = helps->actionGeometry(attached);
        const QRect p = helps->actionGeometry(plain);
        QCOMPARE(a.height(), helps->actionGeometry(f->form->HelpGame).height());
        QCOMPARE(pixelOfItem(menu, a, 1, 1), rgbOf(clBlue));
        QVERIFY(pixelOfItem(menu, p, 1, 1) != rgbOf(clBlue));
        QVERIFY(pixelOfItem(menu, p, p.width() - 2, 1) != rgbOf(clTeal));
    }

    void aLanguageChangeMeasuresTheNewCaptions() {
        QMenu* files = f->form->Files;
        const int before = files->actionGeometry(f->form->Play1).width();
        f->panel->ComboBox1->setCurrentIndex(3);
        f->panel->ComboBox1Change();
        QCOMPARE(f->form->Play1->text(), QStringLiteral("&Niveau 2 - temps 15 min."));
        const int column = checkedColumn(*files);
        QVERIFY(column > 0);
        QVERIFY(column != before);
    }

    void freeingThePainterGivesTheMenusBackTheirOwnLook() {
        QMenu* files = f->form->Files;
        QVERIFY(files->style() != QApplication::style());
        f->form->MenuPainter.reset();
        QCOMPARE(files->style(), QApplication::style());
        QCOMPARE(f->form->MainMenu1->style(), QApplication::style());
    }
};

// A GNOME desktop must not change the menus' look: no desktop theme is loaded for them.
int main(int argc, char** argv) {
    qputenv("XDG_CURRENT_DESKTOP", "GNOME");
    platform::PrepareProcess();
    platform::GuardedApplication app(argc, argv);
    platform::PrepareApplication(app);
    TestMainMenu test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestMainMenu.moc"
