# test_board.py: the suites' board reader and notation, and the answers of vorek-solve through
# their helper, checked without a display.
import random
import subprocess

import pytest
from PIL import Image

import board
from board import COLUMNS, GRID, HOLE, PARKED, PARKING

SOLVED = list(range(1, GRID)) + [HOLE, PARKED]  # a game one click from its end
FINISHED = board.initial_layout()                # every piece home, the hole marker parked
SWAPPED = [2, 1] + SOLVED[2:]                    # two pieces swapped: no slides finish it


def steps(a, b):
    return abs(a % COLUMNS - b % COLUMNS) + abs(a // COLUMNS - b // COLUMNS)


def play(layout, clicks):
    """Plays clicks by the game's rules: a piece beside the hole slides into it, and p20 moves
    only between its home and the parking cell. A click that moves nothing fails."""
    layout = list(layout)
    for piece in clicks:
        hole, cell = layout.index(HOLE), layout.index(piece)
        parking = {hole, cell} == {GRID - 1, PARKING}
        slide = PARKING not in (hole, cell) and piece != PARKED and steps(hole, cell) == 1
        assert parking or slide, f"p{piece} is not next to the hole"
        layout[hole], layout[cell] = piece, HOLE
    return layout


def scrambled(seed, moves=400):
    """A deal that slides reach from the solved one, p20 parked: always solvable."""
    rng = random.Random(seed)
    layout = list(SOLVED)
    for _ in range(moves):
        hole = layout.index(HOLE)
        cell = rng.choice([c for c in range(GRID) if steps(hole, c) == 1])
        layout[hole], layout[cell] = layout[cell], HOLE
    return layout


def moved(layout, **cells):
    """The layout with pieces put on cells: c18=HOLE puts the hole on cell 18."""
    layout = list(layout)
    for cell, piece in cells.items():
        layout[int(cell[1:])] = piece
    return layout


@pytest.mark.parametrize("layout, answer", [
    *((scrambled(seed), True) for seed in range(50)),  # what slides reach
    (SWAPPED, False),
    (moved(SOLVED, c18=HOLE, c19=19), True),  # one slide of p19
    (moved(SOLVED, c19=1, c0=HOLE), True),    # hole on (0,0) by a jump: 7 steps, one swap
    (moved(SOLVED, c19=2, c1=HOLE), False),   # hole on (1,0): 6 steps, one swap
    (FINISHED, True)])
def test_solvable(layout, answer):
    assert board.solvable(layout) == answer


@pytest.mark.parametrize("seed", range(8))
def test_solves_scrambled_boards_by_legal_slides(seed):
    layout = scrambled(seed)
    assert play(layout, board.solve(layout)) == FINISHED


def test_a_finished_board_needs_no_click_and_a_solved_grid_only_p20_home():
    assert board.solve(FINISHED) == []
    assert board.solve(SOLVED) == [PARKED]


def test_finishes_a_board_with_p20_home_and_the_hole_marker_parked():
    # p20 out and back in around a turn of three pieces: the board out of a game.
    layout = play(FINISHED, [20, 15, 14, 19, 15, 20])
    assert layout[PARKING] == HOLE and layout != FINISHED
    clicks = board.solve(layout)
    assert (clicks[0], clicks[-1]) == (PARKED, PARKED)
    assert play(layout, clicks) == FINISHED


def test_reads_the_board_from_its_standard_input_too():
    layout = scrambled(5)
    done = subprocess.run(board.solver_command(), input=" ".join(map(str, layout)) + "\n",
                          capture_output=True, text=True, timeout=board.SOLVE_TIMEOUT)
    assert done.returncode == 0, done.stderr
    assert [int(word) for word in done.stdout.split()] == board.solve(layout)


def test_refuses_an_unsolvable_board():
    with pytest.raises(ValueError, match="no slides can finish"):
        board.solve(SWAPPED)


@pytest.mark.parametrize("layout", [SOLVED[:-1], SOLVED[:-1] + [1], moved(SOLVED, c6=HOLE),
                                    list(range(1, 19)) + [HOLE, 20, 19]])
@pytest.mark.parametrize("ask", [board.solve, board.solvable])
def test_refuses_what_is_no_board(ask, layout):
    with pytest.raises(RuntimeError):
        ask(layout)


def test_cells_in_pixels():
    # The boxes tile the grid from the corner, each overlapping the next by a pixel at most;
    # the parking cell stands right of the grid's last cell.
    xs = [board.cell_origin(c)[0] for c in (*range(COLUMNS), PARKING)]
    ys = [board.cell_origin(r * COLUMNS)[1] for r in range(board.ROWS)] + [board.CELLS[PARKING][1]]
    assert xs[0] == ys[0] == 0 and ys[-1] == ys[-2]
    assert all(board.BOX - 1 <= b - a <= board.BOX for a, b in zip(xs, xs[1:]))
    assert all(board.BOX - 1 <= b - a <= board.BOX for a, b in zip(ys, ys[1:-1]))
    assert board.BOX == board.PICTURE + 2 * board.BORDER and board.BORDER > 0


def test_describes_a_board_in_the_shared_notation():
    assert board.describe(FINISHED) == \
        "1 2 3 4 5 / 6 7 8 9 10 / 11 12 13 14 15 / 16 17 18 19 20 | _"
    assert board.describe(moved(SOLVED, c0=None)) == \
        "? 2 3 4 5 / 6 7 8 9 10 / 11 12 13 14 15 / 16 17 18 19 _ | 20"


def test_reads_back_a_board_drawn_from_the_tiles():
    tiles = board.Tiles()
    layout = scrambled(3)
    canvas = Image.new("RGB", board.FIGURES.client("Vorek"), (239, 239, 239))
    for cell, piece in enumerate(layout):
        x, y = board.cell_origin(cell)
        canvas.paste(tiles.by_piece[piece], (x + board.BORDER, y + board.BORDER))
    assert tiles.read(canvas) == layout
    # One pixel off, nothing matches.
    shifted = Image.new("RGB", canvas.size, (239, 239, 239))
    shifted.paste(canvas, (1, 0))
    assert tiles.read(shifted) == [None] * (GRID + 1)
    notes = tiles.misplaced(shifted, tiles.read(shifted))
    assert notes[0] == f"p{layout[0]}'s picture on (0,0) is +1,+0 px off"
    assert len(notes) == GRID + 1
