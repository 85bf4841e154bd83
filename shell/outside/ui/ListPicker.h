#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "shell/outside/ui/Form.h"
#include "shell/outside/ui/RowSource.h"

namespace orv {

// A modal list to pick from: search boxes above a numbered list that pages, Previous and Next
// page buttons, OK and Cancel. Typing into a search box searches anew from the first page. The
// choice counts only when the picker is closed with OK; Cancel and the close box choose nothing.
class ListPicker : public Form {
 public:
  struct SearchBox {
    std::string name;
    std::string caption;
  };

  ListPicker(std::string name, std::string caption, std::string list_caption,
             std::shared_ptr<RowSource> source, bool multiple, std::vector<SearchBox> boxes);

  // The search the picker opens with, one text per box (missing ones blank).
  void SetSearch(const std::vector<std::string>& search);
  std::vector<std::string> Search() const;

  void Form_Load() override;
  // Chooses the row of that key (see PickList::ChooseKey).
  void Pick(std::string_view value) override;

  // The rows chosen, in the order chosen, when the picker was closed with OK; else none.
  std::vector<RowSource::Row> Chosen() const;
  PickList& List() { return list_; }

 private:
  std::vector<TextBox*> AddSearchBoxes(const std::vector<SearchBox>& boxes);
  void Searched();
  void PageShown();

  std::vector<TextBox*> boxes_;
  PickList& list_;
  CommandButton& cmdPrevious_;
  CommandButton& cmdNext_;
  CommandButton& cmdOK_;
  CommandButton& cmdCancel_;
};

}  // namespace orv
