#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""What a blind player hears: Orca itself, on a private session bus with speech-dispatcher's
dummy output, its debug file holding every line it says ("SPEECH OUTPUT"), the game played by
keys only: F5 (again while the deal cannot be solved), Tab to a tile next to the empty cell,
Space, H, Ctrl+R, Tab, Right (Orca reads a row it enters whole, a cell within it with its
column's header), Esc, F12, Down (a colour box's new choice). In English and in Russian, one Orca for both games.
Usage: orca_speech.py GAME (run-desktop.sh gives it its session bus)"""
import json
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import reader  # noqa: E402
from session import check, need, run, wait_for  # noqa: E402

SPOKEN = re.compile(r"SPEECH OUTPUT: '(.*?)' ?(\{.*)?$")
CELL = re.compile(r"(\d)\D+(\d)\D*$")  # the cell ends a description, after any hint

# What each language says; the groups are numbers the check compares with the board.
WORDS = {
    "English": {
        "deal": r"New game: No time limit\. Empty cell: row (\d), column (\d)\.",
        "tile": r"Tile (\d+) push button",
        "moved": r"Tile (\d+): row (\d), column (\d)\. Moves: 1\.",
        "hint": r"Hint: Tile (\d+), row (\d), column (\d), (\d+) moves? to go\.",
        "unsolvable": "These tiles cannot be brought into order.",
        "records": "Records dialog",
        "row": "No time limit",
        "header": "Best time",
        "cell": "No record yet",
    },
    "Russian": {
        "deal": r"Новая игра: Без ограничения\. Пустая клетка: строка (\d), столбец (\d)\.",
        "tile": r"Фишка (\d+) push button",
        "moved": r"Фишка (\d+): строка (\d), столбец (\d)\. Ходов: 1\.",
        "hint": r"Подсказка: Фишка (\d+), строка (\d), столбец (\d), (\d+) ход\w* до победы\.",
        "unsolvable": "Эту позицию невозможно собрать.",
        "records": "Рекорды dialog",
        "row": "Без ограничения",
        "header": "Лучшее время",
        "cell": "Рекорда ещё нет",
    },
}


class Orca:
    """Orca and its speech server, and what Orca has said so far."""

    def __init__(self, session):
        need("orca", "speech-dispatcher")
        self.session = session
        self.read = 0
        speechd = session.path("speechd")
        os.makedirs(speechd)
        with open(os.path.join(speechd, "speechd.conf"), "w") as f:
            f.write('AddModule "dummy" "sd_dummy" ""\nDefaultModule dummy\n'
                    'AudioOutputMethod "alsa"\nAudioALSADevice "null"\n'
                    f'LogDir "{session.path("tmp")}"\n')
        socket = session.path("run", "speechd.sock")
        session.env["SPEECHD_ADDRESS"] = "unix_socket:" + socket
        session.start(["speech-dispatcher", "--run-single", "--timeout", "0", "--config-dir",
                       speechd, "--communication-method", "unix_socket", "--socket-path",
                       socket], "speechd.log")
        prefs = session.path("orca")
        os.makedirs(prefs)
        # Prepared settings: no first-start questions, speech on, no braille display to look for.
        with open(os.path.join(prefs, "user-settings.conf"), "w") as f:
            json.dump({"general": {"enableSpeech": True, "enableBraille": False,
                                   "enableBrailleMonitor": False,
                                   "speechServerFactory": "orca.speechdispatcherfactory"},
                       "profiles": {"default": {"profile": ["Default", "default"]}},
                       "pronunciations": {}, "keybindings": {}}, f)
        # Orca's own hook for its user's code: every debug line written out as it is said.
        with open(os.path.join(prefs, "orca-customizations.py"), "w") as f:
            f.write("import orca.debug\nif orca.debug.debugFile:\n"
                    "    orca.debug.debugFile.reconfigure(line_buffering=True)\n")
        session.start(["orca", "--user-prefs", prefs, "--debug-file",
                       session.path("orca-debug.out")], "orca.log")
        self.wait_for(re.escape("Screen reader on."), 60)

    def lines(self):
        out = []
        for line in self.session.log("orca-debug.out").splitlines():
            m = SPOKEN.search(line)
            if m:
                out.append(m.group(1).strip())
        return out

    def wait_for(self, pattern, timeout=15):
        """The match of the first line said since the last wait that matches; the lines said
        meanwhile are passed by."""
        expression = re.compile(pattern)
        found = [None]

        def heard():
            lines = self.lines()
            for index in range(self.read, len(lines)):
                m = expression.search(lines[index])
                if m:
                    self.read = index + 1
                    found[0] = m
                    return True
            return False
        if not wait_for(heard, timeout):
            check(False, f"Orca never said /{pattern}/; it said: {self.lines()[self.read:]}")
        return found[0]

    def heard_any(self, patterns, timeout):
        """Which of the patterns is said first, and its match."""
        expressions = {key: re.compile(p) for key, p in patterns.items()}
        found = [None]

        def heard():
            lines = self.lines()
            for index in range(self.read, len(lines)):
                for key, expression in expressions.items():
                    m = expression.search(lines[index])
                    if m:
                        self.read = index + 1
                        found[0] = (key, m)
                        return True
            return False
        if not wait_for(heard, timeout):
            check(False, f"Orca said none of {list(patterns.values())}: {self.lines()[self.read:]}")
        return found[0]


def board_of(main):
    """Cell 1..16 to tile number (16 for the empty cell), from the tiles' descriptions; None
    while they do not yet read as fifteen tiles on fifteen cells."""
    board = {}
    for acc in reader.descendants(main):
        if reader.role(acc) != "push button":
            continue
        number = re.search(r"(\d+)$", acc.name or "")
        at = CELL.search(acc.description or "")
        if number and at:
            board[(int(at.group(1)) - 1) * 4 + int(at.group(2))] = int(number.group(1))
    if len(board) != 15 or sorted(board.values()) != list(range(1, 16)):
        return None
    for cell in range(1, 17):
        board.setdefault(cell, 16)
    return board


def solvable(board):
    """Whether the tiles can be brought into order: the permutation's parity equals that of
    the empty cell's distance from the bottom right corner."""
    order = [board[cell] for cell in range(1, 17)]
    inversions = sum(1 for i in range(16) for j in range(i + 1, 16) if order[i] > order[j])
    empty = order.index(16)
    distance = (3 - empty // 4) + (3 - empty % 4)
    return inversions % 2 == distance % 2


def press(session, key):
    check(session.xdotool("key", key) is not None, f"xdotool could not press {key}")


def deal_solvable(session, orca, words, main):
    """F5 until a deal a hint can solve; the empty cell as the deal was said."""
    for _ in range(8):
        press(session, "F5")
        deal = orca.wait_for(words["deal"])
        gap = (int(deal.group(1)), int(deal.group(2)))
        board = wait_for(lambda: board_of(main), 5)
        check(board, "the tiles do not read as a board")
        empty = [c for c, t in board.items() if t == 16][0]
        check(((empty - 1) // 4 + 1, (empty - 1) % 4 + 1) == gap,
              f"the deal was said with the empty cell at {gap}, the board has it at {empty}")
        if solvable(board):
            return board, gap
    check(False, "eight deals in a row could not be solved")


def play(session, orca, game, language, words):
    with open(session.path("config", "ORV_Velmar.INI"), "wb") as f:
        f.write(b"[USER]\r\nSelect=%d\r\n" % language)
    session.start_game(game, reader.GAME_ENV)
    main_id = session.window("Velmar")
    check(main_id, "the main window did not show")
    main = reader.window(reader.application(session.game.pid), "Velmar", ("frame",))
    session.xdotool("windowfocus", "--sync", main_id)
    orca.wait_for("Velmar frame")

    board, gap = deal_solvable(session, orca, words, main)
    cell = (gap[0] - 1) * 4 + gap[1]
    neighbours = [c for c in range(1, 17) if abs((c - 1) // 4 - (cell - 1) // 4)
                  + abs((c - 1) % 4 - (cell - 1) % 4) == 1]
    # Tab goes through the tiles in their numbers' order, from the first; each is heard before
    # the next Tab, as a player listens (Orca passes over a focus that has already moved on).
    tile = min(board[c] for c in neighbours)
    for number in range(1, tile + 1):
        press(session, "Tab")
        orca.wait_for(words["tile"].replace(r"(\d+)", str(number)))

    press(session, "space")
    moved = orca.wait_for(words["moved"])
    check(moved.groups() == (str(tile), str(gap[0]), str(gap[1])),
          f"the move was said as {moved.group(0)}; tile {tile} went to {gap}")

    press(session, "h")
    # The first hint builds the solver's tables.
    kind, hint = orca.heard_any({"hint": words["hint"], "no": re.escape(words["unsolvable"])}, 30)
    check(kind == "hint", f"the hint said: {hint.group(0)}")
    hinted, row, column = int(hint.group(1)), int(hint.group(2)), int(hint.group(3))
    board = wait_for(lambda: board_of(main), 5)
    check(board and board[(row - 1) * 4 + column] == hinted,
          f"the hint named tile {hinted} at {row}, {column}; the board: {board}")
    check(int(hint.group(4)) >= 1, f"the hint said {hint.group(0)}")

    press(session, "ctrl+r")
    orca.wait_for(words["records"])
    # Orca reads a row it enters whole, and a cell the arrows reach in the row with its
    # column's header.
    press(session, "Tab")
    orca.wait_for(re.escape(words["row"]))
    press(session, "Right")
    said = orca.wait_for(re.escape(words["header"]) + ".*" + re.escape(words["cell"]))

    # A closed combo box's new choice, as the arrow keys make it.
    press(session, "Escape")
    records = words["records"].removesuffix(" dialog")
    check(wait_for(lambda: not session.xdotool("search", "--onlyvisible", "--name",
                                               f"^{records}$"), 5), "Esc left the records open")
    session.xdotool("windowfocus", "--sync", main_id)  # no window manager hands it back
    press(session, "F12")
    first = orca.wait_for(r"^(\w+) combo box").group(1)
    press(session, "Down")
    orca.wait_for(r"List with \d+ items")
    chosen = orca.wait_for(r"^(\w+)\.?$").group(1)
    check(chosen != first, f"Down in the colour box was said as {chosen}, its old choice")
    check(session.end_game() == 0, "SIGTERM did not end the game with 0")
    return said


def body(session, game):
    session.start_x()
    orca = Orca(session)
    try:
        play(session, orca, game, 0, WORDS["English"])
        play(session, orca, game, 1, WORDS["Russian"])
    finally:
        keep = os.environ.get("VELMAR_ORCA_LOG")
        if keep:  # Orca's whole debug file, for a look at what it made of each event
            with open(keep, "w") as f:
                f.write(session.log("orca-debug.out"))


if __name__ == "__main__":
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    sys.exit(run("orca-speech", lambda s: body(s, sys.argv[1])))
