#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "shell/outside/base/Variant.h"
#include "shell/outside/ui/Form.h"

namespace orv {

// The date picker: a date typed or picked (txtDate, dd/mm/yyyy or yyyy-mm-dd), with the calendar
// of its month beside it and buttons to leaf through the months. OK takes the date; a text that
// is not a date is refused and the picker stays open. Cancel and the close box take nothing.
class DatePicker : public Form {
 public:
  // Reads a typed date; nullopt with `problem` set when the text is not one.
  using Parser = std::function<std::optional<OleDate>(std::string_view text, std::string& problem)>;

  // `today` is the month shown when the picker opens without a date.
  DatePicker(Parser parse, OleDate today);

  // The date the picker opens with (the cell's date); none leaves the box blank.
  void SetDate(std::optional<OleDate> date) { initial_ = date; }
  void Form_Load() override;
  void Pick(std::string_view value) override;

  // The date taken with OK; nullopt when cancelled or OK was pressed on a blank box.
  std::optional<OleDate> Date() const { return OKSelected() ? chosen_ : std::nullopt; }

 private:
  void ShowMonth(long year, long month);
  void DateTyped();
  void cmdOK_Click();

  Parser parse_;
  OleDate today_;
  std::optional<OleDate> initial_;
  std::optional<OleDate> chosen_;
  long year_ = 0;
  long month_ = 0;
  TextBox& txtDate_;
  Label& lblMonth_;
  CommandButton& cmdPreviousMonth_;
  CommandButton& cmdNextMonth_;
  CommandButton& cmdOK_;
  CommandButton& cmdCancel_;
};

}  // namespace orv
