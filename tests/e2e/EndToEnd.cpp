// SPDX-License-Identifier: GPL-3.0-or-later
// Plays one deal of the built game as a player would: real key presses and mouse clicks through
// the X server, judged by screenshots. The slots run in order and share one game process.
#include "DriverMain.h"
#include "GameProcess.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QRandomGenerator>
#include <QScreen>
#include <QStandardPaths>
#include <QTest>

#include <array>
#include <cstdlib>
#include <optional>
#include <vector>

namespace {

constexpr int kBoardFrame = 207;
constexpr int kStatusBar = 19;
constexpr int kGridOrigin = 4; // the board frame's bevel plus the board panel's
constexpr int kCellStep = 50;
constexpr int kTile = 49;
constexpr int kSide = 4;
constexpr int kCells = kSide * kSide;
constexpr int kWindowWidth = kBoardFrame;

constexpr int kChangeTimeoutMs = 10000;

const QString kConfirmTitle = QStringLiteral("Confirm / Подтверждение / Підтвердження");

// Fusion shades the teal face with a gradient, hence ranges, not one colour.
bool isTeal(QRgb c) {
    return qGreen(c) > 90 && qBlue(c) > 90 && qRed(c) < 80;
}
bool isDark(QRgb c) {
    return qRed(c) < 40 && qGreen(c) < 40 && qBlue(c) < 40;
}
bool isWhite(QRgb c) {
    return qRed(c) > 200 && qGreen(c) > 200 && qBlue(c) > 200;
}

struct Geometry {
    int x = -1;
    int y = -1;
    int width = 0;
    int height = 0;
};

// Reads xdotool's --shell output: one KEY=number a line.
QHash<QString, int> shellValues(const QString& shell) {
    QHash<QString, int> values;
    for (const QString& line : shell.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        values.insert(line.section(QLatin1Char('='), 0, 0),
                      line.section(QLatin1Char('='), 1).toInt());
    return values;
}

std::optional<Geometry> geometryOf(const QString& id) {
    bool ok = false;
    const auto values = shellValues(xdotool({"getwindowgeometry", "--shell", id}, &ok));
    if (!ok)
        return std::nullopt;
    return Geometry{values.value(QStringLiteral("X"), -1), values.value(QStringLiteral("Y"), -1),
                    values.value(QStringLiteral("WIDTH")), values.value(QStringLiteral("HEIGHT"))};
}

int rowOf(int cell) {
    return cell / kSide;
}
int columnOf(int cell) {
    return cell % kSide;
}
int distance(int a, int b) {
    return std::abs(rowOf(a) - rowOf(b)) + std::abs(columnOf(a) - columnOf(b));
}

} // namespace

class EndToEnd : public QObject {
    Q_OBJECT

    QProcess game_;
    QString windowId_;
    Geometry window_;
    int boardTop_ = 0; // the board frame's top inside the window: the menu bar's height
    QString board_;    // what the board shows now, one letter a cell: T tile, B hole
    QImage afterSlides_;
    bool derailed_ = false; // a step failed: the game's state is no longer known

    QImage grab(const Geometry& area) const {
        QScreen* screen = QGuiApplication::primaryScreen();
        return screen->grabWindow(0, area.x, area.y, area.width, area.height)
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }
    QImage grabWindow() const { return grab(window_); }

    QPoint cellOrigin(int cell) const {
        return {kGridOrigin + kCellStep * columnOf(cell),
                boardTop_ + kGridOrigin + kCellStep * rowOf(cell)};
    }

