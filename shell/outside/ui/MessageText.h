#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "shell/outside/ui/UserInterface.h"

namespace orv {

// How message boxes read as text, shared by the terminal and scripted user interfaces.
class MessageText {
 public:
  static std::string Render(std::string_view prompt, MsgIcon icon, std::string_view title);
  static std::string Choices(MsgButtons buttons);
  // The answer a typed word stands for, if it fits the buttons ("ok", "c", "Yes", ...; "close",
  // the close box, is Cancel).
  static std::optional<MsgAnswer> Parse(std::string_view word, MsgButtons buttons);
  static MsgAnswer Refusal(MsgButtons buttons);
  static std::string_view Name(MsgAnswer answer);
};

}  // namespace orv
