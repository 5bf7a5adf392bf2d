#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The game native on Wayland, in Weston's headless compositor: its window maps under the
application id, its picture at scale 1 is the X11 picture and at scale 2 that picture with
every pixel a crisp 2x2 block, a round is played through the screen reader's interface, and
SIGTERM ends it cleanly.
Usage: wayland.py GAME (run-desktop.sh gives it its session bus)"""
import glob
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import images  # noqa: E402
import reader  # noqa: E402
from session import check, need, run, wait_for  # noqa: E402

APP_ID = "io.github.velmar.Velmar"


def x11_picture(session, game):
    """The main window as the X server shows it, before any deal."""
    need("xwd")
    xvfb = session.start_x()
    session.start_game(game)
    window = session.window("Velmar")
    check(window, "the main window did not show on X11")
    time.sleep(1)
    dump = session.path("x11.xwd")
    subprocess.run(["xwd", "-silent", "-id", window, "-out", dump], env=session.env, check=True,
                   timeout=20)
    check(session.end_game() == 0, "SIGTERM did not end the game on X11 with 0")
    xvfb.kill()
    for var in ("DISPLAY", "QT_QPA_PLATFORM"):
        session.env.pop(var)
    return images.read_xwd(dump)


def start_weston(session, scale):
    need("weston", "weston-screenshooter", "weston-debug")
    socket = f"velmar-{scale}"
    session.start(["weston", "--backend=headless-backend.so", f"--socket={socket}",
                   "--width=640", "--height=480", f"--scale={scale}", "--use-pixman", "--debug",
                   "--no-config", "--idle-time=0"], f"weston-{scale}.log")
    check(wait_for(lambda: os.path.exists(session.path("run", socket)), 15),
          "Weston did not start: " + session.log(f"weston-{scale}.log"))
    env = dict(session.env, WAYLAND_DISPLAY=socket)
    proto = f"proto-{scale}.log"
    session.start(["weston-debug", "proto", "-o", session.path(proto)], proto + ".out", env=env)
    return env, proto


def screenshot(session, env, scale, attempt):
    folder = session.path(f"shot-{scale}-{attempt}")
    os.makedirs(folder)
    subprocess.run(["weston-screenshooter"], env=env, cwd=folder, check=True, timeout=30)
    shots = glob.glob(os.path.join(folder, "*.png"))
    check(shots, "Weston's screenshooter wrote nothing")
    return images.read_png(shots[0])


def shown(session, env, scale, expected):
    """The screenshot with the expected picture in it and where; the window may still be
    showing its first frame at the output's scale."""
    for attempt in range(5):
        time.sleep(1)
        shot = screenshot(session, env, scale, attempt)
        found = images.find(shot, expected)
        if found and found[2] > 0.97:
            return shot, found
    check(found, f"the X11 picture at scale {scale} is nowhere in the Wayland screenshot")
    return shot, found


def play_a_round(session):
    app = reader.application(session.game.pid)
    main = reader.window(app, "Velmar", ("frame",))
    new_game = [c for _, n, c in reader.controls(main, ("menu item",)) if n == "Pley New Game"]
    check(new_game, "no 'Pley New Game' in the menus")
    reader.press(new_game[0])
    check(wait_for(lambda: reader.cell(reader.board(main).description), 5), "no deal")
    for move in (1, 2):
        reader.slide_one(main)
        check(wait_for(lambda: reader.status_text(main).startswith(f"Courses: {move} "), 5),
              f"move {move} was not counted: '{reader.status_text(main)}'")


def on_wayland(session, game, reference, scale):
    env, proto = start_weston(session, scale)
    game_env = dict(env, QT_QPA_PLATFORM="wayland", **reader.GAME_ENV)
    session.game = session.start([game], f"game-{scale}.log", env=game_env)
    check(wait_for(lambda: f'set_app_id("{APP_ID}")' in session.log(proto), 20),
          f"no window took the app id {APP_ID}")
    expected = reference.resize((reference.width * scale, reference.height * scale),
                                images.Image.NEAREST)
    shot, (x, y, share) = shown(session, env, scale, expected)
    # The board's scrolling text moves between the two pictures; nothing else may differ.
    check(share > 0.97, f"at scale {scale} only {share:.1%} of the window matches the X11 one")
    if scale > 1:
        window = shot.crop((x, y, x + expected.width, y + expected.height))
        crisp = images.crisp_share(window, scale)
        check(crisp > 0.999, f"at scale {scale} only {crisp:.1%} of the pixels are crisp blocks")
        print(f"scale {scale}: {share:.2%} as on X11, {crisp:.2%} crisp {scale}x{scale} blocks")
    else:
        print(f"scale {scale}: {share:.2%} as on X11")
        play_a_round(session)

    check(session.end_game() == 0, "SIGTERM did not end the game on Wayland with 0")
    private = glob.glob(os.path.join(session.path("tmp"), "velmar-*", "*"))
    check(not private, f"temporary files left: {private}")


def body(session, game):
    reference = x11_picture(session, game)
    for scale in (1, 2):
        on_wayland(session, game, reference, scale)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    sys.exit(run("wayland", lambda s: body(s, sys.argv[1])))