    // T: the face is teal all over; B: black all over; ?: anything else, e.g. a tile mid-slide.
    QString readBoard(const QImage& shot) const {
        // The number sits in the middle and Fusion's focus frame on the edge: sample between.
        constexpr std::array<QPoint, 4> faceSamples = {
            QPoint(8, 8), QPoint(kTile - 9, 8), QPoint(8, kTile - 9), QPoint(kTile - 9, kTile - 9)};
        QString cells;
        for (int cell = 0; cell < kCells; ++cell) {
            const QPoint origin = cellOrigin(cell);
            int teal = 0;
            int dark = 0;
            for (const QPoint& s : faceSamples) {
                const QRgb c = shot.pixel(origin + s);
                teal += isTeal(c);
                dark += isDark(c);
            }
            const bool darkMiddle = isDark(shot.pixel(origin + QPoint(kTile / 2, kTile / 2)));
            if (teal == 4)
                cells += QLatin1Char('T');
            else if (dark == 4 && darkMiddle)
                cells += QLatin1Char('B');
            else
                cells += QLatin1Char('?');
        }
        return cells;
    }

    QImage moveCounter() const {
        // The second status panel counts the moves; only its inside, not the clock beside it.
        Geometry area{window_.x + 52, window_.y + boardTop_ + kBoardFrame + 4, 38, 13};
        return grab(area);
    }

    bool focus(const QString& id) {
        xdotool({"windowfocus", id});
        return pollFor([&] { return xdotool({"getwindowfocus"}) == id; }, kChangeTimeoutMs);
    }

    bool key(const QString& keys) {
        bool ok = false;
        xdotool({"key", keys}, &ok);
        return ok;
    }

    bool clickAt(QPoint windowPoint) {
        const int x = window_.x + windowPoint.x();
        const int y = window_.y + windowPoint.y();
        // mousemove --sync waits for motion, so it hangs when the pointer is there already.
        const auto here = shellValues(xdotool({"getmouselocation", "--shell"}));
        const bool there =
            here.value(QStringLiteral("X"), -1) == x && here.value(QStringLiteral("Y"), -1) == y;
        bool ok = false;
        if (there)
            xdotool({"click", "1"}, &ok);
        else
            xdotool({"mousemove", "--sync", QString::number(x), QString::number(y), "click", "1"},
                    &ok);
        return ok;
    }
    bool clickCell(int cell) { return clickAt(cellOrigin(cell) + QPoint(kTile / 2, kTile / 2)); }

    int hole() const { return static_cast<int>(board_.indexOf(QLatin1Char('B'))); }

    // Waits until the board settles on the expected picture; returns what it saw last.
    QString waitForBoard(const QString& expected) {
        QString seen;
        pollFor(
            [&] {
                seen = readBoard(grabWindow());
                return seen == expected;
            },
            kChangeTimeoutMs);
        return seen;
    }

    // Clicks a tile beside the hole and waits for the slide to finish.
    void slide(int tile) {
        const int empty = hole();
        QVERIFY(distance(tile, empty) == 1);
        QString expected = board_;
        expected[tile] = QLatin1Char('B');
        expected[empty] = QLatin1Char('T');
        QVERIFY(clickCell(tile));
        const QString seen = waitForBoard(expected);
        QVERIFY2(seen == expected, qPrintable(QStringLiteral("sliding cell %1: wanted %2, saw %3")
                                                  .arg(tile)
                                                  .arg(expected, seen)));
        board_ = expected;
    }

    bool confirmBoxShown(QString* id) {
        const QStringList boxes = visibleWindowsTitled(QStringLiteral("^Confirm"), kConfirmTitle);
        if (boxes.size() != 1)
            return false;
        *id = boxes.first();
        return true;
    }
    bool confirmBoxGone() {
        return visibleWindowsTitled(QStringLiteral("^Confirm"), kConfirmTitle).isEmpty();
    }

    // Esc only reaches the window when no tile holds the keyboard, so click the board's black.
    void askToAbandon(QString* boxId) {
        QVERIFY(clickCell(hole()));
        QVERIFY(focus(windowId_));
        QVERIFY(key(QStringLiteral("Escape")));
        QVERIFY2(pollFor([&] { return confirmBoxShown(boxId); }, kChangeTimeoutMs),
                 "Esc did not bring up the confirmation box");
        QVERIFY(focus(*boxId));
    }

    // A window that has just closed leaves its place to be repainted on the game's own time.
    void expectBoardUnchangedOnceRepainted() { QCOMPARE(waitForBoard(board_), board_); }

