#!/usr/bin/env python3
# test_board.py: the end-to-end suite's board reader, and the answers of vorek-solve through the
# suite's own helper, checked without a display.
import os
import random
import subprocess
import sys
import unittest

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))  # board.py beside this file
import board  # noqa: E402
from board import COLUMNS, GRID, HOLE, PARKED, PARKING  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
PICTURES = os.path.join(HERE, os.pardir, os.pardir, "forms", "pictures")
LAST = GRID - 1  # p20's home, beside the parking cell
SOLVED = list(range(1, GRID)) + [HOLE, PARKED]  # a game one click from its end
FINISHED = board.initial_layout()                # every piece home, the hole marker parked


def steps(a, b):
    return abs(a % COLUMNS - b % COLUMNS) + abs(a // COLUMNS - b // COLUMNS)


def play(layout, clicks):
    """Plays clicks by the game's rules: a piece beside the hole slides into it, and p20 moves
    only between its home and the parking cell. A click that moves nothing fails."""
    layout = list(layout)
    for piece in clicks:
        hole, cell = layout.index(HOLE), layout.index(piece)
        parking = {hole, cell} == {LAST, PARKING}
        slide = PARKING not in (hole, cell) and piece != PARKED and steps(hole, cell) == 1
        if not (parking or slide):
            raise AssertionError(f"p{piece} is not next to the hole")
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


class Solvability(unittest.TestCase):
    def test_boards_that_slides_reach_are_solvable(self):
        for seed in range(50):
            self.assertTrue(board.solvable(scrambled(seed)), seed)

    def test_one_swap_of_two_pieces_is_not(self):
        layout = list(SOLVED)
        layout[0], layout[1] = layout[1], layout[0]
        self.assertFalse(board.solvable(layout))

    def test_a_swap_with_the_hole_depends_on_its_distance(self):
        layout = list(SOLVED)
        layout[18], layout[19] = HOLE, layout[18]
        self.assertTrue(board.solvable(layout))  # that is one slide of p19
        layout = list(SOLVED)
        layout[19], layout[0] = layout[0], HOLE  # hole on (0,0) by a jump: 7 steps, one swap
        self.assertTrue(board.solvable(layout))
        layout = list(SOLVED)
        layout[19], layout[1] = layout[1], HOLE  # hole on (1,0): 6 steps, one swap
        self.assertFalse(board.solvable(layout))

    def test_a_finished_board_is_solvable(self):
        self.assertTrue(board.solvable(FINISHED))


class Solver(unittest.TestCase):
    def test_solves_scrambled_boards_by_legal_slides(self):
        for seed in range(8):
            layout = scrambled(seed)
            self.assertEqual(play(layout, board.solve(layout)), FINISHED, seed)

    def test_solved_board_needs_no_click(self):
        self.assertEqual(board.solve(FINISHED), [])

    def test_a_solved_grid_needs_only_p20_home(self):
        self.assertEqual(board.solve(SOLVED), [PARKED])

    def test_finishes_a_board_with_p20_home_and_the_hole_marker_parked(self):
        # p20 out and back in around a turn of three pieces: the board out of a game.
        layout = play(FINISHED, [20, 15, 14, 19, 15, 20])
        self.assertEqual(layout[PARKING], HOLE)
        self.assertNotEqual(layout, FINISHED)
        clicks = board.solve(layout)
        self.assertEqual((clicks[0], clicks[-1]), (PARKED, PARKED))
        self.assertEqual(play(layout, clicks), FINISHED)

    def test_reads_the_board_from_its_standard_input_too(self):
        layout = scrambled(5)
        done = subprocess.run(board.solver_command(), input=" ".join(map(str, layout)) + "\n",
                              capture_output=True, text=True, timeout=board.SOLVE_TIMEOUT)
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual([int(word) for word in done.stdout.split()], board.solve(layout))

    def test_refuses_an_unsolvable_board(self):
        layout = list(SOLVED)
        layout[0], layout[1] = layout[1], layout[0]
        with self.assertRaisesRegex(ValueError, "no slides can finish"):
            board.solve(layout)

    def test_refuses_what_is_no_board(self):
        for layout in (SOLVED[:-1], SOLVED[:-1] + [1], [HOLE if p == 7 else p for p in SOLVED],
                       list(range(1, 19)) + [HOLE, 20, 19]):
            with self.assertRaises(RuntimeError, msg=layout):
                board.solve(layout)
            with self.assertRaises(RuntimeError, msg=layout):
                board.solvable(layout)


class Reading(unittest.TestCase):
    def test_cells_in_pixels(self):
        self.assertEqual([board.cell_origin(c)[0] for c in range(5)], [0, 53, 107, 160, 213])
        self.assertEqual([board.cell_origin(5 * r)[1] for r in range(4)], [0, 53, 107, 160])
        self.assertEqual(board.cell_origin(board.PARKING), (267, 160))
        self.assertEqual((board.BOX, board.BORDER, board.PICTURE), (54, 2, 50))

    def test_reads_back_a_board_drawn_from_the_tiles(self):
        tiles = board.Tiles(PICTURES)
        layout = scrambled(3)
        canvas = board.Image.new("RGB", board.design.load().client("Vorek"), (239, 239, 239))
        for cell, piece in enumerate(layout):
            x, y = board.cell_origin(cell)
            canvas.paste(tiles.by_piece[piece], (x + board.BORDER, y + board.BORDER))
        self.assertEqual(tiles.read(canvas), layout)
        # One pixel off, nothing matches.
        shifted = board.Image.new("RGB", canvas.size, (239, 239, 239))
        shifted.paste(canvas, (1, 0))
        self.assertEqual(tiles.read(shifted), [None] * (GRID + 1))
        notes = board.misplaced(tiles, shifted, tiles.read(shifted))
        self.assertEqual(notes[0], f"p{layout[0]}'s picture on (0,0) is +1,+0 px off")
        self.assertEqual(len(notes), GRID + 1)


if __name__ == "__main__":
    unittest.main()
