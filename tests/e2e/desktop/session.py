# SPDX-License-Identifier: GPL-3.0-or-later
"""A private desktop for one check: scratch folders, an X server or a compositor, the game
started in them, and every process ended again, whatever the check's outcome."""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def wait_for(predicate, timeout, step=0.1):
    """The predicate's first true value within `timeout` seconds, else None."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() >= deadline:
            return None
        time.sleep(step)


def need(*tools):
    for tool in tools:
        if not shutil.which(tool):
            raise Failure(f"'{tool}' not found; install tools/packages.txt")


class Session:
    def __init__(self, name):
        self.scratch = tempfile.mkdtemp(prefix=f"velmar-{name}.", dir=os.environ.get("TMPDIR", "/tmp"))
        self.processes = []
        self.env = dict(os.environ)
        for var in ("XDG_CURRENT_DESKTOP", "QT_QPA_PLATFORMTHEME", "WAYLAND_DISPLAY", "DISPLAY",
                    "SDL_AUDIODRIVER", "PULSE_SERVER", "XDG_SESSION_TYPE", "QT_ACCESSIBILITY"):
            self.env.pop(var, None)
        for sub in ("home", "config", "tmp", "run"):
            os.makedirs(self.path(sub), mode=0o700)
        self.env.update(HOME=self.path("home"), XDG_CONFIG_HOME=self.path("config"),
                        TMPDIR=self.path("tmp"), XDG_RUNTIME_DIR=self.path("run"))
        self.game = None

    def path(self, *parts):
        return os.path.join(self.scratch, *parts)

    def start(self, args, log, env=None, **kwargs):
        out = open(self.path(log), "wb")
        process = subprocess.Popen(args, env=env or self.env, stdout=out, stderr=subprocess.STDOUT,
                                   start_new_session=True, **kwargs)
        self.processes.append(process)
        return process

    def log(self, name):
        try:
            with open(self.path(name), "rb") as f:
                return f.read().decode(errors="replace")
        except OSError:
            return ""

    def start_x(self):
        need("Xvfb", "xdotool")
        read, write = os.pipe()
        # -noreset: when its last client leaves, the server would start over and refuse the
        # next one meanwhile, as the game starting just after a probe such as xdotool.
        xvfb = self.start(["Xvfb", "-displayfd", str(write), "-screen", "0", "800x600x24",
                           "-nolisten", "tcp", "-noreset"], "xvfb.log", pass_fds=(write,))
        os.close(write)
        with os.fdopen(read) as f:
            display = f.readline().strip()
        check(display.isdigit(), f"Xvfb reported no display: {self.log('xvfb.log')}")
        self.env["DISPLAY"] = ":" + display
        self.env["QT_QPA_PLATFORM"] = "xcb"
        return xvfb

    def start_game(self, game, extra_env=None):
        env = dict(self.env)
        env.update(extra_env or {})
        self.game = self.start([game], "game.log", env=env)
        return self.game

    def xdotool(self, *args):
        result = subprocess.run(["xdotool", *args], env=self.env, capture_output=True, text=True,
                                timeout=10)
        return result.stdout.strip() if result.returncode == 0 else None

    def window(self, title, timeout=20):
        """The id of the visible X window with exactly this title."""
        def found():
            ids = self.xdotool("search", "--onlyvisible", "--name", title) or ""
            for wid in ids.split():
                if self.xdotool("getwindowname", wid) == title:
                    return wid
            return None
        return wait_for(found, timeout)

    def keys(self, window, *keys):
        """The keys in order, in the focused window. The X server hands the game the focus change
        and the keys in the order sent, and the game takes them in that order; a caller waits
        for what a key does."""
        check(self.xdotool("windowfocus", "--sync", window) is not None,
              f"could not focus the window {window}")
        for key in keys:
            check(self.xdotool("key", key) is not None, f"xdotool could not press {key}")

    def end_game(self, timeout=10):
        """SIGTERM, then the exit status."""
        self.game.send_signal(signal.SIGTERM)
        try:
            return self.game.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def close(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                try:
                    os.killpg(process.pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
                process.wait()
        shutil.rmtree(self.scratch, ignore_errors=True)


def run(name, body):
    """Runs body(session) and reports like a test: 0 passed, 1 failed."""
    session = Session(name)
    try:
        body(session)
    except Failure as failure:
        print(f"FAIL {name}: {failure}", file=sys.stderr)
        game_log = session.log("game.log")
        if game_log:
            print("--- game output ---\n" + game_log, file=sys.stderr)
        return 1
    finally:
        session.close()
    print(f"PASS {name}")
    return 0