    void saveShot(const QImage& shot, const QString& name) const {
        if (shot.isNull())
            return;
        const QString path = QDir::current().absoluteFilePath(name);
        if (shot.save(path))
            qInfo("screenshot saved: %s", qPrintable(path));
    }

private slots:
    void initTestCase() {
        QVERIFY2(!qEnvironmentVariableIsEmpty("DISPLAY"), "needs an X display: run run-e2e.sh");
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty(),
                 "xdotool is not installed");
        QVERIFY2(QFile::exists(gamePath), qPrintable("no game at " + gamePath));

        // Pictures left by an earlier failed run would pass for this run's.
        QDir here = QDir::current();
        for (const QString& old : here.entryList({QStringLiteral("e2e-*.png")}, QDir::Files))
            here.remove(old);

        const QString notStarted = StartGame(game_, gamePath);
        QVERIFY2(notStarted.isEmpty(), qPrintable(notStarted));

        QStringList windows;
        QVERIFY2(pollFor(
                     [&] {
                         windows = visibleWindowsTitled(QStringLiteral("^Velmar$"),
                                                        QStringLiteral("Velmar"));
                         return windows.size() == 1 || game_.state() != QProcess::Running;
                     },
                     kAppearTimeoutMs),
                 "no visible window titled Velmar");
        QCOMPARE(game_.state(), QProcess::Running);
        QCOMPARE(windows.size(), 1);
        windowId_ = windows.first();

        const auto geometry = geometryOf(windowId_);
        QVERIFY(geometry);
        window_ = *geometry;
        QCOMPARE(window_.width, kWindowWidth);
        boardTop_ = window_.height - kBoardFrame - kStatusBar;
        QVERIFY2(boardTop_ >= 10 && boardTop_ <= 40,
                 qPrintable(QStringLiteral("no room for a menu bar in a window %1 px high")
                                .arg(window_.height)));
    }

    void boardIsBlackWithScrollingTextBeforeTheFirstDeal() {
        const Geometry grid{window_.x + kGridOrigin, window_.y + boardTop_ + kGridOrigin,
                            kSide * kCellStep - 1, kSide * kCellStep - 1};
        int teal = 0;
        int dark = 0;
        int white = 0;
        // The first paint may still be on its way; the white text shows it has happened.
        const bool painted = pollFor(
            [&] {
                const QImage shot = grab(grid);
                teal = dark = white = 0;
                for (int y = 0; y < shot.height(); ++y)
                    for (int x = 0; x < shot.width(); ++x) {
                        const QRgb c = shot.pixel(x, y);
                        teal += isTeal(c);
                        dark += isDark(c);
                        white += isWhite(c);
                    }
                return white > 20;
            },
            kAppearTimeoutMs);
        QVERIFY2(painted, "the board never showed its white text");
        QCOMPARE(teal, 0);
        QVERIFY2(dark > grid.width * grid.height * 8 / 10,
                 qPrintable(QStringLiteral("only %1 dark pixels").arg(dark)));
    }

    void f5DealsFifteenTilesAndOneHole() {
        QVERIFY(focus(windowId_));
        QVERIFY(key(QStringLiteral("F5")));
        QString seen;
        const bool dealt = pollFor(
            [&] {
                seen = readBoard(grabWindow());
                return seen.count(QLatin1Char('T')) == kCells - 1 &&
                       seen.count(QLatin1Char('B')) == 1;
            },
            kChangeTimeoutMs);
        QVERIFY2(dealt, qPrintable("after F5 the board reads " + seen));
        board_ = seen;
    }

