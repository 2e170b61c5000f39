"""wayland_windows.py: the program's windows under weston, seen three ways: over AT-SPI (titles,
parts, and presses that need no input device), in the compositor's scene graph (title, app_id
and place of each window) and by the designs' pictures on the screen, found pixel for pixel."""
import os
import sys

from PIL import Image

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import design  # noqa: E402
from xsession import CheckFailed, expect, wait_until  # noqa: E402,F401

TIMEOUT = 30  # seconds for any one effect; each comes in well under one
APP_ID = "org.example.vorek"  # the desktop entry's name, which Qt gives as the Wayland app_id
DESIGN = design.load()


def picture(folder, name):
    with Image.open(os.path.join(folder, name)) as image:
        return image.convert("RGB")


def places(screen, image):
    """Every place on the screen where the image shows, pixel for pixel."""
    width, height = image.size
    data, stride = screen.tobytes(), screen.size[0] * 3
    rows = [image.crop((0, r, width, r + 1)).tobytes() for r in range(height)]
    found = []
    at = data.find(rows[0])
    while at >= 0:
        x, y = at % stride // 3, at // stride
        if at % 3 == 0 and x + width <= screen.size[0] and y + height <= screen.size[1] and all(
                data[(y + r) * stride + 3 * x:(y + r) * stride + 3 * (x + width)] == rows[r]
                for r in range(1, height)):
            found.append((x, y))
        at = data.find(rows[0], at + 1)
    return found


def shows(screen, image, x, y):
    return screen.crop((x, y, x + image.size[0], y + image.size[1])).tobytes() == image.tobytes()


class Form:
    """A window of the design and its pictures, each where the design puts it in the client
    area; `key` names the picture looked for first."""

    def __init__(self, pictures, form, key):
        self.form = form
        self.client = DESIGN.client(form)
        self.pictures = [(DESIGN.picture(form, name)[:2], picture(pictures, control["picture"]))
                         for name, control in DESIGN.forms[form]["controls"].items()
                         if control["picture"]]
        self.key = (DESIGN.picture(form, key)[:2],
                    picture(pictures, DESIGN.control(form, key)["picture"]))

    def find(self, screen):
        """The client area's top-left corner, where the key picture shows once and every other
        picture of the window shows in its place; None otherwise."""
        (kx, ky), key = self.key
        found = places(screen, key)
        if len(found) != 1:
            return None
        x, y = found[0][0] - kx, found[0][1] - ky
        if all(shows(screen, image, x + px, y + py) for (px, py), image in self.pictures):
            return x, y
        return None


class Shots:
    """Keeps screenshots under a folder, numbered in the order taken."""

    def __init__(self, folder, prefix):
        self.folder, self.prefix, self.count = folder, prefix, 0
        os.makedirs(folder, exist_ok=True)

    def keep(self, image, name):
        self.count += 1
        path = os.path.join(self.folder, f"{self.prefix}-{self.count}-{name}.png")
        image.save(path)
        return path


def children(node):
    # A window going away may leave a hole between the count and the fetch.
    found = (node.getChildAtIndex(i) for i in range(node.childCount))
    return [child for child in found if child is not None]


class Accessible:
    """The program's windows as a screen reader finds them on the session bus."""

    def __init__(self, pyatspi):
        self.desktop = pyatspi.Registry.getDesktop(0)  # starts the accessibility bus
        self.app = None

    def attach(self, pid):
        self.app = wait_until(
            lambda: next((a for a in children(self.desktop) if a.get_process_id() == pid), None),
            TIMEOUT, f"the program (PID {pid}) on the accessibility bus",
            lambda: [a.name for a in children(self.desktop)])

    def windows(self):
        return [(top.name, [c.name for c in children(top)], top) for top in children(self.app)]

    def _listing(self):
        return [(name, names) for name, names, _ in self.windows()]

    def window(self, title, *parts):
        """The window of this title once it holds a part of each name given."""
        return wait_until(lambda: next((top for name, names, top in self.windows()
                                        if name == title and all(p in names for p in parts)),
                                       None),
                          TIMEOUT, f"the window « {title} » with {', '.join(parts)} over AT-SPI",
                          self._listing)

    def gone(self, *parts):
        wait_until(lambda: not any(all(p in names for p in parts)
                                   for _, names, _ in self.windows()),
                   TIMEOUT, f"no window with {', '.join(parts)} over AT-SPI", self._listing)

    @staticmethod
    def press(top, name):
        part = next(c for c in children(top) if c.name == name)
        part.queryAction().doAction(0)


def compositor_windows(weston, pid, titles):
    """Waits until the program's windows in the compositor are these, by title; returns them."""
    def mine():
        return [t for t in weston.toplevels() if t.pid == pid]

    def probe():
        found = mine()
        return [found] if sorted(t.title for t in found) == sorted(titles) else None
    (found,) = wait_until(probe, TIMEOUT,
                          f"the program's windows in the compositor to be {titles}",
                          lambda: [(t.title, t.app_id, t.box) for t in mine()])
    for window in found:
        expect(window.app_id == APP_ID, f"the app_id {APP_ID} on « {window.title} »",
               repr(window.app_id))
    return found


def on_screen(shoot, form, window, what):
    """Waits until the window's pictures show on the screen, inside the surface the compositor
    placed; returns the client area's corner and the screenshot."""
    seen = []

    def probe():
        seen[:] = [shoot()]
        corner = form.find(seen[0])
        return (corner, seen[0]) if corner and window.holds(*corner, *form.client) else None
    return wait_until(probe, TIMEOUT, f"{what} on the screen inside {window.box}",
                      lambda: "other pixels")


def play_program(weston, program, shots, shoot, play):
    """Starts the program in the session, with its accessibility on, and has `play(game,
    accessible)` play it; 1 with the failure said and a screenshot kept, or 0. The program's
    own output follows."""
    # pyatspi finds the accessibility bus through the session bus it starts with.
    os.environ["DBUS_SESSION_BUS_ADDRESS"] = weston.env["DBUS_SESSION_BUS_ADDRESS"]
    import pyatspi
    game = weston.start([program], QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    try:
        play(game, Accessible(pyatspi))
    except CheckFailed as failure:
        print(f"FAILED: {failure} (see {shots.keep(shoot(), 'FAILED')})")
        return 1
    finally:
        if game.poll() is None:
            game.kill()
        print(game.communicate(timeout=TIMEOUT)[0], end="")
    return 0
