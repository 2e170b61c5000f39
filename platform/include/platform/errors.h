// errors.h: runtime errors, the one way a failing operation of the runtime reports itself.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace platform {

// Numbers as the form runtime has always used them; the texts are its French ones.
enum class ErrorNumber : int {
  InvalidCall = 5,
  Overflow = 6,
  OutOfMemory = 7,
  Internal = 51,
  ObjectRequired = 424,
  InvalidPicture = 481,
};

// Thrown by a failing runtime operation. The runtime's dispatcher catches it, shows the French
// runtime-error box and ends the program with a non-zero status; handlers never catch it.
class RuntimeError : public std::runtime_error {
 public:
  explicit RuntimeError(ErrorNumber number, std::string_view detail = {});

  ErrorNumber number() const { return number_; }
  // The box's text, for instance "Erreur d'exécution '6' :\n\nDépassement de capacité".
  std::string boxText() const;

 private:
  ErrorNumber number_;
  std::string detail_;
};

std::string_view errorDescription(ErrorNumber number);

// Thrown inside a handler once the program has ended (End, or a signal while a box was open):
// the rest of the handler must not run. Only the dispatcher catches it.
struct ProgramEnded {};

}  // namespace platform
