// SPDX-License-Identifier: GPL-3.0-or-later
// Paints the main window after a fixed deal, with one tile held down and another focused, and
// saves it as a PNG. It runs offscreen and silent, so the picture is the same on every machine.
#include "app/Forms.h"
#include "app/TForm1.h"
#include "platform/ui/Application.h"

#include <QImage>
#include <QPixmap>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

constexpr int kFocusedTile = 6;
constexpr int kPressedTile = 11;

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: velmar_tiles_shot OUT.png [SCALE]\n");
        return 2;
    }
    const int scale = argc == 3 ? std::atoi(argv[2]) : 1;
    if (scale < 1 || scale > 8) {
        std::fprintf(stderr, "velmar_tiles_shot: SCALE must be 1 to 8\n");
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    platform::PrepareProcess();
    platform::GuardedApplication qtApp(argc, argv);
    platform::PrepareApplication(qtApp);

    std::unique_ptr<app::TForm1> form = app::CreateForms();
    form->SetSeedSource([] { return 12345u; });
    form->show();
    QCoreApplication::processEvents(); // the first show and the activation after it
    form->PlayClick();
    form->Tile(kFocusedTile)->setFocus();
    form->Tile(kPressedTile)->setDown(true);
    QCoreApplication::processEvents();

    QImage shot = form->grab().toImage();
    shot = shot.scaled(shot.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    const bool saved = shot.save(QString::fromLocal8Bit(argv[1]));
    form->Tile(kPressedTile)->setDown(false);
    form.reset();
    if (!saved) {
        std::fprintf(stderr, "velmar_tiles_shot: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
