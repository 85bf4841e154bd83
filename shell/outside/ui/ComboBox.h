#pragma once

#include <array>
#include <string>
#include <vector>

#include "shell/outside/ui/Control.h"

namespace orv {

// A drop-down list of two-column rows (code, description) fed from an in-memory array; the text
// is the chosen code, or whatever the user typed.
class ComboBox : public Control {
 public:
  using Row = std::array<std::string, 2>;

  ComboBox(std::string name, std::string caption, std::string frame)
      : Control(Kind::kComboBox, std::move(name), std::move(caption), std::move(frame)) {}

  void SetArray(std::vector<Row> rows) { rows_ = std::move(rows); }
  const std::vector<Row>& Rows() const { return rows_; }

  std::string Text;
  std::array<std::string, 2> ColumnCaptions;

 private:
  std::vector<Row> rows_;
};

}  // namespace orv
