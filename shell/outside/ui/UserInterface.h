#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

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
  // One line of a record shown to the user: caption and value.
  using RecordLine = std::pair<std::string, std::string>;

  virtual ~UserInterface() = default;

  virtual MsgAnswer MsgBox(std::string_view prompt, MsgButtons buttons, MsgIcon icon,
                           std::string_view title) = 0;
  // Shows the form modally; returns when one of its handlers has hidden it.
  virtual void ShowModal(Form& form) = 0;
  virtual std::unique_ptr<ProgressBar> NewProgressBar() = 0;
  // A line for the user outside any dialog (what was done, what was assumed).
  virtual void Notice(std::string_view text) = 0;

  // A question with buttons of the caller's own: the 1-based number of the button chosen, or 0
  // when the user closed the question or nobody answered. Shown by default as a modal form named
  // `name` whose buttons are named after their captions without blanks ("Update All":
  // UpdateAll).
  virtual int Choose(std::string_view name, std::string_view prompt,
                     const std::vector<std::string>& buttons, std::string_view title);

  // An answer the host gives in advance for every showing of the dialog (or question) of that
  // name: the action (a button's name, NAME=VALUE, close) is applied instead of asking.
  void SetStandingAnswer(std::string form, std::string action);
  std::optional<std::string> StandingAnswer(const Form& form) const;

  // Opens a help page in the desktop's viewer when `desktop` says there is a desktop and the
  // viewer takes the page; otherwise tells its path.
  virtual void ShowHelp(const std::filesystem::path& page, bool desktop);
  virtual void ShowAbout(std::string_view version, std::string_view program,
                         std::string_view comments);
  // Shows a record (a stock view): by default in a message box with the title.
  virtual void ShowRecord(std::string_view title, const std::vector<RecordLine>& lines);

  // The record as text: the title, then one "caption: value" line each, the values aligned.
  static std::string RecordText(std::string_view title, const std::vector<RecordLine>& lines);

 private:
  std::map<std::string, std::string, std::less<>> standing_answers_;
};

}  // namespace orv
