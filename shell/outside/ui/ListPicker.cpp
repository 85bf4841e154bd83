#include "shell/outside/ui/ListPicker.h"

namespace orv {

ListPicker::ListPicker(std::string name, std::string caption, std::string list_caption,
                       std::shared_ptr<RowSource> source, bool multiple,
                       std::vector<SearchBox> boxes)
    : Form(std::move(name), std::move(caption)),
      boxes_(AddSearchBoxes(boxes)),
      list_(AddPickList("lstRows", std::move(list_caption), std::move(source), multiple)),
      cmdPrevious_(AddCommandButton("cmdPrevious", "Previous page")),
      cmdNext_(AddCommandButton("cmdNext", "Next page")),
      cmdOK_(AddCommandButton("cmdOK", "OK")),
      cmdCancel_(AddCommandButton("cmdCancel", "Cancel")) {
  cmdPrevious_.Click = [this] {
    list_.PreviousPage();
    PageShown();
  };
  cmdNext_.Click = [this] {
    list_.NextPage();
    PageShown();
  };
  cmdOK_.ToolTipText = multiple ? "Take the rows chosen" : "Take the row chosen";
  cmdOK_.Click = [this] {
    SetOKSelected(true);
    Hide();
  };
  cmdCancel_.ToolTipText = "Close without choosing";
  cmdCancel_.Click = [this] {
    SetOKSelected(false);
    Hide();
  };
}

std::vector<TextBox*> ListPicker::AddSearchBoxes(const std::vector<SearchBox>& boxes) {
  std::vector<TextBox*> added;
  for (const auto& box : boxes) {
    TextBox& text = AddTextBox(box.name, box.caption);
    text.Change = [this] { Searched(); };
    added.push_back(&text);
  }
  return added;
}

void ListPicker::SetSearch(const std::vector<std::string>& search) {
  for (std::size_t i = 0; i < boxes_.size(); ++i)
    boxes_[i]->Text = i < search.size() ? search[i] : std::string();
}

std::vector<std::string> ListPicker::Search() const {
  std::vector<std::string> search;
  for (const TextBox* box : boxes_) search.push_back(box->Text);
  return search;
}

void ListPicker::Form_Load() { Searched(); }

void ListPicker::Searched() {
  list_.Search(Search());
  PageShown();
}

void ListPicker::PageShown() {
  cmdPrevious_.Enabled = list_.HasPreviousPage();
  cmdNext_.Enabled = list_.HasNextPage();
}

void ListPicker::Pick(std::string_view value) { list_.ChooseKey(value); }

std::vector<RowSource::Row> ListPicker::Chosen() const {
  if (!OKSelected()) return {};
  return list_.Chosen();
}

}  // namespace orv
