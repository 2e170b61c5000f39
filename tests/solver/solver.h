// solver.h: a sliding-puzzle solver for the tests, which plays real shuffles by slides only.
#pragma once

#include <array>
#include <optional>
#include <vector>

namespace vorek_test {

// cells[i] is the piece on grid cell i (reading order), 0 for the hole.
using Grid = std::array<int, 20>;

// Parity test, independent of how the board was dealt: the arrangement's permutation parity
// against the hole's distance from the last cell.
bool solvableGrid(const Grid& cells);

// The pieces to click, in order, to reach pieces 1 to 19 home with the hole on the last cell;
// nothing when the board cannot be solved or the search gives up.
std::optional<std::vector<int>> solve(const Grid& cells);

}  // namespace vorek_test
