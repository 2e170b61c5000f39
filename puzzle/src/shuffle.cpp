// shuffle.cpp: "Brasser", which reloads the main window and scatters the pieces.
#include "platform/errors.h"
#include "platform/text.h"
#include "puzzle/vorek.h"

namespace puzzle {

using platform::PictureBox;

namespace {
constexpr int kExchanges = 100;
constexpr int kCandidates = 19;  // p1 to p19; p20 and p0 are never drawn
}  // namespace

const PictureBox& Vorek::drawn(int draw) const {
  switch (draw) {
    case 1: return p1;
    case 2: return p2;
    case 3: return p3;
    case 4: return p4;
    case 5: return p5;
    case 6: return p6;
    case 7: return p7;
    case 8: return p8;
    case 9: return p9;
    case 10: return p10;
    case 11: return p11;
    case 12: return p12;
    case 13: return p13;
    case 14: return p14;
    case 15: return p15;
    case 16: return p16;
    case 17: return p17;
    case 18: return p18;
    case 19: return p19;
    default: throw platform::RuntimeError(platform::ErrorNumber::InvalidCall, "draw");
  }
}

// One exchange: a drawn piece jumps straight into the hole and leaves its cell as the new hole.
void Vorek::exchange(Cell& hole, Cell& vacated, int& exchanges) const {
  runtime().Randomize();
  const int draw = static_cast<int>(platform::Int(double(runtime().Rnd()) * kCandidates)) + 1;
  if (exchanges > 0) hole = vacated;
  const PictureBox& piece = drawn(draw);
  vacated = {piece.Left(), piece.Top()};
  piece.setLeft(hole.left);
  piece.setTop(hole.top);
  ++exchanges;
}

void Vorek::Command1_Click() const {
  // A fresh window from the design: the game before the click is never looked at.
  self_.Unload();
  self_.Show();
  p0.setTop(0);
  p0.setLeft(kParkingCell.left);
  p20.setLeft(kParkingCell.left);
  p20.setTop(kParkingCell.top);
  p0.setLeft(kLastCell.left);
  p0.setTop(kLastCell.top);
  Cell hole{p0.Left(), p0.Top()};
  // The marker waits off the grid while the pieces are exchanged.
  p0.setTop(0);
  p0.setLeft(kParkingCell.left);
  Cell vacated{};
  int exchanges = 0;
  while (exchanges < kExchanges) exchange(hole, vacated, exchanges);
  // Half of all hundred-exchange deals could never be solved by slides; one exchange more,
  // drawn the same way, until the deal can be.
  while (!solvable(exchanges, vacated)) exchange(hole, vacated, exchanges);
  p0.setLeft(vacated.left);
  p0.setTop(vacated.top);
  Quitter.setCaption(kPlaying);
}

}  // namespace puzzle
