// null_host.cpp: the display-free host.
#include "platform/null_host.h"

#include "platform/form.h"

namespace platform {

void NullHost::loaded(const Form& form) {
  log.push_back("load " + std::string(form.design().name));
}

void NullHost::shown(const Form& form) { log.push_back("show " + std::string(form.design().name)); }

void NullHost::unloaded(const Form& form) {
  log.push_back("unload " + std::string(form.design().name));
}

void NullHost::messageBox(std::string_view prompt, std::string_view title) {
  messageBoxes.push_back({std::string(prompt), std::string(title)});
  if (whileBoxOpen) whileBoxOpen();
}

void NullHost::errorBox(std::string_view text, std::string_view title) {
  errorBoxes.push_back({std::string(text), std::string(title)});
}

}  // namespace platform
