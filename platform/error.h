#pragma once
// The one error type of the program: an exception that carries the message text a user sees.

#include <stdexcept>
#include <string>
#include <string_view>

namespace kestrune {

class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& message) : std::runtime_error(message) {}
};

// The text of the standard error box for an error that left an event handler: the message, with
// a period added when its last character's code is above that of the period.
std::string ErrorBoxText(std::string_view message);

}  // namespace kestrune
