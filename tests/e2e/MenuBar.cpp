// SPDX-License-Identifier: GPL-3.0-or-later
// The menu bar in each of the four languages, on a real X server: three items on one row, each
// opened by its access key, by Left and Right and by the mouse, each menu under its own item,
// and the window as high in every language.
#include "DriverMain.h"
#include "GameProcess.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTest>

#include <optional>

namespace {

constexpr int kWindowWidth = 207;
constexpr int kClientHeight = 246; // the bar, the board frame and the status bar
constexpr int kBarHeight = 20;
constexpr int kChangeTimeoutMs = 10000;
const QRgb kOpenItemFill = qRgb(166, 202, 240); // the painter's colour for an open bar item
const QRgb kGutter = qRgb(0, 0, 255);
const QRgb kBarFace = qRgb(212, 208, 200);

QImage grabScreen(const QRect& area) {
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

// The open item of the bar: its fill and the one-pixel frame around it.
QRect openItem(const QImage& bar) {
    QRect fill;
    for (int y = 0; y < bar.height(); ++y)
        for (int x = 0; x < bar.width(); ++x)
            if (bar.pixel(x, y) == kOpenItemFill)
                fill |= QRect(x, y, 1, 1);
    return fill.isNull() ? fill : fill.adjusted(-1, -1, 1, 1);
}

} // namespace

class MenuBar : public QObject {
    Q_OBJECT

    QProcess game_;
    QRect window_;

    QRect waitForOpenItemOtherThan(const QRect& previous, int timeoutMs = kChangeTimeoutMs) {
        QRect seen;
        pollFor(
            [&] {
                seen =
                    openItem(grabScreen(QRect(window_.topLeft(), QSize(kWindowWidth, kBarHeight))));
                return !seen.isNull() && seen != previous;
            },
            timeoutMs);
        return seen;
    }

    // The popup's blue gutter stands just below the item, from its left edge on: the first
    // item and the separator under it.
    bool menuOpensUnder(const QRect& item) {
        const QPoint probe = window_.topLeft() + QPoint(item.left() + 7, item.bottom() + 30);
        return pollFor([&] { return grabScreen(QRect(probe, QSize(1, 1))).pixel(0, 0) == kGutter; },
                       kChangeTimeoutMs);
    }

    static bool setKeyboardLayout(const QString& layout) {
        QProcess p;
        p.start(QStringLiteral("setxkbmap"), {QStringLiteral("-layout"), layout});
        return p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit &&
               p.exitCode() == 0;
    }

    bool key(const QString& keys) {
        bool ok = false;
        xdotool({"key", keys}, &ok);
        return ok;
    }

