// game_mode.cpp: Quitter, which restarts a game or leaves, and Voir, which opens the portrait.
#include "platform/text.h"
#include "puzzle/vorek.h"

namespace puzzle {

void Vorek::Quitter_Click() const {
  if (platform::StrComp(Quitter.Caption(), kPlaying) == 0) {
    self_.Unload();
    self_.Show();
    Quitter.setCaption(kIdle);
  } else if (platform::StrComp(Quitter.Caption(), kIdle) == 0) {
    self_.Unload();
    Sujet_.Show();
  }
}

void Vorek::Voir_Click() const { V_portrait_.Show(); }

}  // namespace puzzle
