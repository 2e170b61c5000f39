#!/usr/bin/env python3
# vorek_e2e.py: plays the built vorek as a player would, on a private X server under openbox.
import argparse
import glob
import os
import sys
import time
import traceback

sys.dont_write_bytecode = True  # nothing of the run is left in the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from PIL import Image, ImageDraw, ImageFont

import board
import design
from board import PARKING, HOLE, GRID, cell_centre, cell_name, describe
from xsession import (CheckFailed, XSession, SCREEN_HEIGHT, SCREEN_WIDTH, describe_windows,
                      expect, stop_process, wait_until)

# Every figure of the windows comes from the design tables, as the build wrote them.
DESIGN = design.load()
MAIN_TITLE = DESIGN.caption("Vorek")
ABOUT_TITLE = DESIGN.caption("Sujet")
MAIN_SIZE = DESIGN.client("Vorek")
PORTRAIT_SIZE = DESIGN.client("V_portrait")
ABOUT_SIZE = DESIGN.client("Sujet")

# Controls as (x, y, width, height) in client pixels.
VOIR = DESIGN.rect("Vorek", "Voir")
BRASSER = DESIGN.rect("Vorek", "Command1")
QUITTER = DESIGN.rect("Vorek", "Quitter")
PORTRAIT_OK = DESIGN.rect("V_portrait", "Command1")
ABOUT_OK = DESIGN.rect("Sujet", "ok")
PORTRAIT_BOX = DESIGN.rect("V_portrait", "Picture1")
# Where picture boxes show their pictures, inside their edges.
PORTRAIT_PICTURE = DESIGN.picture("V_portrait", "Picture1")
# The pictures of Picture1 to Picture4.
ABOUT_PICTURES = tuple(DESIGN.picture("Sujet", f"Picture{k}") for k in range(1, 5))

# Bounds for waiting; generous, since a sanitizer build is many times slower. Nothing waits
# for them unless something is wrong.
APPEAR = 30
REACT = 15
# Quick pairs of clicks: how many rounds of two pairs, and the time between a pair's clicks.
QUICK_ROUNDS = 10
QUICK_GAP = 0.003
# Rounds of every button clicked with the pointer leaving at once.
BUTTON_ROUNDS = 10
EXIT = 30


KINDS = {"main": f'main window "{MAIN_TITLE}" {MAIN_SIZE[0]}x{MAIN_SIZE[1]}',
         "portrait": f'portrait window "{MAIN_TITLE}" {PORTRAIT_SIZE[0]}x{PORTRAIT_SIZE[1]}',
         "about": f'About window "{ABOUT_TITLE}"',
         "message": f'message box "{MAIN_TITLE}"'}


def kind(window):
    """What a window is to the player: by its title and its client size."""
    size = (window.width, window.height)
    if window.title == ABOUT_TITLE:
        return "about"
    if window.title == MAIN_TITLE and size == MAIN_SIZE:
        return "main"
    if window.title == MAIN_TITLE and size == PORTRAIT_SIZE:
        return "portrait"
    if window.title == MAIN_TITLE:
        return "message"
    return "other"


def inside(rect, x, y):
    rx, ry, rw, rh = rect
    return rx <= x < rx + rw and ry <= y < ry + rh


