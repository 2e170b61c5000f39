"""wayland_pointer.py: the program as a native Wayland client played with a pointer and a
keyboard. weston's X11 backend, in a private Xvfb, takes XTest's events as its seat's and hands
them to the program as Wayland input; the program has no X display. Two slides of p20, Brasser,
the deal played to « Bravo ! » (dismissed by Return), then Quitter and the About window's Ok. Then, with the X display beside the Wayland one, as on a
desktop that runs XWayland, the program takes X.
Usage: wayland_pointer.py VOREK PICTURES SCREENSHOTS LOGS"""
import os
import subprocess
import sys

from Xlib import X, XK
from Xlib.ext import xtest

from wayland_windows import (DESIGN, TIMEOUT, Form, Shots, compositor_windows, expect, on_screen,
                             places, play_program, wait_until)
from weston_session import SCREEN, WestonSession
from xsession import XSession

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import board  # noqa: E402

BESIDE = 64  # pixels of X screen right of weston's window
PARKED = (SCREEN[0] // 2, 4)  # on weston's panel, which no window covers


class Hand:
    """The player's pointer and keyboard, on weston's window in the X server, in the
    coordinates of weston's screen. The X server's screen is wider than weston's window: weston
    moves its pointer by the X pointer's steps, from wherever it was, but takes the place where
    the X pointer comes in afresh, so each move comes in from the strip beside the window."""

    def __init__(self, x):
        self.x = x
        # Without a window manager, weston's output window stays where weston put it.
        (self.window,) = [w for w in x.root.query_tree().children
                          if w.get_attributes().map_state == X.IsViewable]
        origin = x.root.translate_coords(self.window, 0, 0)
        self.origin = (origin.x, origin.y)

    def shoot(self, rect=None):
        x, y, width, height = rect or (0, 0, *SCREEN)
        return self.x.screenshot((self.origin[0] + x, self.origin[1] + y, width, height))

    def move(self, x, y):
        self.x.move_pointer(self.origin[0] + SCREEN[0] + BESIDE // 2, self.origin[1] + y)
        self.x.move_pointer(self.origin[0] + x, self.origin[1] + y)

    def click(self, x, y):
        """A click, then the hand leaves for weston's panel: weston draws its pointer into the
        screen, where it would hide a piece."""
        self.move(x, y)
        self.x.click(self.origin[0] + x, self.origin[1] + y)
        self.move(*PARKED)

    def key(self, name):
        code = self.x.display.keysym_to_keycode(XK.string_to_keysym(name))
        xtest.fake_input(self.x.display, X.KeyPress, code)
        xtest.fake_input(self.x.display, X.KeyRelease, code)
        self.x.display.sync()


class Board:
    """The main window's client area on weston's screen, read as the e2e suite reads it."""

    def __init__(self, hand, tiles, corner):
        self.hand, self.tiles, self.corner = hand, tiles, corner

    def read(self):
        return self.tiles.read(self.hand.shoot((*self.corner, *DESIGN.client("Vorek"))))

    def point(self, x, y):
        return self.corner[0] + x, self.corner[1] + y

    def wait(self, wanted, what):
        wait_until(lambda: self.read() == wanted, TIMEOUT, f"{board.describe(wanted)} {what}",
                   lambda: board.describe(self.read()))

    def slide(self, layout, piece, what):
        cell, hole = layout.index(piece), layout.index(board.HOLE)
        self.hand.click(*self.point(*board.cell_centre(cell)))
        after = list(layout)
        after[cell], after[hole] = board.HOLE, piece
        self.wait(after, what)
        return after


def deal(hand, tiles, tile20):
    """The board just dealt: p20 on the parking cell (found on the screen) and a deal around."""
    px, py = DESIGN.picture("Vorek", "p0")[:2]  # the parking cell's picture

    def probe():
        screen = hand.shoot()
        found = [(x - px, y - py) for x, y in places(screen, tile20)]
        if len(found) != 1:
            return None
        table = Board(hand, tiles, found[0])
        return table if board.is_deal(table.read()) else None
    return wait_until(probe, TIMEOUT, "a deal, p20 parked, after Brasser", lambda: "none")


def play(hand, weston, game, pictures, shots, accessible):
    tiles = board.Tiles(pictures)
    start = board.initial_layout()
    accessible.attach(game.pid)
    accessible.window("Vorek", "Voir", "Brasser", "Quitter")
    (window,) = compositor_windows(weston, game.pid, ["Vorek"])
    corner, screen = on_screen(hand.shoot, Form(pictures, "Vorek", "p1"), window, "the board")
    table = Board(hand, tiles, corner)

    # No game going: p20 slides to the parking cell and back, and no « Bravo ! » comes, or its
    # box would refuse the click on Brasser.
    layout = table.slide(start, 20, "after a click on p20")
    table.slide(layout, 20, "after a click on p20, parked")
    hand.click(*table.point(*DESIGN.centre("Vorek", "Command1")))
    table = deal(hand, tiles, tiles.by_piece[20])
    accessible.window("Vorek", "Voir", "Brasser", "Finir")
    compositor_windows(weston, game.pid, ["Vorek"])
    layout = table.read()
    shots.keep(hand.shoot(), "dealt")
    for piece in board.solve(layout)[:-1]:
        layout = table.slide(layout, piece, f"after a click on p{piece}")
    # p20 home ends the game.
    hand.click(*table.point(*board.cell_centre(board.PARKING)))
    accessible.window("Vorek", "Bravo !")
    compositor_windows(weston, game.pid, ["Vorek", "Vorek"])
    shots.keep(hand.shoot(), "bravo")
    hand.key("Return")  # the box's one button is its default
    accessible.gone("Bravo !")
    accessible.window("Vorek", "Voir", "Brasser", "Quitter")
    compositor_windows(weston, game.pid, ["Vorek"])
    table.wait(start, "once « Bravo ! » is dismissed")

    hand.click(*table.point(*DESIGN.centre("Vorek", "Quitter")))
    accessible.window("A propos de Tralden", "Le programme", "L'auteur", "Ok")
    (window,) = compositor_windows(weston, game.pid, ["A propos de Tralden"])
    about = Form(pictures, "Sujet", "Picture1")
    on_screen(hand.shoot, about, window, "the About window's four pictures")
    wait_until(lambda: Form(pictures, "Vorek", "p1").find(hand.shoot()) is None, TIMEOUT,
               "the board gone from the screen with the main window", lambda: "it still there")
    corner, screen = on_screen(hand.shoot, about, window, "the About window alone")
    shots.keep(screen, "about")
    hand.click(*(c + d for c, d in zip(corner, DESIGN.centre("Sujet", "ok"))))
    # The last window goes. Not its end: Qt 6.4's Wayland client now and then hangs on leaving,
    # waiting for its event thread (in ~QWaylandDisplay); the headless test checks the status.
    accessible.gone("Le programme")
    compositor_windows(weston, game.pid, [])


def takes_x(x, weston, program):
    """Both displays and no platform named: the main window comes on the X display, where it is
    centred as designed, and none in the compositor."""
    env = weston.program_env(DISPLAY=x.display_name)
    del env["QT_QPA_PLATFORM"]
    game = subprocess.Popen([program], env=env, stdin=subprocess.DEVNULL,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        def on_x():
            return [w for w in x.root.query_tree().children
                    if w.get_attributes().map_state == X.IsViewable and w.get_wm_name() == "Vorek"]
        wait_until(on_x, TIMEOUT, "the main window on the X display",
                   lambda: [t.title for t in weston.toplevels() if t.pid == game.pid])
        mine = [t.title for t in weston.toplevels() if t.pid == game.pid]
        expect(mine == [], "no window of the program in the compositor", mine)
    finally:
        game.kill()
        game.wait(timeout=TIMEOUT)


def main():
    program, pictures, screenshots, logs = sys.argv[1:5]
    shots = Shots(screenshots, "pointer")
    with XSession(os.path.join(logs, "x"), window_manager=False,
                  screen=(SCREEN[0] + BESIDE, SCREEN[1])) as x, \
            WestonSession(logs, backend="x11", x_display=x.display_name) as weston:
        def play_and_take_x(game, accessible):
            play(Hand(x), weston, game, pictures, shots, accessible)
            takes_x(x, weston, program)
        if play_program(weston, program, shots, lambda: Hand(x).shoot(), play_and_take_x):
            return 1
    print("wayland_pointer.py: a game played to « Bravo ! » with Wayland pointer and keys; "
          "X taken where there is one")
    return 0


if __name__ == "__main__":
    sys.exit(main())
