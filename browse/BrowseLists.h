#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orv {

class TableCatalogue;

// The code lists that ranges name as their browse list, each read from its table of the company:
// the code column, the column that describes a code, and for the system codes the code type.
class BrowseLists {
 public:
  struct List {
    std::string name;     // the browse list a range names ("stock_units")
    std::string caption;  // the picker's title
    const std::string& (TableCatalogue::*table)() const;
    std::string code_column;
    std::string description_column;
    std::string type_column;  // empty, or the column that picks one kind of system code
    std::string type_value;
  };

  // nullptr for a name that is no code list (the stock, date and company browses among them).
  static const List* Find(std::string_view name);
  static const std::vector<List>& All();
};

}  // namespace orv
