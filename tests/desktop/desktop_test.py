# desktop_test.py: the real program in a private desktop session: what a screen reader finds over
# AT-SPI, that it writes nothing, and as a native Wayland client of weston: headless (no input
# device at all: its buttons pressed over AT-SPI), and played with a pointer and keys (weston's X11
# backend in a private Xvfb hands XTest's events on as Wayland input). pyatspi keeps the first bus
# it meets: one test per process (pytest -k NAME), as CTest runs them.
import os

import pytest

import board
import design
from sessions import SCREEN, WestonSession, XSession, wait_until
from player import Player

X_SESSION = dict(bus=True)
TIMEOUT = 30  # seconds for any one effect; each comes in well under one
APP_ID = "org.example.vorek"  # the desktop entry's name, which Qt gives as the Wayland app_id
DESIGN = design.load()
MAIN, ABOUT = DESIGN.caption("Vorek"), DESIGN.caption("Sujet")
BUTTONS = ["Voir", "Brasser", "Quitter"]
BOXES = [f"Pièce {k}" for k in range(1, 21)] + ["Case libre"]
PORTRAIT_PARTS = ["Image entière du puzzle", "Ok"]
ABOUT_PARTS = ["Le programme", "L'auteur", "Ok"]
BESIDE = 64  # pixels of X screen right of weston's window
PARKED = (SCREEN[0] // 2, 4)  # on weston's panel, which no window covers


def children(node):
    # A window going away may leave a hole between the count and the fetch.
    found = (node.getChildAtIndex(i) for i in range(node.childCount))
    return [child for child in found if child is not None]


class Accessible:
    """The program's windows as a screen reader finds them on the session's bus."""

    def __init__(self, session, pid):
        # pyatspi finds the accessibility bus through the session bus it starts with.
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = session.env["DBUS_SESSION_BUS_ADDRESS"]
        import pyatspi
        self.pyatspi = pyatspi
        desktop = pyatspi.Registry.getDesktop(0)  # starts the accessibility bus
        self.app = wait_until(
            lambda: next((a for a in children(desktop) if a.get_process_id() == pid), None),
            TIMEOUT, f"the program (PID {pid}) on the accessibility bus",
            lambda: [a.name for a in children(desktop)])

    def listing(self):
        return [(top.name, [c.name for c in children(top)]) for top in children(self.app)]

    def find(self, title, parts):
        """The windows of this title (None: any) that hold a part of each name given."""
        return [top for top in children(self.app) if title in (None, top.name)
                and set(parts) <= {c.name for c in children(top)}]

    def window(self, title, *parts):
        return wait_until(lambda: next(iter(self.find(title, parts)), None), TIMEOUT,
                          f"the window « {title} » with {', '.join(parts)} over AT-SPI",
                          self.listing)

    def gone(self, *parts):
        wait_until(lambda: not self.find(None, parts), TIMEOUT,
                   f"no window with {', '.join(parts)} over AT-SPI", self.listing)

    @staticmethod
    def part(top, name):
        return next(c for c in children(top) if c.name == name)

    def press(self, top, name):
        action = self.part(top, name).queryAction()
        assert action.nActions > 0, f"expected {name} to offer an action"
        action.doAction(0)


def test_accessible_tree(x, game):
    """The main window's three buttons and twenty-one boxes by their French names, then the
    model and About windows reached by pressing the buttons through AT-SPI itself."""
    process = game(x, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    screen_reader = Accessible(x, process.pid)
    roles = screen_reader.pyatspi
    assert screen_reader.app.name == "vorek"
    main = screen_reader.window(MAIN, *BUTTONS, *BOXES)
    listing = [(c.getRoleName(), c.name) for c in children(main)]
    assert len(listing) == 24
    for name in BUTTONS:
        assert screen_reader.part(main, name).getRole() == roles.ROLE_PUSH_BUTTON, name
    assert sum(role == "push button" for role, _ in listing) == 3, listing
    assert sorted(n for _, n in listing) == sorted(BUTTONS + BOXES)
    assert all(c.getState().contains(roles.STATE_SHOWING) for c in children(main))

    # The buttons work from a screen reader too; the model window has its own named parts.
    screen_reader.press(main, "Voir")
    screen_reader.press(screen_reader.window(MAIN, *PORTRAIT_PARTS), "Ok")
    screen_reader.gone(*PORTRAIT_PARTS)
    screen_reader.press(main, "Quitter")
    about = screen_reader.window(ABOUT, *ABOUT_PARTS, "Pièce de puzzle", "Tableau",
                                 "Palette de peintre", "Étoile")
    everything = []

    def walk(node):
        everything.append((node.getRoleName(), node.name))
        for child in children(node):
            walk(child)
    walk(about)
    labels = [name for role, name in everything if role == "label"]
    assert len(labels) == 2 and all(len(text) > 40 for text in labels), \
        f"expected the About window's two texts as labels read whole; saw {labels}"
    assert all(name for _, name in everything), f"expected every part named; saw {everything}"
    screen_reader.press(about, "Ok")
    assert process.wait(timeout=TIMEOUT) == 0


def test_writes_nothing(x, game, evidence, tmp_path):
    """Given a fresh home, fresh XDG folders and a fresh working folder, the program leaves them
    as empty as it found them after a game's way out."""
    places = {"HOME": "home", "XDG_CONFIG_HOME": "config", "XDG_CACHE_HOME": "cache",
              "XDG_DATA_HOME": "data", "XDG_STATE_HOME": "state", "XDG_RUNTIME_DIR": "runtime",
              "TMPDIR": "tmp", None: "work"}
    for name in places.values():
        (tmp_path / name).mkdir(mode=0o700)
    everything = lambda: sorted(tmp_path.rglob("*"))  # noqa: E731
    before = everything()
    process = game(x, cwd=tmp_path / "work",
                   **{k: str(tmp_path / name) for k, name in places.items() if k})
    player = Player(x, process, evidence)
    player.start()
    player.play("Voir: main portrait; portrait Ok: main; Quitter: about; About Ok: end")
    assert everything() == before


# The program's windows under weston, seen three ways: over AT-SPI (titles, parts, and presses
# that need no input device), in the compositor's scene graph (title, app_id and place of each
# window) and by the designs' pictures on the screen, found pixel for pixel.

BOARD, MODEL = design.Window("Vorek", "p1"), design.Window("V_portrait", "Picture1")
ABOUT_WINDOW = design.Window("Sujet", "Picture1")


def compositor_windows(weston, pid, titles):
    """Waits until the program's windows in the compositor are these, by title; returns them."""
    def mine():
        return [t for t in weston.toplevels() if t.pid == pid]
    found = wait_until(lambda: [mine()] if sorted(t.title for t in mine()) == sorted(titles)
                       else None, TIMEOUT, f"the program's windows in the compositor: {titles}",
                       lambda: [(t.title, t.app_id, t.box) for t in mine()])[0]
    assert all(w.app_id == APP_ID for w in found), f"expected the app_id {APP_ID}; saw {found}"
    return found


def on_screen(shoot, form, window, what):
    """Waits until the window's pictures show on the screen, inside the surface the compositor
    placed; returns the client area's corner and the screenshot."""
    def probe():
        screen = shoot()
        corner = form.find(screen)
        return (corner, screen) if corner and window.holds(*corner, *form.client) else None
    return wait_until(probe, TIMEOUT, f"{what} on the screen inside {window.box}",
                      lambda: "other pixels")


def start(weston, game, shoot, evidence):
    """The program started with its accessibility on: its main window over AT-SPI, in the
    compositor, and on the screen with every piece home and the free cell parked."""
    process = game(weston, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    screen_reader = Accessible(weston, process.pid)
    main = screen_reader.window(MAIN, *BUTTONS, *BOXES)
    (window,) = compositor_windows(weston, process.pid, [MAIN])
    corner, screen = on_screen(shoot, BOARD, window, "the board at its start")
    screen.save(os.path.join(evidence, "main.png"))
    return process, screen_reader, main, window, corner


def about_alone(shoot, weston, pid, evidence):
    """Quitter with no game going: the About window comes, and the board goes."""
    (placed,) = compositor_windows(weston, pid, [ABOUT])
    on_screen(shoot, ABOUT_WINDOW, placed, "the About window's four pictures")
    wait_until(lambda: BOARD.find(shoot()) is None, TIMEOUT,
               "the board gone from the screen with the main window", lambda: "it still there")
    corner, screen = on_screen(shoot, ABOUT_WINDOW, placed, "the About window alone")
    screen.save(os.path.join(evidence, "about.png"))
    return corner


@pytest.fixture
def weston(logs):
    with WestonSession(logs) as session:
        yield session


def test_wayland_headless(weston, game, evidence):
    """Each window checked by its title over AT-SPI, in the compositor's scene graph and by its
    pictures on the screen; its buttons pressed over AT-SPI; status 0 at the end."""
    process, screen_reader, main, window, _ = start(weston, game, weston.screenshot, evidence)

    screen_reader.press(main, "Voir")
    portrait = screen_reader.window(MAIN, *PORTRAIT_PARTS)
    windows = compositor_windows(weston, process.pid, [MAIN, MAIN])
    # The compositor places the new window where it likes, over the board or not.
    _, screen = on_screen(weston.screenshot, MODEL, next(w for w in windows if w.box != window.box),
                          "the whole picture in the model window")
    screen.save(os.path.join(evidence, "model.png"))
    screen_reader.press(portrait, "Ok")
    screen_reader.gone(*PORTRAIT_PARTS)
    compositor_windows(weston, process.pid, [MAIN])
    wait_until(lambda: not design.places(weston.screenshot(), MODEL.key[1]), TIMEOUT,
               "the whole picture gone from the screen", lambda: "it still there")

    screen_reader.press(main, "Quitter")
    about = screen_reader.window(ABOUT, *ABOUT_PARTS)
    about_alone(weston.screenshot, weston, process.pid, evidence)
    screen_reader.press(about, "Ok")
    status = process.wait(timeout=TIMEOUT)
    assert status == 0, f"expected status 0 after the About window's Ok; saw {status}"


class Hand:
    """The player's pointer and keyboard, on weston's window in the X server, in the
    coordinates of weston's screen. The X server's screen is wider than weston's window: weston
    moves its pointer by the X pointer's steps, from wherever it was, but takes the place where
    the X pointer comes in afresh, so each move comes in from the strip beside the window."""

    def __init__(self, x):
        self.x = x
        # Without a window manager, weston's output window stays where weston put it.
        (window,) = x.mapped()
        self.origin = (window.x, window.y)

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

    def board(self, tiles, corner):
        """The main window's board, its client area's corner at `corner` on weston's screen."""
        return board.Board(tiles, lambda: self.shoot((*corner, *BOARD.client)),
                           lambda x, y: self.click(corner[0] + x, corner[1] + y), TIMEOUT)


@pytest.fixture
def weston_in_x(logs):
    with XSession(os.path.join(logs, "x"), window_manager=False,
                  screen=(SCREEN[0] + BESIDE, SCREEN[1])) as x, \
            WestonSession(logs, backend="x11", x_display=x.display_name) as weston:
        yield x, weston


def test_wayland_pointer(weston_in_x, game, evidence):
    """Two slides of p20, Brasser, the deal played to « Bravo ! » (dismissed by Return), then
    Quitter and the About window's Ok, by the pointer and keys; the program has no X display.
    Then, with the X display beside the Wayland one, as on a desktop that runs XWayland, the
    program takes X."""
    x, weston = weston_in_x
    hand, tiles = Hand(x), board.Tiles()
    process, screen_reader, _, _, corner = start(weston, game, hand.shoot, evidence)
    table = hand.board(tiles, corner)

    # No game going: p20 slides to the parking cell and back, and no « Bravo ! » comes, or its
    # box would refuse the click on Brasser.
    table.slide(board.initial_layout(), 20, 20)
    table.click(*DESIGN.centre("Vorek", "Command1"))

    def dealt():
        # The new main window: p20's picture on its parking cell, once on the screen.
        found = design.places(hand.shoot(), tiles.by_piece[20])
        px, py = DESIGN.picture("Vorek", "p0")[:2]
        new = hand.board(tiles, (found[0][0] - px, found[0][1] - py)) if len(found) == 1 else None
        return new if new and board.is_deal(new.read()) else None
    table = wait_until(dealt, TIMEOUT, "a deal, p20 parked, after Brasser", lambda: "none")
    screen_reader.window(MAIN, "Voir", "Brasser", "Finir")
    compositor_windows(weston, process.pid, [MAIN])
    layout = table.read()
    hand.shoot().save(os.path.join(evidence, "dealt.png"))
    table.slide(layout, *board.solve(layout)[:-1])
    # p20 home ends the game.
    table.click_cell(board.PARKING)
    screen_reader.window(MAIN, "Bravo !")
    compositor_windows(weston, process.pid, [MAIN, MAIN])
    hand.shoot().save(os.path.join(evidence, "bravo.png"))
    x.key("Return")  # the box's one button is its default
    screen_reader.gone("Bravo !")
    screen_reader.window(MAIN, "Voir", "Brasser", "Quitter")
    compositor_windows(weston, process.pid, [MAIN])
    table.wait(board.initial_layout(), "once « Bravo ! » is dismissed")

    table.click(*DESIGN.centre("Vorek", "Quitter"))
    screen_reader.window(ABOUT, *ABOUT_PARTS)
    corner = about_alone(hand.shoot, weston, process.pid, evidence)
    hand.click(*(c + d for c, d in zip(corner, DESIGN.centre("Sujet", "ok"))))
    # The last window goes. Not its end: Qt 6.4's Wayland client now and then hangs on leaving,
    # waiting for its event thread (in ~QWaylandDisplay); the headless test checks the status.
    screen_reader.gone("Le programme")
    compositor_windows(weston, process.pid, [])

    # Both displays and no platform named: the main window comes on the X display, and none in
    # the compositor.
    process = game(weston, DISPLAY=x.display_name, QT_QPA_PLATFORM=None)
    wait_until(lambda: x.mapped(MAIN), TIMEOUT, "the main window on the X display",
               lambda: [t.title for t in weston.toplevels() if t.pid == process.pid])
    mine = [t.title for t in weston.toplevels() if t.pid == process.pid]
    assert mine == [], f"expected no window of the program in the compositor; saw {mine}"
