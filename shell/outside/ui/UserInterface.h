#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace orv {

class Form;
class ProgressBar;

enum class MsgButtons { kOK, kOKCancel, kYesNo };
enum class MsgIcon { kNone, kInformation, kExclamation };
enum class MsgAnswer { kOK, kCancel, kYes, kNo };

// Message boxes, modal dialogs, progress and help, as the components show them. A question that
// nobody can answer is answered Cancel or No, never OK.
class UserInterface {
 public:
  virtual ~UserInterface() = default;

  virtual MsgAnswer MsgBox(std::string_view prompt, MsgButtons buttons, MsgIcon icon,
                           std::string_view title) = 0;
  // Shows the form modally; returns when one of its handlers has hidden it.
  virtual void ShowModal(Form& form) = 0;
  virtual std::unique_ptr<ProgressBar> NewProgressBar() = 0;
  // A line for the user outside any dialog (what was done, what was assumed).
  virtual void Notice(std::string_view text) = 0;

  // Opens a help page in the desktop's viewer when `desktop` says there is a desktop and the
  // viewer takes the page; otherwise tells its path.
  virtual void ShowHelp(const std::filesystem::path& page, bool desktop);
  virtual void ShowAbout(std::string_view version, std::string_view program,
                         std::string_view comments);
};

}  // namespace orv
