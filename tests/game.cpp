// game.cpp: the test harness around the program and the board notation.
#include "game.h"

#include <algorithm>
#include <array>
#include <sstream>
#include <stdexcept>

#include "puzzle/board.h"

namespace vorek_test {

std::array<const platform::PictureBox*, 21> pieces(const puzzle::Vorek& v) {
  return {&v.p0,  &v.p1,  &v.p2,  &v.p3,  &v.p4,  &v.p5,  &v.p6,  &v.p7,  &v.p8,  &v.p9, &v.p10,
          &v.p11, &v.p12, &v.p13, &v.p14, &v.p15, &v.p16, &v.p17, &v.p18, &v.p19, &v.p20};
}

namespace {

// Cells in reading order: the twenty grid cells, then the parking cell.
puzzle::Cell cellAt(int i) { return i < 20 ? puzzle::homeCell(i + 1) : puzzle::kParkingCell; }

}  // namespace

Game::Game(std::unique_ptr<platform::Random> generator)
    : random(std::move(generator)), runtime(forms::project(), host, *random), program(runtime) {
  runtime.start();
}

void Game::click(forms::FormSlot slot, std::string_view control) {
  platform::Form& form = runtime.form(slot);
  const int index = form.design().indexOf(control);
  if (index < 0) throw std::invalid_argument("no such control");
  runtime.click(slot, form.generation(), index);
}

void Game::play(const std::string& actions) {
  std::istringstream in(actions);
  for (std::string action; in >> action;) {
    const auto dot = action.find('.');
    if (dot == std::string::npos) {
      click(action);
      continue;
    }
    const auto& all = runtime.project().forms;
    const auto form = std::find_if(all.begin(), all.end(),
                                   [&](auto* f) { return f->name == action.substr(0, dot); });
    if (form == all.end()) throw std::invalid_argument("no such form");
    const auto slot = static_cast<forms::FormSlot>(form - all.begin());
    if (action.substr(dot + 1) == "close") {
      close(slot);
    } else {
      click(slot, action.substr(dot + 1));
    }
  }
}

void Game::close(forms::FormSlot slot) {
  runtime.closeRequest(slot, runtime.form(slot).generation());
}

std::unique_ptr<platform::ScriptedRandom> drawing(const std::vector<int>& pieces) {
  std::vector<float> numbers;
  // The middle of the interval that draws piece k: whole part of (x * 19) + 1 = k.
  for (int k : pieces) numbers.push_back((static_cast<float>(k) - 0.5f) / 19.0f);
  return std::make_unique<platform::ScriptedRandom>(std::move(numbers));
}

std::string layout(const puzzle::Vorek& vorek) {
  std::array<std::string, 21> cells;
  cells.fill("");
  const auto all = pieces(vorek);
  for (int k = 0; k <= 20; ++k) {
    const puzzle::Cell at{all[static_cast<std::size_t>(k)]->Left(),
                          all[static_cast<std::size_t>(k)]->Top()};
    for (int i = 0; i < 21; ++i) {
      if (cellAt(i) != at) continue;
      auto& cell = cells[static_cast<std::size_t>(i)];
      cell = cell.empty() ? (k == 0 ? "_" : std::to_string(k)) : "?";
    }
  }
  std::string text;
  for (int i = 0; i < 21; ++i) {
    if (i > 0) text += i == 20 ? " | " : (i % 5 == 0 ? " / " : " ");
    const auto& cell = cells[static_cast<std::size_t>(i)];
    text += cell.empty() ? "?" : cell;
  }
  return text;
}

void arrange(const puzzle::Vorek& vorek, const std::string& board) {
  std::istringstream in(board);
  const auto all = pieces(vorek);
  int i = 0;
  for (std::string token; in >> token;) {
    if (token == "/" || token == "|") continue;
    const int k = token == "_" ? 0 : std::stoi(token);
    const puzzle::Cell cell = cellAt(i++);
    all.at(static_cast<std::size_t>(k))->setLeft(cell.left);
    all.at(static_cast<std::size_t>(k))->setTop(cell.top);
  }
  if (i != 21) throw std::invalid_argument("a board has 21 cells");
}

}  // namespace vorek_test
