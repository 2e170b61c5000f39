// null_host.h: a host with no display, for the tests and benchmarks: it logs what it was asked.
#pragma once

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/host.h"

namespace platform {

class NullHost final : public Host {
 public:
  struct Box {
    std::string prompt;
    std::string title;
  };

  void attach(Runtime& runtime) override { runtime_ = &runtime; }
  void loaded(const Form& form) override;
  void shown(const Form& form) override;
  void unloaded(const Form& form) override;
  void changed(const Form& form, int index, Change what) override;
  // Records the box, then runs `whileBoxOpen` as if the player acted before closing it.
  void messageBox(std::string_view prompt, std::string_view title) override;
  void errorBox(std::string_view text, std::string_view title) override;
  void quit(int status) override { quitStatus = status; }

  Runtime* runtime() const { return runtime_; }

  // What happened, in order: "load Vorek", "show Vorek", "unload Vorek".
  std::vector<std::string> log;
  // Every property write, in order, as the control then stood: "p0 (2400, 2400)" for a picture
  // box, "Quitter Finir" for a caption.
  std::vector<std::string> writes;
  bool keepWrites = true;  // off where only the rules' own cost should count
  // The windows that this host has built and not yet torn down, by form name.
  std::multiset<std::string, std::less<>> windows;
  std::vector<Box> messageBoxes;
  std::vector<Box> errorBoxes;
  std::optional<int> quitStatus;
  std::function<void()> whileBoxOpen;

 private:
  Runtime* runtime_ = nullptr;
};

}  // namespace platform
