#pragma once

#include <memory>
#include <optional>
#include <string>

#include "browse/BrowseLists.h"
#include "shell/outside/ui/RowSource.h"

namespace orv {

class DataConnection;

// The rows of one code list from its table: code and description, in code order, a page at a
// time by the last code shown. The one search text matches codes that start with it and
// descriptions that hold it.
class CodeListSource : public RowSource {
 public:
  CodeListSource(std::shared_ptr<DataConnection> connection, const BrowseLists::List& list);

  std::vector<std::string> Captions() const override;
  std::size_t KeyWidth() const override { return 1; }
  std::vector<Row> Fetch(const Request& request) override;
  std::optional<Row> Find(const Row& key) override;

 private:
  std::string Select() const;

  std::shared_ptr<DataConnection> connection_;
  BrowseLists::List list_;
};

}  // namespace orv
