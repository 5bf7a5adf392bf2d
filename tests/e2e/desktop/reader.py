# SPDX-License-Identifier: GPL-3.0-or-later
"""What a screen reader sees of the game, through AT-SPI (pyatspi), as Orca reads a desktop.
Needs a session bus (the caller runs under dbus-run-session); the accessibility bus starts on
demand on it."""
import re

import pyatspi
from gi.repository import GLib

from session import check, wait_for

# Qt's bridge, whatever the desktop's accessibility setting.
GAME_ENV = {"QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1"}


def application(pid, timeout=30):
    """The game's application object on the accessibility bus."""
    def found():
        try:
            desktop = pyatspi.Registry.getDesktop(0)
            for app in desktop:
                if app is not None and app.get_process_id() == pid:
                    return app
        except Exception:
            return None
        return None
    app = wait_for(found, timeout, 0.2)
    check(app is not None, "the game never appeared on the accessibility bus")
    return app


def role(acc):
    return acc.getRoleName()


def children(acc):
    out = []
    for i in range(acc.childCount):
        child = acc.getChildAtIndex(i)
        if child is not None:
            out.append(child)
    return out


def descendants(acc, depth=0):
    for child in children(acc):
        yield child
        if depth < 12:
            yield from descendants(child, depth + 1)


def windows(app):
    """The application's top-level windows that are showing, as (role, name, object)."""
    out = []
    for window in children(app):
        try:
            states = window.getState()
            if states.contains(pyatspi.STATE_SHOWING) or states.contains(pyatspi.STATE_VISIBLE):
                out.append((role(window), window.name, window))
        except GLib.GError:
            # A window closing between the listing and the question is gone: no such object.
            continue
    return out


def window(app, name, roles=("frame", "dialog", "alert"), timeout=10):
    def found():
        for r, n, w in windows(app):
            if n == name and r in roles:
                return w
        return None
    w = wait_for(found, timeout, 0.2)
    check(w is not None, f"no window '{name}' ({'/'.join(roles)}); there are: "
          + ", ".join(f"{r} '{n}'" for r, n, _ in windows(app)))
    return w


def controls(window, kinds=("push button", "label", "slider", "combo box", "check box",
                             "radio button", "panel", "status bar", "page tab", "text",
                             "menu item", "menu")):
    return [(role(c), c.name, c) for c in descendants(window) if role(c) in kinds]


def unnamed(window):
    """The buttons, sliders and combo boxes a reader could not name."""
    return [r for r, n, _ in controls(window, ("push button", "slider", "combo box",
                                               "check box", "radio button")) if not n.strip()]


def press(acc, action="Press"):
    actions = acc.queryAction()
    names = [actions.getName(i) for i in range(actions.nActions)]
    check(action in names, f"'{acc.name}' offers no '{action}' action, only {names}")
    actions.doAction(names.index(action))


def tiles(main):
    found = {}
    for c in descendants(main):
        m = re.fullmatch(r"Tile (\d+)", c.name or "")
        if m and role(c) == "push button":
            found[int(m.group(1))] = c
    return found


CELL = re.compile(r"[Rr]ow (\d), column (\d)")


def cell(text):
    m = CELL.search(text or "")
    return (int(m.group(1)), int(m.group(2))) if m else None


def board(main):
    for c in descendants(main):
        if c.name == "Board":
            return c
    check(False, "no board on the main window")


def status_text(main):
    for c in descendants(main):
        if role(c) == "status bar":
            return c.name
    return ""


def slide_one(main):
    """Presses a tile next to the empty cell, as a reader's user would; returns its number
    once the reader says it moved into the gap."""
    gap = cell(board(main).description)
    check(gap, f"the board does not say where the empty cell is: '{board(main).description}'")
    for number, tile in tiles(main).items():
        at = cell(tile.description)
        if at and abs(at[0] - gap[0]) + abs(at[1] - gap[1]) == 1:
            press(tile)
            moved = wait_for(lambda: cell(tile.description) == gap, 5)
            check(moved, f"Tile {number} at {at} did not slide into the gap at {gap}")
            check(cell(board(main).description) == at, "the gap did not move to the tile's cell")
            return number
    check(False, "no tile stands next to the empty cell")
