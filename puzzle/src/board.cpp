// board.cpp: distances on the grid and the parity rule of solvable boards.
#include "puzzle/board.h"

#include <cmath>

namespace puzzle {

int stepsBetween(Cell a, Cell b) {
  return static_cast<int>(std::fabs(a.left - b.left) / kStep + std::fabs(a.top - b.top) / kStep);
}

bool solvable(int exchanges, Cell hole) {
  return exchanges % 2 == stepsBetween(hole, kLastCell) % 2;
}

}  // namespace puzzle
