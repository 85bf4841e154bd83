#pragma once

#include <soci/soci.h>

#include <ctime>
#include <deque>
#include <string>
#include <vector>

#include "shell/outside/base/Variant.h"

namespace orv {

// Conversions between the database library's values and Variant. Used only inside the database
// layer of shell/outside; nothing else includes SOCI.
class SociValue {
 public:
  static std::tm ToTm(OleDate date);
  static OleDate FromTm(const std::tm& tm);
  // The i-th value of a fetched row: Null for a database null.
  static Variant FromRow(const soci::row& row, std::size_t i);
  // A value bound to a statement by reference; kept in a deque so that addresses stay put.
  struct BoundValue {
    std::string text;
    double number = 0;
    int integer = 0;
    short small = 0;
    std::tm date{};
    soci::indicator indicator = soci::i_ok;
  };
  // Binds `values` to the markers :p1, :p2, ... of `statement`, each by its own type.
  static void BindAll(soci::statement& statement, std::deque<BoundValue>& slots,
                      const std::vector<Variant>& values);
  // A database error as the layer reports it: passwords removed.
  static std::string Message(const std::exception& error);
};

}  // namespace orv
