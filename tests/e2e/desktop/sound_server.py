#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The game heard through a real sound server, PulseAudio or PipeWire's PulseAudio service,
with a null sink in a private runtime folder, its monitor recorded, the game run without any
SDL driver chosen for it.
Usage: sound_server.py GAME [pulseaudio | pipewire] (run-desktop.sh gives it a session bus)"""
import array
import glob
import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from session import check, need, run, wait_for  # noqa: E402

RATE = 48000
FRAME = 4  # s16 stereo
SINK = "velmar_check"
# Each server hears the game in another language: the stream takes the player's language.
LANGUAGE = {"pulseaudio": (0, "Music and sounds"), "pipewire": (1, "Музыка и звуки")}


class Recorder:
    """parec on the sink's monitor; levels between two marks on its own clock."""

    def __init__(self, session):
        self.session = session
        self.process = None
        self.file = session.path("monitor.raw")

    def start(self):
        self.process = self.session.start(
            ["parec", "-d", SINK + ".monitor", "--raw", "--format=s16le", "--channels=2",
             f"--rate={RATE}", "--latency-msec=20", self.file], "parec.log")
        # The file grows in real time from here on: its size is the clock.
        check(wait_for(lambda: os.path.exists(self.file) and os.path.getsize(self.file) > 0, 10),
              "parec recorded nothing: " + self.session.log("parec.log"))

    def now(self):
        return os.path.getsize(self.file) // FRAME

    def peak(self, start, end):
        """The loudest sample between two frame positions."""
        with open(self.file, "rb") as f:
            f.seek(start * FRAME)
            data = array.array("h", f.read(max(0, end - start) * FRAME))
        return max((abs(v) for v in data), default=0)


def start_server(session, kind):
    """The server's processes, listening on $XDG_RUNTIME_DIR/pulse/native."""
    if kind == "pulseaudio":
        need("pulseaudio")
        servers = [session.start(
            ["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
             "--log-target=stderr", "--disallow-exit", "--disable-shm=yes",
             "-L", f"module-null-sink sink_name={SINK} rate={RATE}",
             "-L", "module-native-protocol-unix"], "pulse.log")]
    else:
        # No session manager: the three daemons a desktop session would start.
        need("pipewire", "wireplumber", "pipewire-pulse")
        core = session.path("run", "pipewire-0")
        for stale in (core, core + ".lock"):
            if os.path.exists(stale):
                os.unlink(stale)
        servers = [session.start(["pipewire"], "pipewire.log")]
        check(wait_for(lambda: os.path.exists(core), 15), "PipeWire did not start: "
              + session.log("pipewire.log"))
        servers.append(session.start(["wireplumber"], "wireplumber.log"))
        servers.append(session.start(["pipewire-pulse"], "pulse.log"))
    socket = session.path("run", "pulse", "native")
    check(wait_for(lambda: os.path.exists(socket) and pactl(session, "info") is not None, 20),
          f"{kind} did not start: " + session.log("pulse.log"))
    if kind == "pipewire":
        check(wait_for(lambda: pactl(session, "load-module", "module-null-sink",
                                     f"sink_name={SINK}", f"rate={RATE}"), 20, 0.5),
              "PipeWire made no null sink")
        check(wait_for(lambda: SINK in (pactl(session, "list", "short", "sinks") or ""), 10),
              "the null sink did not appear")
    pactl(session, "set-default-sink", SINK)
    return servers


def pactl(session, *args):
    """Its output, or None when it failed or hung (a server still starting)."""
    try:
        result = subprocess.run(["pactl", *args], env=session.env, capture_output=True,
                                encoding="utf-8", errors="replace", timeout=5)
    except subprocess.TimeoutExpired:
        return None
    return result.stdout if result.returncode == 0 else None


LOUD = 1000  # well above the dither of a silent stream
QUIET = 60
QUIET_SPAN = RATE  # a second of the recording


def heard(recorder, since, what, louder_than=LOUD, timeout=5):
    """Waits until a sample since the frame `since` is louder than `louder_than`."""
    loud = wait_for(lambda: recorder.peak(since, recorder.now()) > louder_than, timeout, 0.05)
    check(loud, f"{what}: nothing louder than {louder_than} heard "
          f"(peak {recorder.peak(since, recorder.now())})")


