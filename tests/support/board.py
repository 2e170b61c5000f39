# board.py: the board as a screen shows it, read by its tiles and written in the notation every
# suite shares; the clicks that finish it, from vorek-solve, the solver every suite shares.
import os
import subprocess

import design
from sessions import wait_until

# The board's figures, from the design tables as the build wrote them.
FIGURES = design.load()
CELLS = FIGURES.cells()  # each cell's top-left corner in client pixels, the parking cell last
COLUMNS, ROWS = FIGURES.board["columns"], FIGURES.board["rows"]
GRID = COLUMNS * ROWS
PARKING = GRID  # the cell index of the parking cell, right of the grid's last cell
BOX = FIGURES.rect("Vorek", "p1")[2]         # a picture box's side in pixels
BORDER = FIGURES.edge("Vorek", "p1")         # the sunken border around each picture
PICTURE = FIGURES.picture("Vorek", "p1")[2]  # a tile's side in pixels
INSET = 4    # how far inside a picture the search for a misplaced one looks
HOLE = 0     # p0, the white marker of the free cell
PARKED = 20  # p20, the piece that waits on the parking cell during a game
SOLVE_TIMEOUT = 60  # seconds; a solve takes well under one, Wine's start aside


def cell_origin(cell):
    """The top-left corner, in client pixels, of the picture box standing on a cell."""
    return CELLS[cell]


def cell_centre(cell):
    x, y = cell_origin(cell)
    return x + BOX // 2, y + BOX // 2


def cell_name(cell):
    return "parking" if cell == PARKING else f"({cell % COLUMNS},{cell // COLUMNS})"


def initial_layout():
    """p1 to p20 on their home cells and p0 on the parking cell, as a list by cell."""
    return list(range(1, GRID + 1)) + [HOLE]


def describe(layout):
    """Rows top to bottom separated by " / ", then " | " and the parking cell: each cell its
    piece's number, "_" the hole marker, "?" a cell whose piece cannot be told."""
    names = ["?" if p is None else "_" if p == HOLE else str(p) for p in layout]
    rows = [" ".join(names[r * COLUMNS:(r + 1) * COLUMNS]) for r in range(ROWS)]
    return " / ".join(rows) + " | " + names[PARKING]


class Tiles:
    """The pictures of the pieces, as the main window's design shows them at start."""

    def __init__(self):
        self.by_piece = {p: design.image(FIGURES.control("Vorek", f"p{p}")["picture"])
                         for p in range(GRID + 1)}
        self.piece_of = {image.tobytes(): piece for piece, image in self.by_piece.items()}
        inside = (INSET, INSET, PICTURE - INSET, PICTURE - INSET)
        self.piece_of_inside = {image.crop(inside).tobytes(): piece
                                for piece, image in self.by_piece.items()}
        if len(self.piece_of) != len(self.by_piece):
            raise ValueError("two of the pieces' pictures are identical: the board cannot be read")

    def read(self, client_image):
        """Which piece's picture stands on each of the 21 cells (None: no tile matches)."""
        layout = []
        for cell in range(GRID + 1):
            x, y = cell_origin(cell)
            crop = client_image.crop((x + BORDER, y + BORDER, x + BORDER + PICTURE,
                                      y + BORDER + PICTURE))
            layout.append(self.piece_of.get(crop.tobytes()))
        return layout

    def misplaced(self, client_image, layout, reach=3):
        """For the cells that show no known tile: which tile stands a few pixels off, and by
        how much, to tell a picture drawn off its place from a wrong picture."""
        notes = []
        for cell in (c for c, piece in enumerate(layout) if piece is None):
            x, y = cell_origin(cell)
            # The inside of the picture only: a border painted over its edge still tells.
            found = ((self.piece_of_inside.get(client_image.crop(
                (left, top, left + PICTURE - 2 * INSET, top + PICTURE - 2 * INSET)).tobytes()),
                dx, dy) for dx in range(-reach, reach + 1) for dy in range(-reach, reach + 1)
                for left, top in [(x + BORDER + INSET + dx, y + BORDER + INSET + dy)])
            piece, dx, dy = next((f for f in found if f[0] is not None), (None, 0, 0))
            notes.append(f"no known picture near {cell_name(cell)}" if piece is None else
                         f"p{piece}'s picture on {cell_name(cell)} is {dx:+d},{dy:+d} px off")
        return notes


class Board:
    """The main window's board on a screen: shoot() pictures its client area, click(x, y) clicks
    a point of it; waits give up after `timeout` seconds."""

    def __init__(self, tiles, shoot, click, timeout):
        self.tiles, self.shoot, self.click, self.timeout = tiles, shoot, click, timeout

    def read(self):
        return self.tiles.read(self.shoot())

    def click_cell(self, cell):
        self.click(*cell_centre(cell))

    def wait(self, wanted, what):
        """Waits until the board shows `wanted` (a layout, or a predicate on one), twice in a
        row, so that a half-painted screen is never taken for it; returns it."""
        last, image = [], []

        def probe():
            image[:] = [self.shoot()]
            layout = self.tiles.read(image[0])
            good = wanted(layout) if callable(wanted) else layout == wanted
            settled = good and last and last[-1] == layout
            last.append(layout)
            return layout if settled else None

        def seen():
            notes = self.tiles.misplaced(image[0], last[-1])
            return describe(last[-1]) + (" (" + "; ".join(notes[:3]) + ")" if notes else "")
        expected = what if callable(wanted) else f"{what}: {describe(wanted)}"
        return wait_until(probe, self.timeout, expected, seen)

    def slide(self, layout, *pieces, before=""):
        """Clicks each piece in turn and sees it slide into the hole; returns the board after."""
        for piece in pieces:
            hole, cell = layout.index(HOLE), layout.index(piece)
            self.click_cell(cell)
            moved = list(layout)
            moved[hole], moved[cell] = piece, HOLE
            layout = self.wait(moved, f"{before}p{piece}, clicked on {cell_name(cell)}, slid "
                                      f"into the hole on {cell_name(hole)}")
            before = ""
        return layout


def is_deal(layout):
    """A board a shuffle can leave: every piece once, p20 parked, the hole inside the grid."""
    return sorted(p for p in layout if p is not None) == list(range(GRID + 1)) \
        and None not in layout and layout[PARKING] == PARKED


def solver_command():
    """vorek-solve (VOREK_SOLVE), through what runs it (VOREK_SOLVE_WITH: Wine or Node.js) when
    it is no program of this machine's own."""
    runner = os.environ.get("VOREK_SOLVE_WITH")
    return ([runner] if runner else []) + [os.environ["VOREK_SOLVE"]]


def _solver(words):
    done = subprocess.run(solver_command() + [str(w) for w in words], stdin=subprocess.DEVNULL,
                          capture_output=True, text=True, timeout=SOLVE_TIMEOUT, check=False)
    if done.returncode not in (0, 1) or (words[0] == "--solvable" and done.stdout.split() != [
            ["solvable", "unsolvable"][done.returncode]]):
        raise RuntimeError(f"vorek-solve ended with status {done.returncode}: "
                           f"{done.stderr.strip()}")
    return done


def solvable(layout):
    """Whether slides can finish a board (the piece on each of the 21 cells, hole as 0)."""
    return _solver(["--solvable"] + list(layout)).returncode == 0


def solve(layout):
    """The pieces to click, in order, to finish a board: every piece home and the hole marker
    on the parking cell. During a game the last click is p20's, which wins it."""
    done = _solver(list(layout))
    if done.returncode == 1:
        raise ValueError(done.stderr.strip())
    return [int(word) for word in done.stdout.split()]
