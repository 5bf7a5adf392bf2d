// SPDX-License-Identifier: GPL-3.0-or-later
// The floor the game is measured against: a window of the game's shape built from plain Qt
// defaults, so any ratio above 1 is cost the game adds on top of the toolkit itself.
#include <QApplication>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QLayout>
#include <QMainWindow>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

#include <array>

namespace {

// Three menus of the game's size, as a plain program has them.
void addMenus(QMainWindow& window) {
    QMenu* game = window.menuBar()->addMenu(QStringLiteral("&Game"));
    game->addAction(QStringLiteral("&New"));
    game->addAction(QStringLiteral("&Pause"));
    game->addSeparator();
    game->addAction(QStringLiteral("E&xit"), &window, &QWidget::close);
    QMenu* parameters = window.menuBar()->addMenu(QStringLiteral("&Parameters"));
    parameters->addAction(QStringLiteral("&Sound"))->setCheckable(true);
    parameters->addAction(QStringLiteral("&Numbers"))->setCheckable(true);
    parameters->addAction(QStringLiteral("&Language"));
    QMenu* help = window.menuBar()->addMenu(QStringLiteral("&Help"));
    help->addAction(QStringLiteral("&Rules"));
    help->addAction(QStringLiteral("&About"));
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Velmar Floor"));
    addMenus(window);

    auto* panel = new QFrame;
    panel->setFixedSize(207, 207);
    for (int i = 0; i < 15; ++i) {
        auto* tile = new QPushButton(QString::number(i + 1), panel);
        tile->setGeometry(2 + 50 * (i % 4), 2 + 50 * (i / 4), 49, 49);
    }
    window.setCentralWidget(panel);

    std::array<QLabel*, 5> fields{};
    for (auto& field : fields) {
        field = new QLabel;
        field->setFixedHeight(19);
        window.statusBar()->addWidget(field, 1);
    }
    fields[0]->setText(QStringLiteral("00:00"));

    // Two timers of the game's rhythm, each touching the window, so the idle cost is comparable:
    // a text every 500 ms (the game's scrolling text) and an icon every 700 ms (its animation).
    int ticks = 0;
    QTimer clock;
    QObject::connect(&clock, &QTimer::timeout, [&] {
        ++ticks;
        fields[0]->setText(QStringLiteral("%1:%2")
                               .arg(ticks / 60, 2, 10, QLatin1Char('0'))
                               .arg(ticks % 60, 2, 10, QLatin1Char('0')));
    });
    clock.start(500);

    std::array<QPixmap, 2> icons{QPixmap(16, 16), QPixmap(16, 16)};
    icons[0].fill(Qt::red);
    icons[1].fill(Qt::blue);
    int frame = 0;
    QTimer blink;
    QObject::connect(&blink, &QTimer::timeout, [&] {
        frame ^= 1;
        window.setWindowIcon(QIcon(icons[frame]));
    });
    blink.start(700);

    window.layout()->setSizeConstraint(QLayout::SetFixedSize);
    window.show();
    return app.exec();
}