class Run:
    """One run of the program: started on the session, stopped by its id at the end."""

    def __init__(self, suite, name):
        self.suite = suite
        self.x = suite.session
        self.name = name
        self.process = self.x.start(suite.command, f"{name}.log")
        self.status = None

    def __enter__(self):
        return self

    def __exit__(self, failure, *_):
        if failure is not None:
            # Evidence while the program still stands as it failed.
            self.suite.evidence(self.name, self.process)
        stop_process(self.process)

    # The window list.
    def windows(self):
        return self.x.windows()

    def wait_windows(self, wanted, timeout=APPEAR, also=None, what=""):
        """Waits until the screen shows exactly the windows `wanted` ({kind: count}) and
        `also(found)` holds; returns them by kind."""
        def probe():
            found = self.windows()
            counts = {}
            for window in found:
                counts.setdefault(kind(window), []).append(window)
            if {k: len(v) for k, v in counts.items()} != wanted:
                return None
            if self.process.poll() is not None:
                return None
            if also is not None and not also(counts):
                return None
            return counts
        wanted_text = ", ".join(f"{n} {KINDS[k]}" for k, n in wanted.items())
        return wait_until(probe, timeout, f"exactly {wanted_text}{what}, the program running",
                          lambda: f"{describe_windows(self.windows())}, {self.state()}")

    def state(self):
        status = self.process.poll()
        running = "program running" if status is None else f"program ended with status {status}"
        return running + self.x.health()

    def wait_exit(self, what):
        """Waits for the program to end; returns the About windows seen meanwhile."""
        seen = []

        def probe():
            seen.extend(w for w in self.windows() if kind(w) == "about")
            return self.process.poll() is not None
        wait_until(probe, EXIT, f"the program to end {what}",
                   lambda: f"it still running with {describe_windows(self.windows())}"
                           f"{self.x.health()}")
        self.status = self.process.returncode
        return seen

    def expect_exit(self, what, status=0, about_allowed=True):
        abouts = self.wait_exit(what)
        expect(self.status == status, f"exit status {status} {what}",
               f"{self.status} (program log: {self.suite.log_path(self.name)})")
        if not about_allowed:
            expect(not abouts, f"no About window {what}", describe_windows(abouts[:1]))
        left = self.windows()
        expect(not left, f"no window left {what}", describe_windows(left))

    # Looking and clicking, in a window's client coordinates.
    def shot(self, window, rect=None):
        if rect is None:
            return self.x.screenshot(window.rect)
        return self.x.screenshot((window.x + rect[0], window.y + rect[1], rect[2], rect[3]))

    def settled_shot(self, window, ready, what):
        """A picture of the window (None: the whole screen) once it is drawn: `ready` holds and
        two grabs in a row agree, so that a window still painting is never read."""
        grabs = []

        def probe():
            image = self.shot(window) if window is not None else self.x.screenshot()
            same = bool(grabs) and grabs[-1].tobytes() == image.tobytes()
            grabs.append(image)
            return image if same and ready(image) else None
        def seen():
            if grabs:
                self.save(grabs[-1], "unsettled")
            return "a window still changing or another picture (the last grab: unsettled.png)"
        return wait_until(probe, REACT, what, seen)

    def click(self, window, x, y, then=None):
        """A click in the window's client coordinates; `then`: where the pointer goes after."""
        self.x.click(window.x + x, window.y + y,
                     None if then is None else (window.x + then[0], window.y + then[1]))

    def click_control(self, window, rect, name, leave=False):
        """Clicks a control at a point of it that no window above covers; with `leave`, the
        pointer goes off the control, to its left, right after the release."""
        others = []
        stack = [w.wid for w in self.x.windows(stacked=True)]
        above = stack[stack.index(window.wid) + 1:] if window.wid in stack else stack
        for other in self.windows():
            if other.wid in above:
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
        raise CheckFailed(f"expected to see the control {name} of {window.describe()}; "
                          f"other windows cover it: {describe_windows(self.windows())}")

    def save(self, image, name):
        self.suite.save(image, name)


class Suite:
    def __init__(self, args):
        # The program as started: the Windows one through its Wine wrapper, say.
        self.command = (args.run_with or []) + [args.vorek]
        self.pictures_dir = args.pictures
        self.tiles = board.Tiles(args.pictures)
        self.shots = os.path.join(args.screenshots, args.group)
        self.logs = os.path.join(args.logs, args.group)
        for folder in (self.shots, self.logs):
            os.makedirs(folder, exist_ok=True)
        # Only this group's own evidence from a previous run is replaced.
        for old in glob.glob(os.path.join(self.shots, "*.png")) + \
                glob.glob(os.path.join(self.shots, "FAILED-*.txt")):
            os.remove(old)
        self.session = None
        self.passed = []
        self.failed = []

    def log_path(self, name):
        return os.path.join(self.logs, f"{name}.log")

    def save(self, image, name):
        image.save(os.path.join(self.shots, f"{name}.png"))

    def scenario(self, function):
        name = function.__name__.replace("_", " ")
        started = time.monotonic()
        try:
            function(self)
        except CheckFailed as failure:
            self.failed.append(name)
            print(f"FAIL {name}: {failure}", flush=True)
        except Exception:  # a fault of the runner itself is a failure too, with its traceback
            self.failed.append(name)
            print(f"FAIL {name}:\n{traceback.format_exc()}", flush=True)
        else:
            self.passed.append(name)
            print(f"PASS {name} ({time.monotonic() - started:.1f} s)", flush=True)

    def evidence(self, name, process=None):
        stem = os.path.join(self.shots, "FAILED-" + name)
        try:
            self.session.screenshot().save(stem + ".png")
            with open(stem + "-windows.txt", "w", encoding="utf-8") as report:
                report.write(self.session.tree() + "\n")
                if process is not None and process.poll() is None:
                    # Where each of the program's threads waits, should it hang.
                    for task in sorted(glob.glob(f"/proc/{process.pid}/task/*")):
                        with open(f"{task}/comm") as comm, open(f"{task}/wchan") as wchan:
                            report.write(f"thread {comm.read().strip()}: {wchan.read()}\n")
        except Exception:  # the screen may be what failed; the message says why
            pass
        print(f"  evidence: {stem}.png, {stem}-windows.txt; logs in {self.logs}", flush=True)


# Shared looks at the windows.

def save_screen(run, name):
    """Keeps the whole screen as evidence, once two grabs in a row agree, so that it shows no
    window half drawn; a screen still changing after a while is kept as it is."""
    try:
        image = run.settled_shot(None, lambda _: True, "the screen settled")
    except CheckFailed:
        image = run.x.screenshot()
    run.save(image, name)


