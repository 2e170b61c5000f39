"""design.py: the windows' designs in pixels, as the build wrote them from the design tables
(design-figures.json beside the build's top folder), and their pictures found on a screen."""
import json
import os

from PIL import Image

# The committed pictures, which every design names by file name.
PICTURES = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, os.pardir, "forms",
                        "pictures")


class Design:
    def __init__(self, path):
        with open(path, encoding="utf-8") as file:
            figures = json.load(file)
        self.forms = figures["forms"]
        # The board's columns and rows, and each cell's top-left corner in the main window's
        # client area, row by row, the parking cell last.
        self.board = figures["board"]

    def client(self, form):
        """The client area's (width, height)."""
        return tuple(self.forms[form]["client"])

    def caption(self, form):
        return self.forms[form]["caption"]

    def control(self, form, name):
        return self.forms[form]["controls"][name]

    def rect(self, form, name):
        """(x, y, width, height) of a control in its window's client area."""
        return tuple(self.control(form, name)["rect"])

    def edge(self, form, name):
        """The width of a picture box's sunken edge; 0 for other controls."""
        return self.control(form, name)["edge"]

    def picture(self, form, name):
        """(x, y, width, height) of the picture that a picture box shows inside its edge."""
        x, y, width, height = self.rect(form, name)
        edge = self.edge(form, name)
        return (x + edge, y + edge, width - 2 * edge, height - 2 * edge)

    def cells(self):
        """The (x, y) of each cell of the board, row by row, the parking cell last."""
        return [tuple(cell) for cell in self.board["cells"]]

    def centre(self, form, name):
        x, y, width, height = self.rect(form, name)
        return (x + width // 2, y + height // 2)


def load(path=None):
    """The build's figures: from `path`, else from VOREK_DESIGN_FIGURES."""
    return Design(path or os.environ["VOREK_DESIGN_FIGURES"])


def image(name):
    """A committed picture, as RGB."""
    with Image.open(os.path.join(PICTURES, name)) as picture:
        return picture.convert("RGB")


def places(screen, picture):
    """Every place on the screen where the picture shows, pixel for pixel."""
    width, height = picture.size
    data, stride = screen.tobytes(), screen.size[0] * 3
    rows = [picture.crop((0, r, width, r + 1)).tobytes() for r in range(height)]
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


class Window:
    """A window of the design by its pictures, each where the design puts it in the client area;
    `key` names the picture looked for first."""

    def __init__(self, form, key):
        figures = load()
        self.client = figures.client(form)
        self.pictures = [(figures.picture(form, name)[:2], image(control["picture"]))
                         for name, control in figures.forms[form]["controls"].items()
                         if control["picture"]]
        self.key = (figures.picture(form, key)[:2], image(figures.control(form, key)["picture"]))

    def find(self, screen):
        """The client area's top-left corner, where the key picture shows once and every other
        picture of the window shows in its place; None otherwise."""
        (kx, ky), key = self.key
        found = places(screen, key)
        if len(found) != 1:
            return None
        x, y = found[0][0] - kx, found[0][1] - ky
        shows = all(screen.crop((x + px, y + py, x + px + picture.width, y + py + picture.height))
                    .tobytes() == picture.tobytes() for (px, py), picture in self.pictures)
        return (x, y) if shows else None