    void clicksAwayFromTheHoleOnlyCountAMove() {
        QVERIFY(hole() >= 0);
        // Bring the hole to the left edge, below the top row, where a wrap-around can be tried.
        while (columnOf(hole()) > 0 && !QTest::currentTestFailed())
            slide(hole() - 1);
        if (rowOf(hole()) == 0 && !QTest::currentTestFailed())
            slide(hole() + kSide);
        if (QTest::currentTestFailed())
            return;
        const int empty = hole();
        // Classic faults: a diagonal taken for a neighbour, a whole row shifted at once, and the
        // right edge of one row wrapping round to the left edge of the next.
        const int diagonal = empty - kSide + 1;
        const int sameRow = empty + kSide - 1;
        const int wrapped = empty - 1;
        for (const int cell : {diagonal, sameRow, wrapped}) {
            QVERIFY(distance(cell, empty) >= 2);
            const QImage countBefore = moveCounter();
            QVERIFY(clickCell(cell));
            // A counted move proves the click was handled; a slide would start in that handler.
            QVERIFY2(pollFor([&] { return moveCounter() != countBefore; }, kChangeTimeoutMs),
                     qPrintable(QStringLiteral("clicking cell %1 did not count a move").arg(cell)));
            QCOMPARE(readBoard(grabWindow()), board_);
        }
        // A wrong slide may still be under way; a real one after it must land exactly.
        slide(empty + 1);
    }

    void neighboursSlideIntoTheHole() {
        QVERIFY(hole() >= 0);
        auto* random = QRandomGenerator::global();
        int previous = -1;
        for (int n = 0; n < 6; ++n) {
            const int empty = hole();
            std::vector<int> neighbours;
            for (int cell = 0; cell < kCells; ++cell)
                if (distance(cell, empty) == 1 && cell != previous)
                    neighbours.push_back(cell);
            slide(neighbours[random->bounded(static_cast<int>(neighbours.size()))]);
            if (QTest::currentTestFailed())
                return;
            previous = empty;
        }
        afterSlides_ = grabWindow();
        if (qEnvironmentVariableIsSet("VELMAR_E2E_SAVE_SHOTS"))
            saveShot(afterSlides_, QStringLiteral("e2e-board-after-slides.png"));
    }

    void f9HidesAndRestoresTheStatusBar() {
        QVERIFY(focus(windowId_));
        const int fullHeight = window_.height;
        for (const int wanted : {fullHeight - kStatusBar, fullHeight}) {
            QVERIFY(key(QStringLiteral("F9")));
            std::optional<Geometry> now;
            pollFor(
                [&] {
                    now = geometryOf(windowId_);
                    return now && now->height == wanted;
                },
                kChangeTimeoutMs);
            QVERIFY(now);
            QCOMPARE(now->height, wanted);
            QCOMPARE(now->width, kWindowWidth);
            // The status bar sits below the board: toggling it must leave the board alone.
            expectBoardUnchangedOnceRepainted();
        }
    }

    void ctrlVShowsTheVolumeSliderAndItsKeysMoveIt() {
        QVERIFY(focus(windowId_));
        QVERIFY(key(QStringLiteral("ctrl+v")));
        QStringList found;
        QVERIFY2(pollFor(
                     [&] {
                         found = visibleWindowsTitled(QStringLiteral("^Volime$"),
                                                      QStringLiteral("Volime"));
                         return found.size() == 1;
                     },
                     kAppearTimeoutMs),
                 "Ctrl+V did not bring up the volume window");
        const std::optional<Geometry> volume = geometryOf(found.first());
        QVERIFY(volume);
        QCOMPARE(volume->width, 60);
        QCOMPARE(volume->height, 81);
        // The thumb's middle column: face where the thumb is, the channel's white elsewhere.
        const QPoint top(37, 13);
        const QPoint bottom(37, 67);
        QImage shot = grab(*volume);
        QVERIFY(!isWhite(shot.pixel(top))); // full volume: the thumb at the top
        QVERIFY(isWhite(shot.pixel(bottom)));
        QVERIFY(focus(found.first()));
        QVERIFY(key(QStringLiteral("End")));
        QVERIFY2(pollFor(
                     [&] {
                         shot = grab(*volume);
                         return isWhite(shot.pixel(top)) && !isWhite(shot.pixel(bottom));
                     },
                     kChangeTimeoutMs),
                 "End did not take the slider to the bottom");
        QVERIFY(key(QStringLiteral("Escape")));
        QVERIFY2(pollFor(
                     [&] {
                         return visibleWindowsTitled(QStringLiteral("^Volime$"),
                                                     QStringLiteral("Volime"))
                             .isEmpty();
                     },
                     kChangeTimeoutMs),
                 "Esc did not close the volume window");
        expectBoardUnchangedOnceRepainted();
    }