def wait_centred(run, window, what):
    """Waits until the window, frame included, stands centred on the screen; returns it there.

    The program may set a window right once the window manager has framed it, so this waits
    rather than looks once. Odd sizes cannot centre exactly: 2 px of slack."""
    seen = [window]

    def probe():
        now = [w for w in run.windows() if w.wid == window.wid]
        if not now:
            return None
        seen.append(now[0])
        left, right, top, bottom = run.x.frame_extents(window.wid)
        dx = now[0].x - left + (left + now[0].width + right) / 2 - SCREEN_WIDTH / 2
        dy = now[0].y - top + (top + now[0].height + bottom) / 2 - SCREEN_HEIGHT / 2
        seen.append(f"{now[0].describe()} in a frame of {left}/{right}/{top}/{bottom} px, "
                    f"its centre off by ({dx:+g}, {dy:+g}) px")
        return now[0] if abs(dx) <= 2 and abs(dy) <= 2 else None
    return wait_until(probe, REACT,
                      f"{what} centred, frame included, on the {SCREEN_WIDTH}x{SCREEN_HEIGHT} "
                      f"screen (within 2 px)", lambda: seen[-1])


def wait_picture(run, window, rect, picture, what, evidence):
    """Waits until `rect` of the window shows `picture`, pixel for pixel."""
    wanted = picture.tobytes()
    wait_until(lambda: run.shot(window, rect).tobytes() == wanted, REACT,
               f"{what}, pixel for pixel", lambda: f"other pixels (see {evidence}.png)")


def expect_size(window, size, what):
    expect((window.width, window.height) == size, f"{what} with a {size[0]}x{size[1]} client area",
           window.describe())


