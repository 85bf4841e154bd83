#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace orv {

// `orvstock template`: a new workbook laid out for the ranges the user picks from a component's
// catalogue, or the catalogue itself with --list.
class TemplateCommand {
 public:
  std::filesystem::path file;
  std::vector<std::string> picks;
  bool list = false;
  bool tech_desc = false;
  bool replace = false;
  int rows = 500;
  int erp_version = 7;

  // The exit status: 0 done, 1 an error reported, 2 no workbook named.
  int Run() const;
};

}  // namespace orv
