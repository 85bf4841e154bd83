#include "shell/outside/ui/MessageText.h"

#include <algorithm>

namespace orv {

std::string MessageText::Render(std::string_view prompt, MsgIcon icon, std::string_view title) {
  std::string text;
  if (icon == MsgIcon::kExclamation) text += "! ";
  if (!title.empty()) {
    text += "[";
    text += title;
    text += "] ";
  }
  text += prompt;
  return text;
}

std::string MessageText::Choices(MsgButtons buttons) {
  switch (buttons) {
    case MsgButtons::kOKCancel:
      return "OK/Cancel";
    case MsgButtons::kYesNo:
      return "Yes/No";
    default:
      return "OK";
  }
}

std::optional<MsgAnswer> MessageText::Parse(std::string_view word, MsgButtons buttons) {
  std::string lower(word);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (buttons == MsgButtons::kOKCancel) {
    if (lower == "ok" || lower == "o") return MsgAnswer::kOK;
    // The close box of an OK/Cancel message box answers Cancel.
    if (lower == "cancel" || lower == "c" || lower == "close") return MsgAnswer::kCancel;
  } else if (buttons == MsgButtons::kYesNo) {
    if (lower == "yes" || lower == "y") return MsgAnswer::kYes;
    if (lower == "no" || lower == "n") return MsgAnswer::kNo;
  } else if (lower == "ok" || lower == "o" || lower.empty()) {
    return MsgAnswer::kOK;
  }
  return std::nullopt;
}

MsgAnswer MessageText::Refusal(MsgButtons buttons) {
  return buttons == MsgButtons::kYesNo ? MsgAnswer::kNo : MsgAnswer::kCancel;
}

std::string_view MessageText::Name(MsgAnswer answer) {
  switch (answer) {
    case MsgAnswer::kOK:
      return "OK";
    case MsgAnswer::kCancel:
      return "Cancel";
    case MsgAnswer::kYes:
      return "Yes";
    case MsgAnswer::kNo:
      return "No";
  }
  return "?";
}

}  // namespace orv
