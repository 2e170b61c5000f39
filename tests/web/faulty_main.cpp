// faulty_main.cpp: a page whose one button raises a runtime error, for the web host's error box.
#include <array>
#include <memory>

#include "forms/forms.h"
#include "platform/web_app.h"

namespace {

// The portrait window's design serves as the one form; its "Ok" asks MsgBox for a style the
// runtime does not know, which is a runtime error (5).
class Faulty final : public platform::ProgramCode {
 public:
  explicit Faulty(platform::Runtime& runtime) {
    runtime.bind(0, "Command1_Click", [&runtime] { runtime.MsgBox("jamais vu", 4, "Vorek"); });
  }
};

const platform::ProjectRecord& faultyProject() {
  static constexpr std::array<const platform::FormDesign*, 1> kForms{&forms::kPortraitDesign};
  static const platform::ProjectRecord record{.name = "Tralden",
                                              .title = "Vorek",
                                              .description = "",
                                              .version = "1.00",
                                              .locale = 0x040C,
                                              .forms = kForms};
  return record;
}

}  // namespace

int main() {
  return platform::runOnWeb(faultyProject(), [](platform::Runtime& runtime) {
    return std::make_unique<Faulty>(runtime);
  });
}
