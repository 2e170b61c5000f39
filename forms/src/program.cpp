// program.cpp: the project record, the portrait and About windows' code, and the binding.
#include "forms/forms.h"

namespace forms {

const platform::ProjectRecord& project() {
  static constexpr const platform::FormDesign* kForms[] = {&kVorekDesign, &kPortraitDesign,
                                                           &kSujetDesign};
  static const platform::ProjectRecord record{
      .name = "Tralden",
      .title = "Vorek",
      .description = VOREK_DESCRIPTION,
      .version = VOREK_VERSION,
      .locale = 0x040C,
      .identity = {.program = VOREK_PROGRAM,
                   .desktopId = VOREK_DESKTOP_ID,
                   .localeName = "fr_FR",
                   .windowClass = "Vorek"},
      .forms = kForms,
      .font = {"DejaVu Sans", 8},
      .texts =
          {
              .noDisplay = "{} : aucun affichage graphique n'est disponible. Lancez le jeu "
                           "depuis une session graphique (la variable DISPLAY ou "
                           "WAYLAND_DISPLAY doit être définie).",
              .displayUnreachable = "vorek : impossible d'ouvrir l'affichage graphique « {} ».",
              .ended = "Vorek est terminé. Merci d\u2019avoir joué !",
              .endedOnError = "Vorek s\u2019est arrêté sur une erreur.",
              .replay = "Rejouer",
              .needsScript = "Vorek a besoin de JavaScript pour fonctionner.",
              .noWebAssembly = "Vorek ne peut pas fonctionner dans ce navigateur\u00a0: "
                               "WebAssembly y est désactivé ou absent.",
              .notLoaded = "Vorek ne peut pas fonctionner dans ce navigateur\u00a0: son "
                           "programme n\u2019a pas pu être chargé.",
              .closeBox = "Fermer",
              .ok = "OK",
          },
  };
  return record;
}

V_portrait::V_portrait(platform::FormRef self) : Command1(self, "Command1"), self_(self) {}

void V_portrait::bind() const {
  self_.runtime().bind(self_.slot(), "Command1_Click", [this] { Command1_Click(); });
}

void V_portrait::Command1_Click() const { self_.Unload(); }

Sujet::Sujet(platform::FormRef self) : prog(self, "prog"), auteur(self, "auteur"), self_(self) {}

void Sujet::bind() const {
  self_.runtime().bind(self_.slot(), "Form_Load", [this] { Form_Load(); });
  self_.runtime().bind(self_.slot(), "ok_Click", [this] { ok_Click(); });
}

void Sujet::Form_Load() const {
  prog.setCaption(kTermsText);
  auteur.setCaption(kAuthorText);
}

void Sujet::ok_Click() const { self_.runtime().End(); }

Program::Program(platform::Runtime& runtime)
    : vorek({runtime, kVorek}, {runtime, kPortrait}, {runtime, kSujet}),
      portrait({runtime, kPortrait}),
      sujet({runtime, kSujet}) {
  vorek.bind();
  portrait.bind();
  sujet.bind();
}

}  // namespace forms
