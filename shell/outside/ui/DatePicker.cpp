#include "shell/outside/ui/DatePicker.h"

#include <cmath>

#include "shell/outside/base/AppError.h"
#include "shell/outside/base/OleCalendar.h"
#include "shell/outside/base/ValueConvert.h"

namespace orv {
namespace {

constexpr const char* kMonths[] = {"January",   "February", "March",    "April",
                                   "May",       "June",     "July",     "August",
                                   "September", "October",  "November", "December"};

long DayNumber(OleDate date) { return static_cast<long>(std::floor(date.serial)); }

}  // namespace

DatePicker::DatePicker(Parser parse, OleDate today)
    : Form("frmDatePicker", "Choose a date"),
      parse_(std::move(parse)),
      today_(today),
      txtDate_(AddTextBox("txtDate", "Date (dd/mm/yyyy)")),
      lblMonth_(AddLabel("lblMonth", "")),
      cmdPreviousMonth_(AddCommandButton("cmdPreviousMonth", "Previous month")),
      cmdNextMonth_(AddCommandButton("cmdNextMonth", "Next month")),
      cmdOK_(AddCommandButton("cmdOK", "OK")),
      cmdCancel_(AddCommandButton("cmdCancel", "Cancel")) {
  txtDate_.Change = [this] { DateTyped(); };
  cmdPreviousMonth_.Click = [this] {
    month_ == 1 ? ShowMonth(year_ - 1, 12) : ShowMonth(year_, month_ - 1);
  };
  cmdNextMonth_.Click = [this] {
    month_ == 12 ? ShowMonth(year_ + 1, 1) : ShowMonth(year_, month_ + 1);
  };
  cmdOK_.Click = [this] { cmdOK_Click(); };
  cmdCancel_.Click = [this] {
    SetOKSelected(false);
    Hide();
  };
}

void DatePicker::Form_Load() {
  chosen_.reset();
  txtDate_.Text = initial_ ? Variant(*initial_).ToText() : std::string();
  auto civil = OleCalendar::CivilFromDays(DayNumber(initial_.value_or(today_)));
  ShowMonth(civil.year, civil.month);
}

void DatePicker::ShowMonth(long year, long month) {
  year_ = year;
  month_ = month;
  const long first = OleCalendar::DaysFromCivil(year, month, 1);
  const long days =
      OleCalendar::DaysFromCivil(month == 12 ? year + 1 : year, month == 12 ? 1 : month + 1, 1) -
      first;
  // Day 0 (30/12/1899) was a Saturday; columns run Monday to Sunday.
  const long column = ((first % 7) + 7 + 5) % 7;
  std::string text = std::string(kMonths[month - 1]) + " " + std::to_string(year) +
                     "\n    Mo Tu We Th Fr Sa Su\n    " + std::string(3 * column, ' ');
  for (long day = 1; day <= days; ++day) {
    if (day < 10) text += ' ';
    text += std::to_string(day);
    if (day < days) text += (column + day) % 7 == 0 ? "\n    " : " ";
  }
  lblMonth_.Caption = text;
}

void DatePicker::DateTyped() {
  std::string problem;
  if (auto date = parse_(txtDate_.Text, problem)) {
    auto civil = OleCalendar::CivilFromDays(DayNumber(*date));
    ShowMonth(civil.year, civil.month);
  }
}

void DatePicker::Pick(std::string_view value) {
  txtDate_.Text = std::string(value);
  DateTyped();
}

void DatePicker::cmdOK_Click() {
  chosen_.reset();
  if (!ValueConvert::IsBlank(txtDate_.Text)) {
    std::string problem;
    auto date = parse_(txtDate_.Text, problem);
    if (!date)
      throw AppError(kUnexpectedError, "", "'" + txtDate_.Text + "' is not a date: " + problem);
    chosen_ = date;
  }
  SetOKSelected(true);
  Hide();
}

}  // namespace orv
