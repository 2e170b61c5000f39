// main_qt.cpp: the program's entry, which hands the project record to the form runtime.
#include "forms/forms.h"
#include "platform/qt_app.h"

int main(int argc, char* argv[]) {
  return platform::runOnQt(argc, argv, forms::project(), [](platform::Runtime& runtime) {
    return std::make_unique<forms::Program>(runtime);
  });
}
