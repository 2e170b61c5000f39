// solver.cpp: weighted A* over slides, with Manhattan distances; quick rather than shortest.
#include "solver.h"

#include <cstdint>
#include <cstdlib>
#include <queue>
#include <unordered_map>

namespace vorek_test {
namespace {

constexpr int kColumns = 5;
constexpr int kWeight = 3;                  // trades length for speed
constexpr std::size_t kGiveUp = 3'000'000;  // nodes

int manhattan(const Grid& g) {
  int sum = 0;
  for (int i = 0; i < 20; ++i) {
    if (g[static_cast<std::size_t>(i)] == 0) continue;
    const int home = g[static_cast<std::size_t>(i)] - 1;
    sum += std::abs(i % kColumns - home % kColumns) + std::abs(i / kColumns - home / kColumns);
  }
  return sum;
}

// The arrangement's rank among the 20! permutations, which fits in 64 bits: an exact key.
std::uint64_t key(const Grid& g) {
  std::uint64_t rank = 0;
  for (std::size_t i = 0; i < g.size(); ++i) {
    std::uint64_t smaller = 0;
    for (std::size_t j = i + 1; j < g.size(); ++j) smaller += g[j] < g[i] ? 1 : 0;
    rank = rank * (g.size() - i) + smaller;
  }
  return rank;
}

int holeOf(const Grid& g) {
  for (int i = 0; i < 20; ++i) {
    if (g[static_cast<std::size_t>(i)] == 0) return i;
  }
  return -1;
}

struct Node {
  int f;
  int g;
  Grid cells;
  bool operator<(const Node& other) const { return f > other.f; }
};

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
  const int hole = holeOf(cells);
  const int distance = std::abs(hole % kColumns - 4) + std::abs(hole / kColumns - 3);
  return transpositions % 2 == distance % 2;
}

std::optional<std::vector<int>> solve(const Grid& start) {
  if (!solvableGrid(start)) return std::nullopt;
  struct Seen {
    Grid parent;
    int moved;
    int g;
  };
  std::unordered_map<std::uint64_t, Seen> seen;
  std::priority_queue<Node> open;
  seen[key(start)] = {start, 0, 0};
  open.push({kWeight * manhattan(start), 0, start});
  while (!open.empty() && seen.size() < kGiveUp) {
    const Node node = open.top();
    open.pop();
    if (manhattan(node.cells) == 0) {
      std::vector<int> clicks;
      for (Grid at = node.cells; at != start;) {
        const Seen& s = seen.at(key(at));
        clicks.insert(clicks.begin(), s.moved);
        at = s.parent;
      }
      return clicks;
    }
    const int hole = holeOf(node.cells);
    const int neighbours[] = {hole - kColumns, hole + kColumns, hole % kColumns ? hole - 1 : -1,
                              hole % kColumns < 4 ? hole + 1 : -1};
    for (int from : neighbours) {
      if (from < 0 || from >= 20) continue;
      Grid next = node.cells;
      std::swap(next[static_cast<std::size_t>(hole)], next[static_cast<std::size_t>(from)]);
      auto [it, fresh] = seen.try_emplace(
          key(next), Seen{node.cells, next[static_cast<std::size_t>(hole)], node.g + 1});
      if (!fresh) continue;
      open.push({node.g + 1 + kWeight * manhattan(next), node.g + 1, next});
    }
  }
  return std::nullopt;
}

}  // namespace vorek_test