def expect_sunken(image, x, y, width, height, what, edge=board.BORDER):
    """A sunken border `edge` pixels wide around (x, y, width, height): its inner half is one
    dark colour on the top and left and one lighter colour on the bottom and right. (The outer
    half is left alone: a neighbouring box may overlap it.)"""
    def ring(points):
        return {image.getpixel(p) for p in points}
    inner = range(edge // 2, edge)
    top = ring([(x + i, y + d) for i in range(edge, width - edge) for d in inner])
    left = ring([(x + d, y + i) for i in range(edge, height - edge) for d in inner])
    bottom = ring([(x + i, y + height - 1 - d) for i in range(edge, width - edge) for d in inner])
    right = ring([(x + width - 1 - d, y + i) for i in range(edge, height - edge) for d in inner])
    shade = lambda rgb: sum(rgb)
    ok = len(top) == 1 and top == left and len(bottom) == 1 and bottom == right \
        and shade(next(iter(top))) < shade(next(iter(bottom)))
    expect(ok, f"{what} inside a sunken border (inner ring dark on top and left, light on the "
               f"bottom and right)", f"top {top}, left {left}, bottom {bottom}, right {right}")


def wait_board(run, main, wanted, what):
    """Waits until the board shows `wanted` (a layout by cell, or a predicate on one), twice
    in a row, so that a half-painted screen is never taken for it."""
    last, image = [], []

    def probe():
        image[:] = [run.shot(main)]
        layout = run.suite.tiles.read(image[0])
        good = wanted(layout) if callable(wanted) else layout == wanted
        settled = good and last and last[-1] == layout
        last.append(layout)
        return layout if settled else None

    def seen():
        notes = board.misplaced(run.suite.tiles, image[0], last[-1])
        return describe(last[-1]) + (" (" + "; ".join(notes[:3]) + ")" if notes else "")
    expected = what if callable(wanted) else f"{what}: {describe(wanted)}"
    return wait_until(probe, REACT, expected, seen)


def start_main(run):
    main = run.wait_windows({"main": 1}, what=" at start")["main"][0]
    main = wait_centred(run, main, "the main window")
    wait_board(run, main, board.initial_layout(), "the initial layout")
    return main


def quitter_image(run, main):
    # The pointer goes off every window first: a button under it would be drawn highlighted.
    run.x.move_pointer(1, 1)
    return run.shot(main, QUITTER)


def click_and_wait_new_main(run, old, rect, name, others=None, leave=False):
    """Clicks a button of the main window that reloads it; returns the new main window."""
    run.click_control(old, rect, name, leave)
    wanted = {"main": 1, **(others or {})}
    found = run.wait_windows(wanted, also=lambda w: w["main"][0].wid != old.wid,
                             what=f", the main window a new one after {name}")
    main = wait_centred(run, found["main"][0], f"the main window after {name}")
    return main, found


def deal(run, main, name):
    """Waits for a shuffled board and returns it."""
    layout = wait_board(run, main, board.is_deal,
                        f"a shuffled board after {name}: every piece once, p20 on the parking "
                        f"cell, the hole in the grid")
    expect(board.solvable(layout), "a deal that slides can solve", describe(layout))
    return layout


# Scenarios: each is one run of the program, or more, from start to end.

def initial_layout(suite):
    with Run(suite, "initial-layout") as run:
        main = start_main(run)
        image = run.settled_shot(main, lambda _: True, "the main window drawn")
        suite.save(image, "main-window")
        for cell, piece in enumerate(board.initial_layout()):
            x, y = board.cell_origin(cell)
            expect_sunken(image, x, y, board.BOX, board.BOX,
                          f"the picture of p{piece} on cell {cell_name(cell)}")

        run.click_control(main, VOIR, "Voir")
        portrait = run.wait_windows({"main": 1, "portrait": 1}, what=" after Voir")["portrait"][0]
        portrait = wait_centred(run, portrait, "the portrait window")
        wait_picture(run, portrait, PORTRAIT_PICTURE, suite.tiles.portrait,
                     "the committed portrait at (2,2) of the portrait window", "portrait-window")
        image = run.settled_shot(portrait, lambda _: True, "the portrait window drawn")
        suite.save(image, "portrait-window")
        expect_sunken(image, *PORTRAIT_BOX, "the portrait", DESIGN.edge("V_portrait", "Picture1"))

        run.click_control(portrait, PORTRAIT_OK, "Ok of the portrait window")
        main = run.wait_windows({"main": 1}, what=" after the portrait's Ok")["main"][0]
        run.click_control(main, QUITTER, "Quitter")
        about = run.wait_windows({"about": 1}, what=" after Quitter")["about"][0]
        expect_size(about, ABOUT_SIZE, "the About window")
        about = wait_centred(run, about, "the About window")
        wait_until(lambda: about_pictures(run, about) == [1, 2, 3, 4], REACT,
                   "the About pictures 1 to 4 in their boxes", lambda: about_pictures(run, about))
        suite.save(run.shot(about), "about-window")
        run.click_control(about, ABOUT_OK, "Ok of the About window")
        run.expect_exit("after the About window's Ok")


def double_density(suite):
    """On a desktop at 200 % (Xft.dpi: 192) the main window is twice its design: every
    picture on its doubled place, sharp, inside a sunken edge 4 pixels wide."""
    doubled = (2 * MAIN_SIZE[0], 2 * MAIN_SIZE[1])
    suite.session.set_resources("Xft.dpi:\t192\n")
    try:
        with Run(suite, "double-density") as run:
            def probe():
                found = [w for w in run.windows() if w.title == MAIN_TITLE]
                one = len(found) == 1 and (found[0].width, found[0].height) == doubled
                return found[0] if one else None
            main = wait_until(probe, APPEAR, f"one main window of {doubled[0]}x{doubled[1]}",
                              lambda: describe_windows(run.windows()))
            # Where the window manager puts it: a picture taken before reads the wrong pixels.
            main = wait_centred(run, main, "the main window at 200 %")
            # Drawn: the first cell shows its picture, not the black of a window not yet painted.
            x, y = board.cell_origin(0)
            inside = (2 * (x + board.BORDER), 2 * (y + board.BORDER),
                      2 * (x + board.BOX - board.BORDER), 2 * (y + board.BOX - board.BORDER))
            image = run.settled_shot(main, lambda shot: shot.crop(inside).getcolors(1) is None,
                                     "the main window drawn at 200 %")
            suite.save(image, "main-window-200")
            for cell, piece in enumerate(board.initial_layout()):
                x, y = board.cell_origin(cell)
                where = f"the picture of p{piece} on cell {cell_name(cell)} at 200 %"
                edge = 2 * board.BORDER
                expect_sunken(image, 2 * x, 2 * y, 2 * board.BOX, 2 * board.BOX, where, edge)
                tile = suite.tiles.by_piece[piece]
                shown = image.crop((2 * x + edge, 2 * y + edge, 2 * x + edge + 2 * tile.width,
                                    2 * y + edge + 2 * tile.height))
                wanted = tile.resize((2 * tile.width, 2 * tile.height), Image.NEAREST)
                expect(shown.tobytes() == wanted.tobytes(), f"{where}, each pixel doubled",
                       "other pixels (see main-window-200.png)")
    finally:
        suite.session.set_resources("")


def about_pictures(run, about):
    """Which committed About picture stands in each of the four picture boxes (None: none)."""
    image = run.shot(about)
    known = {}
    for n in range(1, 5):
        with Image.open(os.path.join(run.suite.pictures_dir, f"about{n}.bmp")) as picture:
            known[picture.convert("RGB").tobytes()] = n
    return [known.get(image.crop((x, y, x + width, y + height)).tobytes())
            for x, y, width, height in ABOUT_PICTURES]


def slide_all(run, main, layout, clicks, before=""):
    """Clicks each piece in turn, and sees it slide into the hole."""
    for piece in clicks:
        hole, cell = layout.index(HOLE), layout.index(piece)
        run.click(main, *cell_centre(cell))
        moved = list(layout)
        moved[hole], moved[cell] = piece, HOLE
        layout = wait_board(run, main, moved, f"{before}p{piece}, clicked on {cell_name(cell)}, "
                                              f"slid into the hole on {cell_name(hole)}")
        before = ""
    return layout


def idle_clicks(run, main, layout):
    """Clicks that must move nothing: a piece away from the hole, the hole itself and the
    parked p20 (unless the hole is beside it). Clicks are handled in order, so the next move
    seen on the screen shows whether they moved anything."""
    hole = layout.index(HOLE)
    far = max(range(GRID), key=lambda cell: abs(cell % board.COLUMNS - hole % board.COLUMNS)
              + abs(cell // board.COLUMNS - hole // board.COLUMNS))
    run.click(main, *cell_centre(far))
    run.click(main, *cell_centre(hole))
    names = [f"p{layout[far]} (away from the hole)", "the white p0"]
    if hole != board.home(board.PARKED):
        run.click(main, *cell_centre(PARKING))
        names.append("the parked p20")
    return "after clicks that move nothing, on " + ", ".join(names) + ", "


def ink_runs(image, rows, background):
    """The runs of columns (start, width) that hold anything but the background in `rows`."""
    columns = [any(image.getpixel((x, y)) != background for y in rows) for x in range(image.width)]
    runs, start = [], None
    for x, ink in enumerate(columns + [False]):
        if ink and start is None:
            start = x
        elif not ink and start is not None:
            runs.append((start, x - start))
            start = None
    return runs


def bands(image, background):
    """The runs of rows that hold anything but the background."""
    rows = [any(image.getpixel((x, y)) != background for x in range(image.width))
            for y in range(image.height)]
    found, start = [], None
    for y, ink in enumerate(rows + [False]):
        if ink and start is None:
            start = y
        elif not ink and start is not None:
            found.append(range(start, y))
            start = None
    return found


def prompt_width(text):
    """How wide the dark ink of `text` is, set in the program's font: DejaVu Sans 8 pt at
    96 dpi, that is 11 px."""
    font = ImageFont.truetype("DejaVuSans.ttf", 11)
    canvas = Image.new("L", (200, 40), 255)
    ImageDraw.Draw(canvas).text((10, 10), text, font=font, fill=0)
    runs = ink_runs(canvas.point(lambda v: 0 if v < 160 else 255), range(40), 255)
    return runs[-1][0] + runs[-1][1] - runs[0][0]


def read_message_box(image):
    """The message box as the player sees it: one line of text over one button. Returns the
    text's ink runs and the button's rectangle in the box."""
    background = max(set(image.getdata()), key=list(image.getdata()).count)
    found = bands(image, background)
    expect(len(found) == 2, "a message box with one line of text over one button",
           f"{len(found)} bands of ink, rows {[(b.start, b.stop) for b in found]}")
    text, buttons = found
    gray = image.convert("L")
    # The text's ink: dark pixels only, so that antialiasing's faint edges do not join glyphs.
    glyphs = ink_runs(gray.point(lambda v: 0 if v < 160 else 255), text, 255)
    controls = ink_runs(image, buttons, background)
    expect(len(controls) == 1, "exactly one button in the message box",
           f"{len(controls)} separate controls in rows {buttons.start}-{buttons.stop}")
    (x, width), = controls
    return glyphs, (x, buttons.start, width, len(buttons))


def win(run, main, idle, game):
    """Brings p20 home on a solved grid: the "Bravo !" box, its OK, and the game is over."""
    run.click(main, *cell_centre(PARKING))
    found = run.wait_windows({"main": 1, "message": 1},
                             also=lambda w: w["main"][0].wid == main.wid,
                             what=f' (the "Bravo !" box titled "{MAIN_TITLE}") after p20 came home')
    box = found["message"][0]

    image = run.settled_shot(box, lambda image: len(bands(image, image.getpixel((0, 0)))) == 2,
                             "the message box painted, one line of text over one button")
    run.save(image, f"game{game}-bravo")
    glyphs, button = read_message_box(image)
    # "Bravo !" is told from its look-alikes by its width and by the space before the "!".
    width = glyphs[-1][0] + glyphs[-1][1] - glyphs[0][0] if glyphs else 0
    wanted = prompt_width("Bravo !")
    expect(abs(width - wanted) <= 2 and len(glyphs) >= 2 and glyphs[-1][1] <= 2
           and glyphs[-1][0] - (glyphs[-2][0] + glyphs[-2][1]) >= 4,
           f'the prompt "Bravo !": about {wanted} px of text ending in a thin "!" after a space',
           f"{width} px of text in glyph runs {glyphs} (see game{game}-bravo.png)")
    x, y, w, h = button
    run.click(box, x + w // 2, y + h // 2, then=(x - 16, y + h // 2))  # the hand moves on
    run.wait_windows({"main": 1}, also=lambda w: w["main"][0].wid == main.wid,
                     what=" (the same main window) after OK of the Bravo box")
    solved = board.initial_layout()
    wait_board(run, main, solved, "p20 home and the white p0 on the parking cell after Bravo")
    wait_until(lambda: quitter_image(run, main).tobytes() == idle.tobytes(), REACT,
               'the third button to read "Quitter" again, as at start',
               lambda: f"other pixels (see game{game}-won.png)")
    run.save(run.shot(main), f"game{game}-won")


def finir_shown(run, main, idle):
    # The caption must have changed from "Quitter" to "Finir", and be settled there.
    seen = []

    def probe():
        image = quitter_image(run, main).tobytes()
        settled = seen and seen[-1] == image and image != idle.tobytes()
        seen.append(image)
        return settled
    wait_until(probe, REACT, 'the third button to read "Finir", not "Quitter" as at start',
               lambda: "the same pixels as at start" if seen[-1] == idle.tobytes() else "a change")


def games(suite):
    """Three games from three shuffles, each to "Bravo !"; the third after shuffling again in
    the middle of a game; then the way out."""
    with Run(suite, "games") as run:
        main = start_main(run)
        idle = quitter_image(run, main)
        deals = []
        for game in (1, 2, 3):
            main, _ = click_and_wait_new_main(run, main, BRASSER, f"Brasser (game {game})")
            layout = deal(run, main, f"Brasser (game {game})")
            finir_shown(run, main, idle)
            deals.append(layout)
            run.save(run.shot(main), f"game{game}-dealt")
            # The clicks that finish the deal; the last, p20's, is win()'s.
            clicks = board.solve(layout)[:-1]
            if game == 3:
                # A few moves, then a new shuffle: the game starts again from a new deal.
                slide_all(run, main, layout, clicks[:6])
                main, _ = click_and_wait_new_main(run, main, BRASSER, "Brasser during game 3")
                layout = deal(run, main, "Brasser during game 3")
                finir_shown(run, main, idle)
                deals.append(layout)
                clicks = board.solve(layout)[:-1]
            before = idle_clicks(run, main, layout) if game == 1 else ""
            layout = slide_all(run, main, layout, clicks, before)
            win(run, main, idle, game)
        for i, first in enumerate(deals):
            for second in deals[i + 1:]:
                expect(first != second, "a different deal from each shuffle",
                       f"the same deal twice: {describe(first)}")
        run.click_control(main, QUITTER, "Quitter")
        about = run.wait_windows({"about": 1},
                                 what=" after Quitter at the end of a game")["about"][0]
        run.click_control(about, ABOUT_OK, "Ok of the About window")
        run.expect_exit("after the About window's Ok")


def drag_portrait(run, portrait, by):
    """Moves the portrait window by its title bar, as a player does; returns it moved."""
    # Not before it is painted: by then the program has placed it where it stays.
    wait_picture(run, portrait, PORTRAIT_PICTURE, run.suite.tiles.portrait,
                 "the portrait window painted before it is dragged", "FAILED-" + run.name)
    portrait = wait_centred(run, portrait, "the portrait window, painted,")
    _, _, top, _ = run.x.frame_extents(portrait.wid)
    expect(top > 0, "the portrait window to have a title bar", f"frame extents top {top}")
    grip = (portrait.x + portrait.width // 2, portrait.y - top // 2)
    target = (grip[0] + by[0], grip[1] + by[1])
    where = (portrait.x + by[0], portrait.y + by[1])

    def at_target():
        now = [w for w in run.windows() if w.wid == portrait.wid]
        return now[0] if now and (now[0].x, now[0].y) == where else None

    def follow():
        # The window manager starts its move on a motion with the button down and may miss
        # motions made meanwhile: like a hand, move again until the window has followed.
        run.x.move_pointer(target[0] + 1, target[1])
        run.x.move_pointer(*target)
        try:
            return wait_until(at_target, 0.5, "")
        except CheckFailed:
            return None
    run.x.press(*grip)
    try:
        run.x.move_pointer(grip[0] + 1, grip[1])
        wait_until(follow, REACT, f"the portrait window to follow the pointer to "
                                  f"+{where[0]}+{where[1]}",
                   lambda: describe_windows(run.windows()))
    finally:
        run.x.release()
    # Let go, it stays there.
    found = run.wait_windows({"main": 1, "portrait": 1}, also=lambda w: at_target(),
                             what=f", the portrait window dropped at +{where[0]}+{where[1]}")
    return found["portrait"][0]


def portrait_stays_where_put(suite):
    """Two "Voir" give one portrait; it stays where the player put it through a shuffle, a
    restart and the way out; the About window's "Ok" ends both windows."""
    with Run(suite, "portrait-stays") as run:
        main = start_main(run)
        idle = quitter_image(run, main)
        run.click_control(main, VOIR, "Voir")
        portrait = run.wait_windows({"main": 1, "portrait": 1}, what=" after Voir")["portrait"][0]
        portrait = wait_centred(run, portrait, "the portrait window")
        portrait = drag_portrait(run, portrait, (-300, -180))
        save_screen(run, "portrait-moved")

        # The second "Voir" makes no second window: it brings the one there is to the front.
        # First the main window to the front, by a click on the white p0, which does nothing.
        run.click(main, *cell_centre(PARKING))
        wait_until(lambda: run.x.active_window() == main.wid, REACT,
                   "the main window active after a click on it",
                   lambda: f"active window 0x{run.x.active_window():x}")
        run.click_control(main, VOIR, "Voir")
        wait_until(lambda: run.x.active_window() == portrait.wid and
                   run.x.windows(stacked=True)[-1].wid == portrait.wid, REACT,
                   "the portrait window active and on top after the second Voir",
                   lambda: f"active window 0x{run.x.active_window():x}, from the bottom up "
                           f"{describe_windows(run.x.windows(stacked=True))}")
        found = run.wait_windows({"main": 1, "portrait": 1}, what=" after the second Voir")
        expect(found["portrait"][0] == portrait, "the same portrait window, where it was",
               found["portrait"][0].describe())
        wait_board(run, main, board.initial_layout(), "the initial layout still")

        main, found = click_and_wait_new_main(run, main, BRASSER, "Brasser",
                                              others={"portrait": 1})
        expect(found["portrait"][0] == portrait,
               f"the portrait window left as it was by Brasser: {portrait.describe()}",
               found["portrait"][0].describe())
        deal(run, main, "Brasser")
        finir_shown(run, main, idle)

        main, found = click_and_wait_new_main(run, main, QUITTER, 'Quitter reading "Finir"',
                                              others={"portrait": 1})
        expect(found["portrait"][0] == portrait,
               f"the portrait window left as it was by the restart: {portrait.describe()}",
               found["portrait"][0].describe())
        wait_board(run, main, board.initial_layout(), "the initial layout after the restart")
        wait_until(lambda: quitter_image(run, main).tobytes() == idle.tobytes(), REACT,
                   'the third button to read "Quitter" after the restart', lambda: "other pixels")
        save_screen(run, "after-restart")

        run.click_control(main, QUITTER, "Quitter")
        found = run.wait_windows({"about": 1, "portrait": 1}, what=" after Quitter")
        expect(found["portrait"][0] == portrait,
               f"the portrait window left as it was by the way out: {portrait.describe()}",
               found["portrait"][0].describe())
        save_screen(run, "about-and-portrait")
        run.click_control(found["about"][0], ABOUT_OK, "Ok of the About window")
        run.expect_exit("after the About window's Ok, with the portrait window open")


def portrait_comes_back_fresh(suite):
    """The portrait's "Ok" closes it; "Voir" then opens a new one, centred again."""
    with Run(suite, "portrait-fresh") as run:
        main = start_main(run)
        run.click_control(main, VOIR, "Voir")
        portrait = run.wait_windows({"main": 1, "portrait": 1}, what=" after Voir")["portrait"][0]
        portrait = wait_centred(run, portrait, "the portrait window")
        portrait = drag_portrait(run, portrait, (-300, -180))
        run.click_control(portrait, PORTRAIT_OK, "Ok of the portrait window")
        run.wait_windows({"main": 1}, what=" after the portrait's Ok")
        run.click_control(main, VOIR, "Voir")
        again = run.wait_windows({"main": 1, "portrait": 1}, what=" after Voir")["portrait"][0]
        again = wait_centred(run, again, "the portrait window opened again")
        run.x.request_close(main.wid)
        run.wait_windows({"portrait": 1}, what=" after closing the main window")
        run.x.request_close(again.wid)
        run.expect_exit("after closing its last window", about_allowed=False)


def closing_the_main_window_ends(suite):
    with Run(suite, "close-main") as run:
        main = start_main(run)
        run.x.request_close(main.wid)
        run.expect_exit("after the window manager closed the main window", about_allowed=False)


def closing_the_main_window_leaves_the_portrait(suite):
    with Run(suite, "close-main-portrait") as run:
        main = start_main(run)
        run.click_control(main, VOIR, "Voir")
        portrait = run.wait_windows({"main": 1, "portrait": 1}, what=" after Voir")["portrait"][0]
        run.x.request_close(main.wid)
        found = run.wait_windows({"portrait": 1}, what=" after closing the main window")
        expect(found["portrait"][0] == portrait, "the portrait window left as it was",
               found["portrait"][0].describe())
        run.x.request_close(portrait.wid)
        run.expect_exit("after closing the portrait window, its last", about_allowed=False)


def closing_the_about_window_ends(suite):
    with Run(suite, "close-about") as run:
        main = start_main(run)
        run.click_control(main, QUITTER, "Quitter")
        about = run.wait_windows({"about": 1}, what=" after Quitter")["about"][0]
        run.x.request_close(about.wid)
        run.expect_exit("after the window manager closed the About window")


def closing_the_about_window_leaves_the_portrait(suite):
    with Run(suite, "close-about-portrait") as run:
        main = start_main(run)
        run.click_control(main, VOIR, "Voir")
        portrait = run.wait_windows({"main": 1, "portrait": 1}, what=" after Voir")["portrait"][0]
        portrait = wait_centred(run, portrait, "the portrait window")
        portrait = drag_portrait(run, portrait, (-300, -180))
        run.click_control(main, QUITTER, "Quitter")
        about = run.wait_windows({"about": 1, "portrait": 1}, what=" after Quitter")["about"][0]
        run.x.request_close(about.wid)
        found = run.wait_windows({"portrait": 1}, what=" after closing the About window")
        expect(found["portrait"][0] == portrait, "the portrait window left as it was",
               found["portrait"][0].describe())
        run.x.request_close(portrait.wid)
        run.expect_exit("after closing the portrait window, its last")


def quick_clicks(suite):
    """Two pieces clicked a few milliseconds apart, over and over: each second click is made
    after the first one's handler has returned, so however busy the machine, both count."""
    with Run(suite, "quick-clicks") as run:
        main = start_main(run)
        home = board.initial_layout()
        out = list(home)  # p20 parked, then p19 slid into p20's home
        out[GRID - 2], out[GRID - 1], out[PARKING] = HOLE, 19, 20
        pairs = [((GRID - 1, GRID - 2), out, "p20 to the parking cell, then p19 after it"),
                 ((GRID - 1, PARKING), home, "p19 back, then p20 home")]
        for round_ in range(QUICK_ROUNDS):
            for (first, second), wanted, what in pairs:
                run.click(main, *cell_centre(first))
                time.sleep(QUICK_GAP)  # the player's hand, not a wait for the program
                run.click(main, *cell_centre(second))
                wait_board(run, main, wanted, f"{what}, {QUICK_GAP * 1000:g} ms apart "
                                              f"(round {round_ + 1})")
        run.save(run.shot(main), "quick-clicks")
        run.x.request_close(main.wid)
        run.expect_exit("after closing the main window", about_allowed=False)


def button_clicks(suite):
    """Every button clicked as a hand clicks it, the pointer leaving the button right after the
    release: the click counts however late the program reads it. A drag off a button before
    the release cancels the click, as on every desktop."""
    with Run(suite, "button-clicks") as run:
        main = start_main(run)
        idle = quitter_image(run, main)  # the pointer off every window
        raised = run.shot(main, BRASSER).tobytes()
        box = (BRASSER[0], BRASSER[1], BRASSER[0] + BRASSER[2], BRASSER[1] + BRASSER[3])
        centre = DESIGN.centre("Vorek", "Command1")
        x, y = main.x + centre[0], main.y + centre[1]
        run.x.press(x, y)
        pressed = run.settled_shot(main, lambda image: image.crop(box).tobytes() != raised,
                                   "Brasser drawn pressed under the pointer").crop(box).tobytes()
        run.x.move_pointer(x - BRASSER[2], y)
        wait_until(lambda: run.shot(main, BRASSER).tobytes() != pressed, REACT,
                   "Brasser drawn no longer pressed once the pointer is dragged off it",
                   lambda: "it drawn pressed still")
        run.x.release()
        # Events are read in turn: once Voir's window is there, the release has been handled.
        run.click_control(main, VOIR, "Voir")
        found = run.wait_windows({"main": 1, "portrait": 1}, what=" after Voir")
        expect(found["main"][0].wid == main.wid, "the same main window after a drag off Brasser",
               "a new one: the drag shuffled")
        run.click_control(found["portrait"][0], PORTRAIT_OK, "Ok of the portrait window")
        run.wait_windows({"main": 1}, what=" after the portrait's Ok")

        for round_ in range(1, BUTTON_ROUNDS + 1):
            main, _ = click_and_wait_new_main(run, main, BRASSER, f"Brasser (round {round_})",
                                              leave=True)
            finir_shown(run, main, idle)
            main, _ = click_and_wait_new_main(run, main, QUITTER,
                                              f'Quitter reading "Finir" (round {round_})',
                                              leave=True)
            wait_until(lambda: quitter_image(run, main).tobytes() == idle.tobytes(), REACT,
                       f'the third button to read "Quitter" after the restart (round {round_})',
                       lambda: "other pixels")
            run.click_control(main, VOIR, "Voir", leave=True)
            portrait = run.wait_windows({"main": 1, "portrait": 1},
                                        what=f" after Voir (round {round_})")["portrait"][0]
            run.click_control(portrait, PORTRAIT_OK, "Ok of the portrait window", leave=True)
            run.wait_windows({"main": 1}, what=f" after the portrait's Ok (round {round_})")
        run.click_control(main, QUITTER, "Quitter", leave=True)
        about = run.wait_windows({"about": 1}, what=" after Quitter")["about"][0]
        run.click_control(about, ABOUT_OK, "Ok of the About window", leave=True)
        run.expect_exit("after the About window's Ok")


GROUPS = {
    "layout": [initial_layout],
    "density": [double_density],
    "clicks": [quick_clicks, button_clicks],
    "games": [games],
    "windows": [portrait_stays_where_put, portrait_comes_back_fresh, closing_the_main_window_ends,
                closing_the_main_window_leaves_the_portrait, closing_the_about_window_ends,
                closing_the_about_window_leaves_the_portrait],
}


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--vorek", required=True, help="the program under test")
    parser.add_argument("--run-with", action="append", metavar="WORD",
                        help="a word of the command that runs the program (repeat for more)")
    parser.add_argument("--pictures", required=True, help="the committed pictures")
    parser.add_argument("--screenshots", required=True, help="where the evidence goes")
    parser.add_argument("--logs", required=True, help="where the programs' output goes")
    parser.add_argument("group", choices=sorted(GROUPS))
    args = parser.parse_args()
    suite = Suite(args)
    started = time.monotonic()
    try:
        suite.session = XSession(suite.logs)
        print(f"X server {suite.session.display_name} under openbox", flush=True)
        for scenario in GROUPS[args.group]:
            suite.scenario(scenario)
    finally:
        if suite.session is not None:
            suite.session.close()
    print(f"screenshots in {suite.shots}; {time.monotonic() - started:.1f} s")
    print(f"{len(suite.passed)} passed, {len(suite.failed)} failed")
    return 1 if suite.failed or not suite.passed else 0


if __name__ == "__main__":
    sys.exit(main())
