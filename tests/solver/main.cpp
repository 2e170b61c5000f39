// main.cpp: vorek-solve, the clicks that finish a board: the one solver of the suites that play
// the real program from outside, whatever their language.
//   vorek-solve [--solvable] [PIECE...]
// The board is the piece on each of the 21 cells, row by row from the top-left, the parking cell
// last; 0 is the hole marker. It comes from the arguments, or from the standard input when there
// are none. Prints the pieces to click, in order, that bring every piece home and the hole marker
// to the parking cell, p20's last move included: nothing for a finished board. With --solvable,
// says only whether slides can finish it.
// Status: 0 done (solvable), 1 no slides can finish the board, 2 not a board, 3 search gave up.
#include <algorithm>
#include <exception>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "solver.h"

namespace {

constexpr std::size_t kCells = 21;
constexpr std::size_t kParking = 20;
constexpr std::size_t kLastCell = 19;  // p20's home, beside the parking cell
constexpr int kParked = 20;            // the piece that waits on the parking cell during a game
constexpr int kHole = 0;

enum Status { kDone = 0, kUnsolvable = 1, kNotABoard = 2, kGaveUp = 3 };

using Board = std::vector<int>;

int notABoard(const std::string& why) {
  std::cerr << "vorek-solve: " << why << "\n"
            << "usage: vorek-solve [--solvable] [PIECE...]\n"
               "  the piece on each of the 21 cells, row by row, the parking cell last;\n"
               "  0 is the hole marker; from the standard input when no piece is given\n";
  return kNotABoard;
}

std::string text(const Board& board) {
  std::ostringstream out;
  for (std::size_t i = 0; i < board.size(); ++i) {
    out << (i == 0 ? "" : i == kParking ? " | " : i % 5 == 0 ? " / " : " ") << board[i];
  }
  return out.str();
}

// Every word a whole number, each piece and the hole marker once; empty with `why` otherwise.
Board read(const std::vector<std::string>& words, std::string& why) {
  Board board;
  std::vector<bool> seen(kCells, false);
  for (const std::string& word : words) {
    std::size_t used = 0;
    int piece = -1;
    try {
      piece = std::stoi(word, &used);
    } catch (const std::exception&) {
      used = 0;
    }
    if (used != word.size() || piece < 0 || piece >= static_cast<int>(kCells)) {
      why = "\"" + word + "\" is no piece (0 to 20)";
      return {};
    }
    if (seen[static_cast<std::size_t>(piece)]) {
      why = "p" + std::to_string(piece) + " stands twice";
      return {};
    }
    seen[static_cast<std::size_t>(piece)] = true;
    board.push_back(piece);
  }
  if (board.size() != kCells) {
    why = std::to_string(board.size()) + " cells given, 21 wanted";
    return {};
  }
  return board;
}

}  // namespace

int main(int argc, char** argv) {
  bool onlySolvable = false;
  std::vector<std::string> words;
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    if (word == "--solvable") {
      onlySolvable = true;
    } else {
      words.push_back(word);
    }
  }
  if (words.empty()) {
    for (std::string word; std::cin >> word;) words.push_back(word);
  }
  std::string why;
  const Board board = read(words, why);
  if (board.empty()) return notABoard(why);

  // During a game p20 waits on the parking cell; out of one it stands home, the hole marker
  // parked beside it. The rules move it nowhere else.
  vorek_test::Grid grid{};
  std::copy(board.begin(), board.begin() + grid.size(), grid.begin());
  std::vector<int> clicks;
  if (board[kParking] == kHole && board[kLastCell] == kParked) {
    bool home = true;
    for (std::size_t i = 0; i < grid.size(); ++i) home &= grid[i] == static_cast<int>(i) + 1;
    if (home) {
      std::cout << (onlySolvable ? "solvable\n" : "\n");
      return kDone;
    }
    clicks.push_back(kParked);  // to the parking cell, the hole marker to p20's home
    grid[kLastCell] = kHole;
  } else if (board[kParking] != kParked) {
    return notABoard("p20 stands neither on the parking cell nor home beside the hole marker: " +
                     text(board));
  }

  const bool solvable = vorek_test::solvableGrid(grid);
  if (onlySolvable) {
    std::cout << (solvable ? "solvable\n" : "unsolvable\n");
    return solvable ? kDone : kUnsolvable;
  }
  if (!solvable) {
    std::cerr << "vorek-solve: no slides can finish " << text(board) << "\n";
    return kUnsolvable;
  }
  const auto slides = vorek_test::solve(grid);
  if (!slides) {
    std::cerr << "vorek-solve: the search gave up on " << text(board) << "\n";
    return kGaveUp;
  }
  clicks.insert(clicks.end(), slides->begin(), slides->end());
  clicks.push_back(kParked);  // p20 home: the board is finished
  for (std::size_t i = 0; i < clicks.size(); ++i) std::cout << (i ? " " : "") << clicks[i];
  std::cout << "\n";
  return kDone;
}
