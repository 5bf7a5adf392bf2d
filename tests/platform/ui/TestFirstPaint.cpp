// SPDX-License-Identifier: GPL-3.0-or-later
// What waits for a window's first paint runs once, after it, and never for a window that goes
// before it has painted.
#include "platform/ui/FirstPaint.h"

#include <QApplication>
#include <QPaintEvent>
#include <QPointer>
#include <QTest>
#include <QWidget>

using namespace platform;

namespace {

// Counts its own paints, so a test can tell what ran before the first one.
class Window : public QWidget {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

} // namespace

class TestFirstPaint : public QObject {
    Q_OBJECT

private slots:
    void runsOnceAfterTheFirstPaint() {
        Window window;
        window.resize(120, 80);
        int runs = 0;
        int paintsBefore = -1;
        FirstPaint::Then(window, [&] {
            ++runs;
            paintsBefore = window.paints;
        });
        QApplication::processEvents();
        QCOMPARE(runs, 0); // not shown, not painted
        window.show();
        QTRY_COMPARE_WITH_TIMEOUT(runs, 1, 30000);
        QCOMPARE(paintsBefore, 1);
        window.repaint();
        window.update();
        QApplication::processEvents();
        QCOMPARE(runs, 1);
    }

    void aWindowGoneBeforeItsFirstPaintRunsNothing() {
        int runs = 0;
        {
            Window window;
            FirstPaint::Then(window, [&runs] { ++runs; });
        }
        QApplication::processEvents();
        QCOMPARE(runs, 0);
    }

    void theWatchGoesOnceItHasRun() {
        Window window;
        FirstPaint::Then(window, [] {});
        QCOMPARE(window.findChildren<FirstPaint*>().size(), qsizetype(1));
        window.show();
        QTRY_COMPARE_WITH_TIMEOUT(window.findChildren<FirstPaint*>().size(), qsizetype(0), 30000);
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    TestFirstPaint test;
    return QTest::qExec(&test, argc, argv);
}
#include "TestFirstPaint.moc"
