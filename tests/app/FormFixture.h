// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A main window with its about box, parameters dialog and volume window, as the main program
// makes them, with message boxes answered and sounds recorded by the test.

#include "app/Forms.h"
#include "app/TForm1.h"
#include "app/rules/GameState.h"
#include "app/rules/TileMoves.h"
#include "dialogs/TAboutBox.h"
#include "dialogs/TControllPanel.h"
#include "dialogs/TVolimesDialog.h"
#include "platform/Exception.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"
#include "platform/winmm/Sound.h"

#include <QTest>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

struct FormFixture {
    std::unique_ptr<app::TForm1> form;
    dialogs::TAboutBox* about = nullptr; // the main window's children
    dialogs::TControllPanel* panel = nullptr;
    dialogs::TVolimesDialog* volume = nullptr;
    std::vector<platform::MessageBoxRequest> boxes;
    std::vector<std::string> sounds;
    int answer = platform::mrOk;

    FormFixture() {
        app::Game = rules::GameState();
        platform::SetMessageResponder([this](const platform::MessageBoxRequest& request) {
            boxes.push_back(request);
            return answer;
        });
        platform::SetSoundObserver(
            [this](const std::string& name, unsigned) { sounds.push_back(name); });
        form = app::CreateForms();
        about = app::AboutBox;
        panel = app::ControllPanel;
        volume = app::VolimesDialog;
        form->SetSeedSource([] { return 12345u; });
        form->show();
        QCoreApplication::processEvents(); // the first show and the activation after it
    }

    ~FormFixture() {
        form.reset();
        platform::SetMessageResponder({});
        platform::SetSoundObserver({});
        platform::Application().SetOnException({});
    }

    // Lays out a board (16 = empty) and puts the tiles on it, as a deal would.
    void setBoard(const std::array<int, 16>& cells) {
        for (int i = 0; i < 16; ++i)
            app::Game.Board[static_cast<std::size_t>(i) + 1] =
                static_cast<std::uint8_t>(cells[static_cast<std::size_t>(i)]);
        form->PlaceTiles();
    }

    // Picks language 0..3 in the parameters dialog, as the player does.
    void pickLanguage(int index) {
        panel->ComboBox1->setCurrentIndex(index);
        panel->ComboBox1Change();
    }

    void click(int tile) { form->Button15Click(form->Tile(tile)); }

    // A click and the nine timer ticks that complete its slide.
    void slide(int tile) {
        click(tile);
        for (int i = 0; i < 9; ++i)
            form->Timer1.Tick();
    }

    // Every tile on the grid place of the cell the board says it is on.
    bool tilesStandOnTheirCells() const {
        for (int n = 1; n <= 15; ++n) {
            const rules::TilePlace place =
                rules::CellPosition(rules::CellOfTile(app::Game.Board, n));
            if (form->Tile(n)->pos() != QPoint(place.Left, place.Top))
                return false;
        }
        return true;
    }

    std::string panelText(int i) const { return form->StatusBar1->PanelText(i); }
};

// The solved board but for the last two cells: sliding 15 left wins.
inline constexpr std::array<int, 16> kOneMoveFromSolved = {1, 2,  3,  4,  5,  6,  7,  8,
                                                           9, 10, 11, 12, 13, 14, 16, 15};

// Tests run inside the application object the game uses, so errors thrown by handlers reach
// it as they would in the game.
#define VELMAR_TEST_MAIN(TestClass)                                                                \
    int main(int argc, char** argv) {                                                              \
        platform::PrepareProcess();                                                                \
        platform::GuardedApplication app(argc, argv);                                              \
        platform::PrepareApplication(app);                                                         \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
