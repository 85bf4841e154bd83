#pragma once

#include <soci/soci.h>

#include <ctime>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "shell/outside/base/Variant.h"

// SOCI declares SQLite's API in this namespace.
namespace sqlite_api {
struct sqlite3_stmt;
}

namespace orv {

// Conversions between the database library's values and Variant. Used only inside the database
// layer of shell/outside; nothing else includes SOCI.
class SociValue {
 public:
  static std::tm ToTm(OleDate date);
  static OleDate FromTm(const std::tm& tm);
  // The i-th value of a fetched row: Null for a database null.
  static Variant FromRow(const soci::row& row, std::size_t i);
  // The i-th value of the row `sqlite` stands on, read by its storage class and the column's
  // declared type. SQLite keeps whatever it is given: a value the declared type cannot hold (a
  // text where a number is declared, a date that is no day of the calendar, or no date at all) is
  // an AppError (13, type mismatch) naming the column and the value, never a different value (the
  // database library would read 0, or the next valid day, or fail the whole fetch).
  static Variant FromSqlite(sqlite_api::sqlite3_stmt* sqlite, int i, soci::data_type declared,
                            const std::string& column);
  // The SQLite statement behind `statement` of `session`; nullptr on other databases.
  static sqlite_api::sqlite3_stmt* SqliteStatement(soci::session& session,
                                                   soci::statement& statement);
  // A value bound to a statement by reference; kept in a deque so that addresses stay put.
  struct BoundValue {
    enum class Kind { kText, kDate, kInteger, kNumber };
    Kind kind = Kind::kText;
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
  // Puts `values` into slots that BindAll bound before, for the statement's next execution. False
  // (slots unchanged) when a value is not of its slot's kind: the statement must be bound afresh.
  // Null fits a slot of any kind.
  static bool Reassign(std::deque<BoundValue>& slots, const std::vector<Variant>& values);
  // A value as the database library sends a PostgreSQL server its text (nullopt for Null), for
  // statements sent past the library (WritePipeline): numbers to 20 significant digits, dates as
  // "YYYY-MM-DD hh:mm:ss", each Variant bound by the kind BindAll gives it.
  static std::optional<std::string> ServerText(const Variant& value);
  static std::string ServerText(double number);
  static std::string ServerText(const std::tm& date);
  // A database error as the layer reports it: passwords removed.
  static std::string Message(const std::exception& error);
};

}  // namespace orv
