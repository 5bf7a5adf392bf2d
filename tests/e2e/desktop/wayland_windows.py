# SPDX-License-Identifier: GPL-3.0-or-later
"""The game's windows beyond the main one on Wayland: what the game asks of the compositor
(read from Weston's protocol log) and what it shows (Weston's screenshots). Weston's headless
backend has no seat, so keys and button presses come from the driver preloaded into the game
(InProcessDriver.cpp)."""
import json
import os
import re
import socket

import images
import reader
from session import check, wait_for

MENU_FILL = (0, 128, 128)  # the menu painter's colours in the main window's menus
MENU_GUTTER = (0, 0, 255)
MENU_SELECTED = (166, 202, 240)


class Driver:
    def __init__(self, path, timeout=20):
        check(wait_for(lambda: os.path.exists(path), timeout),
              "the driver preloaded into the game never listened")
        self.socket = socket.socket(socket.AF_UNIX)
        self.socket.settimeout(10)
        self.socket.connect(path)
        self.file = self.socket.makefile("rw", encoding="utf-8")

    def ask(self, command):
        self.file.write(command + "\n")
        self.file.flush()
        answer = json.loads(self.file.readline())
        check(answer["ok"], f"the driver could not do '{command}'")
        return answer

    def windows(self):
        return self.ask("windows")["windows"]

    def window(self, title, timeout=10):
        def found():
            return next((w for w in self.windows() if w["title"] == title), None)
        window = wait_for(found, timeout, 0.2)
        check(window, f"no window '{title}'; there are {[w['title'] for w in self.windows()]}")
        return window

    def gone(self, title, timeout=10):
        check(wait_for(lambda: all(w["title"] != title for w in self.windows()), timeout, 0.2),
              f"'{title}' did not close")

    def keys(self, *keys):
        """Each key once the game has taken up the one before; the game answers the driver in
        its event loop only, so then that key's handling is done or waits in a window it
        opened."""
        for key in keys:
            taken = self.ask("keys")["taken"]
            self.ask("key " + key)
            check(wait_for(lambda: self.ask("keys")["taken"] > taken, 10, 0.02),
                  f"the game did not take the key {key}")


class Protocol:
    """The game's xdg toplevels and popups as Weston's protocol log lists its requests."""
    REQUEST = re.compile(
        r"client (\S+) rq (xdg_toplevel|xdg_popup|xdg_surface)@(\d+)\.(\w+)\((.*)\)")

    def __init__(self, log_path, app_id):
        self.path = log_path
        self.app_id = app_id

    def surfaces(self):
        """Each toplevel or popup in the order made: kind, title, parent's title, the requests
        made of it ('set_minimized', 'move', ...) and whether it was destroyed."""
        with open(self.path, errors="replace") as f:
            lines = f.read().splitlines()
        game = next((m.group(1) for line in lines for m in [self.REQUEST.search(line)]
                     if m and m.group(4) == "set_app_id" and self.app_id in m.group(5)), None)
        made, live = [], {}
        for line in lines:
            m = self.REQUEST.search(line)
            if not m or m.group(1) != game:
                continue
            kind, number, request, args = m.group(2), m.group(3), m.group(4), m.group(5)
            if kind == "xdg_surface":
                new = re.search(r"new id (xdg_toplevel|xdg_popup)@(\d+)", args)
                if request in ("get_toplevel", "get_popup") and new:
                    live[new.group(2)] = {"kind": new.group(1), "title": "", "parent": "",
                                          "requests": [], "destroyed": False}
                    made.append(live[new.group(2)])
                continue
            surface = live.get(number)
            if surface is None:
                continue
            surface["requests"].append(request)
            if request == "set_title":
                surface["title"] = args.strip('"')
            elif request == "set_parent":
                parent = live.get(next(iter(re.findall(r"xdg_toplevel@(\d+)", args)), None))
                surface["parent"] = parent["title"] if parent else ""
            elif request == "destroy":
                surface["destroyed"] = True
                del live[number]
        return made

    def titled(self, title):
        return [s for s in self.surfaces() if s["title"] == title]

    def mapped_and_closed(self, title, timeout=10):
        """The last toplevel of that title, once it is destroyed."""
        surface = wait_for(lambda: next((s for s in reversed(self.titled(title))
                                         if s["destroyed"]), None), timeout, 0.2)
        check(surface, f"no toplevel '{title}' was mapped and closed: {self.surfaces()}")
        return surface


def dialogs(session, driver, protocol, app, on_open):
    """Each modal window maps as a toplevel of its own, a child of the main window with its
    title, and closes; on_open(title) looks at each while it is open."""
    # The box first: once a menu has been open, the menu bar keeps the focus the window had
    # (none, without a seat) and takes the next Escape itself.
    box = "Confirm / Подтверждение / Підтвердження"
    for keys, title, close in (
            (["Escape"], box, ("button", "No")),
            (["F12"], "Parameters", ("button", "Exit / ")),
            (["Ctrl+V"], "Volime", ("key", "Escape")),
            (["Alt+H", "A"], "About  Velmar", ("button", "OK"))):
        driver.keys(*keys)
        window = driver.window(title)
        check(window["modal"] and window["parent"] == "Velmar",
              f"'{title}' is not a modal child of the main window: {window}")
        on_open(title)
        if title == "About  Velmar":
            drag_about_box(driver)
        if close[0] == "key":
            driver.keys(close[1])
        else:
            dialog = reader.window(app, title, ("dialog", "alert"))
            buttons = [a for r, n, a in reader.controls(dialog, ("push button",))
                       if n.startswith(close[1])]
            check(buttons, f"'{title}' has no button '{close[1]}'")
            reader.press(buttons[0])
        driver.gone(title)
        surface = protocol.mapped_and_closed(title)
        check(surface["kind"] == "xdg_toplevel" and surface["parent"] == "Velmar",
              f"'{title}' was not a toplevel child of the main window: {surface}")
    check(session.game.poll() is None, "closing the message box with No ended the game")


