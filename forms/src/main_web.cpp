// main_web.cpp: the program's entry in the page, which hands the project record to the runtime.
#include "forms/forms.h"
#include "platform/web_app.h"

int main() {
  return platform::runOnWeb(forms::project(), [](platform::Runtime& runtime) {
    return std::make_unique<forms::Program>(runtime);
  });
}
