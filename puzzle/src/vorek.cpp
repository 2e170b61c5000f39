// vorek.cpp: the main window's controls and the wiring of its handlers.
#include "puzzle/vorek.h"

#include <utility>

#include "platform/text.h"

namespace puzzle {

using platform::CommandButton;
using platform::PictureBox;

Vorek::Vorek(platform::FormRef self, platform::FormRef portrait, platform::FormRef about)
    : Voir(self, "Voir"),
      Command1(self, "Command1"),
      Quitter(self, "Quitter"),
      p0(self, "p0"),
      p1(self, "p1"),
      p2(self, "p2"),
      p3(self, "p3"),
      p4(self, "p4"),
      p5(self, "p5"),
      p6(self, "p6"),
      p7(self, "p7"),
      p8(self, "p8"),
      p9(self, "p9"),
      p10(self, "p10"),
      p11(self, "p11"),
      p12(self, "p12"),
      p13(self, "p13"),
      p14(self, "p14"),
      p15(self, "p15"),
      p16(self, "p16"),
      p17(self, "p17"),
      p18(self, "p18"),
      p19(self, "p19"),
      p20(self, "p20"),
      self_(self),
      V_portrait_(portrait),
      Sujet_(about) {}

void Vorek::bind() const {
  using Handler = void (Vorek::*)() const;
  static constexpr std::pair<std::string_view, Handler> kHandlers[] = {
      {"p1_Click", &Vorek::p1_Click},
      {"p2_Click", &Vorek::p2_Click},
      {"p3_Click", &Vorek::p3_Click},
      {"p4_Click", &Vorek::p4_Click},
      {"p5_Click", &Vorek::p5_Click},
      {"p6_Click", &Vorek::p6_Click},
      {"p7_Click", &Vorek::p7_Click},
      {"p8_Click", &Vorek::p8_Click},
      {"p9_Click", &Vorek::p9_Click},
      {"p10_Click", &Vorek::p10_Click},
      {"p11_Click", &Vorek::p11_Click},
      {"p12_Click", &Vorek::p12_Click},
      {"p13_Click", &Vorek::p13_Click},
      {"p14_Click", &Vorek::p14_Click},
      {"p15_Click", &Vorek::p15_Click},
      {"p16_Click", &Vorek::p16_Click},
      {"p17_Click", &Vorek::p17_Click},
      {"p18_Click", &Vorek::p18_Click},
      {"p19_Click", &Vorek::p19_Click},
      {"p20_Click", &Vorek::p20_Click},
      {"Command1_Click", &Vorek::Command1_Click},
      {"Quitter_Click", &Vorek::Quitter_Click},
      {"Voir_Click", &Vorek::Voir_Click},
  };
  for (const auto& [name, handler] : kHandlers) {
    runtime().bind(self_.slot(), name, [this, handler = handler] { (this->*handler)(); });
  }
}

bool Vorek::playing() const { return platform::StrComp(Quitter.Caption(), kPlaying) == 0; }

}  // namespace puzzle
