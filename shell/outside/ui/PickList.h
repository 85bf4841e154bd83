#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "shell/outside/ui/Control.h"
#include "shell/outside/ui/RowSource.h"

namespace orv {

// A numbered list that pages through its source: it holds one page of rows and the keys needed
// to go back, never the whole list. Rows are numbered from 1 across pages. With multiple choice
// each choice is added to (or, chosen again by number, taken from) the chosen rows, in the order
// chosen; otherwise a choice replaces the one before.
class PickList : public Control {
 public:
  using Row = RowSource::Row;

  PickList(std::string name, std::string caption, std::string frame,
           std::shared_ptr<RowSource> source, bool multiple, std::size_t page_size = 20);

  bool Multiple() const { return multiple_; }
  const std::vector<std::string>& Captions() const { return captions_; }
  std::size_t KeyWidth() const { return key_width_; }

  // Searches anew and shows the first page of what matches.
  void Search(std::vector<std::string> search);
  void NextPage();
  void PreviousPage();
  bool HasNextPage() const { return has_next_; }
  bool HasPreviousPage() const { return !earlier_.empty(); }

  const std::vector<Row>& PageRows() const { return page_; }
  // The number of the page's first row.
  std::size_t FirstNumber() const { return offset_ + 1; }

  // Chooses the row of that number on the shown page; AppError when it is not shown.
  void ChooseNumber(std::size_t number);
  // Chooses the row of that key, shown or not: the key columns separated by blanks, the last
  // column taking the rest ("01 BOLT-M6-0001"). AppError when no row has that key.
  void ChooseKey(std::string_view text);
  const std::vector<Row>& Chosen() const { return chosen_; }
  bool IsChosen(const Row& row) const;

 private:
  void Load(Row after);
  Row KeyOf(const Row& row) const;

  std::shared_ptr<RowSource> source_;
  bool multiple_;
  std::size_t page_size_;
  std::vector<std::string> captions_;
  std::size_t key_width_;
  std::vector<std::string> search_;
  std::vector<Row> page_;
  std::vector<Row> earlier_;  // the `after` key of every page before the shown one
  Row after_;
  std::size_t offset_ = 0;
  bool has_next_ = false;
  std::vector<Row> chosen_;
};

}  // namespace orv
