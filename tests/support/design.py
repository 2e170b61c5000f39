"""design.py: the windows' designs in pixels, as the build wrote them from the design tables
(design-figures.json beside the build's top folder)."""
import json
import os


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

    def caption(self, form, control=None):
        return self.forms[form]["caption"] if control is None else self.control(form, control)["caption"]

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
