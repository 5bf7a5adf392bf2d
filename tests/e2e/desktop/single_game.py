#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""One game per session: in an X server with a window manager, a second start brings the
running game forward and ends with 0, also when the game is minimised; the running game's
files stay as they were; a killed game never blocks the next start. Once on the session bus,
once without one (the lock in the runtime folder).
Usage: single_game.py GAME (run-desktop.sh gives it a session bus)"""
import os
import re
import signal
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from session import check, need, run, wait_for  # noqa: E402

APP_ID = "io.github.velmar.Velmar"
TITLE = "Velmar"
# A second start connects, asks and ends, in well under a second on an idle machine. The bound
# is for a start that hangs on a timeout (a D-Bus call's is 25 s) instead of asking: under the
# sanitizers on a loaded machine an honest start has taken over a second.
SECOND_START_BOUND_SECONDS = 5.0


def xprop(session, *args):
    result = subprocess.run(["xprop", *args], env=session.env, capture_output=True, text=True,
                            timeout=10)
    return result.stdout if result.returncode == 0 else ""


def window_ids(text):
    return [int(value, 16) for value in re.findall(r"0x[0-9a-fA-F]+", text.split("#", 1)[-1])]


def active(session):
    ids = window_ids(xprop(session, "-root", "_NET_ACTIVE_WINDOW"))
    return ids[0] if ids else None


def topmost(session):
    """The client window on top of the window manager's stacking order."""
    ids = window_ids(xprop(session, "-root", "_NET_CLIENT_LIST_STACKING"))
    return ids[-1] if ids else None


def iconic(session, window):
    return "Iconic" in xprop(session, "-id", str(window), "WM_STATE")


def in_front(session, window):
    return (active(session) == window and topmost(session) == window
            and not iconic(session, window))


def start_desktop(session):
    need("openbox", "xprop", "xlogo")
    session.start_x()
    session.start(["openbox", "--sm-disable"], "openbox.log")
    check(wait_for(lambda: "window id" in xprop(session, "-root", "_NET_SUPPORTING_WM_CHECK"), 20),
          "openbox did not come up: " + session.log("openbox.log"))


def files_of(session):
    """Every file the game keeps, with its size and time (caches aside)."""
    found = {}
    for top in ("tmp", "home", "config"):
        for folder, dirs, names in os.walk(session.path(top)):
            dirs[:] = [d for d in dirs if d != ".cache"]
            for name in names:
                path = os.path.join(folder, name)
                info = os.stat(path)
                found[path] = (info.st_size, info.st_mtime_ns)
    return found


def second_start(session, env, what):
    """A start that must bring the running game forward and end with 0 at once."""
    began = time.monotonic()
    process = session.start([session.game_path], "second.log", env=env)
    try:
        status = process.wait(10)
    except subprocess.TimeoutExpired:
        status = None
    took = time.monotonic() - began
    check(status == 0, f"{what}: the second start ended with {status}: " + session.log("second.log"))
    check(took < SECOND_START_BOUND_SECONDS, f"{what}: the second start took {took:.2f} s")
    return took


def cover(session, game):
    """Another application's window over the game, with the focus."""
    other = session.start(["xlogo"], "xlogo.log")
    check(wait_for(lambda: active(session) not in (None, game) and topmost(session) != game, 10),
          "xlogo did not come over the game")
    return other


def meet(session, env, mode, runtime_files):
    """The three cases in one of the two means; `runtime_files` is what the game keeps in the
    runtime folder meanwhile."""
    first = session.start([session.game_path], f"game-{mode}.log", env=env)
    game = session.window(TITLE)
    check(game, f"{mode}: the first game showed no window: " + session.log(f"game-{mode}.log"))
    game = int(game)
    check(wait_for(lambda: in_front(session, game), 10), f"{mode}: the first game is not in front")
    before = files_of(session)
    check(any("/tmp/velmar-" in path for path in before), f"{mode}: no temporary files written")
    run_dir = sorted(os.listdir(session.path("run")))
    check(run_dir == runtime_files, f"{mode}: the runtime folder holds {run_dir}")
    log = session.log(f"game-{mode}.log")

    other = cover(session, game)
    took = second_start(session, env, f"{mode}, behind another window")
    check(wait_for(lambda: in_front(session, game), 5),
          f"{mode}: the game did not come forward (active {active(session)}, top "
          f"{topmost(session)}, game {game})")
    other.terminate()
    other.wait(10)

    session.xdotool("windowminimize", str(game))
    check(wait_for(lambda: iconic(session, game), 10), f"{mode}: the game did not minimise")
    took_minimised = second_start(session, env, f"{mode}, minimised")
    check(wait_for(lambda: in_front(session, game), 5), f"{mode}: the minimised game stayed hidden")

    after = files_of(session)
    check(after == before, f"{mode}: the second starts touched the game's files: "
          f"{sorted(set(after.items()) ^ set(before.items()))}")
    check(session.log(f"game-{mode}.log") == log, f"{mode}: the running game said something")
    check(first.poll() is None, f"{mode}: the first game ended")
    print(f"{mode}: second starts ended with 0 after {took:.2f} s and {took_minimised:.2f} s")

    os.killpg(first.pid, signal.SIGKILL)
    first.wait()
    check(wait_for(lambda: not session.window(TITLE, timeout=0), 10),
          f"{mode}: the killed game's window stayed")
    again = session.start([session.game_path], f"again-{mode}.log", env=env)
    check(session.window(TITLE), f"{mode}: after a killed game, no new game opened: "
          + session.log(f"again-{mode}.log"))
    check(again.poll() is None, f"{mode}: the new game ended")
    again.send_signal(signal.SIGTERM)
    check(again.wait(10) == 0, f"{mode}: SIGTERM did not end the new game with 0")
    left = os.listdir(session.path("run"))
    check(not left, f"{mode}: the game left {left} in the runtime folder")


def body(session, game):
    session.game_path = game
    start_desktop(session)
    bus_env = dict(session.env, SDL_AUDIODRIVER="dummy")
    check(bus_env.get("DBUS_SESSION_BUS_ADDRESS"), "no session bus: run through run-desktop.sh")
    meet(session, bus_env, "session bus", [])
    lock_env = dict(bus_env)
    lock_env.pop("DBUS_SESSION_BUS_ADDRESS")
    meet(session, lock_env, "lock", [APP_ID + ".lock", APP_ID + ".socket"])


if __name__ == "__main__":
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    sys.exit(run("single-game", lambda s: body(s, sys.argv[1])))
