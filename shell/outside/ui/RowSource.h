#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace orv {

// Where a list picker gets its rows: a page at a time, in key order, so that a list of 100,000
// codes is never read whole to show twenty of them. The leading KeyWidth() columns of a row
// identify it; the others describe it.
class RowSource {
 public:
  using Row = std::vector<std::string>;

  struct Request {
    // One text per search box of the picker, in the picker's order; a blank text matches all.
    std::vector<std::string> search;
    // The key of the last row of the page before; empty for the first page.
    Row after;
    // The number of rows before the page, for a source that cannot seek by key.
    std::size_t offset = 0;
    std::size_t limit = 20;
  };

  virtual ~RowSource() = default;

  // The caption of each column, keys first.
  virtual std::vector<std::string> Captions() const = 0;
  virtual std::size_t KeyWidth() const = 0;
  // Up to `limit` rows matching the search, in key order, after `after`. Errors are AppErrors.
  virtual std::vector<Row> Fetch(const Request& request) = 0;
  // The row of exactly this key, whatever the search; nullopt when there is none.
  virtual std::optional<Row> Find(const Row& key) = 0;
};

}  // namespace orv
