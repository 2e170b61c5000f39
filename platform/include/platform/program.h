// program.h: what a host's entry point starts: the project record and the program's own code.
#pragma once

#include <functional>
#include <memory>

namespace platform {

class Runtime;

// The program's own code: its forms' handlers, bound to one runtime for the run.
class ProgramCode {
 public:
  virtual ~ProgramCode() = default;
};
using ProgramFactory = std::function<std::unique_ptr<ProgramCode>(Runtime&)>;

}  // namespace platform
