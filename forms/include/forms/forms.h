// forms.h: the program's three windows, its project record and the code bound to them.
#pragma once

#include <string_view>

#include "platform/control.h"
#include "platform/design.h"
#include "platform/program.h"
#include "platform/runtime.h"
#include "puzzle/vorek.h"

namespace forms {

// The form list, in its order; the first is the start-up object.
enum FormSlot : int { kVorek = 0, kPortrait = 1, kSujet = 2 };

extern const platform::FormDesign kVorekDesign;
extern const platform::FormDesign kPortraitDesign;
extern const platform::FormDesign kSujetDesign;

const platform::ProjectRecord& project();

// The About window's two texts, written by its Form_Load.
extern const std::string_view kTermsText;
extern const std::string_view kAuthorText;

// The portrait window: the whole picture, and "Ok", which closes it.
class V_portrait {
 public:
  explicit V_portrait(platform::FormRef self);
  void bind() const;

  const platform::CommandButton Command1;

  void Command1_Click() const;

 private:
  platform::FormRef self_;
};

// The About window, the last one the player sees; its "Ok" ends the program.
class Sujet {
 public:
  explicit Sujet(platform::FormRef self);
  void bind() const;

  const platform::Label prog, auteur;

  void Form_Load() const;
  [[noreturn]] void ok_Click() const;

 private:
  platform::FormRef self_;
};

// Every form's code, bound to one runtime for the whole run.
class Program final : public platform::ProgramCode {
 public:
  explicit Program(platform::Runtime& runtime);

  puzzle::Vorek vorek;
  V_portrait portrait;
  Sujet sujet;
};

}  // namespace forms