    void f12ShowsTheParametersAndTheirExitButtonStoresThem() {
        const QString settings =
            QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + QStringLiteral("/ORV_Velmar.INI");
        QVERIFY(!QFile::exists(settings));
        QVERIFY(focus(windowId_));
        QVERIFY(key(QStringLiteral("F12")));
        QStringList found;
        QVERIFY2(pollFor(
                     [&] {
                         found = visibleWindowsTitled(QStringLiteral("^Parameters$"),
                                                      QStringLiteral("Parameters"));
                         return found.size() == 1;
                     },
                     kAppearTimeoutMs),
                 "F12 did not bring up the parameters");
        const std::optional<Geometry> dialog = geometryOf(found.first());
        QVERIFY(dialog);
        QCOMPARE(dialog->width, 178);
        QCOMPARE(dialog->height, 248);
        QVERIFY(isDark(grab(*dialog).pixel(4, 124))); // the black panel under the choosers
        QVERIFY(focus(found.first()));
        // The exit button's middle.
        QVERIFY(clickAt(QPoint(dialog->x - window_.x + 88, dialog->y - window_.y + 228)));
        QVERIFY2(pollFor(
                     [&] {
                         return visibleWindowsTitled(QStringLiteral("^Parameters$"),
                                                     QStringLiteral("Parameters"))
                             .isEmpty();
                     },
                     kChangeTimeoutMs),
                 "the exit button did not close the parameters");
        QFile file(settings);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(),
                 QByteArray("[USER]\r\nSelect=0\r\nSelected=0\r\nSelected3=65535\r\n"));
        expectBoardUnchangedOnceRepainted();
    }

    void escapeThenNoKeepsTheGame() {
        QString box;
        askToAbandon(&box);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(key(QStringLiteral("alt+n")));
        QVERIFY2(pollFor([&] { return confirmBoxGone(); }, kChangeTimeoutMs),
                 "Alt+N did not close the confirmation box");
        QCOMPARE(game_.state(), QProcess::Running);
        QCOMPARE(visibleWindowsTitled(QStringLiteral("^Velmar$"), QStringLiteral("Velmar")),
                 QStringList{windowId_});
        expectBoardUnchangedOnceRepainted();
        // Still playable, not just still drawn.
        const int empty = hole();
        slide(rowOf(empty) == 0 ? empty + kSide : empty - kSide);
    }

    void escapeThenYesEndsTheGame() {
        QString box;
        askToAbandon(&box);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(key(QStringLiteral("alt+y")));
        QVERIFY2(game_.waitForFinished(kExitTimeoutMs), "the game did not exit after Alt+Y");
        QCOMPARE(game_.exitStatus(), QProcess::NormalExit);
        QCOMPARE(game_.exitCode(), 0);
    }

    void init() {
        if (derailed_)
            QSKIP("an earlier step failed, so the board is not in a known state");
    }

    void cleanup() {
        if (!QTest::currentTestFailed())
            return;
        derailed_ = true;
        const QString name = QString::fromLatin1(QTest::currentTestFunction());
        saveShot(QGuiApplication::primaryScreen()->grabWindow(0).toImage(),
                 QStringLiteral("e2e-%1-screen.png").arg(name));
        saveShot(afterSlides_, QStringLiteral("e2e-board-after-slides.png"));
    }

    void cleanupTestCase() { StopGame(game_); }
};

int main(int argc, char** argv) {
    return RunDriver<EndToEnd>(argc, argv);
}

#include "EndToEnd.moc"
