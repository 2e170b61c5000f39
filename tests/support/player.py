# player.py: the program played as a player plays it on an X session under openbox: the windows
# by kind, and steps "action: the windows after it" that check what each action does.
import dataclasses
import os

import board
import design
from board import PARKING, cell_centre, describe
from sessions import describe_windows, wait_until

# Every figure of the windows comes from the design tables, as the build wrote them.
DESIGN = design.load()
MAIN_TITLE, ABOUT_TITLE = DESIGN.caption("Vorek"), DESIGN.caption("Sujet")
MAIN_SIZE, PORTRAIT_SIZE, ABOUT_SIZE = (DESIGN.client(f) for f in ("Vorek", "V_portrait", "Sujet"))
# Controls as (x, y, width, height) in client pixels.
VOIR, BRASSER, QUITTER = (DESIGN.rect("Vorek", c) for c in ("Voir", "Command1", "Quitter"))
PORTRAIT_OK, PORTRAIT_BOX = (DESIGN.rect("V_portrait", c) for c in ("Command1", "Picture1"))
ABOUT_OK = DESIGN.rect("Sujet", "ok")
# The windows by their pictures, each where the design puts it.
PORTRAIT, ABOUT = design.Window("V_portrait", "Picture1"), design.Window("Sujet", "Picture1")
TILES = board.Tiles()

# Bounds for waiting; generous, since a sanitizer build is many times slower. Nothing waits
# for them unless something is wrong.
APPEAR, REACT, EXIT = 30, 15, 30
DRAG = (-300, -180)  # where the player puts the portrait window, from the screen's centre
# The buttons of the steps: the window each is on, and its place there.
BUTTONS = {"Voir": ("main", VOIR), "Brasser": ("main", BRASSER), "Finir": ("main", QUITTER),
           "Quitter": ("main", QUITTER), "portrait Ok": ("portrait", PORTRAIT_OK),
           "About Ok": ("about", ABOUT_OK)}


def kind(window):
    """What a window is to the player, by its title and its client size: main, portrait, about,
    message (a box titled as the main window) or other."""
    size = (window.width, window.height)
    if window.title == ABOUT_TITLE:
        return "about"
    if window.title != MAIN_TITLE:
        return "other"
    return {MAIN_SIZE: "main", PORTRAIT_SIZE: "portrait"}.get(size, "message")


def inside(rect, x, y):
    rx, ry, rw, rh = rect
    return rx <= x < rx + rw and ry <= y < ry + rh


