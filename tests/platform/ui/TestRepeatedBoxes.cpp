// SPDX-License-Identifier: GPL-3.0-or-later
// A long session shows thousands of message boxes; none may leave memory behind. No main
// window here, so no melody loads beside the figures.
#include "platform/gdi/Colors.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/SharedPaletteStyle.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QImage>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <malloc.h>

using namespace platform;

namespace {

constexpr int kBoxes = 200;

std::size_t heapInUse() {
    ::malloc_trim(0);
    const struct mallinfo2 info = ::mallinfo2();
    return info.uordblks + info.hblkhd;
}

// Real boxes, each drawn once, then answered with its button.
void showBoxes(int count) {
    for (int i = 0; i < count; ++i) {
        QTimer::singleShot(0, [] {
            auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(box);
            box->grab();
            box->findChild<QPushButton*>()->click();
        });
        InformationBox("You have won!", "Velmar", clLime, 0);
    }
}

// A coloured window with a button, a scroll bar and a disabled button, as the boxes and the
// help viewer have them.
QImage drawnWindow(bool shared) {
    QWidget window;
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, QColor(0, 255, 0));
    window.setPalette(palette);
    window.setAutoFillBackground(true);
    auto* row = new QHBoxLayout(&window);
    auto* button = new QPushButton(QStringLiteral("OK"));
    button->setDefault(true);
    row->addWidget(button);
    auto* off = new QPushButton(QStringLiteral("Cancel"));
    off->setEnabled(false);
    row->addWidget(off);
    row->addWidget(new QScrollBar(Qt::Vertical));
    window.resize(240, 80);
    if (shared)
        UseSharedPalettes(window);
    return window.grab().toImage();
}

} // namespace

class TestRepeatedBoxes : public QObject {
    Q_OBJECT

private slots:
    // Each box draws its buttons with a palette of its own, and the style keeps what it drew
    // under names made of that palette, which no later box asks for.
    void twoHundredBoxesHoldNoMoreMemoryThanTheFirstFew() {
        SetMessageResponder({});
        showBoxes(20); // the fonts, the glyphs, the style's first drawings
        const std::size_t before = heapInUse();
        showBoxes(kBoxes);
        const std::size_t after = heapInUse();
        QVERIFY2(after < before + kBoxes * 64,
                 qPrintable(QStringLiteral("%1 bytes more").arg(qint64(after - before))));
    }

    // Drawn with an equal palette, the drawing must be the one its own palette gives.
    void windowsWithTheSharedPalettesLookAsWithTheirOwn() {
        const QImage own = drawnWindow(false);
        QCOMPARE(drawnWindow(true), own);
        QCOMPARE(drawnWindow(true), own);
        const int palettesAfterTwo = SharedPalettes().Palettes();
        drawnWindow(true);
        QCOMPARE(SharedPalettes().Palettes(), palettesAfterTwo); // a third window adds none
    }
};

int main(int argc, char** argv) {
    PrepareProcess();
    GuardedApplication app(argc, argv);
    PrepareApplication(app);
    TestRepeatedBoxes test;
    return QTest::qExec(&test, argc, argv);
}
#include "TestRepeatedBoxes.moc"
