// vorek.h: the main window's code: the board's rules, written as the handlers of its controls.
#pragma once

#include <string_view>

#include "platform/control.h"
#include "platform/form_ref.h"
#include "platform/runtime.h"
#include "puzzle/board.h"

namespace puzzle {

// The game's mode is the caption of Quitter and nothing else.
inline constexpr std::string_view kIdle = "Quitter";
inline constexpr std::string_view kPlaying = "Finir";

// The main window's controls, by their design names, and its handlers. The board has no
// storage of its own: it is the Left and Top of the picture boxes, read afresh at every use.
class Vorek {
 public:
  // `self` is the main window; `portrait` and `about` are the windows that it opens.
  Vorek(platform::FormRef self, platform::FormRef portrait, platform::FormRef about);

  // Wires every handler below to its control's Click.
  void bind() const;

  const platform::CommandButton Voir, Command1, Quitter;
  const platform::PictureBox p0, p1, p2, p3, p4, p5, p6, p7, p8, p9, p10;
  const platform::PictureBox p11, p12, p13, p14, p15, p16, p17, p18, p19, p20;

  // The slide rule for their own piece.
  void p1_Click() const;
  void p2_Click() const;
  void p3_Click() const;
  void p4_Click() const;
  void p5_Click() const;
  void p6_Click() const;
  void p7_Click() const;
  void p8_Click() const;
  void p9_Click() const;
  void p10_Click() const;
  void p11_Click() const;
  void p12_Click() const;
  void p13_Click() const;
  void p14_Click() const;
  void p15_Click() const;
  void p16_Click() const;
  void p17_Click() const;
  void p18_Click() const;
  void p19_Click() const;
  // The parking move, then the completion check.
  void p20_Click() const;
  // "Brasser": the shuffle, which starts a game.
  void Command1_Click() const;
  // Gives up a game in progress, or leaves for the About window.
  void Quitter_Click() const;
  // Opens the portrait window, or brings it to the front.
  void Voir_Click() const;

 private:
  void slide(const platform::PictureBox& piece) const;
  void park() const;
  void checkCompletion() const;
  void exchange(Cell& hole, Cell& vacated, int& exchanges) const;
  const platform::PictureBox& drawn(int draw) const;
  bool playing() const;
  platform::Runtime& runtime() const { return self_.runtime(); }

  platform::FormRef self_;
  platform::FormRef V_portrait_;
  platform::FormRef Sujet_;
};

}  // namespace puzzle