class Player:
    """One run of the program, played as a player plays: the windows open (by kind, as last
    seen), and steps "action: the windows after it" that check what each action does."""

    def __init__(self, x, process, evidence):
        self.x, self.process, self.evidence = x, process, evidence
        self.open = {}
        self.about_seen = False  # an About window expected at some time, so allowed at the end
        self.board = board.Board(TILES, lambda: self.shot(self.open["main"]),
                                 lambda *point: self.click(self.open["main"], *point), REACT)

    def save(self, image, name):
        image.save(os.path.join(self.evidence, f"{name}.png"))

    def start(self):
        """The main window, centred, at the initial layout; the third button's look then, the
        pointer off every window, is `idle` (reading "Quitter")."""
        self.expect("the start", ["main"])
        self.board.wait(board.initial_layout(), "the initial layout")
        self.idle = self.quitter_image()
        return self.open["main"]

    def play(self, steps, leave=False):
        """Plays "action: the windows after it; ..." ("end": the program ended): a click on a
        button (with `leave`, the pointer leaving it right after the release), "close KIND"
        (the window manager's close button), or "Voir again", "drag"; then what it must do."""
        for step in steps.split(";"):
            action, kinds = (part.strip() for part in step.split(":"))
            name = action.lower().replace(" ", "_")
            print(f"{action}: {kinds}")
            if action in BUTTONS:
                self.click_control(self.open[BUTTONS[action][0]], BUTTONS[action][1], action, leave)
            elif action.startswith("close "):
                self.x.request_close(self.open[action[6:]].wid)
            else:
                getattr(self, name)()
            self.expect(action, kinds.split(), "main" if action in ("Brasser", "Finir") else None)
            getattr(self, "after_" + name, lambda: None)()

    def voir_again(self):
        """The second "Voir" makes no second window: it brings the one there is to the front."""
        main, portrait = self.open["main"], self.open["portrait"]
        # First the main window to the front, by a click on the white p0, which does nothing;
        # again if the window manager took the click (it may still hold the pointer after the
        # drag that came before).
        wait_until(lambda: self.x.active_window() == main.wid, REACT,
                   "the main window active after a click on it",
                   lambda: f"active window 0x{self.x.active_window():x}",
                   lambda: self.click(main, *cell_centre(PARKING)), 2)
        self.click_control(main, VOIR, "Voir")
        wait_until(lambda: self.x.active_window() == portrait.wid and
                   self.x.windows(stacked=True)[-1].wid == portrait.wid, REACT,
                   "the portrait window active and on top after the second Voir",
                   lambda: f"active window 0x{self.x.active_window():x}, from the bottom up "
                           f"{describe_windows(self.x.windows(stacked=True))}")

    def after_voir_again(self):
        self.board.wait(board.initial_layout(), "the initial layout still")

    def drag(self):
        """Moves the portrait window by its title bar, as a player does."""
        # Not before it is painted: by then the program has placed it where it stays.
        self.wait_pictures(self.open["portrait"], PORTRAIT, "the portrait before it is dragged")
        portrait = self.wait_centred(self.open["portrait"], "the portrait window, painted,")
        _, _, top, _ = self.x.frame_extents(portrait.wid)
        assert top > 0, f"expected the portrait window to have a title bar; saw a top of {top}"
        grip = (portrait.x + portrait.width // 2, portrait.y - top // 2)
        target = (grip[0] + DRAG[0], grip[1] + DRAG[1])
        where = (portrait.x + DRAG[0], portrait.y + DRAG[1])

        def follow():
            # The window manager starts its move on a motion with the button down and may miss
            # motions made meanwhile: like a hand, move again until the window has followed.
            self.x.move_pointer(target[0] + 1, target[1])
            self.x.move_pointer(*target)
        self.x.press(*grip)
        try:
            self.x.move_pointer(grip[0] + 1, grip[1])
            wait_until(lambda: [(w.x, w.y) for w in self.x.windows() if w.wid == portrait.wid]
                       == [where], REACT, f"the portrait window to follow the pointer to "
                       f"+{where[0]}+{where[1]}", lambda: describe_windows(self.x.windows()),
                       follow, 0.5)
        finally:
            self.x.release()
        # Let go, it stays there.
        self.open["portrait"] = dataclasses.replace(portrait, x=where[0], y=where[1])

    def after_brasser(self):
        """A new deal that slides can solve; the third button then reads "Finir"."""
        self.layout = self.board.wait(board.is_deal, "a shuffled board after Brasser: every "
                                      "piece once, p20 on the parking cell, the hole in the grid")
        assert board.solvable(self.layout), \
            f"expected a deal that slides can solve; saw {describe(self.layout)}"
        self.third_button_reads("Finir", "during a game")

    def after_finir(self):
        """Quitter reading "Finir" gives up the game: a new main window, as at start."""
        self.board.wait(board.initial_layout(), "the initial layout after the restart")
        self.third_button_reads("Quitter", "after the restart")

    def expect(self, what, kinds, new=None):
        """Waits, after `what`, for exactly the windows of `kinds`: those open before as they
        were (the main window the same one, the portrait where the player left it), the others
        (and `new`, in place of the one before) opened anew and centred. With "end": for the
        program to end with status 0, no window left."""
        if kinds == ["end"]:
            return self.expect_exit(f"after {what}")
        kept = {k: w for k, w in self.open.items() if k in kinds and k != new}

        def same(found):
            return all(found[k][0] == w if k == "portrait" else found[k][0].wid == w.wid
                       for k, w in kept.items()) and \
                (new not in self.open or found[new][0].wid != self.open[new].wid)
        found = self.wait_windows(
            dict.fromkeys(kinds, 1), also=same,
            what=f" after {what}" + "".join(f", the {k} window as it was: {w.describe()}"
                                            for k, w in kept.items()) +
                 (f", the {new} window a new one" if new else ""))
        self.open = {k: found[k][0] if k in kept else
                     self.wait_centred(found[k][0], f"the {k} window after {what}") for k in kinds}
        self.about_seen |= "about" in kinds

    def wait_windows(self, wanted, timeout=APPEAR, also=None, what=""):
        """Waits until the screen shows exactly the windows `wanted` ({kind: count}) and
        `also(found)` holds; returns them by kind."""
        def probe():
            found = {}
            for window in self.x.windows():
                found.setdefault(kind(window), []).append(window)
            if {k: len(v) for k, v in found.items()} != wanted or self.process.poll() is not None:
                return None
            return found if also is None or also(found) else None
        wanted_text = ", ".join(f"{n} {k} window" for k, n in wanted.items())
        return wait_until(probe, timeout, f"exactly {wanted_text}{what}, the program running",
                          lambda: f"{describe_windows(self.x.windows())}, program status "
                                  f"{self.process.poll()}{self.x.health()}")

    def expect_exit(self, what):
        """Waits for the program to end; no About window meanwhile unless one was expected."""
        abouts = []

        def ended():
            abouts.extend(w for w in self.x.windows() if kind(w) == "about")
            return self.process.poll() is not None
        wait_until(ended, EXIT, f"the program to end {what}",
                   lambda: f"it still running with {describe_windows(self.x.windows())}"
                           f"{self.x.health()}")
        status = self.process.returncode
        assert status == 0, f"expected exit status 0 {what}; saw {status} (log: {self.process.log})"
        assert self.about_seen or not abouts, \
            f"expected no About window {what}; saw {describe_windows(abouts[:1])}"
        assert not self.x.windows(), \
            f"expected no window left {what}; saw {describe_windows(self.x.windows())}"
        self.open = {}

    def shot(self, window, rect=None):
        x, y, width, height = rect or (0, 0, window.width, window.height)
        return self.x.screenshot((window.x + x, window.y + y, width, height))

    def settled_shot(self, window, ready, what):
        """A picture of the window once it is drawn: `ready` holds and two grabs in a row agree,
        so that a window still painting is never read."""
        grabs = []

        def probe():
            image = self.shot(window)
            same = bool(grabs) and grabs[-1].tobytes() == image.tobytes()
            grabs.append(image)
            return image if same and ready(image) else None

        def seen():
            if grabs:
                self.save(grabs[-1], "unsettled")
            return "a window still changing or another picture (the last grab: unsettled.png)"
        return wait_until(probe, REACT, what, seen)

    def wait_pictures(self, window, pictures, what):
        """Waits until the window shows its design's pictures, pixel for pixel, in place."""
        wait_until(lambda: pictures.find(self.shot(window)) == (0, 0), REACT,
                   f"{what}, pixel for pixel", lambda: "other pixels (see FAILED-*.png)")

    def wait_centred(self, window, what):
        """Waits until the window, frame included, stands centred on the screen; returns it there.

        The program may set a window right once the window manager has framed it, so this waits
        rather than looks once. Odd sizes cannot centre exactly: 2 px of slack."""
        seen = [window.describe()]

        def probe():
            now = [w for w in self.x.windows() if w.wid == window.wid]
            if not now:
                return None
            left, right, top, bottom = self.x.frame_extents(window.wid)
            dx = now[0].x - left + (left + now[0].width + right) / 2 - self.x.size[0] / 2
            dy = now[0].y - top + (top + now[0].height + bottom) / 2 - self.x.size[1] / 2
            seen.append(f"{now[0].describe()} in a frame of {left}/{right}/{top}/{bottom} px, "
                        f"its centre off by ({dx:+g}, {dy:+g}) px")
            return now[0] if abs(dx) <= 2 and abs(dy) <= 2 else None
        return wait_until(probe, REACT, f"{what} centred, frame included, on the "
                          f"{self.x.size[0]}x{self.x.size[1]} screen (within 2 px)",
                          lambda: seen[-1])

    def quitter_image(self):
        # The pointer goes off every window first: a button under it would be drawn highlighted.
        self.x.move_pointer(1, 1)
        return self.shot(self.open["main"], QUITTER)

    def third_button_reads(self, caption, what):
        """Waits until the third button reads `caption`, settled there: "Quitter" with the very
        pixels it had at start, or "Finir" with others."""
        seen = []

        def probe():
            image = self.quitter_image().tobytes()
            settled = bool(seen) and seen[-1] == image
            seen.append(image)
            return settled and (image == self.idle.tobytes()) == (caption == "Quitter")
        wait_until(probe, REACT, f'the third button to read "{caption}" {what}',
                   lambda: "its pixels at start" if seen[-1] == self.idle.tobytes() else "others")

    # The player's hand, in a window's client coordinates.
    def click(self, window, x, y, then=None):
        """A click in the window's client coordinates; `then`: where the pointer goes after."""
        self.x.click(window.x + x, window.y + y,
                     None if then is None else (window.x + then[0], window.y + then[1]))

    def click_control(self, window, rect, name, leave=False):
        """Clicks a control at a point of it that no window above covers; with `leave`, the
        pointer goes off the control, to its left, right after the release."""
        stack = [w.wid for w in self.x.windows(stacked=True)]
        above = stack[stack.index(window.wid) + 1:] if window.wid in stack else stack
        others = []
        for other in (w for w in self.x.windows() if w.wid in above):
            left, right, top, bottom = self.x.frame_extents(other.wid)
            others.append((other.x - left, other.y - top, other.width + left + right,
                           other.height + top + bottom))
        rx, ry, rw, rh = rect
        for dy in (rh // 2, rh // 3, 2 * rh // 3):
            for dx in (rw // 2, rw // 3, 2 * rw // 3, rw // 5, 4 * rw // 5):
                x, y = window.x + rx + dx, window.y + ry + dy
                if not any(inside(o, x, y) for o in others):
                    self.x.click(x, y, then=(window.x + rx - 16, y) if leave else None)
                    return
        raise AssertionError(f"expected to see the control {name} of {window.describe()}; "
                             f"other windows cover it: {describe_windows(self.x.windows())}")
