// game.h: the whole program on the display-free host, and a short notation for boards.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "forms/forms.h"
#include "platform/null_host.h"
#include "platform/random.h"
#include "platform/runtime.h"
#include "platform/scripted_random.h"

namespace vorek_test {

// The program as it runs, minus the display: clicks go through the runtime's dispatcher.
struct Game {
  explicit Game(std::unique_ptr<platform::Random> generator =
                    std::make_unique<platform::MersenneRandom>(12345u, [] { return 0.0; }));

  platform::NullHost host;
  std::unique_ptr<platform::Random> random;
  platform::Runtime runtime;
  forms::Program program;
  const puzzle::Vorek& vorek() const { return program.vorek; }

  // The player's click on a control of a window, through the runtime as the views send it.
  void click(forms::FormSlot slot, std::string_view control);
  void click(std::string_view mainWindowControl) { click(forms::kVorek, mainWindowControl); }
  void close(forms::FormSlot slot);
  bool loaded(forms::FormSlot slot) { return runtime.created(slot) && runtime.form(slot).loaded(); }
  bool ended() const { return runtime.ended(); }
  // The player's actions one after the other: "p20" clicks the main window's control,
  // "Sujet.ok" another window's, "V_portrait.close" closes a window by its title bar.
  void play(const std::string& actions);
};

// Draws that name the given pieces, one after the other.
std::unique_ptr<platform::ScriptedRandom> drawing(const std::vector<int>& pieces);

// The 21 pieces by number, p0 first; tests may reach them by number, the program may not.
std::array<const platform::PictureBox*, 21> pieces(const puzzle::Vorek& vorek);

// Boards as rows of five cells, top to bottom, then the parking cell after "|"; a number is the
// piece standing there, "_" the hole marker p0:
//   "1 2 3 4 5 / 6 7 8 9 10 / 11 12 13 14 15 / 16 17 18 19 20 | _"   (the initial layout)
// Anything standing elsewhere (p0 off the grid, two pieces on one cell) shows as "?".
std::string layout(const puzzle::Vorek& vorek);
// Puts the pieces where a layout says, by writing their Left and Top.
void arrange(const puzzle::Vorek& vorek, const std::string& board);

inline const std::string kInitial = "1 2 3 4 5 / 6 7 8 9 10 / 11 12 13 14 15 / 16 17 18 19 20 | _";
// Every piece home but p20, parked beside the hole on its home cell: one click from the end.
inline const std::string kLastHole = "1 2 3 4 5 / 6 7 8 9 10 / 11 12 13 14 15 / 16 17 18 19 _ | 20";

}  // namespace vorek_test
