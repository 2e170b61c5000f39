// board.h: cells, home cells and the solvability of a board.
#pragma once

#include "platform/twips.h"

namespace puzzle {

using platform::Twips;

// The pitch between neighbouring cells, across and down.
inline constexpr Twips kStep = 800;
inline constexpr int kColumns = 5;
inline constexpr int kRows = 4;

// A (Left, Top) pair: the top-left corner of a piece's box in the main window.
struct Cell {
  Twips left;
  Twips top;
  friend constexpr bool operator==(const Cell&, const Cell&) = default;
};

// One step right of the grid's bottom-right cell; only p20 and the hole marker stand there.
inline constexpr Cell kParkingCell{4000, 2400};
// Where p20 lives, and where the hole must be before p20 can come home.
inline constexpr Cell kLastCell{3200, 2400};

// Piece k (1 to 20) is numbered row by row from the top-left corner.
constexpr Cell homeCell(int k) {
  return {kStep * static_cast<Twips>((k - 1) % kColumns),
          kStep * static_cast<Twips>((k - 1) / kColumns)};
}

constexpr bool inGrid(Cell cell) {
  const auto onPitch = [](Twips v, int count) {
    for (int i = 0; i < count; ++i) {
      if (v == kStep * static_cast<Twips>(i)) return true;
    }
    return false;
  };
  return onPitch(cell.left, kColumns) && onPitch(cell.top, kRows);
}

// Columns plus rows between two grid cells.
int stepsBetween(Cell a, Cell b);

// Every exchange of a piece with the hole flips the parity of the arrangement, and every slide
// is such an exchange that also moves the hole by one step. Slides can therefore bring a board
// reached by `exchanges` exchanges back to the solved grid (hole on the last cell) exactly when
// the hole stands an even number of steps from the last cell after an even number of exchanges,
// or an odd number after an odd number.
bool solvable(int exchanges, Cell hole);

}  // namespace puzzle
