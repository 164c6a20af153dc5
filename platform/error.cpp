#include "platform/error.h"

namespace kestrune {

std::string ErrorBoxText(std::string_view message) {
  std::string text(message);
  // Compared as unsigned: a trailing UTF-8 byte stands for a character far above the period.
  if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.')) {
    text += '.';
  }
  return text;
}

}  // namespace kestrune
