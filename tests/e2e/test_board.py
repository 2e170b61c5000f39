#!/usr/bin/env python3
# test_board.py: the end-to-end suite's own board reader and solver, checked without a display.
import os
import random
import sys
import unittest

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))  # board.py beside this file
import board  # noqa: E402
from board import GRID, HOLE  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
PICTURES = os.path.join(HERE, os.pardir, os.pardir, "forms", "pictures")
SOLVED = list(range(1, GRID)) + [HOLE]


def slide(grid, clicks):
    """Plays clicks by the game's slide rule; a click on a piece not next to the hole fails."""
    grid = list(grid)
    for piece in clicks:
        hole, cell = grid.index(HOLE), grid.index(piece)
        if abs(hole % 5 - cell % 5) + abs(hole // 5 - cell // 5) != 1:
            raise AssertionError(f"p{piece} is not next to the hole")
        grid[hole], grid[cell] = piece, HOLE
    return grid


def scrambled(seed, moves=400):
    """A board that slides reach from the solved one: always solvable."""
    rng = random.Random(seed)
    grid = list(SOLVED)
    for _ in range(moves):
        hole = grid.index(HOLE)
        cell = rng.choice(board._NEIGHBOURS[hole])
        grid[hole], grid[cell] = grid[cell], HOLE
    return grid


class Solvability(unittest.TestCase):
    def test_boards_that_slides_reach_are_solvable(self):
        for seed in range(50):
            self.assertTrue(board.solvable(scrambled(seed)), seed)

    def test_one_swap_of_two_pieces_is_not(self):
        grid = list(SOLVED)
        grid[0], grid[1] = grid[1], grid[0]
        self.assertFalse(board.solvable(grid))

    def test_a_swap_with_the_hole_depends_on_its_distance(self):
        grid = list(SOLVED)
        grid[18], grid[19] = HOLE, grid[18]
        self.assertTrue(board.solvable(grid))  # that is one slide of p19
        grid = list(SOLVED)
        grid[19], grid[0] = grid[0], HOLE  # hole on (0,0) by a jump: 7 steps, one swap
        self.assertTrue(board.solvable(grid))
        grid = list(SOLVED)
        grid[19], grid[1] = grid[1], HOLE  # hole on (1,0): 6 steps, one swap
        self.assertFalse(board.solvable(grid))


class Solver(unittest.TestCase):
    def test_solves_scrambled_boards_by_legal_slides(self):
        for seed in range(8):
            grid = scrambled(seed)
            self.assertEqual(slide(grid, board.solve(grid)), SOLVED, seed)

    def test_solved_board_needs_no_click(self):
        self.assertEqual(board.solve(SOLVED), [])

    def test_refuses_an_unsolvable_board(self):
        grid = list(SOLVED)
        grid[0], grid[1] = grid[1], grid[0]
        with self.assertRaises(ValueError):
            board.solve(grid)


class Reading(unittest.TestCase):
    def test_cells_in_pixels(self):
        self.assertEqual([board.cell_origin(c)[0] for c in range(5)], [0, 53, 107, 160, 213])
        self.assertEqual([board.cell_origin(5 * r)[1] for r in range(4)], [0, 53, 107, 160])
        self.assertEqual(board.cell_origin(board.PARKING), (267, 160))

    def test_reads_back_a_board_drawn_from_the_tiles(self):
        tiles = board.Tiles(PICTURES)
        layout = scrambled(3) + [board.PARKED]
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