def moves(driver):
    answer = driver.ask("moves")
    return answer["asked"], answer["given"]


def drag_about_box(driver):
    before = moves(driver)
    driver.ask("press ProgramIcon")
    check(wait_for(lambda: moves(driver)[0] == before[0] + 1, 5),
          "a press on the about box's picture asked for no system move")


def drag_main_window(driver, protocol):
    """A press on the status bar asks the compositor to move the window. Without a seat there is
    no input event to name in xdg_toplevel.move, so Qt can send no request; the game then
    follows the pointer itself, and the release ends that."""
    before = moves(driver)
    driver.ask("press StatusBar1")
    check(wait_for(lambda: moves(driver)[0] == before[0] + 1, 5),
          "a press on the status bar asked for no system move")
    given = moves(driver)[1] - before[1]
    main = protocol.titled("Velmar")[-1]
    check(("move" in main["requests"]) == (given > 0),
          f"the move was {'given' if given else 'refused'}, the protocol says {main['requests']}")
    print("status bar press: startSystemMove asked once, "
          + ("given" if given else "refused (no seat)"))
    # The game answers as before: the parameters open and close.
    driver.keys("F12")
    driver.window("Parameters")
    driver.ask("close Parameters")
    driver.gone("Parameters")


def menu(driver, protocol, shoot, main):
    """Alt+G opens the Game menu drawn by the menu painter; Down and Return choose its second
    item, the 15-minute level."""
    before = shoot()
    made = len(protocol.surfaces())
    driver.keys("Alt+G")
    check(wait_for(lambda: any(w["popup"] for w in driver.windows()), 5), "Alt+G opened no menu")
    seen = []

    def drawn():
        """The menu on the screen, mostly in the painter's fill, with its gutter and selection."""
        colours = images.changed_colours(before, shoot())
        changed = sum(n for _, n in colours) or 1
        seen[:] = [colours, {c: n / changed for c, n in colours}]
        return (colours and colours[0][0] == MENU_FILL
                and all(seen[1].get(c, 0) > 0.01 for c in (MENU_GUTTER, MENU_SELECTED)))
    wait_for(drawn, 10, 0.2)
    colours, share = seen
    check(colours and colours[0][0] == MENU_FILL,
          f"the open menu is mostly {colours[:1]}, not the painter's fill {MENU_FILL}")
    for colour in (MENU_GUTTER, MENU_SELECTED):
        check(share.get(colour, 0) > 0.01, f"the open menu shows little or no {colour}")
    surface = protocol.surfaces()[made:]
    kind = surface[-1]["kind"] if surface else "nothing"
    print(f"menu: mapped as {kind}; of its pixels {share[MENU_FILL]:.0%} in the painter's fill, "
          f"{share[MENU_GUTTER]:.0%} gutter, {share[MENU_SELECTED]:.0%} selection")
    driver.keys("Down", "Return")
    check(wait_for(lambda: not any(w["popup"] for w in driver.windows()), 5),
          "Return left the menu open")
    check(wait_for(lambda: re.search(r"1[45] : \d+$", reader.status_text(main)), 5),
          f"Down and Return did not start the 15-minute level: '{reader.status_text(main)}'")


def help_viewer(driver, protocol):
    """F1 opens the help viewer, a window of its own with its title, and it closes."""
    driver.keys("F1")
    viewer = driver.window("Velmar Help")
    check(not viewer["modal"], f"the help viewer is modal: {viewer}")
    driver.ask("close Velmar Help")
    driver.gone("Velmar Help")
    protocol.mapped_and_closed("Velmar Help")


def minimise(driver, protocol, main, on_screen):
    """F11 asks the compositor to minimise the window, and the game goes on meanwhile: the
    level's clock runs. xdg-shell has no request to leave the minimised state; only the
    compositor gives the window back, and Weston's shell does that through input its headless
    backend does not have."""
    driver.keys("F11")
    check(wait_for(lambda: "set_minimized" in protocol.titled("Velmar")[-1]["requests"], 5),
          "F11 asked the compositor for no minimising")
    # Either way is right for the game; the compositor has a moment to take the window off.
    hidden = bool(wait_for(lambda: not on_screen(), 3, 0.2))
    first = reader.status_text(main)
    check(wait_for(lambda: reader.status_text(main) != first, 5),
          f"the clock stopped while the window was minimised: '{first}'")
    check(any(w["title"] == "Velmar" for w in driver.windows()),
          "the main window is gone after F11")
    print(f"F11: set_minimized sent; Weston {'took the window off' if hidden else 'left it on'} "
          f"the screen; the clock ran on ('{first}', then '{reader.status_text(main)}')")
