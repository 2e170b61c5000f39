// null_host.cpp: the display-free host.
#include "platform/null_host.h"

#include <sstream>

#include "platform/form.h"

namespace platform {

void NullHost::loaded(const Form& form) {
  log.push_back("load " + std::string(form.design().name));
  windows.insert(std::string(form.design().name));
}

void NullHost::shown(const Form& form) { log.push_back("show " + std::string(form.design().name)); }

void NullHost::unloaded(const Form& form) {
  log.push_back("unload " + std::string(form.design().name));
  if (auto window = windows.find(form.design().name); window != windows.end()) {
    windows.erase(window);
  }
}

void NullHost::changed(const Form& form, int index, Change what) {
  if (!keepWrites) return;
  const ControlState& state = form.loadedControl(index);
  std::ostringstream write;
  write << form.design().controls[static_cast<std::size_t>(index)].name << ' ';
  if (what == Change::Position) {
    write << '(' << state.left << ", " << state.top << ')';
  } else {
    write << state.caption;
  }
  writes.push_back(write.str());
}

void NullHost::messageBox(std::string_view prompt, std::string_view title) {
  messageBoxes.push_back({std::string(prompt), std::string(title)});
  if (whileBoxOpen) whileBoxOpen();
}

void NullHost::errorBox(std::string_view text, std::string_view title) {
  errorBoxes.push_back({std::string(text), std::string(title)});
}

}  // namespace platform
