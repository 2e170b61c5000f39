// errors.cpp: the runtime's error numbers and their French texts.
#include "platform/errors.h"

#include <string>

namespace platform {

std::string_view errorDescription(ErrorNumber number) {
  switch (number) {
    case ErrorNumber::InvalidCall: return "Argument ou appel de procédure incorrect";
    case ErrorNumber::Overflow: return "Dépassement de capacité";
    case ErrorNumber::OutOfMemory: return "Mémoire insuffisante";
    case ErrorNumber::Internal: return "Erreur interne";
    case ErrorNumber::ObjectRequired: return "Objet requis";
    case ErrorNumber::InvalidPicture: return "Image incorrecte";
  }
  return "Erreur définie par l'application ou par l'objet";
}

RuntimeError::RuntimeError(ErrorNumber number, std::string_view detail)
    : std::runtime_error(std::string(errorDescription(number))), number_(number), detail_(detail) {}

std::string RuntimeError::boxText() const {
  std::string text = "Erreur d'exécution '" + std::to_string(static_cast<int>(number_)) +
                     "' :\n\n" + std::string(errorDescription(number_));
  if (!detail_.empty()) text += " (" + detail_ + ")";
  return text;
}

}  // namespace platform
