// solver.cpp: weighted A* stage by stage: the top row home, then the second row without touching
// the first, then the last two rows. Each stage searches the places of its own pieces and of the
// hole only, so that every deal is solved in a fraction of a second and little memory, also
// under Wine or Node.js; quick rather than shortest.
#include "solver.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <queue>
#include <tuple>
#include <unordered_map>

namespace vorek_test {
namespace {

constexpr int kColumns = 5;
constexpr int kCells = 20;
constexpr std::size_t kGiveUp = 2'000'000;  // positions in one stage

int distance(int a, int b) {
  return std::abs(a % kColumns - b % kColumns) + std::abs(a / kColumns - b / kColumns);
}

int cellOf(const Grid& g, int piece) {
  return static_cast<int>(std::find(g.begin(), g.end(), piece) - g.begin());
}

// Pieces `first` to `last` go home without the hole entering the cells before `fixed`; the
// estimate weighs weight / per against the steps: heavier is quicker, lighter is shorter.
struct Stage {
  int first, last, fixed, weight, per;
};
constexpr Stage kStages[] = {{1, 5, 0, 3, 1}, {6, 10, 5, 3, 1}, {11, 19, 10, 3, 2}};

// A stage's position: the cell of each of its pieces, then the hole's, five bits each.
constexpr int kMostPieces = 9;
using Places = std::array<int, kMostPieces + 1>;
using Key = std::uint64_t;

Key pack(const Places& at, int count) {
  Key key = 0;
  for (int i = count; i >= 0; --i)
    key = key << 5 | static_cast<Key>(at[static_cast<std::size_t>(i)]);
  return key;
}

Places unpack(Key key, int count) {
  Places at{};
  for (int i = 0; i <= count; ++i, key >>= 5)
    at[static_cast<std::size_t>(i)] = static_cast<int>(key & 31);
  return at;
}

// The cells the hole moves to, in turn, that bring the stage's pieces home.
std::optional<std::vector<int>> bringHome(const Grid& grid, const Stage& stage) {
  const int count = stage.last - stage.first + 1;
  const auto hole = static_cast<std::size_t>(count);
  const auto estimate = [&](const Places& at) {
    int sum = 0;
    for (int i = 0; i < count; ++i)
      sum += distance(at[static_cast<std::size_t>(i)], stage.first + i - 1);
    return sum;
  };
  Places start{};
  for (int i = 0; i < count; ++i)
    start[static_cast<std::size_t>(i)] = cellOf(grid, stage.first + i);
  start[hole] = cellOf(grid, 0);

  struct Seen {
    Key parent;
    int steps;
  };
  std::unordered_map<Key, Seen> seen;
  using Open = std::tuple<int, int, Key>;  // estimated total, steps, position
  std::priority_queue<Open, std::vector<Open>, std::greater<>> open;
  const Key first = pack(start, count);
  seen[first] = {first, 0};
  open.emplace(stage.weight * estimate(start), 0, first);
  while (!open.empty() && seen.size() < kGiveUp) {
    const auto [total, steps, key] = open.top();
    open.pop();
    if (steps > seen.at(key).steps) continue;  // reached more quickly since
    const Places at = unpack(key, count);
    if (estimate(at) == 0) {
      std::vector<int> holes;
      for (Key k = key; k != first; k = seen.at(k).parent) holes.push_back(unpack(k, count)[hole]);
      std::reverse(holes.begin(), holes.end());
      return holes;
    }
    const int from = at[hole];
    const int neighbours[] = {from - kColumns, from + kColumns, from % kColumns ? from - 1 : -1,
                              from % kColumns < kColumns - 1 ? from + 1 : -1};
    for (const int to : neighbours) {
      if (to < stage.fixed || to >= kCells) continue;
      Places next = at;
      std::replace(next.begin(), next.begin() + count, to, from);
      next[hole] = to;
      const Key nextKey = pack(next, count);
      const auto found = seen.find(nextKey);
      if (found != seen.end() && found->second.steps <= steps + 1) continue;
      seen[nextKey] = {key, steps + 1};
      open.emplace(stage.per * (steps + 1) + stage.weight * estimate(next), steps + 1, nextKey);
    }
  }
  return std::nullopt;
}

}  // namespace

bool solvableGrid(const Grid& cells) {
  // Parity of the permutation taking each cell to its content's home (hole's home: cell 19).
  std::array<bool, 20> seen{};
  int transpositions = 0;
  for (int start = 0; start < 20; ++start) {
    int length = 0;
    for (int i = start; !seen[static_cast<std::size_t>(i)]; ++length) {
      seen[static_cast<std::size_t>(i)] = true;
      const int v = cells[static_cast<std::size_t>(i)];
      i = v == 0 ? 19 : v - 1;
    }
    if (length > 0) transpositions += length - 1;
  }
  return transpositions % 2 == distance(cellOf(cells, 0), kCells - 1) % 2;
}

std::optional<std::vector<int>> solve(const Grid& start) {
  if (!solvableGrid(start)) return std::nullopt;
  Grid grid = start;
  std::vector<int> clicks;
  for (const Stage& stage : kStages) {
    const auto holes = bringHome(grid, stage);
    if (!holes) return std::nullopt;
    for (const int cell : *holes) {
      const auto hole = static_cast<std::size_t>(cellOf(grid, 0));
      clicks.push_back(grid[static_cast<std::size_t>(cell)]);
      std::swap(grid[hole], grid[static_cast<std::size_t>(cell)]);
    }
  }
  return clicks;
}

}  // namespace vorek_test
