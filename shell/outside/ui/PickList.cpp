#include "shell/outside/ui/PickList.h"

#include <algorithm>

#include "shell/outside/base/AppError.h"

namespace orv {

PickList::PickList(std::string name, std::string caption, std::string frame,
                   std::shared_ptr<RowSource> source, bool multiple, std::size_t page_size)
    : Control(Kind::kList, std::move(name), std::move(caption), std::move(frame)),
      source_(std::move(source)),
      multiple_(multiple),
      page_size_(std::max<std::size_t>(page_size, 1)),
      captions_(source_->Captions()),
      key_width_(std::max<std::size_t>(source_->KeyWidth(), 1)) {}

void PickList::Search(std::vector<std::string> search) {
  search_ = std::move(search);
  earlier_.clear();
  offset_ = 0;
  Load({});
}

void PickList::Load(Row after) {
  RowSource::Request request{search_, after, offset_, page_size_ + 1};
  auto rows = source_->Fetch(request);
  has_next_ = rows.size() > page_size_;
  if (has_next_) rows.resize(page_size_);
  page_ = std::move(rows);
  after_ = std::move(after);
}

void PickList::NextPage() {
  if (!has_next_ || page_.empty()) return;
  earlier_.push_back(after_);
  offset_ += page_.size();
  Load(KeyOf(page_.back()));
}

void PickList::PreviousPage() {
  if (earlier_.empty()) return;
  Row after = std::move(earlier_.back());
  earlier_.pop_back();
  offset_ = offset_ >= page_size_ ? offset_ - page_size_ : 0;
  Load(std::move(after));
}

PickList::Row PickList::KeyOf(const Row& row) const {
  return Row(row.begin(),
             row.begin() + static_cast<std::ptrdiff_t>(std::min(key_width_, row.size())));
}

bool PickList::IsChosen(const Row& row) const {
  auto key = KeyOf(row);
  return std::any_of(chosen_.begin(), chosen_.end(),
                     [&](const Row& chosen) { return KeyOf(chosen) == key; });
}

void PickList::ChooseNumber(std::size_t number) {
  if (number < FirstNumber() || number >= FirstNumber() + page_.size())
    throw AppError(kUnexpectedError, "",
                   "There is no row " + std::to_string(number) + " on the page shown");
  const Row& row = page_[number - FirstNumber()];
  if (!multiple_) {
    chosen_ = {row};
    return;
  }
  auto key = KeyOf(row);
  auto found = std::find_if(chosen_.begin(), chosen_.end(),
                            [&](const Row& chosen) { return KeyOf(chosen) == key; });
  if (found != chosen_.end())
    chosen_.erase(found);
  else
    chosen_.push_back(row);
}

void PickList::ChooseKey(std::string_view text) {
  Row key;
  std::string_view rest = text;
  while (key.size() + 1 < key_width_) {
    auto start = rest.find_first_not_of(' ');
    if (start == std::string_view::npos) break;
    rest.remove_prefix(start);
    auto end = rest.find(' ');
    key.emplace_back(rest.substr(0, end));
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  }
  if (key_width_ > 1) {
    auto start = rest.find_first_not_of(' ');
    rest = start == std::string_view::npos ? std::string_view() : rest.substr(start);
  }
  key.emplace_back(rest);
  if (key.size() != key_width_ || key.back().empty())
    throw AppError(kUnexpectedError, "",
                   "'" + std::string(text) + "' does not name a row: give " +
                       std::to_string(key_width_) + " codes separated by a blank");
  auto row = source_->Find(key);
  if (!row) throw AppError(kUnexpectedError, "", "'" + std::string(text) + "' is not in the list");
  if (!multiple_) {
    chosen_ = {*row};
  } else if (!IsChosen(*row)) {
    chosen_.push_back(*row);
  }
}

}  // namespace orv
