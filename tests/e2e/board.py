# board.py: the board as the screen shows it, read by its tiles; the clicks that finish it, from
# vorek-solve, the solver every suite shares.
import os
import subprocess
import sys

from PIL import Image

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import design  # noqa: E402

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


def home(piece):
    return piece - 1


def cell_name(cell):
    return "parking" if cell == PARKING else f"({cell % COLUMNS},{cell // COLUMNS})"


def initial_layout():
    """p1 to p20 on their home cells and p0 on the parking cell, as a list by cell."""
    return list(range(1, GRID + 1)) + [HOLE]


def describe(layout):
    """A board as rows of piece numbers, '..' for a cell whose picture is no known tile."""
    def name(piece):
        return ".." if piece is None else f"{piece:2d}"
    rows = [" ".join(name(layout[r * COLUMNS + c]) for c in range(COLUMNS)) for r in range(ROWS)]
    rows[-1] += " | " + name(layout[PARKING])
    return " / ".join(rows)


class Tiles:
    """The committed pictures: tileNN.bmp is piece NN, blank.bmp is p0."""

    def __init__(self, pictures_dir):
        self.by_piece = {HOLE: self._load(pictures_dir, "blank.bmp")}
        for piece in range(1, GRID + 1):
            self.by_piece[piece] = self._load(pictures_dir, f"tile{piece:02d}.bmp")
        self.piece_of = {image.tobytes(): piece for piece, image in self.by_piece.items()}
        inside = (INSET, INSET, PICTURE - INSET, PICTURE - INSET)
        self.piece_of_inside = {image.crop(inside).tobytes(): piece
                                for piece, image in self.by_piece.items()}
        if len(self.piece_of) != len(self.by_piece):
            raise ValueError("two of the committed tiles are identical: the board cannot be read")
        self.portrait = self._load(pictures_dir, "portrait.bmp")

    @staticmethod
    def _load(pictures_dir, name):
        with Image.open(os.path.join(pictures_dir, name)) as image:
            return image.convert("RGB")

    def read(self, client_image):
        """Which piece's picture stands on each of the 21 cells (None: no tile matches)."""
        layout = []
        for cell in range(GRID + 1):
            x, y = cell_origin(cell)
            crop = client_image.crop((x + BORDER, y + BORDER, x + BORDER + PICTURE,
                                      y + BORDER + PICTURE))
            layout.append(self.piece_of.get(crop.tobytes()))
        return layout


def misplaced(tiles, client_image, layout, reach=3):
    """For the cells that show no known tile: which tile stands a few pixels off, and by how
    much, to tell a picture drawn off its place from a wrong picture."""
    notes = []
    for cell, piece in enumerate(layout):
        if piece is not None:
            continue
        x, y = cell_origin(cell)
        for dx in range(-reach, reach + 1):
            for dy in range(-reach, reach + 1):
                # The inside of the picture only: a border painted over its edge still tells.
                left, top = x + BORDER + INSET + dx, y + BORDER + INSET + dy
                crop = client_image.crop((left, top, left + PICTURE - 2 * INSET,
                                          top + PICTURE - 2 * INSET))
                found = tiles.piece_of_inside.get(crop.tobytes())
                if found is not None:
                    notes.append(f"p{found}'s picture on {cell_name(cell)} is "
                                 f"{dx:+d},{dy:+d} px off")
                    break
            else:
                continue
            break
        else:
            notes.append(f"no known picture near {cell_name(cell)}")
    return notes


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
    return subprocess.run(solver_command() + [str(w) for w in words], stdin=subprocess.DEVNULL,
                          capture_output=True, text=True, timeout=SOLVE_TIMEOUT, check=False)


def _failed(done):
    return RuntimeError(f"vorek-solve ended with status {done.returncode}: {done.stderr.strip()}")


def solvable(layout):
    """Whether slides can finish a board (the piece on each of the 21 cells, hole as 0)."""
    done = _solver(["--solvable"] + list(layout))
    answer = {0: "solvable", 1: "unsolvable"}.get(done.returncode)
    if answer is None or done.stdout.split() != [answer]:
        raise _failed(done)
    return done.returncode == 0


def solve(layout):
    """The pieces to click, in order, to finish a board: every piece home and the hole marker
    on the parking cell. During a game the last click is p20's, which wins it."""
    done = _solver(list(layout))
    if done.returncode == 1:
        raise ValueError(done.stderr.strip())
    if done.returncode != 0:
        raise _failed(done)
    return [int(word) for word in done.stdout.split()]
