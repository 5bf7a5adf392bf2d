#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The game native on Wayland, in Weston's headless compositor: its window maps under the
application id, its picture at scale 1 is the X11 picture and at scale 2 that picture with
every pixel a crisp 2x2 block, a round is played through the screen reader's interface, and
SIGTERM ends it cleanly. At scale 2 the other windows too: the modal dialogs and the message
box, each a child toplevel with its title (the parameters crisp as the board), the menu
painter's Game menu opened and chosen from by keyboard, the drag by the status bar and by the
about box's picture, the help viewer, and F11's minimising.
Usage: wayland.py GAME DRIVER (run-desktop.sh gives it its session bus; DRIVER is the library
preloaded into the game to press its keys, as the headless compositor has no seat)"""
import glob
import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import images  # noqa: E402
import reader  # noqa: E402
import wayland_windows  # noqa: E402
from session import check, need, run, wait_for  # noqa: E402

APP_ID = "io.github.velmar.Velmar"
VOLUME_SLIDER = (17, 1, 56, 80)  # inside the volume window, at scale 1
FACE = (212, 208, 200)  # the windows' button face
WHITE = (255, 255, 255)  # the board's caption, the slider's channel


def xwd(session, window, name):
    dump = session.path(name + ".xwd")
    subprocess.run(["xwd", "-silent", "-id", window, "-out", dump], env=session.env, check=True,
                   timeout=20)
    return images.read_xwd(dump)


def painted(session, window, name, timeout=10):
    """The window's picture once the game has drawn it: the button face in its corners and
    white inside."""
    pictures = iter(range(1000))

    def drawn():
        picture = xwd(session, window, f"{name}-{next(pictures)}")
        corners = (picture.getpixel((1, 1)), picture.getpixel((picture.width - 2,
                                                                picture.height - 2)))
        colours = {c for _, c in picture.getcolors(1 << 20) or []}
        return [picture] if corners == (FACE, FACE) and WHITE in colours else None
    found = wait_for(drawn, timeout)
    check(found, f"the window {name} was not drawn on X11")
    return found[0]


def x11_pictures(session, game):
    """The main window as the X server shows it, before any deal, and the volume window."""
    need("xwd")
    xvfb = session.start_x()
    session.start_game(game)
    window = session.window("Velmar")
    check(window, "the main window did not show on X11")
    main = painted(session, window, "x11")
    session.keys(window, "ctrl+v")
    volume = session.window("Volime")
    check(volume, "Ctrl+V showed no volume window on X11")
    dialog = painted(session, volume, "x11-volume")
    check(session.end_game() == 0, "SIGTERM did not end the game on X11 with 0")
    xvfb.kill()
    for var in ("DISPLAY", "QT_QPA_PLATFORM"):
        session.env.pop(var)
    return main, dialog


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


def shown(session, env, scale, expected, what="main", timeout=15):
    """The screenshot with the expected picture in it and where; the window may still be
    showing its first frame at the output's scale, or not be on the screen yet."""
    attempts = iter(range(1000))
    last = []

    def match():
        shot = screenshot(session, env, scale, f"{what}-{next(attempts)}")
        found = images.find(shot, expected)
        last[:] = [shot, found]
        return found and found[2] > 0.97
    wait_for(match, timeout, 0.2)
    shot, found = last
    check(found, f"the X11 picture of the {what} window at scale {scale} is nowhere in the "
          "Wayland screenshot")
    return shot, found


def scaled(picture, scale):
    return picture.resize((picture.width * scale, picture.height * scale), images.Image.NEAREST)


def crisp_as_on_x11(session, env, scale, expected, what):
    """The window's share of pixels as on X11 and of crisp blocks, checked."""
    shot, (x, y, share) = shown(session, env, scale, expected, what)
    # The board's scrolling text moves between the two pictures; nothing else may differ.
    check(share > 0.97, f"at scale {scale} only {share:.1%} of the {what} window matches X11")
    window = shot.crop((x, y, x + expected.width, y + expected.height))
    crisp = images.crisp_share(window, scale)
    check(crisp > 0.999, f"at scale {scale} only {crisp:.1%} of the {what} window's pixels are "
          "crisp blocks")
    print(f"scale {scale}, {what}: {share:.2%} as on X11, {crisp:.2%} crisp {scale}x{scale} blocks")


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


def beyond_the_main_window(session, env, proto, scale, references, driver_path):
    driver = wayland_windows.Driver(driver_path)
    protocol = wayland_windows.Protocol(session.path(proto), APP_ID)
    app = reader.application(session.game.pid)
    main = reader.window(app, "Velmar", ("frame",))
    shots = iter(range(1000))

    def shoot():
        return screenshot(session, env, scale, f"step-{next(shots)}")

    def on_open(title):
        # The volume slider is the game's own control, drawn as the board is. Inside its focus
        # frame only: the window is focused on X11 and cannot be without a seat.
        if title == "Volime":
            slider = references[1].crop(VOLUME_SLIDER)
            crisp_as_on_x11(session, env, scale, scaled(slider, scale), "volume slider")

    wayland_windows.dialogs(session, driver, protocol, app, on_open)
    wayland_windows.drag_main_window(driver, protocol)
    wayland_windows.menu(driver, protocol, shoot, main)
    wayland_windows.help_viewer(driver, protocol)

    def on_screen():
        """Whether the dealt board's teal tiles show anywhere."""
        shot = shoot()
        teal = sum(n for n, c in shot.getcolors(1 << 20) if c == (0, 128, 128))
        return teal > 0.01 * shot.width * shot.height
    wayland_windows.minimise(driver, protocol, main, on_screen)


def on_wayland(session, game, references, scale, driver):
    env, proto = start_weston(session, scale)
    game_env = dict(env, QT_QPA_PLATFORM="wayland", **reader.GAME_ENV)
    socket = session.path(f"driver-{scale}.socket")
    if scale > 1:
        game_env.update(LD_PRELOAD=driver, VELMAR_DRIVER_SOCKET=socket)
    session.game = session.start([game], f"game-{scale}.log", env=game_env)
    check(wait_for(lambda: f'set_app_id("{APP_ID}")' in session.log(proto), 20),
          f"no window took the app id {APP_ID}")
    expected = scaled(references[0], scale)
    if scale > 1:
        crisp_as_on_x11(session, env, scale, expected, "main")
        beyond_the_main_window(session, env, proto, scale, references, socket)
    else:
        shot, (x, y, share) = shown(session, env, scale, expected)
        check(share > 0.97, f"at scale {scale} only {share:.1%} of the window matches the X11 one")
        print(f"scale {scale}: {share:.2%} as on X11")
        play_a_round(session)

    check(session.end_game() == 0, "SIGTERM did not end the game on Wayland with 0")
    private = glob.glob(os.path.join(session.path("tmp"), "velmar-*", "*"))
    check(not private, f"temporary files left: {private}")


def body(session, game, driver):
    references = x11_pictures(session, game)
    for scale in (1, 2):
        on_wayland(session, game, references, scale, driver)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    sys.exit(run("wayland", lambda s: body(s, sys.argv[1], sys.argv[2])))