    // mousemove --sync waits for motion, so it hangs when the pointer is there already.
    void moveTo(const QPoint& inWindow) {
        const QPoint at = window_.topLeft() + inWindow;
        QHash<QString, int> here;
        for (const QString& line :
             xdotool({"getmouselocation", "--shell"}).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            here.insert(line.section(QLatin1Char('='), 0, 0),
                        line.section(QLatin1Char('='), 1).toInt());
        if (here.value(QStringLiteral("X"), -1) != at.x() ||
            here.value(QStringLiteral("Y"), -1) != at.y())
            xdotool({"mousemove", "--sync", QString::number(at.x()), QString::number(at.y())});
    }

    bool clickAt(const QPoint& inWindow) {
        moveTo(inWindow);
        bool ok = false;
        xdotool({"click", "1"}, &ok);
        return ok;
    }

    bool barIsQuiet() {
        return openItem(grabScreen(QRect(window_.topLeft(), QSize(kWindowWidth, kBarHeight))))
            .isNull();
    }

    // Esc closes the menu, then leaves the bar; on a loaded machine a press may come before
    // the bar has taken the one before, so it presses until the bar is quiet.
    void closeMenus() {
        // Off the bar, so no item stays lit under the pointer.
        moveTo(QPoint(100, 120));
        for (int press = 0; press < 4 && !barIsQuiet(); ++press) {
            key(QStringLiteral("Escape"));
            pollFor([&] { return barIsQuiet(); }, 1500);
        }
        QVERIFY(barIsQuiet());
    }

    // Starts the game with language `select` stored and returns its window, whose place it
    // records; empty when it did not show.
    QString startInLanguage(int select) {
        const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
        QFile settings(config + QStringLiteral("/ORV_Velmar.INI"));
        if (config.isEmpty() || !QDir().mkpath(config) ||
            !settings.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return {};
        settings.write(QByteArray("[USER]\r\nSelect=") + QByteArray::number(select) + "\r\n");
        settings.close();
        if (!StartGame(game_, gamePath).isEmpty())
            return {};
        QStringList ids;
        if (!pollFor(
                [&] {
                    ids =
                        visibleWindowsTitled(QStringLiteral("^Velmar$"), QStringLiteral("Velmar"));
                    return !ids.isEmpty();
                },
                kAppearTimeoutMs))
            return {};
        QHash<QString, int> g;
        for (const QString& line : xdotool({"getwindowgeometry", "--shell", ids.first()})
                                       .split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            g.insert(line.section(QLatin1Char('='), 0, 0),
                     line.section(QLatin1Char('='), 1).toInt());
        window_ = QRect(g.value(QStringLiteral("X")), g.value(QStringLiteral("Y")),
                        g.value(QStringLiteral("WIDTH")), g.value(QStringLiteral("HEIGHT")));
        return ids.first();
    }

private slots:
    void everyLanguageShowsItsThreeMenusOnTheBar_data() {
        QTest::addColumn<int>("select");
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QString>("accessKey");
        QTest::newRow("English") << 0 << QStringLiteral("us") << QStringLiteral("alt+g");
        QTest::newRow("Russian") << 1 << QStringLiteral("ru") << QStringLiteral("alt+Cyrillic_i");
        QTest::newRow("Ukrainian")
            << 2 << QStringLiteral("ua") << QStringLiteral("alt+Cyrillic_ghe");
        QTest::newRow("French") << 3 << QStringLiteral("fr") << QStringLiteral("alt+l");
    }

    void everyLanguageShowsItsThreeMenusOnTheBar() {
        QFETCH(int, select);
        QFETCH(QString, layout);
        QFETCH(QString, accessKey);
        // The player's own keyboard, set before the game reads it: xdotool then types the
        // letter with a key the map has. Without it xdotool lends the letter a spare key code
        // for the moment of the press, and a game busy at that moment reads the map back
        // after the loan has ended and hears no letter at all.
        QVERIFY2(setKeyboardLayout(layout), "setxkbmap failed");
        const QString id = startInLanguage(select);
        QVERIFY2(!id.isEmpty(), "the game did not show its window");
        QCOMPARE(window_.width(), kWindowWidth);
        QCOMPARE(window_.height(), kClientHeight);
        // The X server hands the game the focus before any key pressed after it, so the window
        // is active for the access key once the focus is there.
        xdotool({"windowfocus", id});
        QVERIFY(pollFor([&] { return xdotool({"getwindowfocus"}) == id; }, kChangeTimeoutMs));
        // The bar painted: its empty end in the button face colour.
        QVERIFY(pollFor(
            [&] {
                return grabScreen(
                           QRect(window_.topLeft() + QPoint(kWindowWidth - 2, 2), QSize(1, 1)))
                           .pixel(0, 0) == kBarFace;
            },
            kChangeTimeoutMs));

        // From the keyboard: the access key, then Right twice and round to the first again.
        QVERIFY(key(accessKey));
        const QRect game = waitForOpenItemOtherThan({});
        QVERIFY2(!game.isNull(), "the access key opened no menu");
        QVERIFY(menuOpensUnder(game));
        QVERIFY(key(QStringLiteral("Right")));
        const QRect parameters = waitForOpenItemOtherThan(game);
        QVERIFY(menuOpensUnder(parameters));
        QVERIFY(key(QStringLiteral("Right")));
        const QRect help = waitForOpenItemOtherThan(parameters);
        QVERIFY(menuOpensUnder(help));
        QVERIFY(key(QStringLiteral("Right")));
        QCOMPARE(waitForOpenItemOtherThan(help), game); // nothing hides in an overflow
        closeMenus();

        // One row, left to right, all on the bar.
        QCOMPARE(parameters.top(), game.top());
        QCOMPARE(help.top(), game.top());
        QVERIFY(game.right() < parameters.left());
        QVERIFY(parameters.right() < help.left());
        QVERIFY(help.right() < kWindowWidth);

        // By the mouse, each item opens its own menu.
        for (const QRect& item : {parameters, help}) {
            QVERIFY(clickAt(item.center()));
            QCOMPARE(waitForOpenItemOtherThan({}), item);
            QVERIFY(menuOpensUnder(item));
            closeMenus();
        }
    }

    void cleanup() {
        StopGame(game_);
        setKeyboardLayout(QStringLiteral("us")); // the layout the other cases type on
    }
};

int main(int argc, char** argv) {
    return RunDriver<MenuBar>(argc, argv);
}

#include "MenuBar.moc"
