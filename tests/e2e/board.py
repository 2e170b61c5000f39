# board.py: the board as the screen shows it, read by its tiles, and a solver for it.
import heapq
import os
import sys

from PIL import Image

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import design  # noqa: E402

COLUMNS, ROWS = 5, 4
GRID = COLUMNS * ROWS
PARKING = GRID  # the cell index of the parking cell, right of the grid's last cell
TWIPS_PER_PIXEL = 15
STEP_TWIPS = 800
PICTURE = 50   # a tile's side in pixels
BORDER = 2     # the sunken border around each picture
BOX = design.load().rect("Vorek", "p1")[2]  # a picture box's side in pixels
INSET = 4      # how far inside a picture the search for a misplaced one looks
HOLE = 0       # p0, the white marker of the free cell
PARKED = 20    # p20, the piece that waits on the parking cell during a game


def pixels(twips):
    # Twips to pixels, rounded to the nearest pixel (no position falls on a half).
    return (2 * twips + TWIPS_PER_PIXEL) // (2 * TWIPS_PER_PIXEL)


def cell_origin(cell):
    """The top-left corner, in client pixels, of the picture box standing on a cell."""
    if cell == PARKING:
        return pixels(5 * STEP_TWIPS), pixels(3 * STEP_TWIPS)
    return pixels(STEP_TWIPS * (cell % COLUMNS)), pixels(STEP_TWIPS * (cell // COLUMNS))


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


def solvable(grid):
    """Whether slides can bring the 20-cell grid (hole as 0) to p1..p19 home, hole last.

    A slide swaps the hole with a neighbour: one transposition and one step of the hole, so the
    permutation's parity always equals the parity of the hole's distance from its goal cell."""
    order = [GRID if p == HOLE else p for p in grid]
    seen, cycles = [False] * GRID, 0
    for start in range(GRID):
        if not seen[start]:
            cycles += 1
            at = start
            while not seen[at]:
                seen[at] = True
                at = order[at] - 1
    hole = grid.index(HOLE)
    distance = (COLUMNS - 1 - hole % COLUMNS) + (ROWS - 1 - hole // COLUMNS)
    return (GRID - cycles) % 2 == distance % 2


def _neighbours(cell):
    c, r = cell % COLUMNS, cell // COLUMNS
    found = []
    if c > 0:
        found.append(cell - 1)
    if c < COLUMNS - 1:
        found.append(cell + 1)
    if r > 0:
        found.append(cell - COLUMNS)
    if r < ROWS - 1:
        found.append(cell + COLUMNS)
    return found


_NEIGHBOURS = [_neighbours(cell) for cell in range(GRID)]


def _distance(a, b):
    return abs(a % COLUMNS - b % COLUMNS) + abs(a // COLUMNS - b // COLUMNS)


def _bring_home(grid, pieces, frozen, weight):
    """Hole moves that bring `pieces` home without touching `frozen` cells (weighted A* on the
    positions of those pieces and of the hole; the other pieces are interchangeable here)."""
    start = (tuple(grid.index(p) for p in pieces), grid.index(HOLE))
    homes = [home(p) for p in pieces]

    def estimate(state):
        return sum(_distance(at, goal) for at, goal in zip(state[0], homes))

    queue = [(weight * estimate(start), 0, start)]
    came_from = {start: None}
    cost = {start: 0}
    while queue:
        _, steps, state = heapq.heappop(queue)
        if estimate(state) == 0:
            break
        if steps > cost[state]:
            continue
        at, hole = state
        for cell in _NEIGHBOURS[hole]:
            if cell in frozen:
                continue
            moved = tuple(hole if a == cell else a for a in at)
            following = (moved, cell)
            if steps + 1 < cost.get(following, 1 << 30):
                cost[following] = steps + 1
                came_from[following] = (state, cell)
                heapq.heappush(queue, (steps + 1 + weight * estimate(following), steps + 1,
                                       following))
    else:
        raise ValueError("no way home for " + ", ".join(f"p{p}" for p in pieces))
    holes = []
    while came_from[state] is not None:
        state, cell = came_from[state]
        holes.append(cell)
    return holes[::-1]


def solve(grid):
    """The pieces to click, in order, to take a solvable grid (hole as 0) to p1..p19 home with
    the hole on the last cell: the top row first, then the second, then the last two rows."""
    if not solvable(grid):
        raise ValueError("this board cannot be solved by slides")
    grid = list(grid)
    clicks = []
    stages = ((range(1, 6), set(), 3), (range(6, 11), set(range(5)), 3),
              (range(11, 20), set(range(10)), 1.5))
    for pieces, frozen, weight in stages:
        for cell in _bring_home(grid, list(pieces), frozen, weight):
            hole = grid.index(HOLE)
            clicks.append(grid[cell])
            grid[hole], grid[cell] = grid[cell], HOLE
    if grid != list(range(1, GRID)) + [HOLE]:
        raise ValueError("the solver's moves end on " + describe(grid + [PARKED]))
    return clicks
