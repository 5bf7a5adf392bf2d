#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""What a screen reader sees, with the real client (AT-SPI through pyatspi) on a private
session bus: the application's name, every window as a frame or dialog with its title and
its controls named in the player's language, and a tile pressed through the reader's action
interface sliding as a click does.
Usage: screen_reader.py GAME (run-desktop.sh gives it its session bus)"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import reader  # noqa: E402
from session import check, run, wait_for  # noqa: E402


def named_window(session, app, main_id, keys, title, roles=("dialog",)):
    """The window the keys open, with every control a reader would name named."""
    session.keys(main_id, *keys)
    window = reader.window(app, title, roles)
    missing = reader.unnamed(window)
    check(not missing, f"'{title}' has controls without a name: {missing}")
    return window


def button(window, starts):
    for role, name, acc in reader.controls(window, ("push button",)):
        if name.startswith(starts):
            return acc
    check(False, f"'{window.name}' has no button '{starts}...': "
          f"{[n for _, n, _ in reader.controls(window, ('push button',))]}")


def closed(app, title):
    check(wait_for(lambda: title not in [n for _, n, _ in reader.windows(app)], 5),
          f"'{title}' did not close")


def start(session, game, language=None):
    session.start_x()
    if language is not None:
        with open(session.path("config", "ORV_Velmar.INI"), "wb") as f:
            f.write(b"[USER]\r\nSelect=%d\r\n" % language)
    session.start_game(game, reader.GAME_ENV)
    main_id = session.window("Velmar")
    check(main_id, "the main window did not show")
    app = reader.application(session.game.pid)
    main = reader.window(app, "Velmar", ("frame",))
    return app, main_id, main


def english(session, game):
    app, main_id, main = start(session, game)
    check(app.name == "Velmar", f"the application reads as '{app.name}', not 'Velmar'")
    check(not [r for r, _, _ in reader.windows(app) if r == "filler"], "a window reads as a filler")
    check(not reader.tiles(main), "the board holds tiles before the first deal")
    check(reader.status_text(main).startswith("Courses: 0"),
          f"the status bar reads '{reader.status_text(main)}'")

    session.keys(main_id, "F5")
    check(wait_for(lambda: reader.cell(reader.board(main).description), 5), "F5 dealt nothing")
    check(wait_for(lambda: sorted(reader.tiles(main)) == list(range(1, 16)), 5),
          "the deal did not show the fifteen tiles")
    reader.slide_one(main)
    check(wait_for(lambda: reader.status_text(main).startswith("Courses: 1 "), 5),
          f"a pressed tile did not count as a move: '{reader.status_text(main)}'")

    parameters = named_window(session, app, main_id, ["F12"], "Parameters")
    button(parameters, "Parameters by default")
    reader.press(button(parameters, "Exit"))
    closed(app, "Parameters")

    volume = named_window(session, app, main_id, ["ctrl+v"], "Volime")
    sliders = [n for r, n, _ in reader.controls(volume, ("slider",))]
    check(sliders == ["Music volume"], f"the volume window's sliders: {sliders}")
    session.keys(session.window("Volime"), "Escape")
    closed(app, "Volime")

    about = named_window(session, app, main_id, ["alt+h", "a"], "About  Velmar")
    button(about, "Play Game")
    reader.press(button(about, "OK"))
    closed(app, "About  Velmar")

    box = "Confirm / Подтверждение / Підтвердження"
    question = named_window(session, app, main_id, ["Escape"], box)
    texts = [n for r, n, _ in reader.controls(question, ("label",))]
    check("You really want to abandon the game ?" in texts, f"the box reads {texts}")
    reader.press(button(question, "No"))
    closed(app, box)
    check(session.game.poll() is None, "No ended the game")

    help_window = named_window(session, app, main_id, ["F1"], "Velmar Help", ("frame",))
    page = [n for r, n, _ in reader.controls(help_window, ("label", "text")) if n]
    check(page == ["Velmar Help"], f"the help page reads as {page}")
    check(session.end_game() == 0, "SIGTERM did not end the game with 0")


def russian(session, game):
    app, main_id, main = start(session, game, language=1)
    check(reader.status_text(main).startswith("Ходов: 0"),
          f"the status bar reads '{reader.status_text(main)}'")
    menus = [n for r, n, _ in reader.controls(main, ("menu item",)) if n]
    check("Начать новую игру" in menus, f"the Game menu reads {menus}")
    parameters = named_window(session, app, main_id, ["F12"], "Параметры")
    button(parameters, "Настройки по умолчанию")
    check(session.end_game() == 0, "SIGTERM did not end the game with 0")


if __name__ == "__main__":
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    game = sys.argv[1]
    failed = run("screen-reader-english", lambda s: english(s, game))
    failed |= run("screen-reader-russian", lambda s: russian(s, game))
    sys.exit(failed)