def silent(recorder, since, what, timeout=4):
    """Waits until the recording holds a whole second after the frame `since`, all of it
    quiet; the second is counted in recorded frames."""
    def last_second():
        end = recorder.now()
        return recorder.peak(max(since, end - QUIET_SPAN), end), end - QUIET_SPAN >= since

    def quiet_second():
        level, whole = last_second()
        return whole and level < QUIET
    if not wait_for(quiet_second, timeout, 0.05):
        check(False, f"{what}: still sounding (peak {last_second()[0]} in the last second)")


def audio_threads(pid):
    """The game's threads SDL runs an open output on."""
    names = []
    for comm in glob.glob(f"/proc/{pid}/task/*/comm"):
        try:
            with open(comm) as f:
                names.append(f.read().strip())
        except OSError:
            pass  # a thread that just ended
    return [n for n in names if n.startswith("SDLAudio")]


def body(session, game, kind):
    need("parec", "pactl")
    session.start_x()
    servers = start_server(session, kind)
    recorder = Recorder(session)
    recorder.start()

    select, stream = LANGUAGE[kind]
    with open(session.path("config", "ORV_Velmar.INI"), "wb") as f:
        f.write(b"[USER]\r\nSelect=%d\r\n" % select)
    session.start_game(game)
    main = session.window("Velmar")
    check(main, "the main window did not show")
    shown = recorder.now()
    # Melody 1 starts with the game.
    check(wait_for(lambda: recorder.peak(shown, recorder.now()) > LOUD, 1.5, 0.05),
          "melody 1 was not heard within a second of the window")

    inputs = wait_for(lambda: pactl(session, "list", "sink-inputs"), 5) or ""
    for prop in ('application.name = "Velmar"', 'application.icon_name = "io.github.velmar.Velmar"',
                 'media.role = "game"', f'media.name = "{stream}"'):
        check(prop in inputs, f"the stream lacks {prop}:\n{inputs}")

    stop = recorder.now()
    session.keys(main, "ctrl+s")
    silent(recorder, stop, "Ctrl+S")
    start = recorder.now()
    session.keys(main, "F3")
    heard(recorder, start, "F3")

    # The volume window: its slider's bottom is silence, its top the melody at full level, as
    # loud as it played from F3 until the slider moved.
    session.keys(main, "ctrl+v")
    volume = session.window("Volime", 5)
    check(volume, "Ctrl+V showed no volume window")
    bottom = recorder.now()
    full = recorder.peak(start, bottom)
    session.keys(volume, "End")
    silent(recorder, bottom, "the slider at its bottom")
    top = recorder.now()
    session.keys(volume, "Home")
    heard(recorder, top, "the slider at its top", louder_than=max(LOUD, full // 4))
    session.keys(volume, "Escape")
    check(wait_for(lambda: not session.xdotool("search", "--onlyvisible", "--name", "^Volime$"), 5),
          "Escape left the volume window open")

    # The server goes away while the melody plays: the game lets the lost output go and plays
    # on, silently, no box.
    check(audio_threads(session.game.pid), "no audio output open while the melody plays")
    for server in servers:
        server.kill()
        server.wait()
    check(wait_for(lambda: not audio_threads(session.game.pid) or session.game.poll() is not None,
                   10), "the game kept the lost output open")
    check(session.game.poll() is None, "the game ended with the server")
    session.keys(main, "F5")
    check(session.xdotool("search", "--onlyvisible", "--name", ".") is not None, "no window")
    titles = [session.xdotool("getwindowname", w) for w in
              (session.xdotool("search", "--onlyvisible", "--pid", str(session.game.pid), "--name", ".") or "").split()]
    check(titles == ["Velmar"], f"windows after the server went: {titles}")

    # A new server on the same socket: the next melody is heard.
    start_server(session, kind)
    recorder.start()
    session.keys(main, "F2")
    check(wait_for(lambda: recorder.peak(0, recorder.now()) > LOUD, 8, 0.1),
          "after the server came back, F2 was not heard")
    check(session.end_game() == 0, "SIGTERM did not end the game with 0")


if __name__ == "__main__":
    if len(sys.argv) not in (2, 3) or sys.argv[2:] not in ([], ["pulseaudio"], ["pipewire"]):
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    kind = sys.argv[2] if len(sys.argv) == 3 else "pulseaudio"
    sys.exit(run(f"sound-server-{kind}", lambda s: body(s, sys.argv[1], kind)))
